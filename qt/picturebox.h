// PicPct: the program's picture, drawn at its top-left corner, with a Click of its own.
#pragma once

#include <QImage>
#include <QWidget>

namespace fuelix {

class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(const QImage &picture, QWidget *parent = nullptr);

signals:
    // A left press and release inside the box. The second press of a double click is a
    // double-click notification, not a click.
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QImage m_picture;
    bool m_pressed = false;
};

} // namespace fuelix
