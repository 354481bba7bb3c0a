# GoogleTest for every test folder. A Windows cross-build compiles it from Debian's sources
# (package googletest), as no Windows build of it is packaged; elsewhere the system package.
include(GoogleTest)
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    # Discovery runs each test program under Wine: at test time, so that a build needs no
    # Wine, and with room for making a fresh prefix (about 10 s).
    set(FUELIX_GTEST_DISCOVERY DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120)
else()
    find_package(GTest REQUIRED)
    set(FUELIX_GTEST_DISCOVERY DISCOVERY_TIMEOUT 30)
endif()
