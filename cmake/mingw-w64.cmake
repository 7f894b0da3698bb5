# Cross-builds the core, the analysis engine and skarn-cli for 64-bit Windows
# with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix: std::thread needs the
# POSIX thread model), and runs the programs it builds under Wine:
#
#   cmake -S . -B build-windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DSKARN_GUI=OFF
#
# The window needs Qt 6 for Windows, which Debian does not ship.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SKARN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SKARN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SKARN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SKARN_MINGW_PREFIX}-windres)

# Headers and libraries come from the MinGW tree alone: the host's glibc
# headers in /usr/include would shadow MinGW's. Programs (Wine) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${SKARN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# C99 printf and scanf (%zu, %lld, %a) instead of the old msvcrt ones.
set(CMAKE_C_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")
# Everything linked in (libstdc++, libgcc, winpthread): one .exe that runs
# without any DLL beside it, on Windows and under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest and the test discovery run the built programs through Wine, in a
# prefix of the build's own, quietly and without a display.
find_program(SKARN_WINE wine)
if(SKARN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      env WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all DISPLAY= ${SKARN_WINE})
endif()

# GoogleTest, CLI11 and nlohmann-json are not looked up in the MinGW tree but
# built or taken as headers from Debian's sources (cmake/windows/Find*.cmake).
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/windows)
