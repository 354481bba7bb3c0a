// A result label: a static control that draws itself, showing its caption, or the caption
// rounded to the digits that fit (or "###") when the whole number is wider than the fixed box,
// with the whole number as its tooltip.
#pragma once

#include "model/blend.h"

#include <windows.h>

#include <string>

namespace fuelix::win32 {

// A label's caption on one line in its box, never broken onto a second: the static control's
// own right and centred styles break a caption that does not fit.
void drawCaption(const DRAWITEMSTRUCT &item, HFONT font, Alignment alignment,
                 const std::wstring &caption);
std::wstring windowText(HWND hwnd);

class ResultLabel
{
public:
    // The label's static control (SS_OWNERDRAW), and the tooltip control that the owner window
    // shares among its labels.
    void attach(HWND label, HWND tooltip);
    HWND hwnd() const { return m_hwnd; }

    std::wstring caption() const;
    // Sets the caption and fits it at the font.
    void setCaption(const std::wstring &caption, HFONT font);
    // Fits the caption again, after the font or the size has changed.
    void refit(HFONT font);
    // What the label shows.
    const std::wstring &shown() const { return m_shown; }

    void draw(const DRAWITEMSTRUCT &item, HFONT font, Alignment alignment) const;

private:
    void showTip(const std::wstring &caption, bool show);

    HWND m_hwnd = nullptr, m_tooltip = nullptr;
    std::wstring m_shown;
    bool m_tipShown = false;
};

} // namespace fuelix::win32
