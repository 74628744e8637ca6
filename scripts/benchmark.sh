#!/usr/bin/env bash
# Builds and runs the benchmarks; prints their figures.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_BUILD_DIR:-$here/build}
bash "$here/scripts/build.sh"
"$build/tests/drive/MontaListaDrivesBenchmark" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
