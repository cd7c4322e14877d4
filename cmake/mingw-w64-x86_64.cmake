# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, so the
# standard library's threads and clocks work). Everything is linked statically: the .exe
# files need no DLL beyond the system's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(UNITRACE_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${UNITRACE_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${UNITRACE_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${UNITRACE_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${UNITRACE_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
