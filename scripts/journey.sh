#!/usr/bin/env bash
# The whole journey as a person makes it, on a real X display (Xvfb) with the
# real programs and a fresh Wine prefix: start, install the sample book, find it
# in the list, open it, leave and start again, remove it, leave. The pointer goes
# to the hot spots and the message boxes are answered by clicking their faces.
# A picture of each step goes to the output folder; every check that fails stops
# the journey with a message.
# Usage: journey.sh [output folder]   (default: docs/screenshots)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_BUILD_DIR:-$here/build}
out=${1:-$here/docs/screenshots}
for tool in Xvfb xdotool import sqlite3; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
done
mkdir -p "$out"
work=$(mktemp -d)
app=
trap 'kill $app $xvfb 2>/dev/null || true; WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

export DISPLAY=:95
Xvfb "$DISPLAY" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
sleep 1
# A home of its own, so Wine's Downloads and the sample book stay in here.
mkdir -p "$work/home"
export HOME="$work/home" WINEPREFIX="$work/prefix" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=xcb
bash "$here/scripts/demo-prefix.sh" "$WINEPREFIX" "$("$build/zeko-wine-check" --loader64 || true)"
cp -r "$build/app" "$work/app"
cp "$build/data/ZEKOVD.template.db" "$work/app/ZEKOVD.db"
downloads="$WINEPREFIX/drive_c/users/$(id -un)/Downloads"
mkdir -p "$downloads"
cp "$build/app/Exemplos/Livro de Exemplo.zip" "$downloads/"
book="$WINEPREFIX/drive_c/ZEKO_Download/Download/Livro de Exemplo"
user=$(id -un | tr '[:lower:]' '[:upper:]')

fail() { echo "journey: $*" >&2; exit 1; }
start() { "$work/app/ZEKODownload" & app=$!; sleep 3; }
# The geometry of the manager's window of that size, or of its newest other window
# (a message box, the file dialog): sets X Y WIDTH HEIGHT.
window() {
  local want=${1:-} found=""
  for w in $(xdotool search --onlyvisible --pid "$app" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    if [ -n "$want" ] && [ "${WIDTH}x${HEIGHT}" = "$want" ]; then found="$X $Y $WIDTH $HEIGHT"; fi
    if [ -z "$want" ] && ! [[ "${WIDTH}x${HEIGHT}" =~ ^(437x344|682x344|612x251)$ ]] && [ "$WIDTH" -gt 100 ]; then
      found="$X $Y $WIDTH $HEIGHT"
    fi
  done
  [ -n "$found" ] || return 1
  read -r X Y WIDTH HEIGHT <<<"$found"
}
shot() {
  window "${2:-}" || fail "no window for $1"
  import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$out/$1.png"
  echo "$out/$1.png"
}
# Clicks a point of a window given relative to its top left corner.
click() { xdotool mousemove $(( X + $1 )) $(( Y + $2 )); sleep 0.3; xdotool click 1; sleep "${3:-1}"; }
# The faces of the message box: one centred, or Yes left and No right of the centre.
answer() {
  window || fail "no message box"
  case $1 in
    ok)  click $(( WIDTH / 2 )) $(( HEIGHT - 20 )) ;;
    yes) click $(( WIDTH / 2 - 37 )) $(( HEIGHT - 20 )) ;;
    no)  click $(( WIDTH / 2 + 37 )) $(( HEIGHT - 20 )) ;;
  esac
}
mapped() { readlink "$WINEPREFIX/dosdevices/$1" 2>/dev/null || true; }
rows() { sqlite3 "$work/app/ZEKOVD.db" "SELECT Curso || ' ' || LetraDrive FROM Mapeamento WHERE Usuario = '$user'"; }

# 1. Start: the main window.
start
xdotool mousemove 5 5
shot journey-1-start 437x344
# 2. Its second button, the install window; its first button, the file dialog in Downloads.
window 437x344; click 218 187 2
shot journey-2-install-window 612x251
window 612x251; click 114 170 2
shot journey-3-choose-file
xdotool type --delay 30 "Livro de Exemplo.zip"; xdotool key Return; sleep 3
shot journey-4-installed
answer ok
[ -f "$book/Autorun.exe" ] || fail "the book was not extracted"
[ ! -e "$downloads/Livro de Exemplo.zip" ] || fail "the archive is still there"
[ "$(rows)" = "Livro de Exemplo Y:" ] || fail "registry: $(rows)"
# 3. The install window's second button: the book list, the book on the highest free letter.
window 612x251; click 270 170 2
window 682x344; click 300 136 1
shot journey-5-book-list 682x344
window 682x344; click 200 160 1
# 4. Open it: the sample course window, or why the course cannot start on this computer.
window 682x344; click 92 230 8
# The course is a Wine program, not one of the manager's windows: the whole screen shows it.
if course=$(xdotool search --onlyvisible --name "Livro de Exemplo" 2>/dev/null | head -1) && [ -n "$course" ]; then
  echo "the sample course is running"
  import -window root "$out/journey-6-open.png"; echo "$out/journey-6-open.png"
  xdotool key --window "$course" Return; sleep 1
else
  shot journey-6-open
  answer ok
fi
# 5. Leave: the question, then the book's drive released.
window 682x344; click 663 15 1
shot journey-7-exit-question
answer yes
sleep 1
[ -z "$(mapped y:)" ] || fail "y: still mapped after leaving"
# 6. Start again: the book list maps the book again.
start
window 437x344; click 79 187 2
[ -n "$(mapped y:)" ] || fail "the list did not map the book again"
window 682x344; click 300 136 1; click 200 160 1
shot journey-8-list-again 682x344
# 7. Remove it: the question, the notice while its files go, the end.
window 682x344; click 206 230 1
shot journey-9-remove-question
answer yes
sleep 0.3
shot journey-10-removing || true
sleep 4
shot journey-11-removed
answer ok
[ ! -e "$book" ] || fail "the book's folder is still there"
[ -z "$(rows)" ] || fail "registry: $(rows)"
[ -z "$(mapped y:)" ] || fail "y: still mapped"
# 8. Leave.
window 682x344; click 663 15 1
answer yes
sleep 1
kill -0 "$app" 2>/dev/null && fail "the program did not end"
app=
echo "journey complete"
