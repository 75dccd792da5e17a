#!/usr/bin/env bash
# Walks a whole installation from the sample medium on this terminal:
# installs what the build needs, builds, makes the sample CD with mkmedia,
# creates a fresh prefix under build/demo with the CD as drive A:, and starts
# A:\setup.exe with the full-screen frontend (the console frontend where the
# terminal cannot address the screen). At the end it shows where proc.dir is
# and what it registers. BUILD_DIR chooses another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="${BUILD_DIR:-build}"
bin="$build/bin"

echo "Checking the packages the build needs..."
scripts/deps.sh
# Only the programs of the demo, not the tests and benchmarks.
targets=(kelmar kelmar_setup ov_clean orvik_run mkmedia procdir text ovtext_mdb)
generator=()
if [ ! -f "$build/CMakeCache.txt" ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
echo "Configuring the build in $build..."
cmake -S . -B "$build" "${generator[@]}" "${launcher[@]}" >/dev/null
echo "Building ${targets[*]} (this takes a few minutes the first time)..."
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

demo="$root/$build/demo"
rm -rf "$demo"
mkdir -p "$demo/source"
cp sample/kelmar.lst sample/readme.txt "$demo/source/"
"$bin/mkmedia" --generate-payloads "$demo/source"
"$bin/mkmedia" "$demo/source" "$demo/medium"

# A fresh prefix holding the product's folders, as on a calibration
# workstation: C:\orvik with proc\ and pic\ (the installer's defaults).
export ORVIK_PREFIX="$demo/prefix"
if [ -t 0 ] && [ -t 1 ] && [ -n "${TERM:-}" ] && [ "$TERM" != dumb ]; then
  export ORVIK_UI=screen
else
  export ORVIK_UI=console
fi
unset ORVIK_SCRIPT ORVIK_SCRIPT_LINE
mkdir -p "$ORVIK_PREFIX/drive_c/orvik/proc" "$ORVIK_PREFIX/drive_c/orvik/pic"

if [ "$ORVIK_UI" = screen ]; then
  cat <<INTRO

The sample medium is in $demo/medium, mapped as drive A:.
Starting A:\\setup.exe. Tab moves between controls, Enter presses the default
button, Esc cancels, Alt+letter (or the letter) presses a button; in a list,
Space selects the procedure under the cursor and / filters. The bottom line
of the screen always lists the keys of the window in front.

Press Enter to start.
INTRO
  read -r _ || true
else
  cat <<INTRO

The sample medium is in $demo/medium, mapped as drive A:.
Starting A:\\setup.exe. On each window type an action (click 1, toggle 1014 #3,
set 1009 C:\\ORVIK\\PROC) or a button's letter; "help" lists them. On the
procedure selection page toggle the procedures you want (or click 1004 to
select all), then click 1 (Next).

INTRO
fi
status=0
"$bin/orvik_run" --drive "a:=$demo/medium" 'A:\setup.exe' || status=$?

echo
found=0
while IFS= read -r -d '' file; do
  found=1
  echo "proc.dir: $file"
  if [ -x "$bin/procdir" ] && "$bin/procdir" list "$file"; then
    :
  else
    cat "$file"
  fi
  echo "Installed beside it: $(cd "$(dirname "$file")" && ls | tr '\n' ' ')"
done < <(find "$ORVIK_PREFIX/drive_c" -name proc.dir -print0 2>/dev/null)
[ "$found" = 1 ] || echo "No proc.dir was written (the installation did not reach the selection page)."
echo "The prefix is $ORVIK_PREFIX (drive C: is its drive_c folder)."
exit "$status"
