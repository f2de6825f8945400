#!/bin/sh
# Runs an installer test in a Wine prefix made anew for each run, so that
# nothing of an earlier install is left to find:
#   run-in-fresh-prefix.sh PREFIX PROGRAM [ARGS...]
# A crashing program exits instead of waiting in Wine's crash dialog, and
# winemenubuilder is off, so the Start menu shortcut the installer makes
# writes nothing outside the prefix.
set -e
prefix=$1
shift
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
rm -rf "$prefix" "$prefix.lock"
export WINEDLLOVERRIDES="winemenubuilder.exe=d"
"$scripts/wine-run" "$prefix" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
exec "$scripts/wine-run" "$prefix" "$@"
