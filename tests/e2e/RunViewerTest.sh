#!/bin/sh
# scripts/run-viewer without a display, driven with notepad: it must start
# Xvfb, picture the window, close it with WM_CLOSE and say where the picture
# is; and it must refuse clearly when the program is missing.
#   RunViewerTest.sh SOURCE_DIR BUILD_DIR PREFIX
set -e
source_dir=$1
export TESSAVEL_BUILD_DIR=$2
prefix=$3
out="$TESSAVEL_BUILD_DIR/tests/e2e/run-viewer-test.png"
unset DISPLAY

if message=$("$source_dir/scripts/run-viewer" --program "$TESSAVEL_BUILD_DIR/no-such-viewer.exe" 2>&1); then
    echo "FAIL: a missing program was not refused"
    exit 1
fi
echo "$message" | grep -q "no-such-viewer.exe is missing" || { echo "FAIL: unclear refusal: $message"; exit 1; }

rm -f "$out"
log=$("$source_dir/scripts/run-viewer" --program 'C:\windows\notepad.exe' --class Notepad --tail 'C:\windows\win.ini' \
    --prefix "$prefix" --screenshot "$out")
echo "$log"
echo "$log" | grep -q "^window: win.ini - " || { echo "FAIL: notepad's window was not found"; exit 1; }
echo "$log" | grep -q "^exit code: 0$" || { echo "FAIL: notepad did not end after WM_CLOSE"; exit 1; }
echo "$log" | grep -q "screenshot saved to $out$" || { echo "FAIL: no screenshot path"; exit 1; }
pngcheck -q "$out"
echo "PASS"
