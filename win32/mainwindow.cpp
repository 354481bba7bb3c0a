// MainWindow's construction: the window class, a child window for every control of the layout,
// and the layout, fonts and icons at the window's DPI.
#include "win32/mainwindow.h"

#include "win32/iconfile.h"
#include "win32/layoutrows.h"
#include "win32/widetext.h"

#include <commctrl.h>

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <utility>
#include <vector>

namespace fuelix::win32 {

namespace {

constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                              WS_CLIPCHILDREN; // fixed frame, no maximise box
const wchar_t *const ClassName = L"FuelixFrm";

bool isResult(std::size_t row)
{
    return std::find(ResultRows.begin(), ResultRows.end(), row) != ResultRows.end();
}

HICON makeIcon(int source, int size)
{
    std::vector<std::uint8_t> image = iconImage(source);
    return CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE,
                                    0x00030000, size, size, LR_DEFAULTCOLOR);
}

// The window class and extra styles of a control of the layout, or none for a line.
struct ControlClass
{
    const wchar_t *name;
    DWORD style, exStyle;
};

ControlClass classOf(std::size_t row)
{
    const Control &c = Layout[row];
    switch (c.kind) {
    case Kind::Line:
        break;
    case Kind::PictureBox:
        return {L"STATIC", SS_OWNERDRAW | SS_NOTIFY, 0};
    case Kind::PushButton:
        return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case Kind::Slider:
        return {TRACKBAR_CLASSW, TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS | WS_TABSTOP, 0};
    case Kind::TextBox:
        return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case Kind::Label:
        // Labels draw themselves, on one line; results show a rounded form when the caption is
        // too wide, and SS_NOTIFY lets their tooltip see the mouse.
        return {L"STATIC", static_cast<DWORD>(SS_OWNERDRAW | (isResult(row) ? SS_NOTIFY : 0)), 0};
    }
    return {nullptr, 0, 0};
}

} // namespace

void initialise()
{
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

MainWindow::MainWindow()
{
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
    connectBoxes();
    applyDpi(dpiOf(m_hwnd));

    // Centred on the work area of the window's monitor.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(m_hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT &work = monitor.rcWork;
    const SIZE frame = frameSize();
    SetWindowPos(m_hwnd, nullptr, work.left + (work.right - work.left - frame.cx) / 2,
                 work.top + (work.bottom - work.top - frame.cy) / 2, frame.cx, frame.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    m_ready = true;
}

MainWindow::~MainWindow()
{
    m_quitting = true; // no handler runs while the controls go
    m_destroyedByOwner = true;
    if (m_hwnd)
        DestroyWindow(m_hwnd);
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
    m_tooltip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr, instance, nullptr);
    for (const std::size_t row : rows) {
        const Control &c = Layout[row];
        const ControlClass kind = classOf(row);
        if (!kind.name)
            continue;
        const std::wstring content = toWide(c.content);
        const HWND hwnd = CreateWindowExW(
            kind.exStyle, kind.name, content.c_str(), WS_CHILD | WS_VISIBLE | kind.style, 0, 0, 0,
            0, m_hwnd,
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
    for (std::size_t r = 0; r < ResultRows.size(); ++r)
        m_results[r].attach(m_controls[ResultRows[r]], m_tooltip);
}

void MainWindow::connectBoxes()
{
    for (std::size_t b = 0; b < BoxRows.size(); ++b) {
        const auto which = static_cast<Box>(b);
        TextBox &textBox = m_boxes[b];
        textBox.attach(m_controls[BoxRows[b]]);
        textBox.undoRequested = [this, which] {
            if (handling())
                m_form.undo(which);
        };
        textBox.redoRequested = [this, which] {
            if (handling())
                m_form.redo(which);
        };
        textBox.canUndo = [this, which] { return m_form.canUndo(which); };
        textBox.canRedo = [this, which] { return m_form.canRedo(which); };
    }
}

void MainWindow::applyDpi(UINT dpi)
{
    m_dpi = dpi;
    m_fonts.make(dpi, m_hwnd);
    for (std::size_t row = 0; row < Layout.size(); ++row) {
        const Control &c = Layout[row];
        if (const HWND hwnd = m_controls[row]) {
            SetWindowPos(hwnd, nullptr, px(c.left), px(c.top), px(c.widthOrRight),
                         px(c.heightOrBottom), SWP_NOZORDER | SWP_NOACTIVATE);
            SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_fonts.at(c.points)), TRUE);
        }
    }
    if (m_pictureIcon)
        DestroyIcon(m_pictureIcon);
    m_pictureIcon = makeIcon(32, scaled(32, dpi));
    for (std::size_t r = 0; r < m_results.size(); ++r)
        m_results[r].refit(resultFont(static_cast<Result>(r)));
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

SIZE MainWindow::frameSize() const
{
    // The client area the layout asks for at this DPI, in the frame the window has now (which
    // Windows may draw at another DPI than the layout's).
    RECT window, client;
    GetWindowRect(m_hwnd, &window);
    GetClientRect(m_hwnd, &client);
    return {px(fuelix::MainWindow.clientWidth) + window.right - window.left - client.right,
            px(fuelix::MainWindow.clientHeight) + window.bottom - window.top - client.bottom};
}

HWND MainWindow::control(std::string_view name) const
{
    for (std::size_t row = 0; row < Layout.size(); ++row)
        if (Layout[row].name == name)
            return m_controls[row];
    return nullptr;
}

} // namespace fuelix::win32
