#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

// The main of the GoogleTest suites. A crash ends the run with status 70: on Windows under a
// warm wineserver an unhandled crash can otherwise exit with status 0 and pass; elsewhere a
// crash already ends in a signal.
int main(int argc, char **argv)
{
#ifdef _WIN32
    // TerminateProcess, not exit(): nothing of a crashed process is trusted to run again.
    SetUnhandledExceptionFilter([](EXCEPTION_POINTERS *) -> LONG {
        TerminateProcess(GetCurrentProcess(), 70);
        return EXCEPTION_EXECUTE_HANDLER;
    });
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
