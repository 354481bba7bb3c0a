// A result label: its caption is the whole number, but a caption wider than the fixed box is
// shown rounded to the digits that fit (or "###"), with the whole number as its tooltip.
#pragma once

#include <QLabel>

namespace fuelix {

class ResultLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

    void setCaption(const QString &caption);
    // What the label shows.
    QString shown() const { return m_shown; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void fit();

    QString m_shown;
};

} // namespace fuelix
