#!/usr/bin/env bash
# Builds Qt 6.4.2 for 64-bit Windows (x86_64-w64-mingw32) from Debian's own
# qt6-base source, with only the modules and features Rotamet uses, and
# installs it into a cache folder outside the clone. The folder's name carries
# a hash of this recipe (this script and the toolchain file), so a changed
# recipe builds anew and an unchanged one is reused by every later build on
# the machine. Prints the install prefix on its last line.
#
#   ROTAMET_CACHE   cache folder (default ~/.cache/rotamet)
#   JOBS            parallel build jobs (default: number of cores)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
toolchain="$root/packaging/windows/mingw-w64-x86_64.cmake"
cache=${ROTAMET_CACHE:-$HOME/.cache/rotamet}
recipe=$(cat "$0" "$toolchain" | sha256sum | cut -c1-12)
prefix="$cache/qt6-win64-$recipe"
if [[ -f "$prefix/.complete" ]]; then
  echo "$prefix"
  exit 0
fi

work="$cache/qt6-win64-work"
rm -rf "$work"
mkdir -p "$work"
cd "$work"
echo "build-qt: fetching Debian's qt6-base source into $work" >&2
apt-get source -qq --download-only qt6-base >&2
dpkg-source --no-check -x qt6-base_*.dsc src >&2

mkdir build
cd build
echo "build-qt: configuring" >&2
../src/configure -prefix "$prefix" \
  -xplatform win32-g++ -qt-host-path /usr -release -shared -optimize-size \
  -nomake examples -nomake tests \
  -no-opengl -no-dbus -no-vulkan -no-icu -no-openssl -no-zstd -no-glib \
  -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-doubleconversion \
  -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent \
  -no-feature-androiddeployqt -no-feature-tabletevent \
  -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >&2
echo "build-qt: building (about 45 minutes on 2 cores)" >&2
cmake --build . --parallel "${JOBS:-$(nproc)}" >&2
cmake --install . >&2
touch "$prefix/.complete"
cd /
rm -rf "$work"
echo "$prefix"
