// One edge of a panel's bevel: a line one pixel wide at 96 dpi (thicker in step with the DPI)
// that the window paints on its own surface, beneath the labels, in the colour its DrawMode
// selects: copy pen (13) a dark colour, whiteness (16) white.
#pragma once

#include <windows.h>

#include <array>

namespace fuelix::win32 {

class PanelLine
{
public:
    explicit PanelLine(int index = 0); // Ln1 to Ln8 by index 0 to 7, in its start mode

    int drawMode() const { return m_drawMode; }
    // Repaints the line's pixels on the surface; raises nothing else.
    void setDrawMode(int mode, HWND surface, UINT dpi);

    // The pixels it covers, both ends included, in the surface's client coordinates.
    RECT pixels(UINT dpi) const;
    COLORREF colour() const;
    void paint(HDC dc, UINT dpi) const;

private:
    int m_index;
    int m_drawMode;
};

// Paints the eight lines, bottom of the layout's stack first, so that a higher one covers a
// crossing.
void paintLines(HDC dc, const std::array<PanelLine, 8> &lines, UINT dpi);

} // namespace fuelix::win32
