#include "qt/resultlabel.h"

#include "model/number_text.h"

#include <QPainter>
#include <QStyle>

namespace fuelix {

void ResultLabel::setCaption(const QString &caption)
{
    setText(caption);
    fit();
}

void ResultLabel::fit()
{
    const QFontMetrics metrics = fontMetrics();
    const int room = contentsRect().width();
    const std::string shown = FittedCaption(text().toStdString(), [&](std::string_view t) {
        return metrics.horizontalAdvance(QString::fromUtf8(t.data(), qsizetype(t.size()))) <= room;
    });
    m_shown = QString::fromStdString(shown);
    setToolTip(m_shown == text() ? QString() : text());
}

void ResultLabel::paintEvent(QPaintEvent *)
{
    fit(); // measured again in the font as painted, whatever changed it since
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(),
                          m_shown, foregroundRole());
}

} // namespace fuelix
