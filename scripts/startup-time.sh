#!/usr/bin/env bash
# Times the manager from process start to its main window shown, on a real X
# display (Xvfb), over several runs; prints each run and the median, in ms.
# Usage: startup-time.sh [runs]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_BUILD_DIR:-$here/build}
runs=${1:-15}
work=$(mktemp -d)
export DISPLAY=:96
Xvfb "$DISPLAY" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1
export WINEPREFIX="$work/prefix" XDG_RUNTIME_DIR="$work" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=xcb ZEKO_MEDIR_INICIO=1
bash "$here/scripts/demo-prefix.sh" "$WINEPREFIX" "$("$build/zeko-wine-check" --loader64 || true)"
inside=(); wall=()
for i in $(seq "$runs"); do
  t0=$(date +%s%N)
  ms=$("$build/app/ZEKODownload")
  t1=$(date +%s%N)
  inside+=("$ms"); wall+=($(( (t1 - t0) / 1000000 )))
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
echo "main() to window shown (ms): ${inside[*]}"
echo "whole process, start to exit (ms): ${wall[*]}"
echo "median: $(median "${inside[@]}") ms inside, $(median "${wall[@]}") ms whole process, over $runs runs"
