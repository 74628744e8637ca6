#!/usr/bin/env bash
# Installs everything the project needs to build, run and test on Debian 12 (as root).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

if [ "$(id -u)" != 0 ]; then SUDO=sudo; else SUDO=; fi

# Wine's 32-bit part runs the 32-bit course programs and the launcher.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

packages=(
  build-essential cmake ninja-build pkg-config git clang-format
  qt6-base-dev qt6-base-dev-tools libgl-dev
  # The artwork test draws the SVG icon to compare it with the PNGs.
  qt6-svg-dev
  # Qt's own texts (the file dialog, standard buttons) in Portuguese and Spanish.
  qt6-translations-l10n
  libsqlite3-dev sqlite3 libzip-dev zipcmp zipmerge ziptool unzip
  # Deflated entries are inflated with ISA-L (igzip).
  libisal-dev
  # benchmarks/InflateBenchmark measures it against zlib and libdeflate.
  libdeflate-dev
  # Tools the extraction tests zip books with, as users do.
  libarchive-tools zip p7zip-full python3
  libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine64 wine32:i386
  fonts-liberation2 fonts-dejavu-core
  libchm-dev
  # The tests check the books' menu entries with the desktop's own checker and launcher.
  desktop-file-utils libglib2.0-bin
  # scripts/fuzz.sh builds the libFuzzer harnesses with clang.
  clang libfuzzer-14-dev
  xvfb xauth x11-utils xdotool
  # The Debian package (CPack runs dpkg-shlibdeps) and the check of the installed tree.
  dpkg-dev appstream man-db file
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
