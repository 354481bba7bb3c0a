// A slider that tells the user's moves apart from the program's: scrolled() follows every move by
// keyboard, mouse, wheel or assistive technology, with value() already at the new position, and
// never a setValue() from the program.
#pragma once

#include <QSlider>

namespace fuelix {

class ScrollSlider : public QSlider
{
    Q_OBJECT

public:
    explicit ScrollSlider(QWidget *parent = nullptr);

    // A position chosen by the user through something other than the slider's own input
    // handling, such as a screen reader: moves like setValue(), then raises scrolled().
    void setValueAsUser(int value);

signals:
    void scrolled();

private:
    int bound(int value) const;
    void onActionTriggered();
    void onValueChanged();

    bool m_userMove = false;
};

} // namespace fuelix
