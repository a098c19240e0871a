#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, once: the native toolchain,
# the i686 MinGW-w64 cross compiler, 32-bit Wine, Xvfb and the test libraries.
# Safe to run again: it installs nothing when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ make            # native build
  doctest-dev                           # unit tests (header only, both builds)
  chromium                              # headless, renders the judge's results page in a test
  libbenchmark-dev                      # Google Benchmark, bench/
  libcli11-dev                          # command-line options of the korvane tool
  g++-mingw-w64-i686 binutils-mingw-w64-i686  # Stats.dll
  wine wine32:i386                      # runs the Windows tests
  xvfb x11-utils x11-apps imagemagick   # a display for dialog tests, screenshots
  clang libclang-rt-14-dev              # sanitizers and libFuzzer
  clang-tidy cppcheck                   # static analysis
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Run this script as root (or: sudo apt-get install ${missing[*]})." >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
