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
  bash "$here/scripts/demo-prefix.sh" "$WINEPREFIX" "$("$build/zeko-wine-check" --loader64 || true)"
fi
# Everything but starting a course works without 32-bit support; say so once.
"$build/zeko-wine-check" || true
exec "$build/app/ZEKODownload"
