# Cross-compiles the Windows build (x86-64) with Debian's mingw-w64 g++.
#
#   cmake -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#   cmake --build build-win -j2 --target slipreport
#
# The result is one statically linked slipreport.exe: the C++ runtime, libgcc
# and the mingw support code (winpthread included) are inside it, so it needs
# no DLL beyond those of the system itself. The posix-threads compiler is the
# one used, and no other: slipdeform's std::thread and GoogleTest's
# std::mutex exist only there in g++ 12 (the win32-threads variant, Debian's
# default x86_64-w64-mingw32-g++, lacks both).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SLIP_MINGW_TRIPLE x86_64-w64-mingw32)
find_program(SLIP_MINGW_CXX NAMES ${SLIP_MINGW_TRIPLE}-g++-posix REQUIRED)
find_program(SLIP_MINGW_CC NAMES ${SLIP_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SLIP_MINGW_CXX})
if(SLIP_MINGW_CC)
  set(CMAKE_C_COMPILER ${SLIP_MINGW_CC})
endif()
set(CMAKE_RC_COMPILER ${SLIP_MINGW_TRIPLE}-windres)

# Libraries and headers come from the cross sysroot (and from a prefix of
# cross-built libraries, such as GoogleTest, named in CMAKE_PREFIX_PATH);
# programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${SLIP_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test binaries run under Wine on the build machine.
find_program(SLIP_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(SLIP_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SLIP_WINE})
endif()
