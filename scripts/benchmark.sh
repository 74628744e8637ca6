#!/usr/bin/env bash
# Builds and runs the benchmarks; prints their figures.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_BUILD_DIR:-$here/build}
bash "$here/scripts/build.sh"
"$build/tests/drive/MontaListaDrivesBenchmark" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

# Installing a large book (3,000 files, 300 MiB expanded) through the install
# flow, against plain unzip of the same archive on the same disk.
bench=$build/bench
book=$bench/LivroBench.zip
runs=${ZEKO_BENCH_RUNS:-3}
mkdir -p "$bench"
# The book is the same on every build: made once, then reused until its maker changes.
maker=$build/tests/install/zeko_make_bench_book
if [ ! -f "$book" ] || [ "$maker" -nt "$book" ]; then
  "$maker" "$book"
fi
echo
echo "Install of $(basename "$book"): $(( $(stat -c %s "$book") >> 20 )) MiB archive, $runs runs"

median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }
field() { sed -n "s/^$1=//p" <<<"$result"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

unzips=() installs=() ratios=() gaps=() rsss=()
for i in $(seq 1 "$runs"); do
  out=$bench/run
  rm -rf "$out"
  mkdir -p "$out/unzip"
  sync
  start=$(date +%s%N)
  unzip -q "$book" -d "$out/unzip"
  unzip_ms=$(( ($(date +%s%N) - start) / 1000000 ))
  rm -rf "$out/unzip"
  sync
  # The benchmark installs a copy of its own: a successful install deletes the archive.
  if ! result=$("$build/tests/install/InstallBenchmark" "$book" "$out/install"); then
    echo "$result"
    echo "run $i: the install failed" >&2
    exit 1
  fi
  rm -rf "$out"
  install_ms=$(field install_ms)
  gap=$(field max_event_gap_ms)
  rss=$(field peak_rss_mb)
  r=$(ratio "$install_ms" "$unzip_ms")
  echo "run $i: unzip_ms=$unzip_ms install_ms=$install_ms ratio=$r max_event_gap_ms=$gap" \
       "(at $(field max_event_gap_at_ms) ms) peak_rss_mb=$rss book_files=$(field book_files)"
  unzips+=("$unzip_ms") installs+=("$install_ms") ratios+=("$r") gaps+=("$gap") rsss+=("$rss")
done
echo "median: unzip_ms=$(median "${unzips[@]}") install_ms=$(median "${installs[@]}")" \
     "ratio=$(median "${ratios[@]}") max_event_gap_ms=$(median "${gaps[@]}") peak_rss_mb=$(median "${rsss[@]}")"
