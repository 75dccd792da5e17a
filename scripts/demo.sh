#!/usr/bin/env bash
# Walks a whole installation from the sample medium on this terminal:
# installs what the build needs, builds, makes the sample CD with mkmedia,
# creates a fresh prefix under build/demo with the CD as drive A:, and starts
# A:\setup.exe with the console frontend. At the end it shows where proc.dir
# is and what it registers. BUILD_DIR chooses another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="${BUILD_DIR:-build}"
bin="$build/bin"

scripts/deps.sh
cmake -S . -B "$build"
cmake --build "$build" -j"$(nproc)"

demo="$root/$build/demo"
rm -rf "$demo"
mkdir -p "$demo/source"
cp sample/kelmar.lst sample/readme.txt "$demo/source/"
"$bin/mkmedia" --generate-payloads "$demo/source"
"$bin/mkmedia" "$demo/source" "$demo/medium"

# A fresh prefix holding the product's folders, as on a calibration
# workstation: C:\orvik with proc\ and pic\ (the installer's defaults).
export ORVIK_PREFIX="$demo/prefix"
export ORVIK_UI=console
unset ORVIK_SCRIPT ORVIK_SCRIPT_LINE
mkdir -p "$ORVIK_PREFIX/drive_c/orvik/proc" "$ORVIK_PREFIX/drive_c/orvik/pic"

cat <<INTRO

The sample medium is in $demo/medium, mapped as drive A:.
Starting A:\\setup.exe. On each window type an action (click 1, toggle 1014 #3,
set 1009 C:\\ORVIK\\PROC) or a button's letter; "help" lists them. On the
procedure selection page toggle the procedures you want (or click 1004 to
select all), then click 1 (Next).

INTRO
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
