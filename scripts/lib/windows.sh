# shellcheck shell=bash
# The manager's windows on the private X display of xsession.sh, told apart by
# size, for the scripts that drive it.
#
#   window [WxH]   waits for the manager's window of that size (the pid in app),
#                  or else for its topmost other window; sets WINDOW X Y WIDTH HEIGHT
#   click X Y      clicks that point of the window found last (from its top left corner)
#   answer ok|yes|no
#                  clicks that face of the message box on top and waits for it to close
#   fail MESSAGE   stops the script
fail() { echo "${0##*/}: $*" >&2; exit 1; }
app=
# The manager's main window, install window and book list, by size; any other
# window of it is a message box, the file dialog or a drop-down list.
main=437x344 install=612x251 list=682x344
# Waits for the manager's window of that size, or else for its topmost other
# window: sets WINDOW X Y WIDTH HEIGHT.
window() {
  if [ -n "${1:-}" ]; then
    xs_wait_window --pid "$app" --size "$1" "the manager's window of $1" || fail "no window of $1"
  else
    xs_wait_window --pid "$app" --except "$main $install $list" "a message box" || fail "no message box"
  fi
}
# Clicks a point of the window found last, given relative to its top left corner.
click() { xdotool mousemove --sync $(( X + $1 )) $(( Y + $2 )) click 1; }
# The faces of the message box: one centred, or Yes left and No right of the centre.
answer() {
  window
  case $1 in
    ok)  click $(( WIDTH / 2 )) $(( HEIGHT - 20 )) ;;
    yes) click $(( WIDTH / 2 - 37 )) $(( HEIGHT - 20 )) ;;
    no)  click $(( WIDTH / 2 + 37 )) $(( HEIGHT - 20 )) ;;
  esac
  xs_wait_gone "$WINDOW" "the message box to close" || fail "the message box stays open"
}
