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
# shellcheck source=scripts/lib/journey.sh
source "$here/scripts/lib/journey.sh"
# The book list's drop-down: opened, then an entry chosen and the list closed.
open_books() {
  window $list; click 300 136
  window; dropdown=$WINDOW
  window $list
}
choose_book() {
  click 200 160
  xs_wait_gone "$dropdown" "the drop-down list to close" || fail "the drop-down list stays open"
}
# Yes to the exit question: the manager ends.
leave() {
  answer yes
  xs_wait_exit "$app" "the manager to end" || fail "the program did not end"
  xs_end "$app"
  app=
}

# 1. Start: the main window.
start
xdotool mousemove --sync 5 5
shot journey-1-start $main
# 2. Its second button, the install window; its first button, the file dialog in Downloads.
click 218 187
shot journey-2-install-window $install
click 114 170
shot journey-3-choose-file
dialog=$WINDOW
xdotool type --delay 30 "Livro de Exemplo.zip"; xdotool key Return
xs_wait_gone "$dialog" "the file dialog to close" || fail "the file dialog stays open"
shot journey-4-installed
answer ok
[ -f "$book/Autorun.exe" ] || fail "the book was not extracted"
[ ! -e "$downloads/Livro de Exemplo.zip" ] || fail "the archive is still there"
[ "$(rows)" = "Livro de Exemplo Y:" ] || fail "registry: $(rows)"
# 3. The install window's second button: the book list, the book on the highest free letter.
window $install; click 270 170
open_books
shot journey-5-book-list $list
choose_book
# 4. Open it: the sample course window, or why the course cannot start on this computer.
window $list; click 92 230
xs_until "the course or a message box" opened || fail "opening the book showed nothing"
if [ -n "$course" ]; then
  echo "the sample course is running"
  # The course is not one of the manager's windows: the whole screen shows it.
  xs_shot "$out/journey-6-open.png" || fail "no picture for journey-6-open"
  xdotool key --window "$course" Return
  xs_wait_gone "$course" "the course to close" || fail "the course stays open"
else
  shot journey-6-open
  answer ok
fi
# 5. Leave: the question, then the book's drive released.
window $list; click 663 15
shot journey-7-exit-question
leave
! is_mapped y: || fail "y: still mapped after leaving"
# 6. Start again: the book list maps the book again.
start
window $main; click 79 187
xs_until "the list to map y:" is_mapped y: || fail "the list did not map the book again"
open_books
choose_book
shot journey-8-list-again $list
# 7. Remove it: the question, the notice while its files go, the end.
click 206 230
shot journey-9-remove-question
answer yes
shot journey-10-removing
notice=$WINDOW
xs_wait_gone "$notice" "the notice to close" || fail "the notice stays open"
shot journey-11-removed
answer ok
[ ! -e "$book" ] || fail "the book's folder is still there"
[ -z "$(rows)" ] || fail "registry: $(rows)"
! is_mapped y: || fail "y: still mapped"
# 8. Leave.
window $list; click 663 15
leave
echo "journey complete"
