#!/usr/bin/env bash
# The journey of journey.sh made with the keyboard alone, on a real X display
# (Xvfb) with the real programs and a fresh Wine prefix: install the sample book
# through the file dialog, open it from the book list, remove it, leave. Every
# step is a key (xdotool key); the pointer stays in the corner where it starts,
# and the journey checks that it never moved. A picture of each step shows where
# the focus is.
# Usage: [ZEKO_LANGUAGE=ESP] keyboard-journey.sh [output folder]   (default: docs/screenshots)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_BUILD_DIR:-$here/build}
out=${1:-$here/docs/screenshots}
# shellcheck source=scripts/lib/journey.sh
source "$here/scripts/lib/journey.sh"

# Keys to the window that has the keyboard, as a person types them.
key() { xdotool key --delay 120 "$@"; }
# The manager's window that holds the keyboard focus must be WINDOW: a key
# typed now reaches it.
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$WINDOW" ]; }
has_focus() {
  window "${1:-}"
  xs_until "the keyboard to reach the window" focused || fail "the window does not have the keyboard"
}
# Enter on the box on top, then the box gone.
enter_box() {
  has_focus
  key Return
  xs_wait_gone "$WINDOW" "the message box to close" || fail "the message box stays open"
}
xdotool mousemove --sync 1 1
pointer=$(xdotool getmouselocation)

# 1. Start: the main window, its first button focused. Tab to the install button.
start
has_focus $main
shot keys-1-start $main
key Tab
shot keys-2-install-button $main
# 2. Enter: the install window, "select book" focused; Enter again: the file dialog.
key Return
has_focus $install
shot keys-3-install-window $install
key Return
window; dialog=$WINDOW
has_focus
# The dialog in the manager's language, Qt's own texts included.
shot keys-4-file-dialog
xdotool type --delay 30 "Livro de Exemplo.zip"
key Return
xs_wait_gone "$dialog" "the file dialog to close" || fail "the file dialog stays open"
shot keys-5-installed
enter_box
[ -f "$book/Autorun.exe" ] || fail "the book was not extracted"
[ ! -e "$downloads/Livro de Exemplo.zip" ] || fail "the archive is still there"
[ "$(rows)" = "Livro de Exemplo Y:" ] || fail "registry: $(rows)"
# 3. Tab to "my books", Enter: the book list with its list focused; Down chooses the book.
has_focus $install
key Tab
shot keys-6-books-button $install
key Return
has_focus $list
key Down
shot keys-7-book-chosen $list
# 4. Enter on the list opens the book: the course, or why it cannot start here.
key Return
xs_until "the course or a message box" opened || fail "opening the book showed nothing"
if [ -n "$course" ]; then
  echo "the sample course is running"
  xs_shot "$out/keys-8-open.png" || fail "no picture for keys-8-open"
  xdotool key --window "$course" Return
  xs_wait_gone "$course" "the course to close" || fail "the course stays open"
  # Without a window manager nobody hands the keyboard back when the course
  # closes; a desktop gives it to the window below, as this does.
  window $list; xdotool windowfocus --sync "$WINDOW"
else
  shot keys-8-open
  enter_box
fi
# 5. Tab past "open" to "remove"; Enter asks, Enter answers yes; the notice, then the report.
has_focus $list
key Tab Tab
shot keys-9-remove-button $list
key Return
shot keys-10-remove-question
enter_box
window; notice=$WINDOW
xs_wait_gone "$notice" "the notice to close" || fail "the notice stays open"
shot keys-11-removed
enter_box
[ ! -e "$book" ] || fail "the book's folder is still there"
[ -z "$(rows)" ] || fail "registry: $(rows)"
! is_mapped y: || fail "y: still mapped"
# 6. Esc back to the main window; Shift+Tab to exit; Esc on the question stays; Enter leaves.
has_focus $list
key Escape
has_focus $main
key shift+Tab
shot keys-12-exit-button $main
key Return
shot keys-13-exit-question
key Escape
xs_wait_gone "$WINDOW" "the exit question to close on Esc" || fail "Esc left the exit question open"
has_focus $main
key Return
has_focus
key Return
xs_wait_exit "$app" "the manager to end" || fail "the program did not end"
xs_end "$app"
app=
[ "$(xdotool getmouselocation)" = "$pointer" ] || fail "the pointer moved: $(xdotool getmouselocation)"
echo "keyboard journey complete"
