#!/usr/bin/env bash
# Builds everything and runs every test: native, the sanitizers, the Windows build
# under Wine (with a private X display), the fuzzers for a bounded time, and the static
# analysis. Set KORVANE_FUZZ_SECONDS to change the fuzzing time (default 60 per target).
#
# The last line sums every stage: "N passed, N failed", where each ctest test counts
# once, each fuzz target's run once, the layer check once and the static analysis
# once. A stage that cannot build or runs no test at all counts as one failure.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/install-deps.sh

jobs=$(nproc)
failed=()
passed_total=0
failed_total=0
logs=build/test-logs
mkdir -p "$logs"

# Each stage's wall time, printed when the next one starts and summed up at the end.
times=()
stage_name=""
stage_start=$SECONDS
run_start=$SECONDS
close_stage() {
  [ -n "$stage_name" ] && times+=("$(printf '%5d s  %s' $((SECONDS - stage_start)) "$stage_name")")
  stage_name=""
}
step() {
  close_stage
  stage_name="$*"
  stage_start=$SECONDS
  echo; echo "=== $*"
}
count() { passed_total=$((passed_total + $1)); failed_total=$((failed_total + $2)); }
build() { cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$jobs"; }

# Counts what ctest printed in its log: "... tests failed out of N".
count_ctest_log() {
  local summary
  summary=$(grep -E "tests? failed out of [0-9]+" "$1" | tail -1 || true)
  if [ -z "$summary" ]; then
    count 0 1
    return 1
  fi
  local total bad
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
  bad=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$summary")
  [ "$total" -gt 0 ] || { count 0 1; return 1; }
  count $((total - bad)) "$bad"
}

# One ctest stage: build, run (failing when no test is found), count.
ctest_stage() {
  local name=$1; shift
  local log="$logs/$name.log"
  : >"$log"
  if ! "$@" 2>&1 | tee "$log"; then
    failed+=("$name")
    count_ctest_log "$log" || true
    return
  fi
  count_ctest_log "$log" || failed+=("$name (no tests ran)")
}

stage_build() {
  build "$1" || { failed+=("$1 build"); count 0 1; return 1; }
}

step "layer check: every include points down"
if python3 scripts/check-layers.py; then count 1 0; else failed+=("layer check"); count 0 1; fi

step "native build and tests"
stage_build native && ctest_stage native ctest --preset native -j "$jobs"

step "AddressSanitizer and UndefinedBehaviorSanitizer"
stage_build asan && ctest_stage asan ctest --preset asan -j "$jobs"

step "ThreadSanitizer"
stage_build tsan && ctest_stage tsan ctest --preset tsan -j "$jobs"

step "Windows build (i686) and tests under Wine"
if stage_build windows; then
  export WINEPREFIX="$PWD/build/windows/wineprefix"
  # One Wine server for the whole run instead of one per test program.
  ctest_stage windows scripts/with-display.sh bash -c '
    scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true
    wineserver -p30
    status=0
    ctest --preset windows || status=1
    wineserver -k 2>/dev/null || true
    exit $status'
fi

step "fuzzing"
fuzz_log="$logs/fuzz.log"
scripts/fuzz.sh "${KORVANE_FUZZ_SECONDS:-60}" 2>&1 | tee "$fuzz_log" || failed+=("fuzz")
fuzz_runs=$(grep -c '^--- fuzz_' "$fuzz_log" || true)
fuzz_bad=$(grep -c ': FAILED' "$fuzz_log" || true)
if [ "$fuzz_runs" -eq 0 ]; then
  failed+=("fuzz (no target ran)")
  count 0 1
else
  count $((fuzz_runs - fuzz_bad)) "$fuzz_bad"
fi
ctest_stage fuzz-regressions ctest --preset fuzz

step "static analysis"
if scripts/static-analysis.sh; then count 1 0; else failed+=("static-analysis"); count 0 1; fi

close_stage
echo
echo "Stage times (wall):"
printf '  %s\n' "${times[@]}"
printf '%7d s  in all\n' $((SECONDS - run_start))
echo
if [ ${#failed[@]} -ne 0 ]; then
  echo "FAILED: ${failed[*]}"
else
  echo "All stages passed: layers, native, asan, tsan, windows, fuzz, static analysis."
fi
echo "$passed_total passed, $failed_total failed"
[ ${#failed[@]} -eq 0 ]
