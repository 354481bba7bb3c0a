#include "win32/dpi.h"

#include "win32/widetext.h"
#include "window/layout.h"

#include <cmath>

namespace fuelix::win32 {

namespace {

constexpr double DefaultPoints = 8;
// Outline faces of the same look, for the sizes the layout's bitmap face has no strike for:
// Windows' own outline twin first, then the one Wine and every Windows since XP carry.
constexpr const wchar_t *ScalableFaces[] = {L"Microsoft Sans Serif", L"Tahoma"};

// Functions of newer Windows versions, looked up so that the program still starts without them.
template <class Function> Function user32(const char *name)
{
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

HFONT create(const std::wstring &face, int pixels)
{
    LOGFONTW font{};
    font.lfHeight = -pixels;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

// Whether the font as realised has that face and draws its glyphs at any size. A bitmap face
// (no outline) was drawn for 96 dpi: there it keeps the design's look, but at another DPI GDI
// gives a strike of the 96-dpi size, or one blown up with gaps between the letters.
bool drawsAt(HFONT font, const std::wstring &face, UINT dpi)
{
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    wchar_t realised[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, realised);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const bool outline = metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE);
    return lstrcmpiW(realised, face.c_str()) == 0 && (outline || dpi == 96);
}

HFONT makeFont(double points, UINT dpi)
{
    const int pixels = static_cast<int>(std::lround(points * dpi / 72.0));
    const std::wstring wanted = toWide(ResultFontFamily);
    HFONT font = create(wanted, pixels);
    if (drawsAt(font, wanted, dpi))
        return font;
    for (const std::wstring face : ScalableFaces) {
        const HFONT other = create(face, pixels);
        if (drawsAt(other, face, dpi)) {
            DeleteObject(font);
            return other;
        }
        DeleteObject(other);
    }
    return font; // the nearest there is
}

} // namespace

UINT dpiOf(HWND hwnd)
{
    static const auto forWindow = user32<UINT(WINAPI *)(HWND)>("GetDpiForWindow");
    if (forWindow)
        if (const UINT dpi = forWindow(hwnd))
            return dpi;
    const HDC dc = GetDC(hwnd);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(hwnd, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

void adjustForDpi(RECT &rect, DWORD style, UINT dpi)
{
    static const auto forDpi =
        user32<BOOL(WINAPI *)(LPRECT, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (!forDpi || !forDpi(&rect, style, FALSE, 0, dpi))
        AdjustWindowRectEx(&rect, style, FALSE, 0);
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
