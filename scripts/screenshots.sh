#!/usr/bin/env bash
# Pictures of every window for review: runs the Windows programs under Wine
# on a virtual display (xvfb, a Wine virtual desktop that draws the frames
# and captions), installs from a sample medium through the native dialogs
# driven by scripts/screenshots.answers, shows a datenum box, and writes a
# PNG of each window to build-win/screens/. Fails when a window is missing
# or a picture shows no window (a blank or one-colour image).
# Needs build-win (scripts/build-windows.sh) and the POSIX build's mkmedia
# (build/bin/mkmedia, built here when missing). Installs xvfb, imagemagick
# xauth and fonts-wine when they are missing.
#   scripts/screenshots.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-win"
screens="$build/screens"
work="$build/screens-run"
prefix="$build/wineprefix-screens"
wine_dir=/usr/lib/wine

missing=()
for p in xvfb imagemagick xauth fonts-wine; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
[ -x "$build/bin/kelmar.exe" ] || { echo "screenshots: build build-win first (scripts/build-windows.sh)" >&2; exit 1; }
mkmedia="$root/build/bin/mkmedia"
if [ ! -x "$mkmedia" ]; then
  cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
  cmake --build "$root/build" -j2 --target mkmedia
fi

export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A prefix of its own: the tests' prefix has no display (null driver).
if [ ! -f "$prefix/system.reg" ]; then
  echo "Making the Wine prefix $prefix"
  DISPLAY= "$wine_dir/wine64" wineboot --init >"$build/wineboot-screens.log" 2>&1
  "$wine_dir/wineserver" -w
fi
# Wine's own fonts (Debian's fonts-wine) in the prefix's font folder: this
# Wine does not look for them where Debian puts them, and without them the
# dialog font falls back to a bitmap font and the caption buttons, drawn
# with Marlett's glyphs, show letters.
cp -u /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/"

# The medium, as tests/windows/install_sample.sh makes it, and an empty
# C:\orvik.
rm -rf "$work" "$screens"
mkdir -p "$work/src" "$work/bmp" "$screens"
cp "$root/sample/kelmar.lst" "$root/sample/readme.txt" "$work/src/"
"$mkmedia" --generate-payloads "$work/src" >/dev/null
"$mkmedia" "$work/src" "$work/medium" >/dev/null
cp "$build/bin/kelmar_setup.exe" "$work/medium/setup.exe"
cp "$build/bin/kelmar.exe" "$work/medium/_kelmar.exe"
cp "$build/bin/ov_clean.exe" "$build/bin/text.dll" "$build/bin/zlib.dll" "$build/bin/ovtext.mdb" \
   "$build/bin/datenum.exe" "$work/medium/"
drive_c="$prefix/drive_c"
ln -sfn "$work/medium" "$prefix/dosdevices/m:"
rm -rf "$drive_c/orvik"
mkdir -p "$drive_c/orvik/proc" "$drive_c/orvik/pic"

native() { printf 'Z:%s' "$1" | tr / '\\'; }
transcript="$work/transcript.txt"
cat >"$work/run.sh" <<RUN
#!/bin/sh
# Inside the virtual display: the installation, then a datenum box.
export ORVIK_UI=gui ORVIK_TRANSCRIPT='$(native "$transcript")' ORVIK_SCREENSHOTS='$(native "$work/bmp")'
ORVIK_SCRIPT='$(native "$root/scripts/screenshots.answers")' \
  "$wine_dir/wine64" explorer /desktop=orvik,1024x768 'M:\\setup.exe' >/dev/null 2>&1 &
waited=0
until grep -q '^end 1050 \|^error ' '$transcript' 2>/dev/null; do
  sleep 1
  waited=\$((waited + 1))
  [ \$waited -lt 180 ] || { echo "screenshots: the installation did not end" >&2; break; }
done
# datenum with an initialisation file that does not exist stops in a box.
printf 'box OK\nbox OK\n' >'$work/datenum.answers'
ORVIK_SCRIPT='$(native "$work/datenum.answers")' \
  "$wine_dir/wine64" explorer /desktop=orvik,1024x768 'M:\\datenum.exe' 'C:\\nowhere\\orvik.ini' >/dev/null 2>&1 || true
# The desktop runs on: wait for the box's answer.
waited=0
until awk '/^box "DATENUM/ { box = 1; next } box && /^answer/ { found = 1 } END { exit !found }' '$transcript'; do
  sleep 1
  waited=\$((waited + 1))
  [ \$waited -lt 60 ] || { echo "screenshots: datenum did not end" >&2; break; }
done
"$wine_dir/wineserver" -k || true
RUN
chmod +x "$work/run.sh"
xvfb-run -a -s "-screen 0 1024x768x24" "$work/run.sh"
rm -f "$prefix/dosdevices/m:"

fail() { echo "screenshots: $*" >&2; exit 1; }
grep -q '^error ' "$transcript" && { cat "$transcript" >&2; fail "the answer file did not fit"; }
# Each picture is a window: many colours, not one plain area.
for bmp in "$work"/bmp/*.bmp; do
  [ -e "$bmp" ] || fail "no pictures were made"
  png="$screens/$(basename "${bmp%.bmp}").png"
  convert "$bmp" "$png"
  colours=$(identify -format '%k' "$png")
  [ "$colours" -ge 4 ] || fail "$(basename "$png") shows no window ($colours colours)"
done
# The windows the review needs, by id (102 is both setup.exe's window and
# Confirm Overwrite; "box" a message box).
for id in 102 1050 1043 105 106 108 1046 1049 107 109 box; do
  ls "$screens"/*-"$id".png >/dev/null 2>&1 || fail "no picture of window $id"
done
[ "$(ls "$screens"/*-102.png | wc -l)" -ge 2 ] || fail "no picture of Confirm Overwrite"
grep -q '^box "DATENUM' "$transcript" || fail "no datenum box"
echo "screenshots: $(ls "$screens" | wc -l) pictures in $screens"
