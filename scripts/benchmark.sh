#!/usr/bin/env bash
# Builds and runs the benchmarks; prints their figures.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_BUILD_DIR:-$here/build}
bash "$here/scripts/build.sh"
"$build/benchmarks/MontaListaDrivesBenchmark" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

# Installing a large book (3,000 files, 300 MiB expanded) through the install
# flow, against plain unzip of the same archive on the same disk; then removing
# it through the book list's removal, against rm -rf of an identical copy.
bench=$build/bench
book=$bench/LivroBench.zip
runs=${ZEKO_BENCH_RUNS:-3}
mkdir -p "$bench"
# The book is the same on every build: made once, then reused until its maker changes.
maker=$build/benchmarks/zeko_make_bench_book
if [ ! -f "$book" ] || [ "$maker" -nt "$book" ]; then
  "$maker" "$book"
fi
echo
echo "Install of $(basename "$book"): $(( $(stat -c %s "$book") >> 20 )) MiB archive, $runs runs"
echo "Removal of the installed book, after each install: rm -rf on an identical copy, then the removal"

median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }
field() { sed -n "s/^$1=//p" <<<"$result"; }
removal_field() { sed -n "s/^$1=//p" <<<"$removal"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

unzips=() installs=() ratios=() gaps=() rsss=()
rms=() removes=() remove_ratios=() remove_gaps=()
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
  if ! result=$("$build/benchmarks/InstallBenchmark" "$book" "$out/install"); then
    echo "$result"
    echo "run $i: the install failed" >&2
    exit 1
  fi
  # The copy for rm is made untimed, from the folder the install just wrote.
  cp -a "$(field book_folder)" "$out/rm-copy"
  sync
  start=$(date +%s%N)
  rm -rf "$out/rm-copy"
  rm_ms=$(( ($(date +%s%N) - start) / 1000000 ))
  sync
  if ! removal=$("$build/benchmarks/InstallBenchmark" --remove "$out/install"); then
    echo "$removal"
    echo "run $i: the removal failed" >&2
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
  remove_ms=$(removal_field remove_ms)
  remove_gap=$(removal_field remove_max_event_gap_ms)
  rr=$(ratio "$remove_ms" "$rm_ms")
  echo "run $i: rm_ms=$rm_ms remove_ms=$remove_ms ratio=$rr remove_max_event_gap_ms=$remove_gap" \
       "(at $(removal_field remove_max_event_gap_at_ms) ms) book_files=$(removal_field book_files)"
  rms+=("$rm_ms") removes+=("$remove_ms") remove_ratios+=("$rr") remove_gaps+=("$remove_gap")
done
echo "median: unzip_ms=$(median "${unzips[@]}") install_ms=$(median "${installs[@]}")" \
     "ratio=$(median "${ratios[@]}") max_event_gap_ms=$(median "${gaps[@]}") peak_rss_mb=$(median "${rsss[@]}")"
echo "median: rm_ms=$(median "${rms[@]}") remove_ms=$(median "${removes[@]}")" \
     "ratio=$(median "${remove_ratios[@]}") remove_max_event_gap_ms=$(median "${remove_gaps[@]}") (goal: ratio at most 1.1)"

# Reading a 10 MB zeko.ini with the key on its last line: ordinary sections, and
# a long block of lines without '='.
echo
"$build/benchmarks/ProfileFileBenchmark" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
