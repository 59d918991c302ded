#!/usr/bin/env bash
# Runs one Windows program of the build under Wine: the emulator through which
# ctest starts every Windows test. Needs what scripts/windows/run-tests.sh
# sets: WINEPREFIX (a private prefix), WINEPATH (where Qt's and MinGW's
# libraries are) and DISPLAY (a virtual X display). Wine passes no QT_*
# variable on to the program, so the tests run on Qt's windows platform.
set -euo pipefail
: "${WINEPREFIX:?} ${WINEPATH:?} ${DISPLAY:?}"
export WINEDEBUG=${WINEDEBUG:--all}
exec wine "$@"
