#!/usr/bin/env bash
# The test command on a fresh machine: scripts/test.sh installs what is
# missing (scripts/deps.sh) before it configures anything. Runs a copy of the
# script beside a deps.sh that records its call and fails, with a cmake on
# PATH that records any call.
set -uo pipefail
source_dir="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tree/scripts" "$work/bin"
cp "$source_dir/scripts/test.sh" "$work/tree/scripts/"
printf '#!/bin/sh\necho deps >> "%s/calls"\nexit 1\n' "$work" > "$work/tree/scripts/deps.sh"
printf '#!/bin/sh\necho cmake >> "%s/calls"\n' "$work" > "$work/bin/cmake"
printf '#!/bin/sh\necho ctest >> "%s/calls"\n' "$work" > "$work/bin/ctest"
chmod +x "$work/tree/scripts/deps.sh" "$work/bin/cmake" "$work/bin/ctest"
if PATH="$work/bin:$PATH" "$work/tree/scripts/test.sh" >/dev/null 2>&1; then
  echo "test.sh went on although installing the build's packages failed"
  exit 1
fi
calls="$(cat "$work/calls" 2>/dev/null)"
if [ "$calls" != "deps" ]; then
  echo "expected only the package installation before the build, got: ${calls:-nothing}"
  exit 1
fi
