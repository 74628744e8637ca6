#!/usr/bin/env bash
# Installs what the project needs, builds it and runs every test, then sums up
# what was skipped and why. ZEKO_REQUIRE_WIN32=1 makes a skip for lack of 32-bit
# support a failure, for machines that must run everything.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_BUILD_DIR:-$here/build}
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/build.sh"
# Tests make their own throw-away prefixes; none may touch the user's ~/.wine.
unset WINEPREFIX
cd "$build"
rm -rf "$build/test-skips"
status=0
ctest --output-on-failure -j 2 || status=$?

echo
echo "Skipped tests, by program and reason:"
shopt -s nullglob
logs=("$build"/test-skips/*.txt)
if [ ${#logs[@]} -eq 0 ]; then
  echo "  none"
else
  for log in "${logs[@]}"; do
    program=$(basename "$log" .txt)
    cut -f2 "$log" | sort | uniq -c | while read -r count reason; do
      printf '  %-22s %3d: %s\n' "$program" "$count" "$reason"
    done
  done
fi
"$build/zeko-wine-check" || true
exit "$status"
