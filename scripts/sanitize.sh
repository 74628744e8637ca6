#!/usr/bin/env bash
# Builds the programs and tests with AddressSanitizer and UndefinedBehaviorSanitizer
# into build-sanitize/ (or $ZEKO_SANITIZE_DIR) and runs every test that needs no
# Wine there. Any report fails the test that made it: undefined behaviour stops the
# program, and a leak or a memory error makes it end with a failure.
# Run scripts/install-deps.sh first (scripts/test.sh does).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_SANITIZE_DIR:-$here/build-sanitize}
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEKO_WERROR=ON \
  -DZEKO_SANITIZE=address,undefined -DZEKO_BUILD_BENCHMARKS=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
unset WINEPREFIX
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$build"
# The programs that run Wine; WineHostTest and WinePlatformTest only read files.
ctest --output-on-failure -j 2 -E 'WineProbeTest|WineComparisonTest|WineTest$'
echo "sanitizers: every test without Wine ran clean under address,undefined"
