# shellcheck shell=bash
# What the two journeys share: a fresh Wine prefix and a copy of the install
# folder on a private X display, the sample book in the user's Downloads, and
# the waits for the manager's windows. Source it after setting here, build and out.
# ZEKO_LANGUAGE (POR, ESP or ING; default POR) is the language of the course
# installation the manager finds.
#
#   start                 starts the manager (its pid in app)
#   window [WxH]          waits for the manager's window of that size, or else
#                         for its topmost other window; sets WINDOW X Y WIDTH HEIGHT
#   shot NAME [WxH]       a picture of that window in out/NAME.png
#   rows, mapped L:, is_mapped L:, course_window, opened
#   fail MESSAGE          stops the journey
# shellcheck source=scripts/lib/xsession.sh
source "$here/scripts/lib/xsession.sh"
mkdir -p "$out"
work=$(mktemp -d)
# The course may leave Wine's processes behind in the prefix.
cleanup() { WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null; rm -rf "$work"; }
xs_at_exit cleanup
xs_start
# A home of its own, so Wine's Downloads and the sample book stay in here.
mkdir -p "$work/home"
export HOME="$work/home" WINEPREFIX="$work/prefix" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=xcb
bash "$here/scripts/demo-prefix.sh" "$WINEPREFIX" "$("$build/zeko-wine-check" --loader64 || true)"
sed -i "s/^IdiomaInst=.*\r\$/IdiomaInst=${ZEKO_LANGUAGE:-POR}\r/" \
  "$("$build/zeko-wine-check" --system-folder "$WINEPREFIX")/zeko.ini"
cp -r "$build/app" "$work/app"
cp "$build/data/ZEKOVD.template.db" "$work/app/ZEKOVD.db"
downloads="$WINEPREFIX/drive_c/users/$(id -un)/Downloads"
mkdir -p "$downloads"
cp "$build/app/Exemplos/Livro de Exemplo.zip" "$downloads/"
book="$WINEPREFIX/drive_c/ZEKO_Download/Download/Livro de Exemplo"
user=$(id -un | tr '[:lower:]' '[:upper:]')

# shellcheck source=scripts/lib/windows.sh
source "$here/scripts/lib/windows.sh"
start() { xs_launch app "$work/app/ZEKODownload"; }
shot() {
  window "${2:-}"
  xs_shot "$out/$1.png" "${WIDTH}x${HEIGHT}+$X+$Y" || fail "no picture for $1"
}
mapped() { readlink "$WINEPREFIX/dosdevices/$1" 2>/dev/null || true; }
is_mapped() { [ -n "$(mapped "$1")" ]; }
rows() { sqlite3 "$work/app/ZEKOVD.db" "SELECT Curso || ' ' || LetraDrive FROM Mapeamento WHERE Usuario = '$user'"; }
# The sample course's own window, a Wine program's and not one of the manager's.
course_window() { xdotool search --onlyvisible --name "Livro de Exemplo" 2>/dev/null | head -1; }
# Opening a book ends either in the course's window or in the manager's message
# box saying why the course cannot start.
opened() {
  course=$(course_window)
  [ -n "$course" ] || xs_has_window --pid "$app" --except "$main $install $list"
}
