#include "win32/mainwindow.h"

#include "model/number_text.h"
#include "win32/iconfile.h"
#include "win32/widetext.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

namespace fuelix::win32 {

namespace {

constexpr int FirstId = 100; // control ids: FirstId + the control's row in Layout
constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                              WS_CLIPCHILDREN; // fixed frame, no maximise box
constexpr double DefaultPoints = 8;
const wchar_t *const ClassName = L"FuelixFrm";

constexpr std::size_t indexOf(std::string_view name)
{
    return static_cast<std::size_t>(&control(name) - Layout.data());
}

constexpr std::array<std::size_t, 3> BoxRows{
    indexOf("TankOctaneRatingTxt"), indexOf("TankCapacityTxt"), indexOf("PumpOctaneRatingTxt")};
constexpr std::array<std::size_t, 2> SliderRows{indexOf("TankSld"), indexOf("PumpSld")};
constexpr std::array<std::size_t, 4> ResultRows{indexOf("TankValueLbl"), indexOf("PumpFullLbl"),
                                                indexOf("PumpValueLbl"), indexOf("FinalOctaneLbl")};
constexpr std::size_t PictureRow = indexOf("PicPct");
constexpr std::size_t PumpFullRow = indexOf("PumpFullLbl");

constexpr std::size_t rowOf(Box box)
{
    return BoxRows[static_cast<std::size_t>(box)];
}

bool isResult(std::size_t row)
{
    return std::find(ResultRows.begin(), ResultRows.end(), row) != ResultRows.end();
}

std::wstring windowText(HWND hwnd)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)), L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()) + 1)));
    return text;
}

// Functions of newer Windows versions, looked up so that the program still starts without them.
template <class Function> Function user32(const char *name)
{
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

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

void adjustForDpi(RECT &rect, UINT dpi)
{
    static const auto forDpi =
        user32<BOOL(WINAPI *)(LPRECT, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (!forDpi || !forDpi(&rect, WindowStyle, FALSE, 0, dpi))
        AdjustWindowRectEx(&rect, WindowStyle, FALSE, 0);
}

HFONT makeFont(double points, UINT dpi)
{
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    const std::wstring family = toWide(ResultFontFamily);
    family.copy(font.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

HICON makeIcon(int source, int size)
{
    std::vector<std::uint8_t> image = iconImage(source);
    return CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE,
                                    0x00030000, size, size, LR_DEFAULTCOLOR);
}

// Perceived brightness, enough to tell a dark scheme's text from its surface.
int lightness(COLORREF colour)
{
    return 299 * GetRValue(colour) + 587 * GetGValue(colour) + 114 * GetBValue(colour);
}

UINT textFormat(Alignment alignment)
{
    switch (alignment) {
    case Alignment::Right:
        return DT_RIGHT;
    case Alignment::Centre:
        return DT_CENTER;
    case Alignment::Left:
        break;
    }
    return DT_LEFT;
}

DWORD labelStyle(Alignment alignment)
{
    switch (alignment) {
    case Alignment::Right:
        return SS_RIGHT;
    case Alignment::Centre:
        return SS_CENTER;
    case Alignment::Left:
        break;
    }
    return SS_LEFTNOWORDWRAP;
}

// Marks a box as running its own Change handler for as long as the handler runs.
class ChangeScope
{
public:
    explicit ChangeScope(bool &flag) : m_flag(flag), m_was(flag) { m_flag = true; }
    ~ChangeScope() { m_flag = m_was; }
    ChangeScope(const ChangeScope &) = delete;
    ChangeScope &operator=(const ChangeScope &) = delete;

private:
    bool &m_flag;
    bool m_was;
};

} // namespace

void initialise()
{
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

void dispatch(HWND window, MSG &message)
{
    if (!IsWindow(window) || !IsDialogMessageW(window, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int runMessageLoop(HWND window)
{
    MSG message{};
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0)
        dispatch(window, message);
    return got < 0 ? 1 : static_cast<int>(message.wParam);
}

MainWindow::MainWindow()
{
    for (int i = 0; i < 8; ++i)
        m_drawModes[static_cast<std::size_t>(i)] = line(i).value;
    m_pumpFullAlignment = Layout[PumpFullRow].alignment;

    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(1));
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = ClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    if (!registered)
        throw std::runtime_error("RegisterClassEx failed");

    const std::wstring title = toWide(fuelix::MainWindow.title);
    CreateWindowExW(0, ClassName, title.c_str(), WindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, 100,
                    100, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!m_hwnd)
        throw std::runtime_error("CreateWindowEx failed");

    m_bigIcon = makeIcon(32, GetSystemMetrics(SM_CXICON));
    m_smallIcon = makeIcon(16, GetSystemMetrics(SM_CXSMICON));
    SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon));
    SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));

    createControls();
    applyDpi(dpiOf(m_hwnd));

    // The client area at this DPI, centred on the work area of the window's monitor.
    RECT frame{0, 0, px(fuelix::MainWindow.clientWidth), px(fuelix::MainWindow.clientHeight)};
    adjustForDpi(frame, m_dpi);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(m_hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT &work = monitor.rcWork;
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(m_hwnd, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    m_lastFocus = m_controls[rowOf(Box::TankOctaneRatingTxt)];
    m_ready = true;
}

MainWindow::~MainWindow()
{
    m_quitting = true; // no handler runs while the controls go
    m_destroyedByOwner = true;
    if (m_hwnd)
        DestroyWindow(m_hwnd);
    for (const auto &[points, handle] : m_fonts)
        DeleteObject(handle);
    for (HICON icon : {m_bigIcon, m_smallIcon, m_pictureIcon})
        if (icon)
            DestroyIcon(icon);
}

void MainWindow::show(int how)
{
    ShowWindow(m_hwnd, how);
    UpdateWindow(m_hwnd);
}

void MainWindow::createControls()
{
    // Creation order is the tab order (the dialog manager walks the windows in that order),
    // and it also stacks the controls as the layout does where they overlap.
    std::array<std::size_t, Layout.size()> rows{};
    std::iota(rows.begin(), rows.end(), 0);
    std::stable_sort(rows.begin(), rows.end(), [](std::size_t a, std::size_t b) {
        return Layout[a].tabIndex < Layout[b].tabIndex;
    });
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const std::size_t row : rows) {
        const Control &c = Layout[row];
        const wchar_t *windowClass = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE, exStyle = 0;
        switch (c.kind) {
        case Kind::Line:
            continue;
        case Kind::PictureBox:
            style |= SS_OWNERDRAW | SS_NOTIFY;
            break;
        case Kind::PushButton:
            windowClass = L"BUTTON";
            style |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        case Kind::Slider:
            windowClass = TRACKBAR_CLASSW;
            style |= TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS | WS_TABSTOP;
            break;
        case Kind::TextBox:
            windowClass = L"EDIT";
            style |= ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case Kind::Label:
            // Results draw themselves, to show a rounded form when the caption is too wide;
            // SS_NOTIFY lets their tooltip see the mouse.
            style |=
                isResult(row) ? SS_OWNERDRAW | SS_NOTIFY : labelStyle(c.alignment) | SS_NOPREFIX;
            break;
        }
        const std::wstring content = toWide(c.content);
        const HWND hwnd = CreateWindowExW(
            exStyle, windowClass, content.c_str(), style, 0, 0, 0, 0, m_hwnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(FirstId + static_cast<int>(row))),
            instance, nullptr);
        if (!hwnd)
            throw std::runtime_error("CreateWindowEx failed for a control");
        m_controls[row] = hwnd;
        if (c.kind == Kind::TextBox)
            SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);
        if (c.kind == Kind::Slider) {
            SendMessageW(hwnd, TBM_SETRANGE, FALSE, MAKELPARAM(Sliders.minimum, Sliders.maximum));
            SendMessageW(hwnd, TBM_SETLINESIZE, 0, Sliders.lineStep);
            SendMessageW(hwnd, TBM_SETPAGESIZE, 0, Sliders.pageStep);
            SendMessageW(hwnd, TBM_SETTICFREQ, Sliders.tickInterval, 0);
            SendMessageW(hwnd, TBM_SETPOS, TRUE, c.value);
        }
    }
    for (std::size_t s = 0; s < SliderRows.size(); ++s)
        m_sliderValues[s] =
            static_cast<int>(SendMessageW(m_controls[SliderRows[s]], TBM_GETPOS, 0, 0));

    m_tooltip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr, instance, nullptr);
}

HFONT MainWindow::font(double points) const
{
    for (const auto &[size, handle] : m_fonts)
        if (size == points)
            return handle;
    return m_fonts.empty() ? nullptr : m_fonts.front().second;
}

void MainWindow::applyDpi(UINT dpi)
{
    m_dpi = dpi;
    const auto old = std::exchange(m_fonts, {});
    m_fonts.emplace_back(0, makeFont(DefaultPoints, dpi));
    for (const Control &c : Layout)
        if (c.points > 0 && font(c.points) == m_fonts.front().second)
            m_fonts.emplace_back(c.points, makeFont(c.points, dpi));

    for (std::size_t row = 0; row < Layout.size(); ++row) {
        const Control &c = Layout[row];
        if (const HWND hwnd = m_controls[row]) {
            SetWindowPos(hwnd, nullptr, px(c.left), px(c.top), px(c.widthOrRight),
                         px(c.heightOrBottom), SWP_NOZORDER | SWP_NOACTIVATE);
            SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font(c.points)), TRUE);
        }
    }
    for (const auto &[points, handle] : old)
        DeleteObject(handle);

    if (m_pictureIcon)
        DestroyIcon(m_pictureIcon);
    m_pictureIcon = makeIcon(32, MulDiv(32, static_cast<int>(dpi), 96));
    for (std::size_t r = 0; r < ResultRows.size(); ++r)
        refit(static_cast<Result>(r));
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

HWND MainWindow::control(std::string_view name) const
{
    for (std::size_t row = 0; row < Layout.size(); ++row)
        if (Layout[row].name == name)
            return m_controls[row];
    return nullptr;
}

std::string MainWindow::shownCaption(Result label) const
{
    return toUtf8(m_shown[static_cast<std::size_t>(label)]);
}

RECT MainWindow::lineRect(int index) const
{
    // Both ends belong to the line, which is one pixel wide at 96 dpi and thicker in step.
    const Control &c = line(index);
    const int x1 = px(c.left), y1 = px(c.top), x2 = px(c.widthOrRight), y2 = px(c.heightOrBottom);
    const int width = std::max(1, MulDiv(1, static_cast<int>(m_dpi), 96));
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + width, std::max(y1, y2) + width};
}

COLORREF MainWindow::lineColour(int index) const
{
    if (drawMode(index) == Whiteness)
        return RGB(255, 255, 255);
    // A dark scheme's text colour would vanish against its surface: the bevel keeps black.
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    return lightness(text) > lightness(GetSysColor(COLOR_BTNFACE)) ? RGB(0, 0, 0) : text;
}

void MainWindow::paintLines(HDC dc) const
{
    // Bottom of the stack first, so that a line higher up covers a crossing.
    for (std::size_t row = Layout.size(); row-- > 0;) {
        if (Layout[row].kind != Kind::Line)
            continue;
        const int index = Layout[row].name.back() - '1';
        const HPEN pen = CreatePen(PS_SOLID, 1, lineColour(index));
        const HGDIOBJ old = SelectObject(dc, pen);
        SetROP2(dc, drawMode(index) == Whiteness ? R2_WHITE : R2_COPYPEN);
        const RECT r = lineRect(index);
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
}

void MainWindow::refit(Result label)
{
    const auto r = static_cast<std::size_t>(label);
    const HWND hwnd = m_controls[ResultRows[r]];
    const std::string full = caption(label);
    RECT box{};
    GetClientRect(hwnd, &box);
    const HDC dc = GetDC(hwnd);
    const HGDIOBJ old = SelectObject(dc, font(Layout[ResultRows[r]].points));
    std::string shown;
    try {
        shown = FittedCaption(full, [&](std::string_view text) {
            const std::wstring wide = toWide(text);
            SIZE size{};
            GetTextExtentPoint32W(dc, wide.data(), static_cast<int>(wide.size()), &size);
            return size.cx <= box.right;
        });
    } catch (...) {
        SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
        throw;
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    m_shown[r] = toWide(shown);

    // The full caption as a tooltip, only while the label shows less.
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(hwnd);
    std::wstring tip = toWide(full);
    tool.lpszText = tip.data();
    if (shown != full) {
        SendMessageW(m_tooltip, m_tipShown[r] ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0,
                     reinterpret_cast<LPARAM>(&tool));
        m_tipShown[r] = true;
    } else if (m_tipShown[r]) {
        SendMessageW(m_tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        m_tipShown[r] = false;
    }
    InvalidateRect(hwnd, nullptr, TRUE);
}

void MainWindow::drawLabel(const DRAWITEMSTRUCT &item)
{
    const std::size_t row = item.CtlID - FirstId;
    const RECT &r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (row == PictureRow) {
        const int size = MulDiv(32, static_cast<int>(m_dpi), 96);
        DrawIconEx(item.hDC, r.left, r.top, m_pictureIcon, size, size, 0, nullptr, DI_NORMAL);
        return;
    }
    const auto result = std::find(ResultRows.begin(), ResultRows.end(), row);
    if (result == ResultRows.end())
        return;
    const std::wstring &shown = m_shown[static_cast<std::size_t>(result - ResultRows.begin())];
    const Alignment alignment = row == PumpFullRow ? m_pumpFullAlignment : Layout[row].alignment;
    const HGDIOBJ old = SelectObject(item.hDC, font(Layout[row].points));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
    RECT text = r;
    DrawTextW(item.hDC, shown.c_str(), static_cast<int>(shown.size()), &text,
              textFormat(alignment) | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(item.hDC, old);
}

std::string MainWindow::text(Box box) const
{
    return toUtf8(windowText(m_controls[rowOf(box)]));
}

void MainWindow::setText(Box box, std::string_view text)
{
    const HWND hwnd = m_controls[rowOf(box)];
    const std::wstring wide = toWide(text), current = windowText(hwnd);
    if (wide == current)
        return;
    if (!m_changing[static_cast<std::size_t>(box)]) {
        SetWindowTextW(hwnd, wide.c_str());
        return;
    }
    // The write-back while the user types: a replacement the edit control can undo, and the
    // insertion point keeps its distance from the end of the text.
    DWORD start = 0, end = 0;
    SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::size_t fromEnd = current.size() - std::min<std::size_t>(end, current.size());
    SendMessageW(hwnd, EM_SETSEL, 0, -1);
    SendMessageW(hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
    const auto length = static_cast<std::size_t>(GetWindowTextLengthW(hwnd));
    const auto caret = static_cast<WPARAM>(length > fromEnd ? length - fromEnd : 0);
    SendMessageW(hwnd, EM_SETSEL, caret, static_cast<LPARAM>(caret));
    SendMessageW(hwnd, EM_SCROLLCARET, 0, 0);
}

int MainWindow::caret(Box box) const
{
    DWORD start = 0, end = 0;
    SendMessageW(m_controls[rowOf(box)], EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end);
}

void MainWindow::setCaret(Box box, int caret)
{
    const HWND hwnd = m_controls[rowOf(box)];
    SendMessageW(hwnd, EM_SETSEL, static_cast<WPARAM>(caret), caret);
    SendMessageW(hwnd, EM_SCROLLCARET, 0, 0);
}

int MainWindow::value(Slider slider) const
{
    return static_cast<int>(
        SendMessageW(m_controls[SliderRows[static_cast<std::size_t>(slider)]], TBM_GETPOS, 0, 0));
}

void MainWindow::setValue(Slider slider, int value)
{
    const auto s = static_cast<std::size_t>(slider);
    SendMessageW(m_controls[SliderRows[s]], TBM_SETPOS, TRUE, value);
    m_sliderValues[s] = this->value(slider);
}

std::string MainWindow::caption(Result label) const
{
    return toUtf8(windowText(m_controls[ResultRows[static_cast<std::size_t>(label)]]));
}

void MainWindow::setCaption(Result label, std::string_view caption)
{
    const std::wstring wide = toWide(caption);
    SetWindowTextW(m_controls[ResultRows[static_cast<std::size_t>(label)]], wide.c_str());
    refit(label);
}

void MainWindow::setPumpFullAlignment(Alignment alignment)
{
    m_pumpFullAlignment = alignment;
    InvalidateRect(m_controls[PumpFullRow], nullptr, TRUE);
}

int MainWindow::drawMode(int line) const
{
    return m_drawModes.at(static_cast<std::size_t>(line));
}

void MainWindow::setDrawMode(int line, int mode)
{
    m_drawModes.at(static_cast<std::size_t>(line)) = mode;
    const RECT r = lineRect(line);
    InvalidateRect(m_hwnd, &r, FALSE);
}

void MainWindow::setFocus(Box box)
{
    SetFocus(m_controls[rowOf(box)]);
}

void MainWindow::showMessage(std::string_view message, std::string_view title)
{
    const std::wstring text = toWide(message), caption = toWide(title);
    MessageBoxW(m_hwnd, text.c_str(), caption.c_str(), MB_OK);
}

void MainWindow::quit()
{
    m_quitting = true;
    DestroyWindow(m_hwnd);
}

void MainWindow::finishFocused()
{
    const HWND focus = GetFocus();
    for (std::size_t b = 0; b < BoxRows.size(); ++b)
        if (focus == m_controls[BoxRows[b]])
            m_form.finishEditing(static_cast<Box>(b));
    // Enter on a push button presses it, as Space does.
    for (std::size_t row = 0; row < Layout.size(); ++row)
        if (focus && focus == m_controls[row] && Layout[row].kind == Kind::PushButton)
            command(FirstId + static_cast<int>(row), BN_CLICKED);
}

void MainWindow::command(int id, int code)
{
    if (!m_ready || m_quitting)
        return;
    if (id == IDOK) { // Enter, through the dialog manager
        finishFocused();
        return;
    }
    if (id < FirstId || id >= FirstId + static_cast<int>(Layout.size()))
        return;
    const auto row = static_cast<std::size_t>(id - FirstId);
    const std::string_view name = Layout[row].name;
    for (std::size_t b = 0; b < BoxRows.size(); ++b) {
        if (row != BoxRows[b])
            continue;
        if (code == EN_CHANGE) {
            const ChangeScope scope(m_changing[b]);
            m_form.change(static_cast<Box>(b));
        } else if (code == EN_KILLFOCUS) {
            m_form.finishEditing(static_cast<Box>(b));
        }
        return;
    }
    if (code == BN_CLICKED && name == "ResetCmd")
        m_form.ResetCmd_Click();
    else if (code == BN_CLICKED && name == "AboutCmd")
        m_form.AboutCmd_Click();
    else if (code == BN_CLICKED && name == "QuitCmd")
        m_form.QuitCmd_Click();
    else if (code == STN_CLICKED && row == PictureRow) // STN_DBLCLK has no handler
        m_form.PicPct_Click();
}

LRESULT CALLBACK MainWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *self =
            static_cast<MainWindow *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto *self = reinterpret_cast<MainWindow *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    // No exception crosses into Windows: a failed handler leaves the window as it stands.
    try {
        return self->handle(message, wParam, lParam);
    } catch (const std::exception &) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_HSCROLL:
        for (std::size_t s = 0; s < SliderRows.size(); ++s) {
            const auto slider = static_cast<Slider>(s);
            // Every move by the user, once; the end of a drag or a key's release moves nothing.
            if (reinterpret_cast<HWND>(lParam) == m_controls[SliderRows[s]] && m_ready &&
                !m_quitting && value(slider) != m_sliderValues[s]) {
                m_sliderValues[s] = value(slider);
                if (slider == Slider::TankSld)
                    m_form.TankSld_Scroll();
                else
                    m_form.PumpSld_Scroll();
            }
        }
        return 0;
    case WM_CTLCOLORSTATIC: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DRAWITEM:
        drawLabel(*reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(m_hwnd, &paint);
        paintLines(dc);
        EndPaint(m_hwnd, &paint);
        return 0;
    }
    case WM_ACTIVATE:
        // A plain window forgets its focused control when it loses activation: keep it.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(m_hwnd, focus))
                m_lastFocus = focus;
        } else if (m_lastFocus && IsWindow(m_lastFocus)) {
            SetFocus(m_lastFocus);
            return 0;
        }
        break;
    case WM_SETFOCUS:
        if (m_lastFocus && IsWindow(m_lastFocus))
            SetFocus(m_lastFocus);
        return 0;
    case WM_DPICHANGED: {
        applyDpi(HIWORD(wParam));
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_CLOSE:
        m_quitting = true;
        break;
    case WM_DESTROY:
        m_quitting = true;
        if (!m_destroyedByOwner)
            PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY: {
        const HWND hwnd = std::exchange(m_hwnd, nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        m_tooltip = m_lastFocus = nullptr;
        m_controls.fill(nullptr);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

} // namespace fuelix::win32
