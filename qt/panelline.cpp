#include "qt/panelline.h"

#include "window/layout.h"

#include <QPainter>
#include <QPalette>
#include <QWidget>

#include <algorithm>

namespace fuelix {

namespace {

// A line covers the pixels from its start up to, not including, its end, as a pen line does on
// Windows; so corners meet without overshooting.
QRect pixelsOf(QPoint from, QPoint to)
{
    const auto towards = [](int a, int b) { return a < b ? 1 : a > b ? -1 : 0; };
    const QPoint last = to - QPoint(towards(from.x(), to.x()), towards(from.y(), to.y()));
    return QRect(QPoint(std::min(from.x(), last.x()), std::min(from.y(), last.y())),
                 QPoint(std::max(from.x(), last.x()), std::max(from.y(), last.y())));
}

} // namespace

PanelLine::PanelLine(const QString &name, QPoint from, QPoint to, int drawMode, QWidget *surface)
    : QObject(surface), m_pixels(pixelsOf(from, to)), m_drawMode(drawMode)
{
    setObjectName(name);
}

void PanelLine::setDrawMode(int mode)
{
    if (mode == m_drawMode)
        return;
    m_drawMode = mode;
    if (auto *surface = qobject_cast<QWidget *>(parent()))
        surface->update(m_pixels);
}

void PanelLine::paint(QPainter &painter, const QPalette &palette) const
{
    // A one-pixel pen along the centre of the covered pixels, with flat caps and no antialiasing,
    // fills exactly those pixels at any scale factor: two device pixels wide at scale 2.
    // On a dark scheme the text colour is light, and copy pen would look like whiteness.
    QColor dark = palette.color(QPalette::WindowText);
    if (dark.lightness() > palette.color(QPalette::Window).lightness())
        dark = Qt::black;
    QPen pen(m_drawMode == CopyPen ? dark : QColor(Qt::white), 1.0);
    pen.setCosmetic(false);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    const QRect &r = m_pixels; // QRect's right() and bottom() are its last pixels
    if (r.width() == 1)
        painter.drawLine(QLineF(r.left() + 0.5, r.top(), r.left() + 0.5, r.bottom() + 1.0));
    else
        painter.drawLine(QLineF(r.left(), r.top() + 0.5, r.right() + 1.0, r.top() + 0.5));
}

} // namespace fuelix
