# shellcheck shell=bash
# The private X display (Xvfb) the picture scripts drive the programs on, and the
# waits they need: each waits for a sign (a window shown or gone, a program
# ended, a condition true) up to a deadline, and on time-out says what it waited
# for and returns 1. Source it from a bash script; it sets the EXIT trap, so add
# clean-up with xs_at_exit instead of a trap of your own. Sourcing it stops the
# script when a tool the picture scripts need is missing.
#
#   xs_at_exit FUNCTION        runs FUNCTION at exit, the newest first, after
#                              the programs of xs_launch end and before Xvfb does
#   xs_start                   starts Xvfb on a display it picks itself, its
#                              screen XS_SCREEN (default 1024x768x24), and
#                              exports DISPLAY
#   xs_launch VAR COMMAND...   starts COMMAND in the background and puts its pid
#                              in VAR; it is ended at exit if it still runs
#   xs_end PID                 ends a program started with xs_launch
#   xs_until DESCRIPTION COMMAND...
#                              waits until COMMAND succeeds
#   xs_has_window [--pid PID] [--name REGEX] [--size WxH] [--except "WxH ..."]
#                 [--min-width N]
#                              finds a visible window (the topmost that matches,
#                              at least N pixels wide, default 100, so a hint is
#                              not taken for a window) and sets WINDOW X Y WIDTH
#                              HEIGHT to it
#   xs_wait_window [the same options] DESCRIPTION
#                              waits until xs_has_window finds it; gives up at
#                              once when the program of --pid has ended
#   xs_wait_gone WINDOW DESCRIPTION
#                              waits until WINDOW is no longer visible
#   xs_wait_exit PID DESCRIPTION
#                              waits until PID has ended
#   xs_shot FILE [WIDTHxHEIGHT+X+Y]
#                              a PNG of the screen, or of that part of it, once
#                              it has not changed for XS_QUIET_MS (default 300)
#
# XS_TIMEOUT is the deadline of each wait in whole seconds (default 30).
for xs_tool in Xvfb xdotool xwininfo import convert sqlite3; do
  command -v "$xs_tool" >/dev/null || {
    echo "needs $xs_tool (apt-get install xvfb xdotool x11-utils imagemagick sqlite3)" >&2
    exit 1
  }
done

XS_TIMEOUT=${XS_TIMEOUT:-30}
xs_dir=$(mktemp -d)
xs_hooks=()
xs_pids=()
xs_xvfb=

xs_at_exit() { xs_hooks+=("$1"); }

xs_exit() {
  local status=$? i pid
  for pid in "${xs_pids[@]}"; do
    xs_end "$pid"
  done
  for (( i = ${#xs_hooks[@]} - 1; i >= 0; i-- )); do
    "${xs_hooks[i]}" || true
  done
  if [ -n "$xs_xvfb" ]; then
    kill "$xs_xvfb" 2>/dev/null || true
    wait "$xs_xvfb" 2>/dev/null || true
  fi
  rm -rf "$xs_dir"
  exit "$status"
}
trap xs_exit EXIT

xs_fail() { echo "${0##*/}: $*" >&2; return 1; }

# Microseconds since the epoch.
xs_now() { local t=${EPOCHREALTIME/[.,]/}; echo "$t"; }

xs_start() {
  local display=
  mkfifo "$xs_dir/displayfd"
  # Xvfb writes the number of the display it took to the descriptor once clients
  # can connect; reading it is both the choice of display and the ready signal.
  # Without -noreset the server resets whenever its last client leaves, and a
  # program started in that moment finds no display.
  Xvfb -displayfd 3 -screen 0 "${XS_SCREEN:-1024x768x24}" -nolisten tcp -noreset \
    3>"$xs_dir/displayfd" >"$xs_dir/xvfb.log" 2>&1 &
  xs_xvfb=$!
  read -r -t "$XS_TIMEOUT" display <"$xs_dir/displayfd" || true
  if [ -z "$display" ]; then
    cat "$xs_dir/xvfb.log" >&2
    xs_fail "Xvfb did not report a display within $XS_TIMEOUT s"
    return 1
  fi
  export DISPLAY=":$display"
}

xs_launch() {
  local -n xs_pid_var=$1
  shift
  "$@" &
  xs_pid_var=$!
  xs_pids+=("$xs_pid_var")
}

xs_end() {
  local i
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
  for i in "${!xs_pids[@]}"; do
    [ "${xs_pids[i]}" != "$1" ] || unset 'xs_pids[i]'
  done
}

xs_until() {
  local what=$1 deadline
  shift
  deadline=$(( $(xs_now) + XS_TIMEOUT * 1000000 ))
  until "$@"; do
    if [ "$(xs_now)" -ge "$deadline" ]; then
      xs_fail "waited $XS_TIMEOUT s for $what"
      return 1
    fi
    sleep 0.05
  done
}

xs_has_window() {
  local pid="" name="" size="" except="" min_width=100 found="" w geometry
  local -a ids
  while [ $# -gt 0 ]; do
    case $1 in
      --pid) pid=$2 ;;
      --name) name=$2 ;;
      --size) size=$2 ;;
      --except) except=$2 ;;
      --min-width) min_width=$2 ;;
      *) xs_fail "xs_has_window: unknown option $1"; exit 2 ;;
    esac
    shift 2
  done
  if [ -n "$pid" ]; then
    mapfile -t ids < <(xdotool search --onlyvisible --pid "$pid" 2>/dev/null)
  else
    mapfile -t ids < <(xdotool search --onlyvisible --name "${name:-.}" 2>/dev/null)
  fi
  for w in "${ids[@]}"; do
    geometry=$(xdotool getwindowgeometry --shell "$w" 2>/dev/null) || continue
    eval "$geometry"
    [ "$WIDTH" -ge "$min_width" ] || continue
    [ -z "$size" ] || [ "${WIDTH}x${HEIGHT}" = "$size" ] || continue
    [[ " $except " != *" ${WIDTH}x${HEIGHT} "* ]] || continue
    if [ -n "$name" ] && [ -n "$pid" ]; then
      [[ "$(xdotool getwindowname "$w" 2>/dev/null)" =~ $name ]] || continue
    fi
    found="$w $X $Y $WIDTH $HEIGHT"
  done
  [ -n "$found" ] || return 1
  # shellcheck disable=SC2034 # for the caller
  read -r WINDOW X Y WIDTH HEIGHT <<<"$found"
}

# A window of a program that has ended will not come: stop waiting for it then.
xs_window_or_end() {
  xs_has_window "$@" && return 0
  [ -n "$xs_owner" ] && xs_ended "$xs_owner" && xs_owner_ended=1
}
xs_wait_window() {
  local what=${*: -1} i
  local -a options=("${@:1:$#-1}")
  xs_owner="" xs_owner_ended=""
  for (( i = 0; i + 1 < ${#options[@]}; i++ )); do
    [ "${options[i]}" != --pid ] || xs_owner=${options[i + 1]}
  done
  xs_until "$what" xs_window_or_end "${options[@]}" || return 1
  if [ -n "$xs_owner_ended" ]; then
    xs_fail "program $xs_owner ended while waiting for $what"
    return 1
  fi
}

# A window that was destroyed is gone as well as one that was unmapped.
xs_gone() { ! xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
xs_wait_gone() { xs_until "$2" xs_gone "$1"; }

# A child that has ended but was not waited for yet still answers kill -0.
xs_ended() { ! kill -0 "$1" 2>/dev/null || [ "$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null)" = Z ]; }
xs_wait_exit() { xs_until "$2" xs_ended "$1"; }

xs_capture() {
  if [ -n "$2" ]; then
    import -window root -crop "$2" +repage "ppm:$1"
  else
    import -window root "ppm:$1"
  fi
}
# The capture has not changed for XS_QUIET_MS; the time of the last change is in
# xs_changed.
xs_settled() {
  mv "$xs_dir/shot.ppm" "$xs_dir/before.ppm"
  xs_capture "$xs_dir/shot.ppm" "$1"
  if ! cmp -s "$xs_dir/shot.ppm" "$xs_dir/before.ppm"; then
    xs_changed=$(xs_now)
    return 1
  fi
  [ $(( $(xs_now) - xs_changed )) -ge $(( ${XS_QUIET_MS:-300} * 1000 )) ]
}
xs_shot() {
  local file=$1 geometry=${2:-}
  # A window is mapped before it has painted, and a hover or a new text repaints
  # a moment after the event that caused it: take the picture once the screen
  # has stayed the same for a while.
  xs_capture "$xs_dir/shot.ppm" "$geometry"
  xs_changed=$(xs_now)
  xs_until "the picture for $file to settle" xs_settled "$geometry" || return 1
  convert "$xs_dir/shot.ppm" "$file"
  echo "$file"
}
