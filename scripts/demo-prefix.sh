#!/usr/bin/env bash
# Prepares a Wine prefix as a course installation leaves it: zeko.ini with the
# course's keys in the 32-bit system folder and C:\ZEKO_Download\Download\.
# Usage: demo-prefix.sh <prefix folder> [<Wine loader>]. The loader (Wine's 64-bit
# one, which also runs where Linux runs no 32-bit programs) makes the prefix;
# without it `wine` does. An existing prefix is left as it is.
set -euo pipefail
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
# A 32-bit program's system32 is syswow64 in a 64-bit prefix.
sysdir="$prefix/drive_c/windows/system32"
# A prefix Wine has not set up yet will be 64-bit unless WINEARCH says win32.
if grep -q '^#arch=win64' "$prefix/system.reg" 2>/dev/null || [ -d "$prefix/drive_c/windows/syswow64" ] \
   || { [ ! -f "$prefix/system.reg" ] && [ "${WINEARCH:-}" != win32 ]; }; then
  sysdir="$prefix/drive_c/windows/syswow64"
  mkdir -p "$sysdir"
fi
[ -f "$sysdir/zeko.ini" ] || printf '[InstalacaoVersao5]\r\nIdiomaInst=POR\r\nDriveCD=D:\r\n' > "$sysdir/zeko.ini"
mkdir -p "$prefix/drive_c/ZEKO_Download/Download"
touch "$prefix/.zeko-demo"
