#!/usr/bin/env bash
# Prepares a Wine prefix as a course installation leaves it: zeko.ini with the
# course's keys in the 32-bit system folder and C:\ZEKO_Download\Download\.
# Usage: demo-prefix.sh <prefix folder> [<Wine loader>]. The loader (Wine's 64-bit
# one, which also runs where Linux runs no 32-bit programs) makes the prefix;
# without it `wine` does. An existing prefix is left as it is. Needs the built
# zeko-wine-check in build/ (or $ZEKO_BUILD_DIR).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_BUILD_DIR:-$here/build}
prefix=$1
loader=${2:-}
if [ -f "$prefix/.zeko-demo" ]; then exit 0; fi
mkdir -p "$prefix"
if [ -n "$loader" ]; then
  # Wine starts wineboot's helpers with the same loader.
  WINEPREFIX="$prefix" WINELOADER="$loader" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all \
    "$loader" wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
elif command -v wine >/dev/null; then
  WINEPREFIX="$prefix" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
fi
mkdir -p "$prefix/dosdevices" "$prefix/drive_c/windows/system32"
[ -e "$prefix/dosdevices/c:" ] || ln -s ../drive_c "$prefix/dosdevices/c:"
[ -e "$prefix/dosdevices/z:" ] || ln -s / "$prefix/dosdevices/z:"
# Where the manager will look for zeko.ini, as the manager decides it.
sysdir=$("$build/zeko-wine-check" --system-folder "$prefix")
mkdir -p "$sysdir"
[ -f "$sysdir/zeko.ini" ] || printf '[InstalacaoVersao5]\r\nIdiomaInst=POR\r\nDriveCD=D:\r\n' > "$sysdir/zeko.ini"
mkdir -p "$prefix/drive_c/ZEKO_Download/Download"
touch "$prefix/.zeko-demo"
