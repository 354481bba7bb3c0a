#include "win32/dpi.h"

#include "win32/widetext.h"
#include "window/layout.h"

#include <cmath>

namespace fuelix::win32 {

namespace {

constexpr double DefaultPoints = 8;
// Outline faces of the same look, for the DPIs the layout's bitmap face was not drawn for:
// Windows' own outline twin first, then the one Wine and every Windows since XP carry.
constexpr const wchar_t *OutlineFaces[] = {L"Microsoft Sans Serif", L"Tahoma"};

// A screen DC with one font selected at a time, for measuring.
class Measure
{
public:
    Measure() : m_dc(GetDC(nullptr)), m_old(GetCurrentObject(m_dc, OBJ_FONT)) {}
    ~Measure()
    {
        SelectObject(m_dc, m_old);
        ReleaseDC(nullptr, m_dc);
    }
    Measure(const Measure &) = delete;
    Measure &operator=(const Measure &) = delete;

    // Whether the font as realised has that face and draws its glyphs at any size. A bitmap
    // face (no outline) was drawn for 96 dpi: there it keeps the design's look, but at another
    // DPI GDI gives a strike of the 96-dpi size, or one blown up with gaps between the letters.
    bool drawsAt(HFONT font, const std::wstring &face, UINT dpi)
    {
        SelectObject(m_dc, font);
        TEXTMETRICW metrics{};
        GetTextMetricsW(m_dc, &metrics);
        wchar_t realised[LF_FACESIZE] = {};
        GetTextFaceW(m_dc, LF_FACESIZE, realised);
        const bool outline = metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE);
        return lstrcmpiW(realised, face.c_str()) == 0 && (outline || dpi == 96);
    }

    // Whether every label of that size shows its caption on one line in its box. The boxes
    // were made for the bitmap face's widths, and an outline face is a little wider.
    bool fits(HFONT font, double points, UINT dpi)
    {
        SelectObject(m_dc, font);
        for (const Control &c : Layout) {
            if (c.kind != Kind::Label || c.points != points)
                continue;
            const std::wstring caption = toWide(c.content);
            SIZE size{};
            GetTextExtentPoint32W(m_dc, caption.data(), static_cast<int>(caption.size()), &size);
            if (size.cx > MulDiv(c.widthOrRight, static_cast<int>(dpi), TwipsPerInch))
                return false;
        }
        return true;
    }

private:
    HDC m_dc;
    HGDIOBJ m_old;
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

HFONT makeFont(double points, UINT dpi)
{
    Measure measure;
    const int pixels = static_cast<int>(std::lround(points * dpi / 72.0));
    const std::wstring wanted = toWide(ResultFontFamily);
    HFONT font = create(wanted, pixels);
    if (measure.drawsAt(font, wanted, dpi))
        return font;
    for (const std::wstring face : OutlineFaces) {
        HFONT other = create(face, pixels);
        if (!measure.drawsAt(other, face, dpi)) {
            DeleteObject(other);
            continue;
        }
        // A pixel or two smaller where a caption would not fit, down to a tenth less.
        for (int smaller = pixels - 1;
             !measure.fits(other, points, dpi) && smaller >= pixels * 9 / 10; --smaller) {
            DeleteObject(other);
            other = create(face, smaller);
        }
        DeleteObject(font);
        return other;
    }
    return font; // the nearest there is
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

void Fonts::make(UINT dpi)
{
    for (const auto &[points, handle] : m_old)
        DeleteObject(handle);
    m_old = std::exchange(m_fonts, {});
    m_fonts.emplace_back(0, makeFont(DefaultPoints, dpi));
    for (const Control &c : Layout)
        if (c.points > 0 && at(c.points) == m_fonts.front().second)
            m_fonts.emplace_back(c.points, makeFont(c.points, dpi));
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
