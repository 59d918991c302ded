#!/usr/bin/env bash
# Runs the Windows build's test suites through ctest, each one a Windows
# program under Wine (scripts/windows/wine-run.sh), headless on a virtual X
# display. The Wine prefix is private to the build folder and made once:
# there the design's fonts Arial and Calibri resolve to their metric twins
# Liberation Sans and Carlito, as on a Windows machine they resolve to
# themselves.
# Qt's libraries come from the Windows Qt, MinGW's from the cross compiler;
# the build folder (where a Windows build puts every program) holds the
# stand-ins for Linux tools (tests/windows/).
# usage: scripts/windows/run-tests.sh BUILD_DIR WINDOWS_QT_PREFIX [CTEST_ARGS...]
# (for instance -R desktop -V for one suite, with its output)
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
qt=${2:?Windows Qt prefix}
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all

winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }
gxx=x86_64-w64-mingw32-g++-posix
runtime=$(dirname "$($gxx -print-file-name=libstdc++-6.dll)")
export WINEPATH="$(winpath "$qt/bin");$(winpath "$runtime");$(winpath /usr/x86_64-w64-mingw32/lib);$(winpath "$build")"

xdir=$(mktemp -d)
xpid=""
cleanup() {
  [[ -n $xpid ]] && kill "$xpid" 2>/dev/null
  wineserver -k 2>/dev/null || true
  rm -rf "$xdir"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$xdir/display" >/dev/null 2>&1 &
xpid=$!
for _ in $(seq 100); do [[ -s $xdir/display ]] && break; sleep 0.1; done
export DISPLAY=:$(<"$xdir/display")

if [[ ! -f $WINEPREFIX/.rotamet-ready ]]; then
  echo "run-tests: making the Wine prefix $WINEPREFIX"
  # No Mono or Gecko: the suites need neither, and Wine would offer to fetch them.
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
  for pair in "Arial=Liberation Sans" "Calibri=Carlito"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${pair%%=*}" /d "${pair#*=}" /f >/dev/null 2>&1
  done
  wineserver -w
  touch "$WINEPREFIX/.rotamet-ready"
fi

# One Wine server for the whole run, up before the first suite: suites that
# start Wine at the same moment would otherwise race to start it.
wineserver -p
wine cmd /c exit >/dev/null 2>&1

# One suite at a time: they share the display, and a window of one suite
# would take the focus from another's (closing its context menu, say).
ctest --test-dir "$build" --output-on-failure "${@:3}"
