#!/usr/bin/env bash
# A book's ZIP file opened with the manager, as a file manager's "Open with ZEKO
# Download" does, on a real X display (Xvfb) with a fresh Wine prefix: the
# manager started with the sample book installs it in the install window; a
# second copy started with another book while the first runs hands it over and
# ends, and the running one installs it; a third, while the exit question waits,
# is told the manager is busy, and the manager names the file once the question
# is answered. Every step is checked on disk and on the second copy's exit status.
# Usage: zip-handover.sh [output folder]   (default: docs/screenshots)
# With ZEKO_INSTALLED_ROOT set (/ for the installed package, or a DESTDIR tree)
# it runs the installed bin/zeko-download instead of a copy of build/app.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_BUILD_DIR:-$here/build}
out=${1:-$here/docs/screenshots}
# shellcheck source=scripts/lib/xsession.sh
source "$here/scripts/lib/xsession.sh"
mkdir -p "$out"
work=$(mktemp -d)
cleanup() { WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null; rm -rf "$work"; }
xs_at_exit cleanup
xs_start
mkdir -p "$work/home" "$work/books"
# The runtime folder (mktemp's, 0700) holds the lock and the hand-over socket.
export HOME="$work/home" WINEPREFIX="$work/prefix" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=xcb
export XDG_DATA_HOME="$HOME/.local/share"
bash "$here/scripts/demo-prefix.sh" "$WINEPREFIX" "$("$build/zeko-wine-check" --loader64 || true)"
if [ -n "${ZEKO_INSTALLED_ROOT:-}" ]; then
  # The installed package (or a DESTDIR tree): its registry is the user's own.
  manager="$ZEKO_INSTALLED_ROOT/usr/bin/zeko-download"
  registry="$XDG_DATA_HOME/zeko-download/ZEKOVD.db"
  sample="$ZEKO_INSTALLED_ROOT/usr/lib/zeko-download/Exemplos/Livro de Exemplo.zip"
else
  cp -r "$build/app" "$work/app"
  cp "$build/data/ZEKOVD.template.db" "$work/app/ZEKOVD.db"
  manager="$work/app/ZEKODownload"
  registry="$work/app/ZEKOVD.db"
  sample="$build/app/Exemplos/Livro de Exemplo.zip"
fi
cp "$sample" "$work/books/Livro de Exemplo.zip"
cp "$sample" "$work/books/Segundo Livro.zip"
cp "$sample" "$work/books/Terceiro Livro.zip"
download="$WINEPREFIX/drive_c/ZEKO_Download/Download"
user=$(id -un | tr '[:lower:]' '[:upper:]')

# shellcheck source=scripts/lib/windows.sh
source "$here/scripts/lib/windows.sh"
# A picture of the window of that size with the message box on it: the two together.
shot_with_box() {
  local wx wy ww wh
  window "$2"
  wx=$X wy=$Y ww=$WIDTH wh=$HEIGHT
  window
  local left=$(( X < wx ? X : wx )) top=$(( Y < wy ? Y : wy ))
  local right=$(( X + WIDTH > wx + ww ? X + WIDTH : wx + ww ))
  local bottom=$(( Y + HEIGHT > wy + wh ? Y + HEIGHT : wy + wh ))
  xs_shot "$out/$1.png" "$(( right - left ))x$(( bottom - top ))+$left+$top" || fail "no picture for $1"
}
rows() { sqlite3 "$registry" "SELECT Curso || ' ' || LetraDrive FROM Mapeamento WHERE Usuario = '$user' ORDER BY LetraDrive DESC" | paste -sd,; }
installed() { [ -f "$download/$1/Autorun.exe" ]; }
# A copy started from the books folder with a relative path, as a terminal user would.
second_copy() { (cd "$work/books" && "$manager" "$1"); }

# 1. Started with the sample book: the install window shows and installs it.
# shellcheck disable=SC2016 # the inner shell expands them
xs_launch app bash -c 'cd "$1" && exec "$2" "$3"' _ "$work/books" "$manager" "Livro de Exemplo.zip"
xdotool mousemove --sync 5 5
shot_with_box zip-argument $install
installed "Livro de Exemplo" || fail "the argument's book was not extracted"
[ ! -e "$work/books/Livro de Exemplo.zip" ] || fail "the argument's archive is still there"
[ "$(rows)" = "Livro de Exemplo Y:" ] || fail "registry: $(rows)"
answer ok

# 2. To the book list; a second copy with another book hands it over and ends at
# once; the running manager switches to the install window and installs it.
window $install; click 270 170
window $list
status=0
second_copy "Segundo Livro.zip" || status=$?
[ "$status" = 0 ] || fail "the second copy ended with $status"
shot_with_box zip-handover $install
installed "Segundo Livro" || fail "the handed book was not extracted"
[ "$(rows)" = "Livro de Exemplo Y:,Segundo Livro X:" ] || fail "registry: $(rows)"
! xs_has_window --pid "$app" --size $list || fail "the book list still shows"
answer ok

# 3. The exit question waits: a third copy is told the manager is busy, exits 1,
# and the question stays as it was. Answered no, the manager names the file.
window $install; click 593 15
window; question=$WINDOW
status=0
second_copy "Terceiro Livro.zip" 2>"$work/busy.txt" || status=$?
[ "$status" = 1 ] || fail "the busy copy ended with $status"
echo "  the third copy said: $(cat "$work/busy.txt")"
grep -q "Terceiro Livro.zip" "$work/busy.txt" || fail "the busy copy did not name the file"
if ! xs_has_window --pid "$app" --except "$main $install $list" || [ "$WINDOW" != "$question" ]; then
  fail "the exit question is no longer the box on top"
fi
answer no
shot_with_box zip-handover-busy $install
answer ok
[ -f "$work/books/Terceiro Livro.zip" ] || fail "the busy file was not kept"
! installed "Terceiro Livro" || fail "the busy file was installed"

# 4. Leave.
window $install; click 593 15
answer yes
xs_wait_exit "$app" "the manager to end" || fail "the program did not end"
xs_end "$app"
app=
echo "zip hand-over complete"
