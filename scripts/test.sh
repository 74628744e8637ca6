#!/usr/bin/env bash
# Installs what the project needs, builds it and runs every test.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_BUILD_DIR:-$here/build}
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/build.sh"
# Tests make their own throw-away prefixes; none may touch the user's ~/.wine.
unset WINEPREFIX
cd "$build"
ctest --output-on-failure -j 2
