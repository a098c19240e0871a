#!/usr/bin/env bash
# Builds everything and runs every test: native, the sanitizers, the Windows build
# under Wine (with a private X display), the fuzzers for a bounded time, and the static
# analysis. Set KORVANE_FUZZ_SECONDS to change the fuzzing time (default 60 per target).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/install-deps.sh

jobs=$(nproc)
failed=()
step() { echo; echo "=== $*"; }
run() { local name=$1; shift; "$@" || failed+=("$name"); }

build() { cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$jobs"; }

step "native build and tests"
build native
run native ctest --preset native -j "$jobs"

step "AddressSanitizer and UndefinedBehaviorSanitizer"
build asan
run asan ctest --preset asan -j "$jobs"

step "ThreadSanitizer"
build tsan
run tsan ctest --preset tsan -j "$jobs"

step "Windows build (i686) and tests under Wine"
build windows
export WINEPREFIX="$PWD/build/windows/wineprefix"
# One Wine server for the whole run instead of one per test program.
run windows scripts/with-display.sh bash -c '
  scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true
  wineserver -p30
  status=0
  ctest --preset windows || status=1
  wineserver -k 2>/dev/null || true
  exit $status'

step "fuzzing"
run fuzz scripts/fuzz.sh "${KORVANE_FUZZ_SECONDS:-60}"
run fuzz-regressions ctest --preset fuzz

step "static analysis"
run static-analysis scripts/static-analysis.sh

echo
if [ ${#failed[@]} -ne 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "All stages passed: native, asan, tsan, windows, fuzz, static analysis."
