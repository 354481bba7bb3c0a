// MainWindow's side of the Controls interface: the properties the window core reads and writes,
// as the child windows hold them.
#include "win32/layoutrows.h"
#include "win32/mainwindow.h"
#include "win32/widetext.h"

#include <commctrl.h>

namespace fuelix::win32 {

std::string MainWindow::shownCaption(Result label) const
{
    return toUtf8(result(label).shown());
}

HFONT MainWindow::resultFont(Result label) const
{
    return m_fonts.at(Layout[ResultRows[static_cast<std::size_t>(label)]].points);
}

std::string MainWindow::text(Box which) const
{
    return toUtf8(box(which).text());
}

void MainWindow::setText(Box which, std::string_view text)
{
    box(which).assign(toWide(text));
}

int MainWindow::caret(Box which) const
{
    return box(which).caret();
}

void MainWindow::setCaret(Box which, int caret)
{
    box(which).setCaret(caret);
}

int MainWindow::value(Slider slider) const
{
    return static_cast<int>(
        SendMessageW(m_controls[SliderRows[static_cast<std::size_t>(slider)]], TBM_GETPOS, 0, 0));
}

void MainWindow::setValue(Slider slider, int value)
{
    const auto s = static_cast<std::size_t>(slider);
    SendMessageW(m_controls[SliderRows[s]], TBM_SETPOS, TRUE, value);
    m_sliderValues[s] = this->value(slider);
}

std::string MainWindow::caption(Result label) const
{
    return toUtf8(result(label).caption());
}

void MainWindow::setCaption(Result label, std::string_view caption)
{
    result(label).setCaption(toWide(caption), resultFont(label));
}

void MainWindow::setPumpFullAlignment(Alignment alignment)
{
    m_pumpFullAlignment = alignment;
    InvalidateRect(m_controls[PumpFullRow], nullptr, TRUE);
}

int MainWindow::drawMode(int line) const
{
    return m_lines.at(static_cast<std::size_t>(line)).drawMode();
}

void MainWindow::setDrawMode(int line, int mode)
{
    m_lines.at(static_cast<std::size_t>(line)).setDrawMode(mode, m_hwnd, m_dpi);
}

void MainWindow::setFocus(Box which)
{
    // The dialog manager selects a box's text when Tab brings the focus; SetFocus does not.
    SetFocus(box(which).hwnd());
    SendMessageW(box(which).hwnd(), EM_SETSEL, 0, -1);
}

void MainWindow::showMessage(std::string_view message, std::string_view title)
{
    const std::wstring text = toWide(message), caption = toWide(title);
    MessageBoxW(m_hwnd, text.c_str(), caption.c_str(), MB_OK);
}

void MainWindow::quit()
{
    m_quitting = true;
    DestroyWindow(m_hwnd);
}

} // namespace fuelix::win32
