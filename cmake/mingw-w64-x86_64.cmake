# Cross-build for 64-bit Windows with Debian's MinGW-w64 (posix threads).
# Programs and text.dll carry their C and C++ run-time and the thread library
# inside, so they need nothing beside them but text.dll and zlib.dll.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVIK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVIK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVIK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVIK_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVIK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -static makes every -l library static (libstdc++, libgcc, winpthread);
# zlib is linked through its import library by full path and stays a DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs (and build tools such as the message compiler) run under
# Wine in a prefix of the build folder, made by scripts/build-windows.sh.
# WINEPATH lets the test programs, which live in tests/, find text.dll and
# zlib.dll in bin/.
find_program(ORVIK_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
set(ORVIK_WINE_ENV WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEPATH=Z:${CMAKE_BINARY_DIR}/bin)
if(ORVIK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env ${ORVIK_WINE_ENV}
      ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
endif()
