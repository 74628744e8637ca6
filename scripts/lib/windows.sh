# shellcheck shell=bash
# The manager's windows on the private X display of xsession.sh, told apart by
# size, for the scripts that drive it.
#
#   window [WxH]   waits for the manager's window of that size (the pid in app),
#                  or else for its topmost other window; sets WINDOW X Y WIDTH HEIGHT
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
