#!/usr/bin/env bash
# Cross-builds Rotamet for 64-bit Windows in BUILD_DIR (default build-win),
# against the Windows Qt that scripts/windows/build-qt.sh keeps in its cache
# (built there first when missing), then:
#   package   packs the installer BUILD_DIR/rotamet-1.00-win64.exe (NSIS) and
#             the portable BUILD_DIR/rotamet-1.00-win64-portable.zip
#   test      packs them too, then runs the test suites as Windows programs
#             under Wine, and the installer's and the zip's test
# usage: scripts/windows/build.sh package|test [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
what=${1:?package or test}
build=${2:-$top/build-win}

"$top/scripts/bootstrap.sh"
"$here/bootstrap.sh"
qt=$("$here/build-qt.sh" | tail -1)

# Qt's own toolchain file puts the Windows Qt on the cross-compiler's search
# path, then chains to the MinGW one.
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$top/packaging/windows/mingw-w64-x86_64.cmake" \
  -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$here/wine-run.sh" >/dev/null
cmake --build "$build"
cmake --build "$build" --target rotamet_packages >/dev/null

case $what in
  package)
    ls -l "$build"/rotamet-*-win64.exe "$build"/rotamet-*-win64-portable.zip
    ;;
  test)
    "$here/run-tests.sh" "$build" "$qt"
    ;;
  *)
    echo "usage: $0 package|test [BUILD_DIR]" >&2
    exit 2
    ;;
esac
