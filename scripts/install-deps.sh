#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, once. Safe to run again: it
# installs nothing when everything is already there.
#
#   scripts/install-deps.sh [GROUP...]     no group: all of them
#
#   korvane   korvane and libStats.so alone, all that run-sample.sh needs
#   native    the native build: korvane's, and the benchmarks (Google Benchmark)
#   tests     the native tests: doctest, python3 and an SVG renderer for the tool tests
#   windows   Stats.dll and korvane.exe (MinGW-w64), 32-bit Wine, Xvfb, screenshots
#   analysis  sanitizers, libFuzzer, clang-tidy and cppcheck
set -euo pipefail

group_korvane=(
  cmake ninja-build g++                 # native build
  libcli11-dev                          # command-line options of the korvane tool
  libsqlite3-dev                        # korvane robot: the submissions database
  libcpp-httplib-dev                    # korvane robot: the web server (and its test client)
  nlohmann-json3-dev                    # korvane robot: the JSON API
  libssl-dev pkg-config                 # korvane robot: SHA-256 and random tokens (libcrypto)
)
group_native=(
  "${group_korvane[@]}"
  libbenchmark-dev                      # Google Benchmark, bench/ (configured natively)
)
group_tests=(
  doctest-dev                           # unit tests (header only, both builds)
  python3                               # reads korvane's JSON and CSV back in the tool tests
  librsvg2-bin fonts-dejavu-core        # rsvg-convert renders the tours chart in a test
  chromium                              # headless, renders the judge's results page in a test
  nodejs                                # with npm: puppeteer-core drives chromium in the robot's browser test
)
group_windows=(
  g++-mingw-w64-i686 binutils-mingw-w64-i686  # Stats.dll, korvane.exe
  wine wine32:i386                      # runs the Windows tests
  xvfb x11-utils x11-apps imagemagick   # a display for dialog tests, screenshots
)
group_analysis=(
  clang libclang-rt-14-dev              # sanitizers and libFuzzer
  clang-tidy cppcheck                   # static analysis
)

groups=("$@")
[ ${#groups[@]} -eq 0 ] && groups=(native tests windows analysis)
packages=()
for g in "${groups[@]}"; do
  case "$g" in
    korvane) packages+=("${group_korvane[@]}") ;;
    native) packages+=("${group_native[@]}") ;;
    tests) packages+=("${group_tests[@]}") ;;
    windows) packages+=("${group_windows[@]}") ;;
    analysis) packages+=("${group_analysis[@]}") ;;
    *) echo "install-deps.sh: unknown group '$g' (korvane, native, tests, windows, analysis)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# Debian's nodejs comes without npm; a Node.js from elsewhere brings its own.
if printf '%s\n' "${packages[@]}" | grep -qx nodejs && ! command -v npm >/dev/null; then
  missing+=(npm)
fi
# puppeteer-core, pinned in tests/browser/package-lock.json, drives Debian's chromium in
# the robot's browser test; it downloads no browser, and no install script of it runs.
browser_test_modules() {
  local dir=tests/browser stamp=tests/browser/node_modules/.package-lock.json
  [ -f "$stamp" ] && [ "$stamp" -nt "$dir/package-lock.json" ] && return 0
  echo "Installing puppeteer-core for the browser test (npm ci in $dir)"
  (cd "$dir" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
}

if [ ${#missing[@]} -ne 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Run this script as root (or: sudo apt-get install ${missing[*]})." >&2
    exit 1
  fi

  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # Only the 32-bit Wine needs the i386 architecture.
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if printf '%s\n' "${groups[@]}" | grep -qx tests; then
  cd "$(dirname "${BASH_SOURCE[0]}")/.."
  browser_test_modules
fi
