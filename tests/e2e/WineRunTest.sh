#!/bin/sh
# scripts/wine-run's prefixes: a folder holding files it did not make is
# refused and left as it is; a prefix copied from the base has its own
# registry, so that its DPI reaches neither the base nor the other prefixes,
# while it shares Wine's libraries with the base; its server stays between
# programs without holding their output.
#   WineRunTest.sh SOURCE_DIR BUILD_DIR
set -e
wine_run=$1/scripts/wine-run
build_dir=$2
fail() { echo "FAIL: $*"; exit 1; }

foreign="$build_dir/wine-run-test-foreign"
rm -rf "$foreign"
mkdir -p "$foreign"
echo keep >"$foreign/notes.txt"
if message=$("$wine_run" "$foreign" cmd /c exit 0 2>&1); then
    fail "a folder with files of its own was taken as a prefix"
fi
echo "$message" | grep -q "harness failure: the folder holds files this script did not make" ||
    fail "unclear refusal: $message"
[ "$(cat "$foreign/notes.txt")" = keep ] && [ "$(ls -A "$foreign")" = notes.txt ] ||
    fail "the refused folder was changed"
rm -rf "$foreign"

prefix="$build_dir/wineprefix-wine-run-test"
rm -rf "$prefix" "$prefix.lock" "$prefix.setup.log"
TESSAVEL_WINE_DPI=144 "$wine_run" "$prefix" reg query 'HKCU\Control Panel\Desktop' /v LogPixels >"$prefix.query" 2>&1 ||
    fail "the prefix was not made: $(cat "$prefix.query")"
grep -q "LogPixels.*0x90" "$prefix.query" || fail "LogPixels is not 144: $(cat "$prefix.query")"
base="$build_dir/wineprefix-base-ja_JP"
if grep -q 'LogPixels"=dword:00000090' "$base/user.reg"; then
    fail "the prefix's DPI reached the base"
fi
for own in system.reg user.reg userdef.reg drive_c/windows/win.ini; do
    [ "$(stat -c %h "$prefix/$own")" = 1 ] || fail "$own is shared with the base"
done
[ "$(stat -c %h "$prefix/drive_c/windows/system32/kernel32.dll")" -gt 1 ] ||
    echo "note: the libraries are copies (no hard links on this disk)"

# The prefix's server outlives its last program, and the services started
# with it hold no program's output: a caller reading a program's output to
# its end gets it while the server still runs (were the pipe held, the read
# would end only with the server).
WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
WINEPREFIX="$prefix" wineserver -w >/dev/null 2>&1 || true
# The server is to stay 60 s; a server that ends with its program is gone
# within a second or two, long before the 5 s wait for it gives up.
said=$(TESSAVEL_WINE_SERVER_SECONDS=60 "$wine_run" "$prefix" cmd /c echo said 2>&1) || fail "cmd did not run: $said"
echo "$said" | grep -q said || fail "the program's output was lost: $said"
status=0
WINEPREFIX="$prefix" timeout 5 wineserver -w >/dev/null 2>&1 || status=$?
[ "$status" = 124 ] || fail "the prefix's server did not outlast the program whose output was read (wait said $status)"
WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
WINEPREFIX="$prefix" wineserver -w >/dev/null 2>&1 || true
rm -rf "$prefix" "$prefix.lock" "$prefix.server.lock" "$prefix.setup.log" "$prefix.query"
echo "PASS"
