// The Windows program: the main window and its message loop.
#include "win32/mainwindow.h"

#include <exception>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show)
{
    try {
        fuelix::win32::initialise();
        fuelix::win32::MainWindow window;
        window.show(show);
        return fuelix::win32::runMessageLoop(window.hwnd());
    } catch (const std::exception &) {
        return 1;
    }
}
