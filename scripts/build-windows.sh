#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64 into build-win/ and makes
# the Wine prefix its tests run in (build-win/wineprefix). Installs the
# Debian packages it needs when they are missing. Arguments are passed on to
# the build (for example --target text_test).
#   scripts/build-windows.sh && ctest --test-dir build-win
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-win"

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine64)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The Wine prefix is made once, headless (no display is needed).
if [ ! -f "$build/wineprefix/system.reg" ]; then
  echo "Making the Wine prefix $build/wineprefix"
  mkdir -p "$build"
  WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY= \
    /usr/lib/wine/wine64 wineboot --init >"$build/wineboot.log" 2>&1 || {
      cat "$build/wineboot.log" >&2
      exit 1
    }
fi

# Windows are made without a display: Wine's null graphics driver serves
# them (the screenshot run uses a prefix of its own with a display).
if ! grep -q '"Graphics"="null"' "$build/wineprefix/user.reg" 2>/dev/null; then
  WINEPREFIX="$build/wineprefix" WINEDEBUG=-all DISPLAY= /usr/lib/wine/wine64 reg add \
    'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >>"$build/wineboot.log" 2>&1
  WINEPREFIX="$build/wineprefix" /usr/lib/wine/wineserver -w
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" "${launcher[@]}"
cmake --build "$build" -j2 "$@"
