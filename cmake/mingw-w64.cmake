# Cross-builds the Windows programs with Debian's 64-bit mingw-w64 (posix
# threads, for std::thread) and runs what the build and the tests execute
# under Wine. The C and C++ runtimes are linked in, so a program needs no DLL
# beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TM650_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TM650_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TM650_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TM650_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TM650_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# GCC 12 warns of overlapping copies inside its own std::string at -O3 (a
# false alarm it raises for this target only).
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

# Debian keeps the 64-bit loader out of PATH unless the wine package is there.
# The build's own Wine prefix, quiet, serves every program the build and the
# tests start.
find_program(TM650_WINE64 wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(TM650_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env WINEPREFIX=${TM650_WINEPREFIX} WINEDEBUG=-all ${TM650_WINE64})
