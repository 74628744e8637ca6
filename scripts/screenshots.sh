#!/usr/bin/env bash
# Runs the manager on a real X display (Xvfb) and takes pictures of the main
# window, its hover state, the exit question, the help window and the book list
# holding two books. The manager runs from a copy of the install folder, so the
# real registry is never touched.
# Usage: screenshots.sh [output folder]   (default: docs/screenshots)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_BUILD_DIR:-$here/build}
out=${1:-$here/docs/screenshots}
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "needs $tool (apt-get install xvfb xdotool imagemagick)" >&2; exit 1; }
done
mkdir -p "$out"
work=$(mktemp -d)
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

export DISPLAY=:97
Xvfb "$DISPLAY" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
sleep 1
export WINEPREFIX="$work/prefix" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=xcb
bash "$here/scripts/demo-prefix.sh" "$WINEPREFIX" "$("$build/zeko-wine-check" --loader64 || true)"
cp -r "$build/app" "$work/app"
cp "$build/data/ZEKOVD.template.db" "$work/app/ZEKOVD.db"
start() { "$work/app/ZEKODownload" & app=$!; sleep 3; }
# Crops the screen to a window of the manager: the one of the given size, or else
# the newest one that is not the main window.
shot() {
  local name=$1 want=${2:-} geom=""
  for w in $(xdotool search --onlyvisible --pid "$app" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    if [ -n "$want" ] && [ "${WIDTH}x${HEIGHT}" = "$want" ]; then geom="${WIDTH}x${HEIGHT}+$X+$Y"; fi
    if [ -z "$want" ] && [ "${WIDTH}x${HEIGHT}" != "437x344" ] && [ "$WIDTH" -gt 100 ]; then geom="${WIDTH}x${HEIGHT}+$X+$Y"; fi
  done
  [ -n "$geom" ] || { echo "no window for $name" >&2; return 1; }
  import -window root -crop "$geom" +repage "$out/$name.png"
  echo "$out/$name.png"
}

# The main window is 437 x 344 pixels, centred on the 1024 x 768 screen.
x0=$(( (1024 - 437) / 2 )); y0=$(( (768 - 344) / 2 ))
start
xdotool mousemove 5 5; sleep 0.5
shot main-window 437x344
xdotool mousemove $(( x0 + 80 )) $(( y0 + 187 )); sleep 1
shot main-window-hover 437x344
# The exit button asks first.
xdotool mousemove $(( x0 + 419 )) $(( y0 + 15 )) click 1; sleep 1
shot exit-question
kill $app; wait $app 2>/dev/null || true

start
xdotool mousemove $(( x0 + 357 )) $(( y0 + 187 )) click 1; sleep 2
shot help-window
kill $app; wait $app 2>/dev/null || true

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
xdotool mousemove $(( x0 + 80 )) $(( y0 + 187 )) click 1; sleep 2
# The book list is 682 x 344 pixels, centred; its list of books opened.
lx=$(( (1024 - 682) / 2 )); ly=$(( (768 - 344) / 2 ))
xdotool mousemove $(( lx + 300 )) $(( ly + 136 )) click 1; sleep 1
xdotool mousemove $(( lx + 200 )) $(( ly + 183 )); sleep 0.5
shot book-list-open 682x344
# Basico chosen: OK and Remove are enabled.
xdotool click 1; sleep 0.5
xdotool mousemove 5 5; sleep 0.5
shot book-list 682x344
kill $app; wait $app 2>/dev/null || true

# A course dialogue of the message box (type 25): the folder entry, the section
# list with "em" before it and the course's FIND face, found on its A: drive.
mkdir -p "$work/disquete/Imagem/Sistema"
cp "$build/app/Imagens/Cai_Msg/FIND_NM.JPG" "$work/disquete/Imagem/Sistema/"
ln -sfn "$work/disquete" "$WINEPREFIX/dosdevices/a:"
"$build/zeko-message-box" --type 25 --text "Escolha a seção a instalar e a pasta de destino." \
  --sections "1/1;1/2;2/1" --folder 'C:\ZEKO_Download\Download' >/dev/null & app=$!
sleep 2
# The section list open, its second entry chosen.
eval "$(xdotool getwindowgeometry --shell "$(xdotool search --onlyvisible --pid "$app" | tail -1)")"
xdotool mousemove $(( X + 200 )) $(( Y + 110 )) click 1; sleep 0.5
xdotool key Down Return; sleep 0.3
xdotool mousemove 5 5; sleep 0.3
shot message-box-course-folder
kill $app; wait $app 2>/dev/null || true
rm -f "$WINEPREFIX/dosdevices/a:"
