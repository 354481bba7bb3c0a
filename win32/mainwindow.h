// The program's window on the plain Win32 API: one child window of a standard class for every
// control of the layout table, the eight bevel lines painted by the window itself, and the
// notifications of those controls turned into FuelixFrm's handlers. Built in mainwindow.cpp; its
// messages are in mainwindow_messages.cpp, its side of Controls in mainwindow_controls.cpp.
#pragma once

#include "win32/dpi.h"
#include "win32/panelline.h"
#include "win32/resultlabel.h"
#include "win32/textbox.h"
#include "window/controls.h"
#include "window/fuelixfrm.h"
#include "window/layout.h"

#include <windows.h>

#include <array>
#include <string>
#include <string_view>

namespace fuelix::win32 {

// Registers the common control classes and the window class; call once before MainWindow.
void initialise();

// Runs the message loop, with the dialog manager for Tab and access keys, until WM_QUIT.
int runMessageLoop(HWND window);
// Handles one retrieved message as the loop does.
void dispatch(HWND window, MSG &message);

class MainWindow final : public Controls
{
public:
    // Creates the window and its controls, sized for the DPI of the monitor it opens on,
    // centred on that monitor's work area and still hidden.
    MainWindow();
    ~MainWindow();
    MainWindow(const MainWindow &) = delete;
    MainWindow &operator=(const MainWindow &) = delete;

    void show(int how);

    HWND hwnd() const { return m_hwnd; }
    // The child window of a control in the layout table; lines have none.
    HWND control(std::string_view name) const;
    FuelixFrm &form() { return m_form; }
    UINT dpi() const { return m_dpi; }
    // What a result label shows: its caption, or the rounded form when that is too wide.
    std::string shownCaption(Result label) const;
    // The tooltip that shows a rounded result's full caption.
    HWND tooltip() const { return m_tooltip; }

    std::string text(Box box) const override;
    void setText(Box box, std::string_view text) override;
    int caret(Box box) const override;
    void setCaret(Box box, int caret) override;
    int value(Slider slider) const override;
    void setValue(Slider slider, int value) override;
    std::string caption(Result label) const override;
    void setCaption(Result label, std::string_view caption) override;
    Alignment pumpFullAlignment() const override { return m_pumpFullAlignment; }
    void setPumpFullAlignment(Alignment alignment) override;
    int drawMode(int line) const override;
    void setDrawMode(int line, int mode) override;
    void setFocus(Box box) override;
    void showMessage(std::string_view message, std::string_view title) override;
    void quit() override;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void connectBoxes();
    void applyDpi(UINT dpi);
    SIZE frameSize() const;
    bool handling() const { return m_ready && !m_quitting; }
    void command(int id, int code);
    void scrolled(HWND slider);
    // Back to the control that had the focus when the window was last active.
    void restoreFocus();
    void finishFocused();
    void drawItem(const DRAWITEMSTRUCT &item);
    TextBox &box(Box box) { return m_boxes[static_cast<std::size_t>(box)]; }
    const TextBox &box(Box box) const { return m_boxes[static_cast<std::size_t>(box)]; }
    ResultLabel &result(Result label) { return m_results[static_cast<std::size_t>(label)]; }
    const ResultLabel &result(Result label) const
    {
        return m_results[static_cast<std::size_t>(label)];
    }
    HFONT resultFont(Result label) const;
    int px(int twips) const { return MulDiv(twips, static_cast<int>(m_dpi), TwipsPerInch); }

    FuelixFrm m_form{*this};
    HWND m_hwnd = nullptr;
    HWND m_tooltip = nullptr;
    HWND m_lastFocus = nullptr;
    UINT m_dpi = 96;
    std::array<HWND, Layout.size()> m_controls{};
    std::array<TextBox, 3> m_boxes;
    std::array<ResultLabel, 4> m_results;
    std::array<PanelLine, 8> m_lines{PanelLine(0), PanelLine(1), PanelLine(2), PanelLine(3),
                                     PanelLine(4), PanelLine(5), PanelLine(6), PanelLine(7)};
    std::array<int, 2> m_sliderValues{};
    Alignment m_pumpFullAlignment = Alignment::Left;
    Fonts m_fonts;
    HICON m_bigIcon = nullptr, m_smallIcon = nullptr, m_pictureIcon = nullptr;
    bool m_ready = false, m_quitting = false, m_destroyedByOwner = false;
};

} // namespace fuelix::win32
