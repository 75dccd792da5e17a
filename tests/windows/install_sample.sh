#!/bin/sh
# Installs the sample CD with the Windows programs under Wine, unattended
# (script frontend, the sample answer file; with `gui`, the same answer file
# driving the native dialogs; with `console`, the console frontend reading
# piped lines through setup.exe and the installer it starts), and checks
# what lands on C:.
# The POSIX build's mkmedia makes the medium with the Windows programs
# (--windows). With an answer file the same medium, with the POSIX
# programs, is also installed by the POSIX build (orvik_run beside mkmedia),
# and C:\orvik must come out the same byte for byte.
#   install_sample.sh <mkmedia> <build-win/bin> <source dir> <work dir> [script|gui|console]
set -eu
mkmedia=$1 bin=$2 source=$3 work=$4 frontend=${5:-script}
: "${WINEPREFIX:?}"
rm -rf "$work"
mkdir -p "$work/src"
cp "$source/sample/kelmar.lst" "$source/sample/readme.txt" "$work/src/"
"$mkmedia" --generate-payloads "$work/src" >/dev/null
"$mkmedia" "$work/src" "$work/medium" --windows "$bin" >/dev/null
# The medium carries the Windows programs, stripped.
for f in setup.exe _kelmar.exe ov_clean.exe text.dll zlib.dll; do
  [ "$(head -c 2 "$work/medium/$f")" = MZ ] || { echo "install_sample: $f on the medium is no Windows program" >&2; exit 1; }
done

# The medium is drive M:; the installation goes to a fresh C:\orvik.
drive_c="$WINEPREFIX/drive_c"
ln -sfn "$work/medium" "$WINEPREFIX/dosdevices/m:"
trap 'rm -f "$WINEPREFIX/dosdevices/m:"' EXIT
rm -rf "$drive_c/orvik"
mkdir -p "$drive_c/orvik/proc" "$drive_c/orvik/pic"

native() { printf 'Z:%s' "$1" | tr / '\\'; }
run="$(dirname "$0")/../../scripts/wine-run.sh"
export ORVIK_TRANSCRIPT
ORVIK_TRANSCRIPT=$(native "$work/transcript.txt")
if [ "$frontend" = console ]; then
  # Welcome: Next; folders: Next; the read-me box: OK; two procedures;
  # Next; Finish: Quit.
  printf '%s\n' n n o 'toggle 1014 "DMM 45"' 'toggle 1014 "Counter 220"' n q |
    ORVIK_UI=console "$run" 'M:\setup.exe' >"$work/console.txt"
else
  ORVIK_UI=$frontend ORVIK_SCRIPT=$(native "$source/sample/answers.txt") "$run" 'M:\setup.exe' </dev/null
fi

# setup.exe ends once the installer runs: wait for the installer's end.
until grep -q '^end 1050 ' "$work/transcript.txt" 2>/dev/null; do
  if grep -q '^error ' "$work/transcript.txt" 2>/dev/null; then break; fi
  sleep 1
done
fail() { echo "install_sample: $*" >&2; cat "$work/transcript.txt" >&2; exit 1; }
grep -q '^error ' "$work/transcript.txt" && fail "the answer file did not fit"
grep -q '^window 107 ' "$work/transcript.txt" || fail "no Finish page"
if grep '^box ' "$work/transcript.txt" | grep -qv 'Unable to change permission'; then
  fail "unexpected message box"
fi
for f in proc/proc.dir proc/readme.txt pic/DMM45.BMP pic/CNT220.BMP; do
  [ -s "$drive_c/orvik/$f" ] || fail "C:\\orvik\\$f missing"
done
grep -q 'DMM 45' "$drive_c/orvik/proc/proc.dir" || fail "DMM 45 not in proc.dir"
grep -q 'Counter 220' "$drive_c/orvik/proc/proc.dir" || fail "Counter 220 not in proc.dir"

if [ "$frontend" != console ]; then
  # The same installation by the POSIX programs from the same source.
  host_bin=$(dirname "$mkmedia")
  "$mkmedia" "$work/src" "$work/posix_medium" >/dev/null
  prefix="$work/posix_prefix"
  mkdir -p "$prefix/drive_c/orvik/proc" "$prefix/drive_c/orvik/pic"
  ORVIK_PREFIX="$prefix" ORVIK_UI=script ORVIK_SCRIPT="$source/sample/answers.txt" \
    ORVIK_TRANSCRIPT="$work/posix_transcript.txt" \
    "$host_bin/orvik_run" --drive "m:=$work/posix_medium" 'M:\setup.exe' </dev/null ||
    { cat "$work/posix_transcript.txt" >&2; fail "the POSIX programs did not install the medium"; }
  diff -r "$prefix/drive_c/orvik" "$drive_c/orvik" >&2 || fail "C:\\orvik differs from the POSIX programs' installation"
fi
echo "install_sample: installed"
