// The message loop, and MainWindow's messages: its controls' notifications turned into
// FuelixFrm's handlers, painting, focus and a change of DPI.
#include "win32/layoutrows.h"
#include "win32/mainwindow.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <utility>

namespace fuelix::win32 {

void dispatch(HWND window, MSG &message)
{
    if (!IsWindow(window) || !IsDialogMessageW(window, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int runMessageLoop(HWND window)
{
    MSG message{};
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0)
        dispatch(window, message);
    return got < 0 ? 1 : static_cast<int>(message.wParam);
}

void MainWindow::drawItem(const DRAWITEMSTRUCT &item)
{
    const std::size_t row = item.CtlID - FirstId;
    if (row == PictureRow) {
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
        const int size = scaled(32, m_dpi);
        DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, m_pictureIcon, size, size, 0,
                   nullptr, DI_NORMAL);
        return;
    }
    const auto r = std::find(ResultRows.begin(), ResultRows.end(), row);
    if (r == ResultRows.end()) {
        if (row < Layout.size() && Layout[row].kind == Kind::Label)
            drawCaption(item, m_fonts.at(Layout[row].points), Layout[row].alignment,
                        windowText(item.hwndItem));
        return;
    }
    const auto label = static_cast<Result>(r - ResultRows.begin());
    result(label).draw(item, resultFont(label),
                       row == PumpFullRow ? m_pumpFullAlignment : Layout[row].alignment);
}

void MainWindow::restoreFocus()
{
    if (m_lastFocus && IsWindow(m_lastFocus))
        SetFocus(m_lastFocus);
    else if (handling()) { // the first time: the first box, as the program gives the focus
        setFocus(Box::TankOctaneRatingTxt);
        m_lastFocus = GetFocus();
    }
}

void MainWindow::finishFocused()
{
    const HWND focus = GetFocus();
    for (std::size_t b = 0; b < BoxRows.size(); ++b)
        if (focus == m_controls[BoxRows[b]])
            m_form.finishEditing(static_cast<Box>(b));
    // Enter on a push button presses it, as Space does.
    for (std::size_t row = 0; row < Layout.size(); ++row)
        if (focus && focus == m_controls[row] && Layout[row].kind == Kind::PushButton)
            command(FirstId + static_cast<int>(row), BN_CLICKED);
}

void MainWindow::command(int id, int code)
{
    if (!handling())
        return;
    if (id == IDOK) { // Enter, through the dialog manager
        finishFocused();
        return;
    }
    if (id < FirstId || id >= FirstId + static_cast<int>(Layout.size()))
        return;
    const auto row = static_cast<std::size_t>(id - FirstId);
    const std::string_view name = Layout[row].name;
    for (std::size_t b = 0; b < BoxRows.size(); ++b) {
        if (row != BoxRows[b])
            continue;
        if (code == EN_CHANGE)
            m_form.change(static_cast<Box>(b));
        else if (code == EN_KILLFOCUS)
            m_form.finishEditing(static_cast<Box>(b));
        return;
    }
    if (code == BN_CLICKED && name == "ResetCmd")
        m_form.ResetCmd_Click();
    else if (code == BN_CLICKED && name == "AboutCmd")
        m_form.AboutCmd_Click();
    else if (code == BN_CLICKED && name == "QuitCmd")
        m_form.QuitCmd_Click();
    else if (code == STN_CLICKED && row == PictureRow) // STN_DBLCLK has no handler
        m_form.PicPct_Click();
}

void MainWindow::scrolled(HWND slider)
{
    for (std::size_t s = 0; s < SliderRows.size(); ++s) {
        const auto which = static_cast<Slider>(s);
        // Every move by the user, once; the end of a drag or a key's release moves nothing.
        if (slider == m_controls[SliderRows[s]] && handling() &&
            value(which) != m_sliderValues[s]) {
            m_sliderValues[s] = value(which);
            if (which == Slider::TankSld)
                m_form.TankSld_Scroll();
            else
                m_form.PumpSld_Scroll();
        }
    }
}

LRESULT CALLBACK MainWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *self =
            static_cast<MainWindow *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto *self = reinterpret_cast<MainWindow *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    // No exception crosses into Windows: a failed handler leaves the window as it stands.
    try {
        return self->handle(message, wParam, lParam);
    } catch (const std::exception &) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_HSCROLL:
        scrolled(reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_CTLCOLORSTATIC: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DRAWITEM:
        drawItem(*reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(m_hwnd, &paint);
        paintLines(dc, m_lines, m_dpi);
        EndPaint(m_hwnd, &paint);
        return 0;
    }
    case WM_ACTIVATE:
        // A plain window forgets its focused control when it loses activation: keep it.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(m_hwnd, focus))
                m_lastFocus = focus;
        } else {
            restoreFocus();
            return 0;
        }
        break;
    case WM_SETFOCUS:
        restoreFocus();
        return 0;
    case WM_DPICHANGED: {
        // Another monitor's density: the layout and its fonts again, at the place Windows
        // suggests, with the client area the layout asks for.
        applyDpi(HIWORD(wParam));
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        const SIZE frame = frameSize();
        SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top, frame.cx, frame.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_CLOSE:
        m_quitting = true;
        break;
    case WM_DESTROY:
        m_quitting = true;
        if (!m_destroyedByOwner)
            PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY: {
        const HWND hwnd = std::exchange(m_hwnd, nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        m_tooltip = m_lastFocus = nullptr;
        m_controls.fill(nullptr);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

} // namespace fuelix::win32
