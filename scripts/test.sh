#!/usr/bin/env bash
# Builds both targets and runs every test: native, then Windows under Wine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/install-deps.sh

jobs=$(nproc)
failed=0
step() { echo; echo "=== $*"; }

step "native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs" || failed=1

step "Windows build (i686) and tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
export WINEPREFIX="$PWD/build/windows/wineprefix"
# One Wine server for the whole run instead of one per test program.
scripts/with-display.sh bash -c '
  scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true
  wineserver -p30
  status=0
  ctest --preset windows || status=1
  wineserver -k 2>/dev/null || true
  exit $status' || failed=1

echo
if [ "$failed" -ne 0 ]; then
  echo "SOME TESTS FAILED"
  exit 1
fi
echo "All native and Windows tests passed."
