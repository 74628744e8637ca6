#!/usr/bin/env bash
# Compiles the help sources data/help/<LANG>/ into data/Help/ZEKODwnl_<LANG>.CHM.
# The compiled files are kept in the repo, so only whoever edits the help needs
# chmcmd (Debian package fp-utils); the normal build just copies them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
src=$here/data/help
out=$here/data/Help

command -v chmcmd >/dev/null || { echo "build-help.sh: chmcmd not found (apt-get install fp-utils)" >&2; exit 1; }
mkdir -p "$out"

# chmcmd writes the absolute source path of each context-mapped topic into the
# compiled file; compiling a copy in a scratch folder keeps the checkout's path out
# of the committed files (the reader matches such paths by their tail).
stage=$(mktemp -d "${TMPDIR:-/tmp}/zeko-help.XXXXXX")
trap 'rm -rf "$stage"' EXIT

for lang in POR ING ESP; do
  project=ZEKODwnl_$lang.hhp
  [ -f "$src/$lang/$project" ] || { echo "build-help.sh: $src/$lang/$project missing" >&2; exit 1; }
  cp -r "$src/$lang" "$stage/$lang"
  # One style sheet serves every page of every language.
  cp "$src/zeko.css" "$stage/$lang/zeko.css"
  # chmcmd reports some problems (a missing contents file) only as text and
  # still exits 0, so its output is checked as well as its status. Links between
  # topics are not checked by it; the tests do that on the compiled files.
  status=0
  log=$( cd "$stage/$lang" && chmcmd --verbosity 1 "$project" 2>&1 ) || status=$?
  if [ "$status" != 0 ] || grep -Eq '^(Error|Warning)' <<<"$log" || [ ! -s "$stage/$lang/ZEKODwnl_$lang.CHM" ]; then
    echo "$log" >&2
    echo "build-help.sh: compiling $lang failed" >&2
    exit 1
  fi
  mv "$stage/$lang/ZEKODwnl_$lang.CHM" "$out/ZEKODwnl_$lang.CHM"
  echo "$out/ZEKODwnl_$lang.CHM"
done
