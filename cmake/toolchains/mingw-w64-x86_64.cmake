# 64-bit Windows programs from Debian's MinGW-w64 cross compiler (g++-mingw-w64-x86-64-posix,
# the variant with C++ threads), linked statically so they run without any DLL beside them,
# and run through Wine (wine64), so ctest runs the Windows test suites on Linux.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TB_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TB_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TB_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TB_MINGW_TRIPLET}-windres)

# Libraries and headers for Windows (zlib from libz-mingw-w64-dev, say) come from the
# cross root only; programs that run during the build come from the host.
set(TB_MINGW_ROOT /usr/${TB_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH ${TB_MINGW_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static libraries wherever both kinds exist (libz.a before libz.dll.a).
set(CMAKE_FIND_LIBRARY_SUFFIXES .a .lib)
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Wine runs the test programs (gtest_discover_tests and ctest both use the emulator). Its
# prefix lives in the build folder, so a build never touches the user's own ~/.wine, and
# WINEDEBUG=-all keeps Wine's own messages out of the test output.
find_program(TB_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT TB_WINE64)
  find_program(TB_WINE64 NAMES wine64)
endif()
if(TB_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      /usr/bin/env WINEDEBUG=-all WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix ${TB_WINE64})
endif()
