#include "win32/panelline.h"

#include "win32/dpi.h"
#include "window/layout.h"

#include <algorithm>
#include <utility>

namespace fuelix::win32 {

namespace {

// Perceived brightness, enough to tell a dark scheme's text from its surface.
int lightness(COLORREF colour)
{
    return 299 * GetRValue(colour) + 587 * GetGValue(colour) + 114 * GetBValue(colour);
}

} // namespace

PanelLine::PanelLine(int index) : m_index(index), m_drawMode(line(index).value) {}

void PanelLine::setDrawMode(int mode, HWND surface, UINT dpi)
{
    m_drawMode = mode;
    const RECT r = pixels(dpi);
    InvalidateRect(surface, &r, FALSE);
}

RECT PanelLine::pixels(UINT dpi) const
{
    const Control &c = line(m_index);
    const auto px = [dpi](int twips) { return MulDiv(twips, static_cast<int>(dpi), TwipsPerInch); };
    const int x1 = px(c.left), y1 = px(c.top), x2 = px(c.widthOrRight), y2 = px(c.heightOrBottom);
    const int width = std::max(1, scaled(1, dpi));
    // From the start up to, not including, the end point, as a pen draws a line.
    const auto span = [width](int from, int to) {
        return from < to   ? std::pair{from, to}
               : from > to ? std::pair{to + width, from + width}
                           : std::pair{from, from + width}; // across the line
    };
    const auto [left, right] = span(x1, x2);
    const auto [top, bottom] = span(y1, y2);
    return {left, top, right, bottom};
}

COLORREF PanelLine::colour() const
{
    if (m_drawMode == Whiteness)
        return RGB(255, 255, 255);
    // A dark scheme's text colour would vanish against its surface: the bevel keeps black.
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    return lightness(text) > lightness(GetSysColor(COLOR_BTNFACE)) ? RGB(0, 0, 0) : text;
}

void PanelLine::paint(HDC dc, UINT dpi) const
{
    const HPEN pen = CreatePen(PS_SOLID, 1, colour());
    const HGDIOBJ old = SelectObject(dc, pen);
    SetROP2(dc, m_drawMode == Whiteness ? R2_WHITE : R2_COPYPEN);
    const RECT r = pixels(dpi);
    if (r.right - r.left < r.bottom - r.top) {
        for (int x = r.left; x < r.right; ++x) {
            MoveToEx(dc, x, r.top, nullptr);
            LineTo(dc, x, r.bottom);
        }
    } else {
        for (int y = r.top; y < r.bottom; ++y) {
            MoveToEx(dc, r.left, y, nullptr);
            LineTo(dc, r.right, y);
        }
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

void paintLines(HDC dc, const std::array<PanelLine, 8> &lines, UINT dpi)
{
    for (std::size_t row = Layout.size(); row-- > 0;)
        if (Layout[row].kind == Kind::Line)
            lines[static_cast<std::size_t>(Layout[row].name.back() - '1')].paint(dc, dpi);
}

} // namespace fuelix::win32
