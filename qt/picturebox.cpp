#include "qt/picturebox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>

namespace fuelix {

namespace {

// To assistive technology the picture is what it acts as: a button whose Press is a click.
class PictureBoxAccessible : public QAccessibleWidget
{
public:
    explicit PictureBoxAccessible(PictureBox *box) : QAccessibleWidget(box, QAccessible::Button) {}

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction())
            emit static_cast<PictureBox *>(widget())->clicked();
    }
};

QAccessibleInterface *accessibleFactory(const QString &key, QObject *object)
{
    if (key == QLatin1String(PictureBox::staticMetaObject.className()))
        if (auto *box = qobject_cast<PictureBox *>(object))
            return new PictureBoxAccessible(box);
    return nullptr;
}

} // namespace

PictureBox::PictureBox(const QImage &picture, QWidget *parent) : QWidget(parent), m_picture(picture)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setFocusPolicy(Qt::NoFocus);
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // Pixel art: enlarged without smoothing on high-density screens.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(QPoint(0, 0), m_picture.size()), m_picture);
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The default would take it for a second press, and its release for a second click.
    event->accept();
}

} // namespace fuelix
