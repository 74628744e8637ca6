#!/usr/bin/env bash
# Configures and builds into build/ (or $ZEKO_BUILD_DIR); the install folder is build/app.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_BUILD_DIR:-$here/build}
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEKO_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
