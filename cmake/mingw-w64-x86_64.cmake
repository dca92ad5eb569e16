# Cross-builds the Windows programs (64-bit, MinGW-w64 with POSIX threads) on a Linux host.
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The programs link the C and C++ runtimes statically, so each .exe runs on its own. Tests run
# through Wine when it is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZR250PRO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZR250PRO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZR250PRO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZR250PRO_MINGW_PREFIX}-windres)

# The target's libraries: MinGW's own, and any prefix given (the Qt that scripts/build-qt-windows.sh
# builds into build-windows/qt6), so that nothing of the build machine is taken for the target's.
set(CMAKE_FIND_ROOT_PATH /usr/${ZR250PRO_MINGW_PREFIX} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(ZR250PRO_WINE NAMES wine)
if(ZR250PRO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZR250PRO_WINE})
endif()
