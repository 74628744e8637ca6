# Sourced by the checks of the installed tree: installs BUILD_DIR as the package
# does (cmake --install, prefix /usr) into a scratch DESTDIR under $work, which
# goes at exit. Sets work, root, usr and app (the install folder, $usr/$appdir);
# fail() counts a failed check in $failures and goes on; snapshot() lists the
# tree's names, modes, sizes, times and links, to show that nothing changed.
work=$(mktemp -d "${TMPDIR:-/tmp}/zeko-install-tree.XXXXXX")
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
root=$work/root
usr=$root/usr
app=$usr/$appdir
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
snapshot() { (cd "$root" && find . -printf '%p %m %s %T@ %l\n' | LC_ALL=C sort); }

if ! DESTDIR=$root cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  echo "FAIL: cmake --install" >&2
  exit 1
fi
