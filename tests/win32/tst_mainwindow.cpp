// The Win32 window as Windows drives it: real key and mouse input through SendInput, the
// controls' own notifications, and what ends up in the window texts and on the screen.
#include "tests/support/bevel_corners.h"
#include "win32/iconfile.h"
#include "win32/mainwindow.h"
#include "win32/resultlabel.h"
#include "win32/textbox.h"
#include "win32/widetext.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace {

using namespace fuelix;
using namespace fuelix::win32;

using Modes = std::array<int, 8>;
const Modes Raised = {16, 16, 13, 13, 16, 16, 13, 13}, Sunken = {13, 13, 16, 16, 13, 13, 16, 16};

INPUT key(WORD vk, DWORD flags = 0)
{
    INPUT input{INPUT_KEYBOARD, {}};
    input.ki.wVk = vk;
    input.ki.dwFlags = flags;
    return input;
}

INPUT mouse(DWORD flags, POINT at = {})
{
    INPUT input{INPUT_MOUSE, {}};
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags;
    return input;
}

// Whether a text box's view starts at the first character of its text (an empty one does).
bool showsStart(HWND box)
{
    if (GetWindowTextLengthW(box) == 0)
        return true;
    RECT view{};
    SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&view));
    return static_cast<short>(LOWORD(SendMessageW(box, EM_POSFROMCHAR, 0, 0))) == view.left;
}

// A timer that presses menuKey in the menu open by then, or closes a menu that ignores it.
WORD menuKey;
int menuTicks = -1; // none while no menu is asked for
void CALLBACK pressMenuKey(HWND, UINT, UINT_PTR, DWORD)
{
    if (++menuTicks == 1) {
        INPUT keys[] = {key(menuKey), key(menuKey, KEYEVENTF_KEYUP)};
        SendInput(2, keys, sizeof(INPUT));
    } else if (menuTicks == 50) {
        EndMenu();
    }
}

// The common control classes and the window class, registered before any test runs.
class Registered : public testing::Environment
{
    void SetUp() override { initialise(); }
};
const testing::Environment *const registered = testing::AddGlobalTestEnvironment(new Registered);

// One shown window and ways to reach it as a user does.
struct Session
{
    win32::MainWindow window;

    Session()
    {
        window.show(SW_SHOWNORMAL);
        SetForegroundWindow(window.hwnd());
        pump();
    }
    HWND get(std::string_view name) const { return window.control(name); }
    std::string text(std::string_view name) const { return toUtf8(windowText(get(name))); }
    long recalculations() { return window.form().recalculations(); }
    int px(int twips) const { return MulDiv(twips, static_cast<int>(window.dpi()), 1440); }

    // Handles what is queued, as the program's loop does, until nothing but timers arrives
    // (a hot-tracked control keeps a system timer running while the mouse is over it).
    void pump()
    {
        for (int idle = 0; idle < 3;) {
            MSG message;
            if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                ++idle;
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
                continue;
            }
            if (message.message == WM_QUIT) { // left for the loop under test
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            if (message.message != WM_TIMER && message.message != 0x118) // WM_SYSTIMER
                idle = 0;
            dispatch(window.hwnd(), message);
        }
    }
    void send(std::vector<INPUT> inputs)
    {
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        pump();
    }
    // Characters as typed, and {Name} for other keys and clicks (those of
    // tests/scenarios/scenarios.tsv).
    void type(std::string_view keys)
    {
        static const std::map<std::string_view, WORD> named = {
            {"Ctrl+", VK_CONTROL}, {"Shift+", VK_SHIFT},   {"Alt+", VK_MENU},
            {"Tab", VK_TAB},       {"Return", VK_RETURN},  {"Home", VK_HOME},
            {"End", VK_END},       {"Right", VK_RIGHT},    {"Left", VK_LEFT},
            {"Delete", VK_DELETE}, {"Backspace", VK_BACK}, {"Space", VK_SPACE}};
        while (!keys.empty()) {
            const std::size_t length = keys[0] == '{' ? keys.find('}') + 1 : 1;
            const std::string_view name = keys.substr(1, length - 2);
            keys.remove_prefix(length);
            const HWND focus = GetFocus();
            if (name == "KpDecimal") { // the comma a German layout makes of the key
                SendMessageW(focus, WM_KEYDOWN, VK_DECIMAL, 1);
                PostMessageW(focus, WM_CHAR, L',', 1);
                pump();
                continue;
            }
            if (name.starts_with("Paste:")) {
                const std::wstring text = toWide(name.substr(6));
                SendMessageW(focus, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
                pump();
                continue;
            }
            if (name.starts_with("Click:")) {
                click(name.substr(6));
                continue;
            }
            if (name == "MenuUndo" || name == "MenuRedo") { // the context menu's access key
                menuKey = name == "MenuUndo" ? 'U' : 'R';
                menuTicks = 0;
                const UINT_PTR timer = SetTimer(nullptr, 0, 20, pressMenuKey);
                SendMessageW(focus, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(focus), -1);
                KillTimer(nullptr, timer);
                menuTicks = -1;
                pump();
                continue;
            }
            // Modifiers first, then a named key, a letter or a character as typed.
            std::vector<WORD> chord;
            std::string_view rest = length == 1 ? keys.substr(0, 0) : name;
            for (std::size_t plus; (plus = rest.find('+')) != rest.npos && plus + 1 < rest.size();
                 rest.remove_prefix(plus + 1))
                chord.push_back(named.at(rest.substr(0, plus + 1)));
            if (length == 1)
                chord.push_back(
                    static_cast<WORD>(VkKeyScanW(static_cast<wchar_t>(keys.data()[-1])) & 0xff));
            else
                chord.push_back(rest.size() == 1 ? static_cast<WORD>(rest[0]) : named.at(rest));
            std::vector<INPUT> inputs;
            for (const WORD vk : chord)
                inputs.push_back(key(vk));
            for (const WORD vk : chord) // let go in the same order, Alt before Backspace
                inputs.push_back(key(vk, KEYEVENTF_KEYUP));
            send(inputs);
        }
    }
    void click(std::string_view name, int times = 1)
    {
        RECT r;
        GetWindowRect(get(name), &r);
        std::vector<INPUT> inputs{mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
                                        {(r.left + r.right) / 2, (r.top + r.bottom) / 2})};
        for (int i = 0; i < times; ++i)
            inputs.insert(inputs.end(), {mouse(MOUSEEVENTF_LEFTDOWN), mouse(MOUSEEVENTF_LEFTUP)});
        send(inputs);
    }
    Modes modes() const
    {
        Modes modes;
        for (int i = 0; i < 8; ++i)
            modes[static_cast<std::size_t>(i)] = window.drawMode(i);
        return modes;
    }
};

// The box around the ink (what differs from the face colour) in a rectangle of a DC, or, given
// a font, in a rectangle of that size with only the caption drawn in it.
RECT inkIn(HDC dc, RECT r, HFONT font = nullptr, const std::wstring &caption = {})
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    const HDC copy = CreateCompatibleDC(dc);
    const HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
    const HGDIOBJ old = SelectObject(copy, bitmap);
    DRAWITEMSTRUCT item{};
    item.hDC = copy;
    item.rcItem = {0, 0, w, h};
    if (font)
        drawCaption(item, font, Alignment::Left, caption);
    else
        BitBlt(copy, 0, 0, w, h, dc, r.left, r.top, SRCCOPY);
    SelectObject(copy, old);
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    std::vector<DWORD> pixels(static_cast<std::size_t>(w * h)); // 0xRRGGBB
    GetDIBits(copy, bitmap, 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(copy);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    RECT ink{w, h, 0, 0};
    for (int i = 0; i < w * h; ++i)
        if ((pixels[static_cast<std::size_t>(i)] & 0xffffff) !=
            RGB(GetBValue(face), GetGValue(face), GetRValue(face)))
            ink = {std::min<LONG>(ink.left, i % w), std::min<LONG>(ink.top, i / w),
                   std::max<LONG>(ink.right, i % w + 1), std::max<LONG>(ink.bottom, i / w + 1)};
    return ink;
}

// Each DPI as the window starts at it (tests/win32/CMakeLists.txt starts it so in a newly made
// prefix) or is moved to it (WM_DPICHANGED): the layout, the fonts at its sizes, and every
// caption as drawn, on one line and whole.
TEST(Window, FollowsTheLayoutAtEachDpi)
{
    // The layout's bitmap face, where the system has it, is the one at the DPI it was drawn for.
    const HDC screen = GetDC(nullptr);
    const int systemDpi = GetDeviceCaps(screen, LOGPIXELSX);
    wchar_t face[LF_FACESIZE] = {};
    const HGDIOBJ old = SelectObject(
        screen, CreateFontW(-11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"MS Sans Serif"));
    GetTextFaceW(screen, LF_FACESIZE, face);
    DeleteObject(SelectObject(screen, old));
    ReleaseDC(nullptr, screen);
    const bool hasDesignFace = std::wstring_view(face) == L"MS Sans Serif";
    for (const UINT dpi : {96u, 120u, 144u, 168u, 192u}) {
        SCOPED_TRACE(dpi);
        Session s;
        const bool started = s.window.dpi() == dpi;
        EXPECT_EQ(started, systemDpi == static_cast<int>(dpi));
        if (!started && systemDpi != 96) // moves to another DPI are tried from 96
            continue;
        if (!started) {
            RECT suggested; // where it opens on the other monitor: its top left, wholly in view
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &suggested, 0);
            SendMessageW(s.window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            s.pump();
        }
        for (const Control &c : Layout) {
            if (c.kind == Kind::Line)
                continue;
            SCOPED_TRACE(std::string(c.name));
            const HWND hwnd = s.get(c.name);
            RECT r;
            GetWindowRect(hwnd, &r);
            MapWindowPoints(nullptr, s.window.hwnd(), reinterpret_cast<POINT *>(&r), 2);
            EXPECT_EQ(r.left, s.px(c.left));
            EXPECT_EQ(r.top, s.px(c.top));
            EXPECT_EQ(r.right - r.left, s.px(c.widthOrRight));
            EXPECT_EQ(r.bottom - r.top, s.px(c.heightOrBottom));
            if (c.kind == Kind::Slider) { // a trackbar shows no text and keeps no font
                EXPECT_EQ(SendMessageW(hwnd, TBM_GETNUMTICS, 0, 0), 5); // 0, 25 … 100
                continue;
            }
            const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
            const HDC dc = GetDC(hwnd);
            const HGDIOBJ before = SelectObject(dc, font);
            TEXTMETRICW metrics{};
            GetTextMetricsW(dc, &metrics);
            GetTextFaceW(dc, LF_FACESIZE, face);
            if (hasDesignFace && dpi == 96)
                EXPECT_STREQ(face, L"MS Sans Serif");
            else // a bitmap face at another DPI draws blown up or at the 96-dpi size
                EXPECT_TRUE(metrics.tmPitchAndFamily & TMPF_TRUETYPE) << toUtf8(face);
            LOGFONTW asked{};
            GetObjectW(font, sizeof asked, &asked);
            const double points = c.points > 0 ? c.points : 8;
            // A face may come a little smaller, so that captions fit their boxes.
            EXPECT_NEAR(-asked.lfHeight, points * dpi / 72, points * dpi / 720);
            if (c.kind == Kind::Label) {
                // As shown, and alone in a box four times as wide: the same ink.
                RECT box;
                GetClientRect(hwnd, &box);
                const RECT shown = inkIn(dc, box),
                           whole = inkIn(dc, {0, 0, 4 * box.right, 2 * box.bottom}, font,
                                         toWide(s.text(c.name)));
                EXPECT_EQ(shown.right - shown.left, whole.right - whole.left) << "cut";
                EXPECT_EQ(shown.bottom - shown.top, whole.bottom - whole.top) << "not one line";
            }
            SelectObject(dc, before);
            ReleaseDC(hwnd, dc);
        }
        // A fixed, centred frame.
        const HWND hwnd = s.window.hwnd();
        const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
        EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME | WS_MINIMIZEBOX), WS_MINIMIZEBOX);
        RECT client, frame, work;
        GetClientRect(hwnd, &client);
        EXPECT_EQ(client.right, s.px(7590));
        EXPECT_EQ(client.bottom, s.px(6615));
        GetWindowRect(hwnd, &frame);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        if (started) {
            EXPECT_NEAR(frame.left - work.left, work.right - frame.right, 1);
            EXPECT_NEAR(frame.top - work.top, work.bottom - frame.bottom, 1);
        }
    }
}

// A menu that keys open by accident (Alt taken as pressed alone) swallows the keys that follow:
// a timer in its modal loop ends it and notes it.
bool strayMenu;
void CALLBACK endStrayMenu(HWND, UINT, UINT_PTR, DWORD)
{
    GUITHREADINFO thread{sizeof thread, 0, {}, {}, {}, {}, {}, {}, {}};
    if (GetGUIThreadInfo(0, &thread) && (thread.flags & GUI_INMENUMODE) && menuTicks < 0)
        strayMenu = EndMenu();
}

// The scenarios every front end plays, and then the keys only Windows has.
TEST(Window, PlaysTheSharedScenarios)
{
    std::ifstream file(FUELIX_SCENARIOS);
    ASSERT_TRUE(file);
    std::stringstream rows;
    const std::string huge(40000, '7'); // beyond the edit control's default limit of 32767
    rows << file.rdbuf() << "TankCapacityTxt\t25{Alt+Backspace}3\tTankCapacityTxt=23|\n"
         << "TankCapacityTxt\t{Paste:" << huge << "}\tTankCapacityTxt=" << huge << "|\n";
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, endStrayMenu);
    int played = 0;
    for (std::string line; std::getline(rows, line);) {
        std::istringstream row(line);
        std::string focus, keys, checks;
        if (line.starts_with('#') ||
            !std::getline(std::getline(std::getline(row, focus, '\t'), keys, '\t'), checks))
            continue;
        SCOPED_TRACE(focus + " " + keys);
        ++played;
        strayMenu = false;
        Session s;
        if (focus != "-") {
            SetFocus(s.get(focus));
            SendMessageW(s.get(focus), EM_SETSEL, 0, -1);
        }
        const long runs = s.recalculations();
        s.type(keys);
        const auto seen = [&](const std::string &name) -> std::string {
            if (name == "runs")
                return std::to_string(s.recalculations() - runs);
            if (name == "bevel")
                return s.modes() == Raised ? "raised" : s.modes() == Sunken ? "sunken" : "?";
            if (name == "focus") {
                for (const Control &c : Layout)
                    if (c.kind != Kind::Line && s.get(c.name) == GetFocus())
                        return std::string(c.name);
                return "?";
            }
            const HWND hwnd = s.get(name);
            if (name.ends_with("Sld"))
                return std::to_string(SendMessageW(hwnd, TBM_GETPOS, 0, 0));
            const auto box = std::find(BoxNames.begin(), BoxNames.end(), name);
            std::string text = s.text(name);
            if (box != BoxNames.end() && GetFocus() == hwnd)
                text.insert(static_cast<std::size_t>(
                                s.window.caret(static_cast<Box>(box - BoxNames.begin()))),
                            "|");
            return text;
        };
        std::istringstream list(checks);
        for (std::string check; list >> check;) {
            const std::size_t equals = check.find('=');
            EXPECT_EQ(seen(check.substr(0, equals)), check.substr(equals + 1)) << check;
        }
        for (std::size_t b = 0; b < BoxNames.size(); ++b) {
            const HWND box = s.get(BoxNames[b]);
            EXPECT_TRUE(GetFocus() == box || showsStart(box)) << BoxNames[b];
            EXPECT_EQ(SendMessageW(box, EM_CANUNDO, 0, 0) != 0,
                      s.window.form().canUndo(static_cast<Box>(b)));
        }
        EXPECT_FALSE(strayMenu);
    }
    KillTimer(nullptr, timer);
    EXPECT_GT(played, 20);
}

// The bevel as drawn, also on a dark scheme, where copy pen keeps to black.
TEST(Window, PicPctTogglesTheBevelOnScreen)
{
    struct Row
    {
        int clicks;
        bool dark;
        Modes modes;
    } rows[] = {{0, false, Raised}, {2, false, Sunken}, {1, true, Sunken}};
    const int elements[] = {COLOR_BTNFACE, COLOR_WINDOWTEXT};
    const COLORREF standard[] = {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOWTEXT)};
    const COLORREF dark[] = {RGB(32, 32, 32), RGB(230, 230, 230)};
    for (const Row &row : rows) {
        SCOPED_TRACE(std::to_string(row.clicks) + (row.dark ? " dark" : ""));
        SetSysColors(2, elements, row.dark ? dark : standard);
        Session s;
        if (row.clicks)
            s.click("PicPct", row.clicks); // two at once make a double click: one toggle
        EXPECT_EQ(s.modes(), row.modes);
        RedrawWindow(s.window.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const HDC dc = GetDC(s.window.hwnd());
        const COLORREF shade = row.dark ? RGB(0, 0, 0) : GetSysColor(COLOR_WINDOWTEXT);
        for (const test::Corner &c : test::BevelCorners) {
            const bool white = c.look == 'L' ? row.modes == Raised : row.modes == Sunken;
            EXPECT_EQ(GetPixel(dc, c.x, c.y), c.look == '.' ? GetSysColor(COLOR_BTNFACE)
                                              : white       ? RGB(255, 255, 255)
                                                            : shade)
                << c.x << "," << c.y;
        }
        ReleaseDC(s.window.hwnd(), dc);
    }
    SetSysColors(2, elements, standard);
}

TEST(Window, ResultsTooWideShowARoundedFormAndATooltip)
{
    struct Row
    {
        const char *capacity, *caption, *shown;
    } rows[] = {
        {"16.4567", "8.22835", "8.2284"}, {"1e300", "5E+299", "###"}, {"16.4", "8.2", "8.2"}};
    Session s;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.capacity);
        s.window.setText(Box::TankCapacityTxt, row.capacity);
        EXPECT_EQ(s.text("TankValueLbl"), row.caption);
        EXPECT_EQ(s.window.shownCaption(Result::TankValueLbl), row.shown);
        wchar_t tip[80] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = s.window.hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(s.get("TankValueLbl"));
        tool.lpszText = tip;
        SendMessageW(s.window.tooltip(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(toUtf8(tip), std::string_view(row.caption) != row.shown ? row.caption : "");
    }
}

// What the About box showed, read by a timer that runs inside its modal loop.
std::string aboutSeen;

TEST(Window, AboutShowsItsMessageInABoxWithOneButton)
{
    Session s;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        const HWND box = FindWindowW(L"#32770", L"About");
        if (!box)
            return;
        int buttons = 0, icons = 0;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t name[16];
            GetClassNameW(child, name, 16);
            if (lstrcmpiW(name, L"Button") == 0)
                ++buttons;
            else if (SendMessageW(child, STM_GETICON, 0, 0) && IsWindowVisible(child))
                ++icons;
            else if (!windowText(child).empty())
                aboutSeen = toUtf8(windowText(child));
        }
        aboutSeen += "|" + std::to_string(buttons) + " button, " + std::to_string(icons) + " icon";
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    s.click("AboutCmd");
    KillTimer(nullptr, timer);
    EXPECT_EQ(aboutSeen, std::string(FuelixFrm::AboutMessage) + "|1 button, 0 icon");
}

TEST(Window, QuitAndCloseEndTheLoopWithoutFurtherHandlers)
{
    // A click or access key moves the focus out of the box first (BM_CLICK presses the button),
    // which tidies it; nothing runs after Quit.
    for (auto [how, recalculations] : {std::pair{"click", 1}, {"{Alt+Q}", 1}, {"close", 0}}) {
        SCOPED_TRACE(how);
        Session s;
        SetFocus(s.get("TankCapacityTxt"));
        s.window.setText(Box::TankCapacityTxt, "16."); // would tidy if the focus leaving ran
        const long before = s.recalculations();
        if (how == std::string_view("click"))
            s.click("QuitCmd");
        else if (how == std::string_view("close"))
            PostMessageW(s.window.hwnd(), WM_CLOSE, 0, 0);
        else
            s.type(how);
        // A stuck loop ends by this timer with another code instead of hanging the test.
        const UINT_PTR timer =
            SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); });
        EXPECT_EQ(runMessageLoop(s.window.hwnd()), 0);
        KillTimer(nullptr, timer);
        EXPECT_EQ(s.window.hwnd(), nullptr);
        EXPECT_EQ(s.recalculations() - before, recalculations);
    }
}

TEST(IconFile, MatchesTheProgramPixels)
{
    std::ifstream file(FUELIX_ICON_FILE, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(bytes, iconFile()) << "rebuild win32/fuelix.ico with win32/make_ico.cpp";
}

} // namespace
