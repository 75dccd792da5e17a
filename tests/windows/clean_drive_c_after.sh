#!/bin/sh
# Runs a command (an installation under Wine), then removes what an
# installation leaves on drive C: of the Wine prefix (C:\orvik, the catalogue
# logs, the selection log), so that the unit tests sharing the drive find it
# as they expect. Exits with the command's status.
: "${WINEPREFIX:?}"
"$@"
status=$?
drive_c="$WINEPREFIX/drive_c"
rm -rf "$drive_c/orvik" "$drive_c/listrdbg.txt" "$drive_c/listread.txt" "$drive_c/windows/_procsel.log"
exit $status
