# Cross-compiles the Windows x64 program with MinGW-w64 (posix threads) on Debian.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# The Windows-only dependencies that the setup script built from Debian's source packages.
if(NOT DEFINED ARKOVA_CACHE)
    if(DEFINED ENV{ARKOVA_CACHE})
        set(ARKOVA_CACHE $ENV{ARKOVA_CACHE})
    else()
        set(ARKOVA_CACHE $ENV{HOME}/.cache/arkova)
    endif()
endif()
include(${ARKOVA_CACHE}/mingw64/deps.cmake)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${ARKOVA_WIN_PREFIXES})
set(CMAKE_PREFIX_PATH ${ARKOVA_WIN_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine; the runner script keeps one prefix and one wineserver per test run.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
