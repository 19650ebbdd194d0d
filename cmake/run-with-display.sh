#!/bin/sh
# Runs a Windows program that opens windows under Wine, on an Xvfb display of its own and
# in a Wine prefix of its own: the first program of a Wine session fixes the display for
# every later one, so the session must not be one that the headless tests started.
#   run-with-display.sh PREFIX WINESERVER WINE PROGRAM [ARGUMENTS...]
set -eu
export WINEPREFIX="$1"
wineserver="$2"
shift 2
"$wineserver" -k 2>/dev/null || true
exec xvfb-run -a -s "-screen 0 1024x768x24" "$@"
