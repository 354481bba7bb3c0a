#include "win32/dpi.h"

#include "win32/widetext.h"
#include "window/layout.h"

#include <cmath>
#include <string>
#include <utility>

namespace fuelix::win32 {

namespace {

constexpr double DefaultPoints = 8;
// Outline faces of the same look, for the DPIs the layout's bitmap face was not drawn for:
// Windows' own outline twin first, then the one Wine and every Windows since XP carry.
constexpr const wchar_t *OutlineFaces[] = {L"Microsoft Sans Serif", L"Tahoma"};

// The window's DC, for measuring fonts as GDI realises them there.
class Measure
{
public:
    explicit Measure(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~Measure() { ReleaseDC(m_window, m_dc); }
    Measure(const Measure &) = delete;
    Measure &operator=(const Measure &) = delete;

    // The face GDI gives for the font: the one asked for, or whatever it substitutes.
    std::wstring face(HFONT font)
    {
        const HGDIOBJ old = SelectObject(m_dc, font);
        wchar_t realised[LF_FACESIZE] = {};
        GetTextFaceW(m_dc, LF_FACESIZE, realised);
        SelectObject(m_dc, old);
        return realised;
    }

    // Whether the font as realised has that face and draws its glyphs at any size. A bitmap
    // face (no outline) was drawn for 96 dpi: there it keeps the design's look, but at another
    // DPI GDI gives a strike of the 96-dpi size, or one blown up with gaps between the letters.
    bool drawsAt(HFONT font, const std::wstring &wanted, UINT dpi)
    {
        const HGDIOBJ old = SelectObject(m_dc, font);
        TEXTMETRICW metrics{};
        GetTextMetricsW(m_dc, &metrics);
        SelectObject(m_dc, old);
        const bool outline = metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE);
        return lstrcmpiW(face(font).c_str(), wanted.c_str()) == 0 && (outline || dpi == 96);
    }

    // Whether every label drawn in that size shows its caption on one line within its box.
    // The boxes were made for the bitmap face's widths; any other face may be wider.
    bool fits(HFONT font, double points, UINT dpi)
    {
        const HGDIOBJ old = SelectObject(m_dc, font);
        bool all = true;
        for (const Control &c : Layout) {
            if (c.kind != Kind::Label || (c.points > 0 ? c.points : DefaultPoints) != points)
                continue;
            const std::wstring caption = toWide(c.content);
            SIZE size{};
            GetTextExtentPoint32W(m_dc, caption.data(), static_cast<int>(caption.size()), &size);
            all = all && size.cx <= MulDiv(c.widthOrRight, static_cast<int>(dpi), TwipsPerInch) &&
                  size.cy <= MulDiv(c.heightOrBottom, static_cast<int>(dpi), TwipsPerInch);
        }
        SelectObject(m_dc, old);
        return all;
    }

private:
    HWND m_window;
    HDC m_dc;
};

HFONT create(const std::wstring &face, int pixels)
{
    LOGFONTW font{};
    font.lfHeight = -pixels;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

HFONT makeFont(Measure &measure, double points, UINT dpi)
{
    const int pixels = static_cast<int>(std::lround(points * dpi / 72.0));
    // The layout's face where it draws at this DPI, else an outline twin, else whatever GDI
    // substitutes for the layout's face on a system that has none of them.
    const std::wstring wanted = toWide(ResultFontFamily);
    std::wstring face;
    for (const std::wstring &candidate :
         {wanted, std::wstring(OutlineFaces[0]), std::wstring(OutlineFaces[1])}) {
        const HFONT font = create(candidate, pixels);
        if (measure.drawsAt(font, candidate, dpi))
            face = candidate;
        DeleteObject(font);
        if (!face.empty())
            break;
    }
    if (face.empty()) {
        const HFONT font = create(wanted, pixels);
        face = measure.face(font);
        DeleteObject(font);
    }
    // In that face, a pixel smaller at a time until every caption fits as measured.
    HFONT font = create(face, pixels);
    for (int smaller = pixels - 1; !measure.fits(font, points, dpi) && smaller >= pixels / 2;
         --smaller)
        DeleteObject(std::exchange(font, create(face, smaller)));
    return font;
}

} // namespace

UINT dpiOf(HWND hwnd)
{
    // GetDpiForWindow is looked up: older Windows versions have none.
    using ForWindow = UINT(WINAPI *)(HWND);
    static const auto forWindow = reinterpret_cast<ForWindow>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (forWindow)
        if (const UINT dpi = forWindow(hwnd))
            return dpi;
    const HDC dc = GetDC(hwnd);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(hwnd, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

void Fonts::make(UINT dpi, HWND window)
{
    for (const auto &[points, handle] : m_old)
        DeleteObject(handle);
    m_old = std::exchange(m_fonts, {});
    Measure measure(window);
    m_fonts.emplace_back(0, makeFont(measure, DefaultPoints, dpi));
    for (const Control &c : Layout)
        if (c.points > 0 && at(c.points) == m_fonts.front().second)
            m_fonts.emplace_back(c.points, makeFont(measure, c.points, dpi));
}

HFONT Fonts::at(double points) const
{
    for (const auto &[size, handle] : m_fonts)
        if (size == points)
            return handle;
    return m_fonts.empty() ? nullptr : m_fonts.front().second;
}

void Fonts::clear()
{
    for (auto *fonts : {&m_fonts, &m_old})
        for (const auto &[points, handle] : *fonts)
            DeleteObject(handle);
}

} // namespace fuelix::win32
