#!/usr/bin/env bash
# Runs the manager on a real X display (Xvfb) and takes pictures of the main
# window, its hover state, the exit question, the help window and the book list
# holding two books. The manager runs from a copy of the install folder, so the
# real registry is never touched.
# Usage: screenshots.sh [--scale N] [output folder]   (default: docs/screenshots)
# With --scale N the program runs at N times its size (QT_SCALE_FACTOR, as on a
# dense screen) on a screen N times as large, and only the main window and a
# message box (the exit question) are taken, as scaleN-main-window.png and
# scaleN-message-box.png.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_BUILD_DIR:-$here/build}
scale=1
if [ "${1:-}" = --scale ]; then
  scale=${2:?--scale needs a whole number}
  [[ $scale =~ ^[1-9]$ ]] || { echo "screenshots: --scale takes a whole number from 1 to 9" >&2; exit 2; }
  shift 2
  export QT_SCALE_FACTOR=$scale
  XS_SCREEN=${XS_SCREEN:-$(( 1024 * scale ))x$(( 768 * scale ))x24}
fi
out=${1:-$here/docs/screenshots}
# shellcheck source=scripts/lib/xsession.sh
source "$here/scripts/lib/xsession.sh"
mkdir -p "$out"
work=$(mktemp -d)
cleanup() { rm -rf "$work"; }
xs_at_exit cleanup
xs_start
# The books' menu entries go into the scratch folder, never the real menu.
export WINEPREFIX="$work/prefix" XDG_RUNTIME_DIR="$work" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=xcb
bash "$here/scripts/demo-prefix.sh" "$WINEPREFIX" "$("$build/zeko-wine-check" --loader64 || true)"
cp -r "$build/app" "$work/app"
cp "$build/data/ZEKOVD.template.db" "$work/app/ZEKOVD.db"
fail() { echo "screenshots: $*" >&2; exit 1; }
app=
# The main window and the book list, by size on the screen; any other window of
# the program is a message box, the help window or a drop-down list.
main=$(( 437 * scale ))x$(( 344 * scale )) list=$(( 682 * scale ))x$(( 344 * scale ))
# Waits for the program's window of that size, or else for its topmost other
# window: sets WINDOW X Y WIDTH HEIGHT.
window() {
  if [ -n "${1:-}" ]; then
    xs_wait_window --pid "$app" --size "$1" "the window of $1" || fail "no window of $1"
  else
    xs_wait_window --pid "$app" --except "$main $list ${except:-}" "a window other than the main ones" ||
      fail "no other window"
  fi
}
shot() {
  window "${2:-}"
  xs_shot "$out/$1.png" "${WIDTH}x${HEIGHT}+$X+$Y" || fail "no picture for $1"
}
# Moves the pointer to a point of the window found last, given relative to its
# top left corner in the window's own (unscaled) pixels.
point() { xdotool mousemove --sync $(( X + $1 * scale )) $(( Y + $2 * scale )); }
start() { xs_launch app "$work/app/ZEKODownload"; window $main; }

start
xdotool mousemove --sync 5 5
if [ "$scale" != 1 ]; then
  shot "scale$scale-main-window" $main
  point 419 15; xdotool click 1
  shot "scale$scale-message-box"
  exit 0
fi
shot main-window $main
# Over the first button: its face lit and, a moment later, its hint.
point 80 187
xs_wait_window --pid "$app" --except "$main" --min-width 1 "the hint" || fail "no hint"
shot main-window-hover $main
# The exit button asks first.
point 419 15; xdotool click 1
shot exit-question
xs_end "$app"

start
point 357 187; xdotool click 1
shot help-window
xs_end "$app"

# Two books of this user, Basico on X: and Avancado on Y:.
user=$(id -un | tr '[:lower:]' '[:upper:]')
for book in Basico Avancado; do
  mkdir -p "$WINEPREFIX/drive_c/ZEKO_Download/Download/$book"
  cp "$build/tests/win64/AUTORUN.EXE" "$WINEPREFIX/drive_c/ZEKO_Download/Download/$book/AUTORUN.EXE"
  printf 'POR' > "$WINEPREFIX/drive_c/ZEKO_Download/Download/$book/Idioma.kvt"
done
sqlite3 "$work/app/ZEKOVD.db" \
  "INSERT INTO Mapeamento VALUES ('$user', 'Basico', 'X:', 'C:\\ZEKO_Download\\Download\\Basico');
   INSERT INTO Mapeamento VALUES ('$user', 'Avancado', 'Y:', 'C:\\ZEKO_Download\\Download\\Avancado');"
start
point 80 187; xdotool click 1
# The book list's list of books opened, the pointer on Basico.
window $list; point 300 136; xdotool click 1
window; dropdown=$WINDOW
window $list; point 200 183
shot book-list-open $list
# Basico chosen: OK and Remove are enabled.
xdotool click 1
xs_wait_gone "$dropdown" "the list of books to close" || fail "the list of books stays open"
xdotool mousemove --sync 5 5
shot book-list $list
xs_end "$app"

# A course dialogue of the message box (type 25): the folder entry, the section
# list with "em" before it and the course's FIND face, found on its A: drive.
mkdir -p "$work/disquete/Imagem/Sistema"
cp "$build/app/Imagens/Cai_Msg/FIND_NM.JPG" "$work/disquete/Imagem/Sistema/"
ln -sfn "$work/disquete" "$WINEPREFIX/dosdevices/a:"
xs_launch app "$build/zeko-message-box" --type 25 --text "Escolha a seção a instalar e a pasta de destino." \
  --sections "1/1;1/2;2/1" --folder 'C:\ZEKO_Download\Download' >/dev/null
window; box=${WIDTH}x${HEIGHT}
# The section list open, its second entry chosen.
point 200 110; xdotool click 1
except=$box window; dropdown=$WINDOW
xdotool key Down Return
xs_wait_gone "$dropdown" "the section list to close" || fail "the section list stays open"
xdotool mousemove --sync 5 5
shot message-box-course-folder "$box"
xs_end "$app"
rm -f "$WINEPREFIX/dosdevices/a:"
