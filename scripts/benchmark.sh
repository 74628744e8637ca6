#!/usr/bin/env bash
# Builds and runs the benchmarks; prints their figures.
#
#   ZEKO_BUILD_DIR          the build folder (build/)
#   ZEKO_BENCH_RUNS         runs of each book (3); the medians are printed after them
#   ZEKO_BENCH_BOOKS        which books, of: 300mb 1gb video (all three)
#   ZEKO_BENCH_SKIP_BUILD   1: use the build as it stands, build nothing
#   ZEKO_BENCH_INSTALL_ONLY 1: only the books' installs, not the scan's and zeko.ini's benchmarks
#   ZEKO_BENCH_DISK         where the books are extracted: fresh (a new ext4 file system for each
#                           run, the default as root) or build (the build folder's own disk)
#   ZEKO_BENCH_INSTALLER    the InstallBenchmark to time (the build's), say one built from an older commit
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_BUILD_DIR:-$here/build}
runs=${ZEKO_BENCH_RUNS:-3}
books=${ZEKO_BENCH_BOOKS:-300mb 1gb video}
install_only=${ZEKO_BENCH_INSTALL_ONLY:-0}
installer=${ZEKO_BENCH_INSTALLER:-$build/benchmarks/InstallBenchmark}
if [ "$(id -u)" = 0 ] && command -v mkfs.ext4 >/dev/null; then disk=${ZEKO_BENCH_DISK:-fresh}; else disk=build; fi
[ "${ZEKO_BENCH_SKIP_BUILD:-0}" = 1 ] || bash "$here/scripts/build.sh"
if [ "$install_only" != 1 ]; then
  "$build/benchmarks/MontaListaDrivesBenchmark" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
fi

# Installing each book through the install flow, against unzip -q, bsdtar -xf
# and 7z x of the same archive on the same disk, each after a sync and into a
# fresh folder; then (300mb book) removing it through the book list's removal,
# against rm -rf of an identical copy. The archive is in the page cache for all
# of them: the install copies it first, the others read it after one another.
#
# The tools meet the same disk in every run: by default a new ext4 file system
# (with a journal, as a desktop's), in a file on the build folder's disk. On the
# build folder's disk itself, nothing is deleted between a run's timings: ext4
# without a journal, as some virtual machines have, skips on every file it
# creates the inodes deleted in the last minutes, one at a time, so a tree just
# deleted slows whatever comes next by its own size.
bench=$build/bench
mkdir -p "$bench"
maker=$build/benchmarks/zeko_make_bench_book

median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }
field() { sed -n "s/^$1=//p" <<<"$result"; }
removal_field() { sed -n "s/^$1=//p" <<<"$removal"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
load() { cut -d' ' -f1 /proc/loadavg; }
# Every timing starts from the same memory: as root the page cache is emptied
# but for the archive, so no tool gets the pages freed by the ones before it.
# (On some virtual machines a page the guest has not used lately costs many
# times more to fill.)
settle_memory() {
  sync
  if [ -w /proc/sys/vm/drop_caches ]; then
    echo 1 >/proc/sys/vm/drop_caches
    cat "$book" >/dev/null
  fi
}
# Milliseconds that a command takes to extract the book into a fresh folder, kept until the run ends.
timed() {
  local dir=$1 start
  shift
  mkdir -p "$dir"
  settle_memory
  start=$(date +%s%N)
  "$@" >/dev/null
  echo $(( ($(date +%s%N) - start) / 1000000 ))
}
# Where a run extracts: a fresh file system, or a folder on the build's disk.
runs_at=$bench/run
image=$bench/disk.img
unmount() { if mountpoint -q "$runs_at"; then umount "$runs_at"; fi; }
fresh_disk() {
  unmount
  rm -rf "$runs_at"
  if [ "$disk" = fresh ]; then
    rm -f "$image"
    truncate -s 16G "$image"
    mkfs.ext4 -q -F "$image"
    mkdir -p "$runs_at"
    mount -o loop "$image" "$runs_at"
  fi
}
trap 'unmount; rm -f "$image"' EXIT
describe_disk() {
  local fs device
  fs=$(findmnt -no FSTYPE -T "$runs_at" 2>/dev/null || echo unknown)
  device=$(basename "$(findmnt -no SOURCE -T "$runs_at" 2>/dev/null || echo none)")
  if [ "$fs" = ext4 ] && [ ! -e "/proc/fs/jbd2/$device-8" ]; then fs="ext4 without a journal"; fi
  echo "$fs on $device"
}
fresh_disk
echo
echo "Books are extracted on: $( [ "$disk" = fresh ] && echo "a new file system for each run, " )$(describe_disk)"

declare -A install_median
for which in $books; do
  case $which in
    300mb) book=$bench/LivroBench.zip ;;
    1gb) book=$bench/LivroBench1G.zip ;;
    video) book=$bench/LivroBenchVideo.zip ;;
    *) echo "unknown book $which (300mb, 1gb, video)" >&2; exit 2 ;;
  esac
  # The books are the same on every build: made once, then reused until their maker changes.
  if [ ! -f "$book" ] || [ "$maker" -nt "$book" ]; then
    "$maker" "$book" "$which"
  fi
  echo
  echo "Install of $(basename "$book") ($which): $(( $(stat -c %s "$book") >> 20 )) MiB archive, $runs runs"
  [ "$which" = 300mb ] &&
    echo "Removal of the installed book, after each install: rm -rf on an identical copy, then the removal"
  if [ -x "$build/benchmarks/InflateBenchmark" ]; then
    echo "Its deflated entries inflated in memory, one thread, by each library:"
    "$build/benchmarks/InflateBenchmark" "$book" 3 | sed 's/^/  /'
  fi

  unzips=() bsdtars=() sevens=() installs=() ratios=() bsdtar_ratios=() seven_ratios=() gaps=() rsss=() loads=()
  rms=() removes=() remove_ratios=() remove_gaps=()
  for i in $(seq 1 "$runs"); do
    fresh_disk
    out=$runs_at
    sync
    l=$(load)
    unzip_ms=$(timed "$out/unzip" unzip -q "$book" -d "$out/unzip")
    bsdtar_ms=$(timed "$out/bsdtar" bsdtar -xf "$book" -C "$out/bsdtar")
    seven_ms=$(timed "$out/7z" 7z x -y -bd "-o$out/7z" "$book")
    settle_memory
    # The benchmark installs a copy of its own: a successful install deletes the archive.
    if ! result=$("$installer" "$book" "$out/install"); then
      echo "$result"
      echo "run $i: the install failed" >&2
      exit 1
    fi
    install_ms=$(field install_ms)
    gap=$(field max_event_gap_ms)
    rss=$(field peak_rss_mb)
    r=$(ratio "$install_ms" "$unzip_ms")
    rb=$(ratio "$install_ms" "$bsdtar_ms")
    r7=$(ratio "$install_ms" "$seven_ms")
    echo "run $i: load=$l unzip_ms=$unzip_ms bsdtar_ms=$bsdtar_ms 7z_ms=$seven_ms install_ms=$install_ms"
    echo "       install/unzip=$r install/bsdtar=$rb install/7z=$r7 max_event_gap_ms=$gap" \
         "(at $(field max_event_gap_at_ms) ms) peak_rss_mb=$rss book_files=$(field book_files)"
    unzips+=("$unzip_ms") bsdtars+=("$bsdtar_ms") sevens+=("$seven_ms") installs+=("$install_ms")
    ratios+=("$r") bsdtar_ratios+=("$rb") seven_ratios+=("$r7") gaps+=("$gap") rsss+=("$rss") loads+=("$l")
    if [ "$which" = 300mb ]; then
      # The copy for rm is made untimed, from the folder the install just wrote.
      cp -a "$(field book_folder)" "$out/rm-copy"
      sync
      start=$(date +%s%N)
      rm -rf "$out/rm-copy"
      rm_ms=$(( ($(date +%s%N) - start) / 1000000 ))
      sync
      if ! removal=$("$installer" --remove "$out/install"); then
        echo "$removal"
        echo "run $i: the removal failed" >&2
        exit 1
      fi
      remove_ms=$(removal_field remove_ms)
      remove_gap=$(removal_field remove_max_event_gap_ms)
      rr=$(ratio "$remove_ms" "$rm_ms")
      echo "       rm_ms=$rm_ms remove_ms=$remove_ms ratio=$rr remove_max_event_gap_ms=$remove_gap" \
           "(at $(removal_field remove_max_event_gap_at_ms) ms) book_files=$(removal_field book_files)"
      rms+=("$rm_ms") removes+=("$remove_ms") remove_ratios+=("$rr") remove_gaps+=("$remove_gap")
    fi
    [ "$disk" = fresh ] || rm -rf "$out"
    sync
  done
  install_median[$which]=$(median "${installs[@]}")
  echo "median: unzip_ms=$(median "${unzips[@]}") bsdtar_ms=$(median "${bsdtars[@]}")" \
       "7z_ms=$(median "${sevens[@]}") install_ms=${install_median[$which]} (loads: ${loads[*]})"
  echo "median: install/unzip=$(median "${ratios[@]}") install/bsdtar=$(median "${bsdtar_ratios[@]}")" \
       "install/7z=$(median "${seven_ratios[@]}") max_event_gap_ms=$(median "${gaps[@]}")" \
       "peak_rss_mb=$(median "${rsss[@]}")"
  if [ "$which" = 300mb ]; then
    echo "median: rm_ms=$(median "${rms[@]}") remove_ms=$(median "${removes[@]}")" \
         "ratio=$(median "${remove_ratios[@]}") remove_max_event_gap_ms=$(median "${remove_gaps[@]}") (goal: ratio at most 1.1)"
  fi
done
if [ -n "${install_median[300mb]:-}" ] && [ -n "${install_median[1gb]:-}" ]; then
  echo
  echo "1gb install over 300mb install: $(ratio "${install_median[1gb]}" "${install_median[300mb]}")" \
       "(3.4 if it grows with the bytes)"
fi

# Reading a 10 MB zeko.ini with the key on its last line: ordinary sections, and
# a long block of lines without '='.
if [ "$install_only" != 1 ]; then
  echo
  "$build/benchmarks/ProfileFileBenchmark" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
fi
