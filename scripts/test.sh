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
side_times=()
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

# Settles a ctest stage from its exit status and its log: failing when no test is found.
settle_ctest() {
  local name=$1 status=$2 log="$logs/$1.log"
  if [ "$status" -ne 0 ]; then
    failed+=("$name")
    count_ctest_log "$log" || true
    return
  fi
  count_ctest_log "$log" || failed+=("$name (no tests ran)")
}

# One ctest stage in the foreground: run, show and keep its log, count.
ctest_stage() {
  local name=$1; shift
  local status=0
  "$@" 2>&1 | tee "$logs/$name.log" || status=1
  settle_ctest "$name" "$status"
}

# Work that mostly waits (Wine) or that fills a core a stage leaves idle runs beside the
# stages after it: its output goes to its own log, shown with its result and wall time
# when it is collected, before the summary.
declare -A side_pid=()
side_start() {
  local name=$1; shift
  local log="$logs/$name.log" result="$logs/$name.result"
  rm -f "$result"
  : >"$log"
  (
    started=$(date +%s)
    status=0
    "$@" >"$log" 2>&1 </dev/null || status=$?
    echo "$status $(($(date +%s) - started))" >"$result"
  ) &
  side_pid[$name]=$!
}
# An interrupted run leaves nothing of its own running behind it.
trap 'kill "${side_pid[@]}" 2>/dev/null; exit 130' INT TERM

# Waits for one, shows its log and adds its wall time; returns its exit status.
side_collect() {
  local name=$1 description=$2
  wait "${side_pid[$name]}" || true
  echo; echo "=== $description (ran beside the stages above)"
  cat "$logs/$name.log"
  local status=1 seconds=0
  read -r status seconds <"$logs/$name.result" || true
  side_times+=("$(printf '%5d s  %s' "$seconds" "$description")")
  return "$status"
}

stage_build() {
  build "$1" || { failed+=("$1 build"); count 0 1; return 1; }
}

# The Windows build at low priority, so that it takes only what the sanitizer stages leave
# idle (their tests wait on timers and threads), then its tests under Wine at normal
# priority: they mostly wait on Wine, several at once, under one Wine server for the whole
# run instead of one per program. Exit status 2: the build failed.
windows_build_and_tests() {
  local started
  started=$(date +%s)
  { cmake --preset windows >/dev/null && nice -n 19 cmake --build --preset windows -j "$jobs"; } || return 2
  echo "=== Windows build: $(($(date +%s) - started)) s; the tests under Wine follow"
  export WINEPREFIX="$PWD/build/windows/wineprefix"
  scripts/with-display.sh bash -c '
    scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true
    wineserver -p30
    status=0
    ctest --preset windows -j "$1" || status=1
    wineserver -k 2>/dev/null || true
    exit $status' wine-tests $((jobs * 2))
}

step "layer check: every include points down"
if python3 scripts/check-layers.py; then count 1 0; else failed+=("layer check"); count 0 1; fi

step "native build and tests"
stage_build native && ctest_stage native ctest --preset native -j "$jobs"

side_start windows windows_build_and_tests

step "AddressSanitizer and UndefinedBehaviorSanitizer"
stage_build asan && ctest_stage asan ctest --preset asan -j "$jobs"

step "ThreadSanitizer"
stage_build tsan && ctest_stage tsan ctest --preset tsan -j "$jobs"

step "fuzzing"
# The static analysis takes only what the fuzz targets leave: the core idle while the last
# target runs alone, then both once fuzzing is done.
side_start static nice -n 19 scripts/static-analysis.sh
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

step "static analysis and the Windows stage, to their end"
if side_collect static "static analysis (beside fuzzing, at low priority)"; then
  count 1 0
else
  failed+=("static-analysis")
  count 0 1
fi
windows_status=0
side_collect windows "Windows build (i686) and tests under Wine (beside the sanitizers and fuzzing)" ||
  windows_status=$?
if [ "$windows_status" -eq 2 ]; then
  failed+=("windows build")
  count 0 1
else
  settle_ctest windows "$windows_status"
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
