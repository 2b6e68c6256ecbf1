#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Pictomat developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, then configures and builds into build/ (or $BUILD_DIR).
# Extra arguments are passed to cmake's configure step.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
bash "$src/scripts/install-deps.sh"
build=${BUILD_DIR:-$src/build}
cmake -S "$src" -B "$build" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
