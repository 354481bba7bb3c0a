// One edge of a panel's bevel: a line one logical pixel wide that the window draws on its own
// surface, beneath the labels, in the colour its DrawMode selects: copy pen (13) the window text
// colour, whiteness (16) white.
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>

class QPainter;
class QPalette;
class QWidget;

namespace fuelix {

class PanelLine : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int DrawMode READ drawMode WRITE setDrawMode)

public:
    // Ends in window pixels; the line is horizontal or vertical and stops short of its end.
    PanelLine(const QString &name, QPoint from, QPoint to, int drawMode, QWidget *surface);

    int drawMode() const { return m_drawMode; }
    // Repaints the line's pixels on the window; raises nothing else.
    void setDrawMode(int mode);

    void paint(QPainter &painter, const QPalette &palette) const;

private:
    QRect m_pixels;
    int m_drawMode;
};

} // namespace fuelix
