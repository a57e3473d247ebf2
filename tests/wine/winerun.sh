#!/usr/bin/env bash
# Runs one Windows program under Wine on its own display and prefix, then cleans up.
# Used as CMAKE_CROSSCOMPILING_EMULATOR: winerun.sh program.exe [arguments...]
set -u
. "$(dirname "$0")/wineenv.sh"
trap kd_wine_stop EXIT
kd_wine_start
wine "$@"
rc=$?
exit $rc
