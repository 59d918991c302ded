#!/usr/bin/env bash
# Runs the whole suite through ctest. Without a display the tests use Qt's
# offscreen platform.
set -euo pipefail
build=${1:-build}
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  export QT_QPA_PLATFORM=offscreen
fi
ctest --test-dir "$build" --output-on-failure -j2
