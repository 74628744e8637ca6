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
  # A sample book among the downloads, where a newcomer looks for a book to install.
  # Wine may link Downloads to the real one in the home folder: a file of that name
  # there is never replaced, and the book is offered once per prefix, so one the
  # user deleted does not come back.
  sample="$build/app/Exemplos/Livro de Exemplo.zip"
  downloads="$WINEPREFIX/drive_c/users/$(id -un)/Downloads"
  if [ -f "$sample" ] && [ ! -e "$WINEPREFIX/.zeko-sample-book" ]; then
    if mkdir -p "$downloads" 2>/dev/null; then
      target="$downloads/$(basename "$sample")"
      if [ -e "$target" ] || [ -L "$target" ] || cp "$sample" "$target"; then
        touch "$WINEPREFIX/.zeko-sample-book"
      fi
    else
      echo "The sample book is in $sample ($downloads cannot be created)." >&2
    fi
  fi
fi
# Everything but starting a course works without 32-bit support; say so once.
"$build/zeko-wine-check" || true
exec "$build/app/ZEKODownload"
