// The Win32 window as Windows drives it: real key and mouse input through SendInput, the
// controls' own notifications, and what ends up in the window texts and on the screen.
#include "tests/support/crash_exit.h"
#include "win32/iconfile.h"
#include "win32/mainwindow.h"
#include "win32/widetext.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <map>

namespace {

using namespace fuelix;
using namespace fuelix::win32;

using Modes = std::array<int, 8>;
const Modes Raised = {16, 16, 13, 13, 16, 16, 13, 13}, Sunken = {13, 13, 16, 16, 13, 13, 16, 16};

std::string textOf(HWND hwnd)
{
    wchar_t buffer[256] = {};
    GetWindowTextW(hwnd, buffer, 256);
    return toUtf8(buffer);
}

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
    HWND get(std::string_view name) const
    {
        const HWND hwnd = window.control(name);
        EXPECT_TRUE(hwnd) << name;
        return hwnd;
    }
    std::string text(std::string_view name) const { return textOf(get(name)); }
    long recalculations() { return window.form().recalculations(); }
    int px(int twips) const { return MulDiv(twips, static_cast<int>(window.dpi()), 1440); }

    // Handles what is queued, as the program's loop does, until nothing but timers arrives
    // (a hot-tracked control keeps a system timer running while the mouse is over it).
    void pump()
    {
        for (int idle = 0; idle < 3;) {
            MSG message;
            if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message != WM_TIMER && message.message != 0x118) // WM_SYSTIMER
                    idle = 0;
                if (message.message == WM_QUIT) { // left for the loop under test
                    PostQuitMessage(static_cast<int>(message.wParam));
                    return;
                }
                dispatch(window.hwnd(), message);
            } else {
                ++idle;
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            }
        }
    }
    static void send(std::initializer_list<INPUT> inputs)
    {
        std::vector<INPUT> all(inputs);
        SendInput(static_cast<UINT>(all.size()), all.data(), sizeof(INPUT));
    }
    static INPUT key(WORD vk, bool up)
    {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        return input;
    }
    // Characters as typed, and {Name} for other keys; {Alt+X} holds Alt.
    void type(std::string_view keys)
    {
        static const std::map<std::string_view, WORD> named = {
            {"Tab", VK_TAB},   {"Enter", VK_RETURN}, {"Home", VK_HOME},  {"Right", VK_RIGHT},
            {"Left", VK_LEFT}, {"PgUp", VK_PRIOR},   {"Space", VK_SPACE}};
        while (!keys.empty()) {
            WORD vk = 0;
            bool alt = false;
            if (keys.front() == '{') {
                std::string_view name = keys.substr(1, keys.find('}') - 1);
                keys.remove_prefix(name.size() + 2);
                alt = name.starts_with("Alt+");
                vk = alt ? static_cast<WORD>(name.back()) : named.at(name);
            } else {
                vk = static_cast<WORD>(VkKeyScanW(static_cast<wchar_t>(keys.front())) & 0xff);
                keys.remove_prefix(1);
            }
            if (alt)
                send({key(VK_MENU, false)});
            send({key(vk, false), key(vk, true)});
            if (alt)
                send({key(VK_MENU, true)});
            pump();
        }
    }
    void click(std::string_view name, int times = 1)
    {
        RECT r;
        GetWindowRect(get(name), &r);
        INPUT move{};
        move.type = INPUT_MOUSE;
        move.mi.dx = MulDiv((r.left + r.right) / 2, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        move.mi.dy = MulDiv((r.top + r.bottom) / 2, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        INPUT down = move, up = move;
        down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        send({move});
        for (int i = 0; i < times; ++i)
            send({down, up});
        pump();
    }
    Modes modes() const
    {
        Modes modes;
        for (int i = 0; i < 8; ++i)
            modes[static_cast<std::size_t>(i)] = window.drawMode(i);
        return modes;
    }
    // The colour on the screen halfway along each line.
    std::array<COLORREF, 8> linePixels()
    {
        RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        std::array<COLORREF, 8> pixels;
        const HDC dc = GetDC(window.hwnd());
        for (int i = 0; i < 8; ++i) {
            const RECT r = window.lineRect(i);
            pixels[static_cast<std::size_t>(i)] =
                GetPixel(dc, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        }
        ReleaseDC(window.hwnd(), dc);
        return pixels;
    }
    // Texts, positions, the four captions and the bevel.
    std::vector<std::string> state() const
    {
        std::vector<std::string> state;
        for (const char *name : {"TankOctaneRatingTxt", "TankCapacityTxt", "PumpOctaneRatingTxt",
                                 "TankValueLbl", "PumpFullLbl", "PumpValueLbl", "FinalOctaneLbl"})
            state.push_back(text(name));
        for (Slider s : {Slider::TankSld, Slider::PumpSld})
            state.push_back(std::to_string(window.value(s)));
        state.push_back(modes() == Raised ? "raised" : modes() == Sunken ? "sunken" : "mixed");
        return state;
    }
};

const std::vector<std::string> StartState = {"91",  "16.4", "100", "8.2", "8.2",
                                             "8.2", "95.5", "50",  "100", "raised"};

TEST(Window, ControlsFollowTheLayoutAtTheDpiInUse)
{
    Session s;
    const std::map<Kind, std::wstring> classes = {{Kind::PictureBox, L"Static"},
                                                  {Kind::PushButton, L"Button"},
                                                  {Kind::Slider, TRACKBAR_CLASSW},
                                                  {Kind::TextBox, L"Edit"},
                                                  {Kind::Label, L"Static"}};
    int checked = 0;
    for (const Control &c : Layout) {
        if (c.kind == Kind::Line)
            continue;
        SCOPED_TRACE(std::string(c.name));
        const HWND hwnd = s.get(c.name);
        wchar_t name[64];
        GetClassNameW(hwnd, name, 64);
        EXPECT_EQ(lstrcmpiW(name, classes.at(c.kind).c_str()), 0);
        EXPECT_EQ(s.text(c.name), c.content);
        RECT r;
        GetWindowRect(hwnd, &r);
        MapWindowPoints(nullptr, s.window.hwnd(), reinterpret_cast<POINT *>(&r), 2);
        EXPECT_EQ(r.left, s.px(c.left));
        EXPECT_EQ(r.top, s.px(c.top));
        EXPECT_EQ(r.right - r.left, s.px(c.widthOrRight));
        EXPECT_EQ(r.bottom - r.top, s.px(c.heightOrBottom));
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
        EXPECT_EQ((style & WS_TABSTOP) != 0, c.tabIndex < 8);
        ++checked;
        if (c.kind == Kind::Slider)
            continue; // a trackbar shows no text and keeps no font
        EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
        const double points = c.points > 0 ? c.points : 8;
        EXPECT_EQ(font.lfHeight, -std::lround(points * s.window.dpi() / 72));
    }
    EXPECT_EQ(checked, 35 - 8);
}

TEST(Window, IsAFixedCentredFrameWithTitleAndIcon)
{
    Session s;
    const HWND hwnd = s.window.hwnd();
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_SYSMENU | WS_CAPTION),
              static_cast<DWORD>(WS_MINIMIZEBOX | WS_SYSMENU | WS_CAPTION));
    RECT client, frame, work;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, s.px(7590));
    EXPECT_EQ(client.bottom, s.px(6615));
    EXPECT_EQ(textOf(hwnd), "Fuelix");
    EXPECT_TRUE(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0));
    EXPECT_TRUE(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0));
    GetWindowRect(hwnd, &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(frame.left - work.left, work.right - frame.right, 1);
    EXPECT_NEAR(frame.top - work.top, work.bottom - frame.bottom, 1);
}

TEST(Window, SlidersHaveTheirRangeStepsAndTicks)
{
    Session s;
    for (auto [name, position] : {std::pair{"TankSld", 50}, std::pair{"PumpSld", 100}}) {
        const HWND slider = s.get(name);
        EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0), 0) << name;
        EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0), 100) << name;
        EXPECT_EQ(SendMessageW(slider, TBM_GETLINESIZE, 0, 0), 1) << name;
        EXPECT_EQ(SendMessageW(slider, TBM_GETPAGESIZE, 0, 0), 5) << name;
        EXPECT_EQ(SendMessageW(slider, TBM_GETNUMTICS, 0, 0), 5) << name; // 0, 25 … 100
        EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), position) << name;
    }
}

TEST(Window, TabVisitsTheInputsInOrder)
{
    Session s;
    const std::vector<std::string> order = {
        "TankCapacityTxt", "TankSld", "PumpOctaneRatingTxt", "PumpSld", "ResetCmd",
        "AboutCmd",        "QuitCmd", "TankOctaneRatingTxt"};
    for (const std::string &expected : order) {
        s.type("{Tab}");
        EXPECT_EQ(GetFocus(), s.get(expected)) << expected;
    }
}

TEST(Window, TypingKeepsTheDigitsOrTidies)
{
    struct Row
    {
        const char *box, *keys, *text;
        long recalculations;
    } rows[] = {
        {"TankOctaneRatingTxt", "0.5", "0.5", 3},
        {"TankOctaneRatingTxt", "{Home}-", "91", 2},   // the write-back runs Change again
        {"TankOctaneRatingTxt", "{Home}-5", "591", 3}, // the insertion point stays before 91
        {"TankCapacityTxt", "16.{Tab}", "16", 4},
        {"PumpOctaneRatingTxt", "16.{Enter}", "16", 4},
        {"PumpOctaneRatingTxt", "x", "x", 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.box) + " " + row.keys);
        Session s;
        SetFocus(s.get(row.box));
        SendMessageW(s.get(row.box), EM_SETSEL, 0, -1);
        const long before = s.recalculations();
        s.type(row.keys);
        EXPECT_EQ(s.text(row.box), row.text);
        EXPECT_EQ(s.recalculations() - before, row.recalculations);
    }
}

TEST(Window, UndoStillWorksAfterATidy)
{
    Session s;
    const HWND box = s.get("TankCapacityTxt");
    SetFocus(box);
    SendMessageW(box, EM_SETSEL, 0, -1);
    s.type("05");
    EXPECT_EQ(s.text("TankCapacityTxt"), "5");
    EXPECT_TRUE(SendMessageW(box, EM_CANUNDO, 0, 0));
    SendMessageW(box, EM_UNDO, 0, 0);
    s.pump();
    EXPECT_EQ(s.text("TankCapacityTxt"), "5");
}

TEST(Window, SliderKeysMoveAndRecalculateOnceEach)
{
    struct Row
    {
        const char *slider, *keys;
        int value;
        long recalculations;
    } rows[] = {
        {"TankSld", "{Right}", 51, 1},
        {"TankSld", "{PgUp}", 45, 1}, // a trackbar's PageUp moves toward its minimum
        {"TankSld", "{Right}{Left}", 50, 2},
        {"PumpSld", "{Right}", 100, 0}, // already at the end: no move
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.slider) + " " + row.keys);
        Session s;
        SetFocus(s.get(row.slider));
        const long before = s.recalculations();
        s.type(row.keys);
        EXPECT_EQ(SendMessageW(s.get(row.slider), TBM_GETPOS, 0, 0), row.value);
        EXPECT_EQ(s.recalculations() - before, row.recalculations);
    }
    Session s;
    SendMessageW(s.get("TankSld"), TBM_SETPOS, TRUE, 10);
    s.pump();
    EXPECT_EQ(s.recalculations(), 0);
}

TEST(Window, ResetRestoresEverythingByMouseAndKeyboard)
{
    struct Row
    {
        const char *focus, *click, *keys;
    } rows[] = {
        {"TankCapacityTxt", "ResetCmd", ""},
        {"TankCapacityTxt", "", "{Alt+R}"},
        {"ResetCmd", "", "{Enter}"},
        {"ResetCmd", "", "{Space}"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.click) + row.keys);
        Session s;
        s.window.setText(Box::TankOctaneRatingTxt, "80");
        s.window.setValue(Slider::TankSld, 20);
        s.click("PicPct");
        ASSERT_NE(s.state(), StartState);
        SetFocus(s.get(row.focus));
        if (*row.click)
            s.click(row.click);
        s.type(row.keys);
        EXPECT_EQ(s.state(), StartState);
        EXPECT_EQ(GetFocus(), s.get("TankOctaneRatingTxt"));
    }
}

TEST(Window, PicPctTogglesTheBevelOnScreen)
{
    struct Row
    {
        int clicks;
        bool reset;
        Modes modes;
    } rows[] = {{0, false, Raised}, {1, false, Sunken}, {2, false, Sunken}, {1, true, Raised}};
    for (const Row &row : rows) {
        SCOPED_TRACE(std::to_string(row.clicks) + (row.reset ? " and Reset" : ""));
        Session s;
        if (row.clicks)
            s.click("PicPct", row.clicks); // two at once make a double click: one toggle
        if (row.reset)
            s.click("ResetCmd");
        EXPECT_EQ(s.modes(), row.modes);
        const auto pixels = s.linePixels();
        for (std::size_t i = 0; i < 8; ++i)
            EXPECT_EQ(pixels[i], row.modes[i] == Whiteness ? RGB(255, 255, 255)
                                                           : GetSysColor(COLOR_WINDOWTEXT))
                << "Ln" << i + 1;
    }
}

TEST(Window, ResultsTooWideShowARoundedFormAndATooltip)
{
    struct Row
    {
        const char *capacity, *caption, *shown;
    } rows[] = {
        {"16.4567", "8.22835", "8.2284"},
        {"1e300", "5E+299", "###"},
        {"16.4", "8.2", "8.2"},
    };
    Session s;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.capacity);
        s.window.setText(Box::TankCapacityTxt, row.capacity);
        EXPECT_EQ(s.text("TankValueLbl"), row.caption);
        EXPECT_EQ(s.window.shownCaption(Result::TankValueLbl), row.shown);
        const bool rounded = std::string_view(row.caption) != row.shown;
        wchar_t tip[80] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = s.window.hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(s.get("TankValueLbl"));
        tool.lpszText = tip;
        SendMessageW(s.window.tooltip(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(toUtf8(tip), rounded ? row.caption : "");
    }
}

// What the About box showed, read by a timer that runs inside its modal loop.
std::string aboutSeen;

TEST(Window, AboutShowsItsMessageInABoxWithOneButton)
{
    Session s;
    aboutSeen.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        const HWND box = FindWindowW(L"#32770", L"About");
        if (!box)
            return;
        int buttons = 0;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t name[16];
            GetClassNameW(child, name, 16);
            if (lstrcmpiW(name, L"Button") == 0)
                ++buttons;
            else if (!textOf(child).empty())
                aboutSeen = textOf(child);
        }
        aboutSeen += "|" + std::to_string(buttons);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    s.click("AboutCmd");
    KillTimer(nullptr, timer);
    EXPECT_EQ(aboutSeen, std::string(FuelixFrm::AboutMessage) + "|1");
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

TEST(Window, AHugePasteDoesNotCrash)
{
    Session s;
    const HWND box = s.get("TankCapacityTxt");
    const std::wstring huge(20000, L'7');
    SendMessageW(box, EM_SETSEL, 0, -1);
    SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(huge.c_str()));
    s.pump();
    EXPECT_EQ(GetWindowTextLengthW(box), 20000);
    EXPECT_EQ(s.text("FinalOctaneLbl"), "???");
}

TEST(IconFile, MatchesTheProgramPixels)
{
    std::ifstream file(FUELIX_ICON_FILE, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(bytes, iconFile()) << "rebuild win32/fuelix.ico with win32/make_ico.cpp";
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    fuelix::test::ExitOnCrash();
    testing::InitGoogleTest(&argc, argv);
    initialise();
    return RUN_ALL_TESTS();
}
