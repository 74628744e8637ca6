#!/usr/bin/env bash
# Installs what the project needs, builds it and starts the book manager.
# With WINEPREFIX unset it runs on a demo prefix inside the build folder.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_BUILD_DIR:-$here/build}
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/build.sh"
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="$build/demo-prefix"
  bash "$here/scripts/demo-prefix.sh" "$WINEPREFIX"
fi
exec "$build/app/ZEKODownload"
