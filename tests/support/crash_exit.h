#pragma once

namespace fuelix::test {

// Makes a crash end the test program with status 70. Call first thing in every test main: on
// Windows under a warm wineserver an unhandled crash can otherwise exit with status 0 and
// pass. Does nothing elsewhere, where a crash already ends in a signal.
void ExitOnCrash();

} // namespace fuelix::test
