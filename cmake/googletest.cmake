# GoogleTest for every test folder. A Windows or WebAssembly cross-build compiles it from Debian's
# sources (package googletest), as no such build of it is packaged; elsewhere the system package.
include(GoogleTest)
if(CMAKE_SYSTEM_NAME STREQUAL "Windows" OR EMSCRIPTEN)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    if(EMSCRIPTEN)
        set(gtest_disable_pthreads ON CACHE BOOL "" FORCE) # the module has no threads
    endif()
    add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    # Discovery runs each test program under Wine or node: at test time, so that a build needs
    # neither, and with room for making a fresh Wine prefix (about 10 s).
    set(FUELIX_GTEST_DISCOVERY DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120)
else()
    find_package(GTest REQUIRED)
    set(FUELIX_GTEST_DISCOVERY DISCOVERY_TIMEOUT 30)
endif()

if(EMSCRIPTEN)
    # The tests run under node, with emscripten's glue. Node 18 and later have a global fetch,
    # which the glue of emscripten 3.1.6 then uses to load the .wasm by file path, and fails.
    find_program(FUELIX_NODE NAMES node nodejs REQUIRED)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${FUELIX_NODE} --no-experimental-fetch)
    # The program sees the host's environment only through what the glue hands it, and its
    # memory grows as the page's does (a paste of megabytes is kept several times over).
    set(FUELIX_NODE_ENVIRONMENT --pre-js ${PROJECT_SOURCE_DIR}/tests/support/node_environment.js
        -sALLOW_MEMORY_GROWTH=1)
endif()
