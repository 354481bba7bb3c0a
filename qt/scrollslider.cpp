#include "qt/scrollslider.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QProxyStyle>
#include <QStyleOption>

#include <algorithm>

namespace fuelix {

namespace {

// A click beside the thumb, anywhere on the slider, moves one page step toward it, whatever the
// desktop's style prefers; no button jumps straight to the click.
class PageClickStyle : public QProxyStyle
{
public:
    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                     const QPoint &pos, const QWidget *widget) const override
    {
        const SubControl hit = QProxyStyle::hitTestComplexControl(control, option, pos, widget);
        if (control == CC_Slider && hit != SC_SliderHandle && option->rect.contains(pos))
            return SC_SliderGroove;
        return hit;
    }

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_Slider_AbsoluteSetButtons)
            return Qt::NoButton;
        if (hint == SH_Slider_PageSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Qt's own slider interface sets the value as the program would, which raises no scrolled();
// a value set by assistive technology is the user's move.
class ScrollSliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit ScrollSliderAccessible(ScrollSlider *slider)
        : QAccessibleWidget(slider, QAccessible::Slider)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return QString::number(slider()->value());
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return slider()->value(); }
    void setCurrentValue(const QVariant &value) override
    {
        slider()->setValueAsUser(value.toInt());
    }
    QVariant maximumValue() const override { return slider()->maximum(); }
    QVariant minimumValue() const override { return slider()->minimum(); }
    QVariant minimumStepSize() const override { return slider()->singleStep(); }

private:
    ScrollSlider *slider() const { return static_cast<ScrollSlider *>(widget()); }
};

QAccessibleInterface *accessibleFactory(const QString &key, QObject *object)
{
    if (key == QLatin1String(ScrollSlider::staticMetaObject.className()))
        if (auto *slider = qobject_cast<ScrollSlider *>(object))
            return new ScrollSliderAccessible(slider);
    return nullptr;
}

} // namespace

ScrollSlider::ScrollSlider(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    auto *style = new PageClickStyle;
    style->setParent(this);
    setStyle(style);

    connect(this, &QAbstractSlider::actionTriggered, this, &ScrollSlider::onActionTriggered);
    connect(this, &QAbstractSlider::valueChanged, this, &ScrollSlider::onValueChanged);
}

void ScrollSlider::setValueAsUser(int value)
{
    if (bound(value) == this->value())
        return;
    m_userMove = true;
    setValue(value);
    m_userMove = false;
}

int ScrollSlider::bound(int value) const
{
    return std::clamp(value, minimum(), maximum());
}

void ScrollSlider::onActionTriggered()
{
    // Every user move arrives here first, while value() is still the old position; the slider
    // sets the value right after. A key against the end of the track moves nothing, so it
    // raises nothing, as a screen reader's setting of the value already there does.
    m_userMove = sliderPosition() != value();
}

void ScrollSlider::onValueChanged()
{
    if (!m_userMove)
        return;
    m_userMove = false;
    emit scrolled();
}

} // namespace fuelix
