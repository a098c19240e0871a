#!/usr/bin/env bash
# Builds everything and runs every test: native, the sanitizers, the Windows build
# under Wine (with a private X display), the fuzzers for a bounded time, and the static
# analysis. Set KORVANE_FUZZ_SECONDS to change the fuzzing time (default 30 per target,
# from the seed corpus that longer runs grew).
#
# The last line sums every stage: "N passed, N failed", where each ctest test counts
# once, each fuzz target's run once, the layer check once and the static analysis
# once. A stage that cannot build or runs no test at all counts as one failure.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/install-deps.sh

jobs=$(nproc)
# shellcheck source=scripts/test-stages.sh
source scripts/test-stages.sh

# The Wine tests mostly wait on Wine: the short ones run side by side, the long ones alone,
# under one Wine server for the whole run instead of one per program.
wine_tests() {
  export WINEPREFIX="$PWD/build/windows/wineprefix"
  scripts/with-display.sh bash -c '
    scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true
    wineserver -p30
    status=0
    ctest --preset windows -j "$1" || status=1
    wineserver -k 2>/dev/null || true
    exit $status' wine-tests "$jobs"
}

step "layer check: every include points down"
if python3 scripts/check-layers.py; then count 1 0; else failed+=("layer check"); count 0 1; fi

# Beside every stage, at low priority, taking only what the stages leave idle (their
# tests mostly wait on timers, threads and Wine): the static analysis, which needs no
# build of its own, and the Windows build, with the Wine prefix it is tested in.
side_start static-analysis nice -n 19 scripts/static-analysis.sh
side_start windows-build nice -n 19 bash -c '
  cmake --preset windows >/dev/null && cmake --build --preset windows -j "$1" &&
  WINEPREFIX="$PWD/build/windows/wineprefix" scripts/with-display.sh bash -c \
    "scripts/wine-run.sh cmd /c exit >/dev/null 2>&1; wineserver -w"' windows-build "$jobs"

step "native build and tests"
stage_build native && ctest_stage native ctest --preset native -j "$jobs"

step "AddressSanitizer and UndefinedBehaviorSanitizer"
stage_build asan && ctest_stage asan ctest --preset asan -j "$jobs"

step "ThreadSanitizer"
stage_build tsan && ctest_stage tsan ctest --preset tsan -j "$jobs"

step "fuzzing"
fuzz_log="$logs/fuzz.log"
scripts/fuzz.sh "${KORVANE_FUZZ_SECONDS:-30}" 2>&1 | tee "$fuzz_log" || failed+=("fuzz")
fuzz_runs=$(grep -c '^--- fuzz_' "$fuzz_log" || true)
fuzz_bad=$(grep -c ': FAILED' "$fuzz_log" || true)
if [ "$fuzz_runs" -eq 0 ]; then
  failed+=("fuzz (no target ran)")
  count 0 1
else
  count $((fuzz_runs - fuzz_bad)) "$fuzz_bad"
fi
ctest_stage fuzz-regressions ctest --preset fuzz

step "static analysis, to its end"
collect_check static-analysis "static analysis (at low priority beside the stages)"

step "Windows tests under Wine"
# Alone: their windows' timers want a machine that is not busy, and even a process at
# low priority beside them has made a tick come late.
if collect_build windows-build "Windows build (i686) and its Wine prefix, at low priority beside the stages"; then
  ctest_stage windows wine_tests
fi

close_stage
echo
echo "Stage times (wall):"
printf '  %s\n' "${times[@]}"
[ ${#side_times[@]} -eq 0 ] || { echo "  beside them:"; printf '  %s\n' "${side_times[@]}"; }
printf '%7d s  in all\n' $((SECONDS - run_start))
echo
if [ ${#failed[@]} -ne 0 ]; then
  echo "FAILED: ${failed[*]}"
else
  echo "All stages passed: layers, native, asan, tsan, windows, fuzz, static analysis."
fi
echo "$passed_total passed, $failed_total failed"
[ ${#failed[@]} -eq 0 ]
