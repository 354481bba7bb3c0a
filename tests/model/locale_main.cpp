// Runs the suites, optionally under the locale named by FUELIX_TEST_LOCALE. The locale is
// proven active before any test runs, so a missing locale cannot pass for a working one.
#include "tests/support/crash_exit.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale>

int main(int argc, char **argv)
{
    fuelix::test::ExitOnCrash();
    testing::InitGoogleTest(&argc, argv);
    if (const char *name = std::getenv("FUELIX_TEST_LOCALE")) {
        if (!std::setlocale(LC_ALL, name)) {
            std::fprintf(stderr, "locale %s is not installed\n", name);
            return 1;
        }
        std::locale::global(std::locale(name));
        char half[16];
        std::snprintf(half, sizeof half, "%.1f", 0.5);
        if (std::strcmp(half, "0,5") != 0) {
            std::fprintf(stderr, "locale %s does not use a decimal comma (%s)\n", name, half);
            return 1;
        }
        std::printf("running under locale %s: printf writes one half as %s\n", name, half);
    }
    return RUN_ALL_TESTS();
}
