#include "win32/textbox.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <utility>

namespace fuelix::win32 {

namespace {

bool down(int key)
{
    return GetKeyState(key) < 0;
}

} // namespace

void TextBox::attach(HWND edit)
{
    m_hwnd = edit;
    SetWindowSubclass(edit, proc, 0, reinterpret_cast<DWORD_PTR>(this));
}

std::wstring TextBox::text() const
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(m_hwnd)), L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(m_hwnd, text.data(), static_cast<int>(text.size()) + 1)));
    return text;
}

void TextBox::assign(const std::wstring &text)
{
    const std::wstring current = this->text();
    if (text == current)
        return;
    const int fromEnd = static_cast<int>(current.size()) - std::min(caret(), int(current.size()));
    SetWindowTextW(m_hwnd, text.c_str()); // leaves the caret, and so the view, at the start
    if (GetFocus() == m_hwnd)
        setCaret(std::max(0, GetWindowTextLengthW(m_hwnd) - fromEnd));
}

int TextBox::caret() const
{
    DWORD start = 0, end = 0;
    SendMessageW(m_hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end);
}

void TextBox::setCaret(int caret)
{
    SendMessageW(m_hwnd, EM_SETSEL, static_cast<WPARAM>(caret), caret);
    SendMessageW(m_hwnd, EM_SCROLLCARET, 0, 0);
}

void TextBox::showStart()
{
    // A box not being edited shows the start of its number, whatever it was scrolled to.
    setCaret(0);
}

LRESULT TextBox::undo()
{
    const bool could = canUndo();
    undoRequested();
    return could;
}

LRESULT TextBox::redo()
{
    const bool could = canRedo();
    redoRequested();
    return could;
}

LRESULT CALLBACK TextBox::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR self)
{
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, proc, 0);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    // No exception crosses into Windows: a failed handler leaves the box as it stands.
    try {
        return reinterpret_cast<TextBox *>(self)->handle(message, wParam, lParam);
    } catch (const std::exception &) {
        return 0;
    }
}

LRESULT TextBox::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
        m_decimalKey = wParam == VK_DECIMAL;
        if (down(VK_CONTROL) && !down(VK_MENU)) {
            if (wParam == 'Z' && !down(VK_SHIFT))
                return undo(), 0;
            if (wParam == 'Y' || wParam == 'Z')
                return redo(), 0;
        }
        break;
    case WM_CHAR:
        if (wParam == 0x1a || wParam == 0x19) // Ctrl+Z and Ctrl+Y, handled as keys above
            return 0;
        // The keypad's decimal key writes the point the numbers use, whatever the layout
        // makes of it (a German one gives a comma).
        if (std::exchange(m_decimalKey, false))
            wParam = L'.';
        break;
    case WM_SYSKEYDOWN:
        if (wParam == VK_BACK && (lParam & (1 << 29))) { // Alt+Backspace, the older undo key
            undo();
            // The window's default handling must see the chord too: else it takes Alt, when
            // released first, for a lone Alt press and opens the window's menu, which then
            // swallows the keys that follow.
            DefWindowProcW(m_hwnd, message, wParam, lParam);
            return 0;
        }
        break;
    case WM_SYSCHAR:
        if (wParam == VK_BACK)
            return 0;
        break;
    case WM_UNDO:
    case EM_UNDO:
        return undo();
    case RedoMessage:
        return redo();
    case EM_CANUNDO:
        return canUndo();
    case WM_CONTEXTMENU:
        showMenu(lParam);
        return 0;
    case WM_KILLFOCUS: {
        const LRESULT result = DefSubclassProc(m_hwnd, message, wParam, lParam);
        showStart();
        return result;
    }
    default:
        break;
    }
    return DefSubclassProc(m_hwnd, message, wParam, lParam);
}

void TextBox::showMenu(LPARAM at)
{
    POINT where{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (at == -1) { // from the keyboard: below the box's left edge
        RECT r;
        GetWindowRect(m_hwnd, &r);
        where = {r.left, r.bottom};
    }
    SetFocus(m_hwnd);
    DWORD start = 0, end = 0;
    SendMessageW(m_hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const bool selection = start != end;
    // Each command's id is the message the box is sent for it.
    const HMENU menu = CreatePopupMenu();
    const auto add = [menu](UINT message, const wchar_t *label, bool enabled) {
        AppendMenuW(menu, MF_STRING | (enabled ? 0 : MF_GRAYED), message, label);
    };
    add(WM_UNDO, L"&Undo\tCtrl+Z", canUndo());
    add(RedoMessage, L"&Redo\tCtrl+Y", canRedo());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    add(WM_CUT, L"Cu&t\tCtrl+X", selection);
    add(WM_COPY, L"&Copy\tCtrl+C", selection);
    add(WM_PASTE, L"&Paste\tCtrl+V", IsClipboardFormatAvailable(CF_UNICODETEXT));
    add(WM_CLEAR, L"&Delete\tDel", selection);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    add(EM_SETSEL, L"Select &All\tCtrl+A", GetWindowTextLengthW(m_hwnd) > 0);
    const UINT chosen =
        static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                         where.x, where.y, 0, m_hwnd, nullptr));
    DestroyMenu(menu);
    if (chosen == EM_SETSEL)
        SendMessageW(m_hwnd, EM_SETSEL, 0, -1);
    else if (chosen)
        SendMessageW(m_hwnd, chosen, 0, 0);
}

} // namespace fuelix::win32
