#!/usr/bin/env bash
# Installs the build tree as the package does (cmake --install, prefix /usr, into
# a scratch DESTDIR) and checks what lands there: the install folder against
# build/app, the links in bin, the menu entry, AppStream data, icons, manual pages
# and documents, and that the programs run from bin/ over a read-only tree.
#
#   check-install-tree.sh BUILD_DIR APP_DIR VERSION
#
# APP_DIR is the install folder relative to the prefix (lib/zeko-download).
set -uo pipefail
build=$1
appdir=$2
version=$3

# shellcheck source=tests/package/installed-tree.sh
source "$(dirname "$0")/installed-tree.sh"
# The manifest names each file without DESTDIR: each must have landed under it.
while read -r installed; do
  [ -e "$root$installed" ] || [ -L "$root$installed" ] || fail "not installed under DESTDIR: $installed"
done <"$build/install_manifest.txt"

# ---- The install folder: build/app as it stands, the registry (and a journal of
# it) only as its template.
listing() { (cd "$1" && find . -mindepth 1 | LC_ALL=C sort); }
expected=$(listing "$build/app" | grep -vE '^\./ZEKOVD\.db(-.*)?$'; echo ./ZEKOVD.template.db)
diff <(LC_ALL=C sort -u <<<"$expected") <(listing "$app") >"$work/app.diff" ||
  fail "the install folder differs from build/app (< build/app, > installed): $(cat "$work/app.diff")"
[ -e "$app/ZEKOVD.db" ] && fail "the installed tree holds a registry, ZEKOVD.db"
for db in BancoMsgVD.db ZEKOVD.template.db; do
  [ "$(head -c 15 "$app/$db" 2>/dev/null)" = "SQLite format 3" ] || fail "$db is no SQLite database"
done
for program in ZEKODownload zeko-books zeko-help-reader; do
  file -b "$app/$program" | grep -q '^ELF 64-bit LSB pie executable' || fail "$program: $(file -b "$app/$program")"
  readelf -d "$app/$program" | grep -qE 'RPATH|RUNPATH' && fail "$program has an RPATH or RUNPATH"
done
file -b "$app/LoadZEKOV.EXE" | grep -q '^PE32 executable (GUI) Intel 80386' ||
  fail "LoadZEKOV.EXE: $(file -b "$app/LoadZEKOV.EXE")"

# Files 0644 but the three programs 0755, folders 0755.
odd=$(cd "$root" && find . \( -type d ! -perm 0755 \) -o \( -type f ! -perm 0644 ! -perm 0755 \))
[ -z "$odd" ] || fail "modes other than 0644 and 0755: $odd"
executables=$(cd "$app" && find . -type f -perm 0755 | LC_ALL=C sort | tr '\n' ' ')
[ "$executables" = "./ZEKODownload ./zeko-books ./zeko-help-reader " ] || fail "executable files: $executables"

# ---- The links on the PATH.
for pair in zeko-download:ZEKODownload zeko-books:zeko-books; do
  link=$usr/bin/${pair%%:*}
  target=${pair#*:}
  if [ ! -L "$link" ]; then
    fail "$link is no link"
    continue
  fi
  case $(readlink "$link") in /*) fail "$link is an absolute link: $(readlink "$link")" ;; esac
  [ "$(readlink -f "$link")" = "$(readlink -f "$app/$target")" ] || fail "$link leads to $(readlink -f "$link")"
done

# ---- Menu entry, AppStream data, icons.
desktop=$usr/share/applications/org.example.zeko_download.desktop
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx 'Exec=zeko-download %f' "$desktop" || fail "the menu entry does not run zeko-download %f"
grep -qx 'MimeType=application/zip;' "$desktop" || fail "the menu entry is not offered for ZIP files"
[ -e "$usr/share/applications/mimeapps.list" ] && fail "the package makes itself a default handler"
metainfo=$usr/share/metainfo/org.example.zeko_download.metainfo.xml
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate --no-net: $out"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the AppStream data names no release $version"
icons=$usr/share/icons/hicolor
for size in 16 22 24 32 48 64 128 256; do
  png=$icons/${size}x$size/apps/org.example.zeko_download.png
  file -b "$png" 2>&1 | grep -q "^PNG image data, $size x $size, 8-bit/color RGBA" ||
    fail "icon $size: $(file -b "$png" 2>&1)"
done
file -b "$icons/scalable/apps/org.example.zeko_download.svg" 2>&1 | grep -q '^SVG Scalable Vector Graphics image' ||
  fail "no SVG icon"

# ---- Manual pages and documents: gzip -9n (no name or time in the header).
gzipped() {
  gzip -t "$1" 2>/dev/null || return 1
  # Flags byte 0 (no file name) and a zero time stamp.
  [ "$(od -An -tx1 -j3 -N5 "$1" | tr -d ' \n')" = 0000000000 ]
}
for page in zeko-books zeko-download; do
  man=$usr/share/man/man1/$page.1.gz
  gzipped "$man" || fail "$page.1.gz is not compressed with gzip -9n"
  warnings=$(MANWIDTH=80 man --warnings -l "$man" 2>&1 >"$work/$page.txt")
  [ -z "$warnings" ] || fail "man -l $page.1.gz: $warnings"
  grep -q "^${page^^}(1)" "$work/$page.txt" || fail "$page.1.gz renders no page of its name"
  grep -q "ZEKO Download $version" "$work/$page.txt" || fail "$page.1.gz names no version $version"
done
doc=$usr/share/doc/zeko-download
head -1 "$doc/copyright" 2>/dev/null | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "copyright is not in the machine-readable format"
gzipped "$doc/changelog.gz" || fail "changelog.gz is not compressed with gzip -9n"
zcat "$doc/changelog.gz" 2>/dev/null | head -1 | grep -q "^zeko-download ($version) " ||
  fail "the changelog's latest entry is not $version"

# ---- The programs from bin/ over a read-only tree. Root writes through a-w, so
# the tree is also compared before and after: nothing in it may change.
chmod -R a-w "$root"
before=$(snapshot)
home=$work/home
mkdir -p "$home/runtime"
chmod 0700 "$home/runtime"
run() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$home" WINEPREFIX="$home/prefix" \
    XDG_RUNTIME_DIR="$home/runtime" XDG_DATA_HOME="$home/data" "$@"
}

run "$usr/bin/zeko-books" --help >"$work/help.txt" 2>&1 || fail "zeko-books --help from bin/ ended with $?"
head -1 "$work/help.txt" | grep -q '^usage: zeko-books COMMAND' || fail "zeko-books --help: $(head -3 "$work/help.txt")"
run "$usr/bin/zeko-download" --help >"$work/manager-help.txt" 2>&1 || fail "zeko-download --help from bin/ ended with $?"
grep -q '^usage: ZEKODownload \[BOOK.zip\]' "$work/manager-help.txt" || fail "zeko-download --help: $(head -3 "$work/manager-help.txt")"

# From the links the programs must find their files in the install folder, and
# make the registry in the user's data folder: zeko-books lists, and the manager,
# with no display, gets through its start-up and stops before any window.
run "$usr/bin/zeko-books" list >"$work/list.txt" 2>&1
status=$?
[ $status = 0 ] || fail "zeko-books list from bin/ ($status): $(cat "$work/list.txt")"
run "$usr/bin/zeko-download" >"$work/manager.txt" 2>&1
status=$?
[ $status = 1 ] && grep -q "no graphical display" "$work/manager.txt" ||
  fail "zeko-download from bin/ ($status): $(cat "$work/manager.txt")"
grep -qF "$usr/bin/" "$work/list.txt" "$work/manager.txt" && fail "a program looked for its files in bin/"

[ "$(snapshot)" = "$before" ] || fail "running the programs changed the installed tree: $(diff <(echo "$before") <(snapshot))"

if [ $failures -gt 0 ]; then
  echo "$failures check(s) of the installed tree failed" >&2
  exit 1
fi
echo "installed tree under $root: every check passed"
