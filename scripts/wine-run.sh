#!/bin/sh
# Runs a Windows program under Wine for the tests of build-win (the build's
# CMAKE_CROSSCOMPILING_EMULATOR); the environment (WINEPREFIX ...) comes from
# the caller. Wine's server and its service programs are started first, apart
# from the caller's output, and kept for 30 s past the last program: else
# each program waits for them to start, and its caller (ctest) for them to
# end, since they would hold its output open. Both steps return at once
# when the server already runs.
wine_dir=/usr/lib/wine
"$wine_dir/wineserver" -p30 </dev/null >/dev/null 2>&1
"$wine_dir/wine64" cmd /c exit </dev/null >/dev/null 2>&1
exec "$wine_dir/wine64" "$@"
