#!/bin/sh
# with-file-size-limit.sh BYTES COMMAND...
# Runs COMMAND with writes beyond BYTES refused (EFBIG instead of the signal),
# telling the test the limit through TESSAVEL_FILE_SIZE_LIMIT.
set -e
bytes=$1
shift
trap '' XFSZ
ulimit -f $((bytes / 1024))
export TESSAVEL_FILE_SIZE_LIMIT="$bytes"
exec "$@"
