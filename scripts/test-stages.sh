# The test command's bookkeeping, sourced by scripts/test.sh: stages and their wall
# times, work run beside them, and the one count of passed and failed tests.
#
# The count: each ctest test once; a stage that cannot build or runs no test at all is
# one failure. Work run beside the stages writes its own log and result, read back when
# it is collected, so its count is as exact as a stage's in the foreground.
failed=()
passed_total=0
failed_total=0
logs=${KORVANE_TEST_LOGS:-build/test-logs}
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
  # Never started, or ended without a result: a failure, never a silent pass.
  [ -z "${side_pid[$name]:-}" ] || wait "${side_pid[$name]}" || true
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

# Collects a build run beside the stages: its failure is one, named "NAME" as given.
collect_build() {
  local name=$1 description=$2
  side_collect "$name" "$description" && return 0
  failed+=("$name")
  count 0 1
  return 1
}

# Collects a check run beside the stages: one test, passed or failed.
collect_check() {
  local name=$1 description=$2
  if side_collect "$name" "$description"; then
    count 1 0
  else
    failed+=("$name")
    count 0 1
  fi
}
