#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Pictomat developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Pictomat and starts it.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
bash "$src/scripts/build.sh"
exec "${BUILD_DIR:-$src/build}/bin/pictomat" "$@"
