#include "win32/resultlabel.h"

#include "model/number_text.h"
#include "win32/widetext.h"

#include <commctrl.h>

#include <vector>

namespace fuelix::win32 {

std::wstring windowText(HWND hwnd)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)), L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()) + 1)));
    return text;
}

namespace {

// Selects a font into a DC for as long as it lives, so that a throwing measurement still
// gives the DC back as it found it.
class ScreenDc
{
public:
    ScreenDc(HWND hwnd, HFONT font)
        : m_hwnd(hwnd), m_dc(GetDC(hwnd)), m_old(SelectObject(m_dc, font))
    {
    }
    ~ScreenDc()
    {
        SelectObject(m_dc, m_old);
        ReleaseDC(m_hwnd, m_dc);
    }
    ScreenDc(const ScreenDc &) = delete;
    ScreenDc &operator=(const ScreenDc &) = delete;
    HDC dc() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
    HGDIOBJ m_old;
};

} // namespace

void ResultLabel::attach(HWND label, HWND tooltip)
{
    m_hwnd = label;
    m_tooltip = tooltip;
    m_shown = caption();
}

std::wstring ResultLabel::caption() const
{
    return windowText(m_hwnd);
}

void ResultLabel::setCaption(const std::wstring &caption, HFONT font)
{
    SetWindowTextW(m_hwnd, caption.c_str());
    refit(font);
}

void ResultLabel::refit(HFONT font)
{
    const std::wstring full = caption();
    RECT box{};
    GetClientRect(m_hwnd, &box);
    const ScreenDc screen(m_hwnd, font);
    m_shown = toWide(FittedCaption(toUtf8(full), [&](std::string_view text) {
        const std::wstring wide = toWide(text);
        SIZE size{};
        GetTextExtentPoint32W(screen.dc(), wide.data(), static_cast<int>(wide.size()), &size);
        return size.cx <= box.right;
    }));
    showTip(full, m_shown != full);
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void ResultLabel::showTip(const std::wstring &caption, bool show)
{
    // The full caption as a tooltip, only while the label shows less.
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(m_hwnd);
    tool.uId = reinterpret_cast<UINT_PTR>(m_hwnd);
    std::wstring tip = caption;
    tool.lpszText = tip.data();
    if (show) {
        SendMessageW(m_tooltip, m_tipShown ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0,
                     reinterpret_cast<LPARAM>(&tool));
        m_tipShown = true;
    } else if (m_tipShown) {
        SendMessageW(m_tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        m_tipShown = false;
    }
}

void ResultLabel::draw(const DRAWITEMSTRUCT &item, HFONT font, Alignment alignment) const
{
    drawCaption(item, font, alignment, m_shown);
}

void drawCaption(const DRAWITEMSTRUCT &item, HFONT font, Alignment alignment,
                 const std::wstring &caption)
{
    const RECT &r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    const HGDIOBJ old = SelectObject(item.hDC, font);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
    // Every character where GDI measures it, so that the caption takes the width its font was
    // fitted by: Wine draws a substitute face at some sizes wider than it measures it.
    const int length = static_cast<int>(caption.size());
    std::vector<int> advances(caption.size() + 1); // first the end of each character
    SIZE size{};
    GetTextExtentExPointW(item.hDC, caption.c_str(), length, 0, nullptr, advances.data(), &size);
    for (std::size_t i = caption.size(); i-- > 1;)
        advances[i] -= advances[i - 1];
    const int x = alignment == Alignment::Right    ? r.right - size.cx
                  : alignment == Alignment::Centre ? (r.left + r.right - size.cx) / 2
                                                   : r.left;
    ExtTextOutW(item.hDC, x, r.top, ETO_CLIPPED, &r, caption.c_str(), static_cast<UINT>(length),
                advances.data());
    SelectObject(item.hDC, old);
}

} // namespace fuelix::win32
