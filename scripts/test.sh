#!/bin/bash
# Builds Pictomat with its tests and runs every test (offscreen, no display needed).
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$src/build}
bash "$src/scripts/build.sh" -DPICTOMAT_BUILD_TESTS=ON
export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure -j"$(nproc)"
