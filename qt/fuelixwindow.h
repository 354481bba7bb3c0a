// The Qt front end of the program's one window: widgets built from the layout table, the
// control interface the window's behaviour reads and writes, and Qt's notifications forwarded
// to its handlers.
#pragma once

#include "window/controls.h"
#include "window/fuelixfrm.h"

#include <QWidget>

#include <array>

class QLabel;

namespace fuelix {

struct Control;
class PanelLine;
class ResultLabel;
class ScrollSlider;
class TextBox;

class FuelixWindow : public QWidget, private Controls
{
    Q_OBJECT

public:
    explicit FuelixWindow(QWidget *parent = nullptr);
    ~FuelixWindow() override;

    // How often the results have been recomputed since start.
    long recalculations() const { return m_frm.recalculations(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void createControl(const Control &c);
    void connectHandlers();
    // Runs a handler; nothing it throws (only memory can run out) may leave a Qt slot.
    template <class Handler> void run(Handler handler);

    std::string text(Box box) const override;
    void setText(Box box, std::string_view text) override;
    int caret(Box box) const override;
    void setCaret(Box box, int caret) override;
    int value(Slider slider) const override;
    void setValue(Slider slider, int value) override;
    std::string caption(Result label) const override;
    void setCaption(Result label, std::string_view caption) override;
    Alignment pumpFullAlignment() const override;
    void setPumpFullAlignment(Alignment alignment) override;
    int drawMode(int line) const override;
    void setDrawMode(int line, int mode) override;
    void setFocus(Box box) override;
    void showMessage(std::string_view message, std::string_view title) override;
    void quit() override;

    std::array<TextBox *, 3> m_boxes{};
    std::array<ScrollSlider *, 2> m_sliders{};
    std::array<ResultLabel *, 4> m_results{};
    std::array<PanelLine *, 8> m_lines{};  // Ln1 to Ln8
    std::vector<PanelLine *> m_paintOrder; // bottom of the stacking order first
    FuelixFrm m_frm{*this};
};

} // namespace fuelix
