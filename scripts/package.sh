#!/usr/bin/env bash
# Builds the Debian package zeko-download_<version>_<arch>.deb from this checkout
# into build-package/ (or $ZEKO_PACKAGE_DIR), without network: a Release build
# for prefix /usr of only what ships, with the flags Debian builds its packages
# with, stripped by CPack. Prints the package's path.
# Run scripts/install-deps.sh first (it brings dpkg-dev, which CPack needs).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_PACKAGE_DIR:-$here/build-package}
# Files and folders in the package are 0644 and 0755.
umask 022

# Debian's hardening and the other flags its packages are built with.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cflags="$(dpkg-buildflags --get CFLAGS) $cppflags"
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $cppflags"
ldflags=$(dpkg-buildflags --get LDFLAGS)

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DZEKO_BUILD_TESTS=OFF -DZEKO_BUILD_BENCHMARKS=OFF \
  "-DCMAKE_C_FLAGS=$cflags" "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" \
  "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/zeko-download_${version}_$(dpkg --print-architecture).deb"
rm -f "$deb"
(cd "$build" && cpack -G DEB --config CPackConfig.cmake >cpack.log) || { cat "$build/cpack.log" >&2; exit 1; }
if [ ! -f "$deb" ]; then
  echo "package.sh: CPack made no $deb:" >&2
  cat "$build/cpack.log" >&2
  exit 1
fi
echo "$deb"
