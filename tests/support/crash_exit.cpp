#include "tests/support/crash_exit.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fuelix::test {

#ifdef _WIN32
namespace {
LONG WINAPI TerminateOnCrash(EXCEPTION_POINTERS *)
{
    // TerminateProcess, not exit(): nothing of a crashed process is trusted to run again.
    TerminateProcess(GetCurrentProcess(), 70);
    return EXCEPTION_EXECUTE_HANDLER;
}
} // namespace

void ExitOnCrash()
{
    SetUnhandledExceptionFilter(TerminateOnCrash);
}
#else
void ExitOnCrash() {}
#endif

} // namespace fuelix::test
