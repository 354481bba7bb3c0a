// A text box: a native EDIT control whose undo history is the window core's, since the control's
// own keeps one step that every write-back of a tidied number replaces. Ctrl+Z, Alt+Backspace,
// WM_UNDO, EM_UNDO and the context menu's Undo take a step back; Ctrl+Y, Ctrl+Shift+Z and the
// menu's Redo (RedoMessage) take one forward; EM_CANUNDO answers from the history.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace fuelix::win32 {

class TextBox
{
public:
    // Redo, by the number rich edit controls give it (EM_REDO); a plain EDIT has none.
    static constexpr UINT RedoMessage = WM_USER + 84;

    TextBox() = default;
    TextBox(const TextBox &) = delete;
    TextBox &operator=(const TextBox &) = delete;

    // Takes over the control's messages until it is destroyed.
    void attach(HWND edit);
    HWND hwnd() const { return m_hwnd; }

    std::wstring text() const;
    // The program's assignment of a different text; the control's EN_CHANGE arrives inside the
    // call. In a box being edited the insertion point keeps its distance from the end of the
    // text; any other box shows the start of its text.
    void assign(const std::wstring &text);
    // The insertion point as a UTF-16 index; setting it scrolls it into view.
    int caret() const;
    void setCaret(int caret);

    // The history's side, set by the window.
    std::function<void()> undoRequested = [] {}, redoRequested = [] {};
    std::function<bool()> canUndo = [] { return false; }, canRedo = [] { return false; };

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT undo();
    LRESULT redo();
    void showMenu(LPARAM at);
    void showStart();

    HWND m_hwnd = nullptr;
    bool m_decimalKey = false; // the character on its way comes from the keypad's decimal key
};

} // namespace fuelix::win32
