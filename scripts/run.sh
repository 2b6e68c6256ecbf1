#!/bin/bash
# Builds Pictomat and starts it.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
bash "$src/scripts/build.sh"
exec "${BUILD_DIR:-$src/build}/bin/pictomat" "$@"
