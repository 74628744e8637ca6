#!/usr/bin/env bash
# A user's journey over the installed tree made read-only: as an ordinary user
# (not root) on a throw-away prefix, zeko-books from bin/ installs the sample
# book, lists it, opens it and removes it. The registry must appear in the
# user's data folder, the book's menu entry must appear and go, and nothing in
# the installed tree may change.
#
#   check-installed-book.sh BUILD_DIR APP_DIR
#
# Opening reaches the course start through a pretend 32-bit Wine loader that
# only leaves a mark. Where Linux runs no 32-bit programs, that step cannot run:
# the rest is checked and the test ends as skipped (77), saying why.
set -uo pipefail
build=$1
appdir=$2

# shellcheck source=tests/package/installed-tree.sh
source "$(dirname "$0")/installed-tree.sh"
# The other user reaches the tree through the scratch folder.
chmod 0755 "$work"
chmod -R a-w "$root"
before=$(snapshot)

# The user: another uid when run as root, else whoever runs the tests.
home=$work/home
prefix=$home/prefix
mkdir -p "$home/runtime" "$home/Downloads" "$home/tools" "$prefix/dosdevices" "$prefix/drive_c/ZEKO_Download/Download"
chmod 0700 "$home/runtime"
ln -s ../drive_c "$prefix/dosdevices/c:"
# The prefix as a course installation leaves it.
system=$("$build/zeko-wine-check" --system-folder "$prefix")
mkdir -p "$system"
printf '[InstalacaoVersao5]\r\nIdiomaInst=ING\r\nDriveCD=D:\r\n[ZEKODownload]\r\nDrive=C:\r\n' >"$system/zeko.ini"
zip="$home/Downloads/Livro de Exemplo.zip"
cp "$app/Exemplos/Livro de Exemplo.zip" "$zip"
chmod u+w "$zip"

# The pretend loader: an i386 ELF program that creates the mark file and exits 0.
mark=$home/loader-ran
python3 - "$home/tools/wine" "$mark" <<'EOF'
import struct, sys
out, mark = sys.argv[1], sys.argv[2].encode() + b"\0"
base, code_at = 0x08048000, 52 + 32
code_len = 24
path_addr = base + code_at + code_len
code = (b"\xb8\x08\x00\x00\x00" + b"\xbb" + struct.pack("<I", path_addr)  # eax=creat, ebx=path
        + b"\xb9\xa4\x01\x00\x00" + b"\xcd\x80"                           # ecx=0644, int 0x80
        + b"\x31\xdb\x31\xc0\x40\xcd\x80")                                # exit(0)
assert len(code) == code_len
size = code_at + code_len + len(mark)
elf = (b"\x7fELF\x01\x01\x01" + b"\0" * 9
       + struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, base + code_at, 52, 0, 0, 52, 32, 1, 0, 0, 0)
       + struct.pack("<IIIIIIII", 1, 0, base, base, size, size, 5, 0x1000))
open(out, "wb").write(elf + code + mark)
EOF
chmod 0755 "$home/tools/wine"

as_user=()
if [ "$(id -u)" = 0 ]; then
  chown -R 61005:61005 "$home"
  as_user=(setpriv --reuid 61005 --regid 61005 --clear-groups)
fi
run() {
  "${as_user[@]}" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$home" USER=aluno \
    WINEPREFIX="$prefix" XDG_RUNTIME_DIR="$home/runtime" XDG_DATA_HOME="$home/data" \
    PATH="$home/tools:/usr/bin:/bin" "$usr/bin/zeko-books" "$@" </dev/null
}
entries() { find "$home/data/applications" -name 'zeko-download-book-*.desktop' 2>/dev/null; }
book="$prefix/drive_c/ZEKO_Download/Download/Livro de Exemplo"

# ---- Install: the book's folder, the ZIP gone, the registry and the menu entry in the user's data folder.
run install "$zip" >"$work/install.txt" 2>&1 || fail "install ended with $?: $(cat "$work/install.txt")"
[ -f "$book/Autorun.exe" ] || [ -f "$book/AUTORUN.EXE" ] || fail "no book in $book"
[ -e "$zip" ] && fail "the installed book's ZIP file was kept"
registry=$home/data/zeko-download/ZEKOVD.db
[ "$(head -c 15 "$registry" 2>/dev/null)" = "SQLite format 3" ] || fail "no registry at $registry"
[ -n "${as_user[*]}" ] && [ "$(stat -c %u "$registry")" != 61005 ] && fail "the registry is not the user's own"
entry=$(entries)
if [ "$(wc -l <<<"$entry")" != 1 ] || [ -z "$entry" ]; then
  fail "one menu entry expected after the install, found: $entry"
else
  grep -qx 'Name=Livro de Exemplo (Y:)' "$entry" || fail "the entry's name: $(grep ^Name= "$entry")"
  grep -qF "\"$app/zeko-books\" open -- \"Livro de Exemplo\"" "$entry" || fail "the entry's command: $(grep ^Exec= "$entry")"
  out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate on the book's entry: $out"
fi

# ---- List.
run list --json >"$work/list.json" 2>"$work/list.err" || fail "list ended with $?: $(cat "$work/list.err")"
python3 - "$work/list.json" <<'EOF' || fail "list: $(cat "$work/list.json")"
import json, sys
books = json.load(open(sys.argv[1]))
assert [(b["name"], b["drive"], b["mounted"]) for b in books] == [("Livro de Exemplo", "Y:", True)], books
EOF

# ---- Open: the drive leads to the book, and the loader was started.
skipped=
if run open "Livro de Exemplo" >"$work/open.txt" 2>&1; then
  for _ in $(seq 50); do [ -e "$mark" ] && break; sleep 0.1; done
  [ -e "$mark" ] || fail "open ended 0 but the loader was never started"
  [ "$(readlink -f "$prefix/dosdevices/y:")" = "$(readlink -f "$book")" ] || fail "drive Y: does not lead to the book"
elif grep -q '32-bit' "$work/open.txt"; then
  skipped="opening needs a Linux that runs 32-bit programs: $(tr '\n' ' ' <"$work/open.txt")"
else
  fail "open: $(cat "$work/open.txt")"
fi

# ---- Remove: the folder, the row and the menu entry go.
run remove "Livro de Exemplo" --yes >"$work/remove.txt" 2>&1 || fail "remove ended with $?: $(cat "$work/remove.txt")"
[ -e "$book" ] && fail "the removed book's folder is still there"
[ -e "$prefix/dosdevices/y:" ] && fail "the removed book's drive is still mapped"
[ -z "$(entries)" ] || fail "the removed book's menu entry is still there: $(entries)"
run list --json >"$work/list.json" 2>&1 && [ "$(tr -d ' \n' <"$work/list.json")" = "[]" ] ||
  fail "the list after the removal: $(cat "$work/list.json")"

[ "$(snapshot)" = "$before" ] || fail "the journey changed the installed tree: $(diff <(echo "$before") <(snapshot))"

if [ $failures -gt 0 ]; then
  echo "$failures check(s) of the installed book failed" >&2
  exit 1
fi
if [ -n "$skipped" ]; then
  echo "SKIPPED: $skipped"
  exit 77
fi
echo "installed, listed, opened and removed the sample book from the read-only tree${as_user:+ as uid 61005}"
