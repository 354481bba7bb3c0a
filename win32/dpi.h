// The window's dots per inch and the fonts made for them: every size is scaled from the layout's
// 96-dpi design, at start and whenever the window moves to a monitor of another density.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

namespace fuelix::win32 {

// The DPI the window is drawn at (the system's where Windows knows no per-monitor one).
UINT dpiOf(HWND hwnd);
// Pixels at that DPI for a length given at 96 dpi.
inline int scaled(int pixels96, UINT dpi)
{
    return MulDiv(pixels96, static_cast<int>(dpi), 96);
}

// The fonts of every size the layout asks for, at one DPI.
class Fonts
{
public:
    Fonts() = default;
    ~Fonts() { clear(); }
    Fonts(const Fonts &) = delete;
    Fonts &operator=(const Fonts &) = delete;

    // Makes them anew for that DPI, measured in the window's DC: the layout's face where it was
    // drawn for that DPI, else an outline face, else the system's substitute, made smaller
    // where a label's caption would not fit its box on one line. The handles given out before
    // stay valid until the next call, so that controls can switch.
    void make(UINT dpi, HWND window);
    // The font for a size in points; 0 is the window's default size.
    HFONT at(double points) const;

private:
    void clear();

    std::vector<std::pair<double, HFONT>> m_fonts, m_old; // by points
};

} // namespace fuelix::win32
