#!/usr/bin/env bash
# Runs every fuzz target for a bounded time (seconds, default 60) on a scratch copy of
# its seed corpus, as many at once as there are cores (each target still gets its full
# time on a core of its own). A crash leaves its input in build/fuzz/artifacts/ and fails
# the run: copy that input to fuzz/regressions/<target>/ once the fault is fixed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds="${1:-60}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/artifacts

# One target: its summary (or its failure) in build/fuzz/NAME.summary.
fuzz_one() {
  local target=$1 name
  name=$(basename "$target")
  # Absolute paths: the targets change into scratch folders of their own.
  local work="$PWD/build/fuzz/work/$name" summary="build/fuzz/$name.summary"
  rm -rf "$work" && mkdir -p "$work"
  cp fuzz/corpus/"$name"/* "$work"/ 2>/dev/null || true
  echo "--- $name for ${seconds}s" >"$summary"
  if "$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
       -artifact_prefix="$PWD/build/fuzz/artifacts/$name-" -print_final_stats=1 "$work" \
       >"build/fuzz/$name.log" 2>&1; then
    grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "build/fuzz/$name.log" | tail -2 >>"$summary"
  else
    { tail -40 "build/fuzz/$name.log"
      echo "$name: FAILED (input saved under build/fuzz/artifacts/)"; } >>"$summary"
  fi
}

targets=(build/fuzz/bin/fuzz_*)
rm -f build/fuzz/*.summary
slots=$(nproc)
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$slots" ]; do wait -n || true; done
  fuzz_one "$target" &
done
wait || true
status=0
for target in "${targets[@]}"; do
  name=$(basename "$target")
  summary="build/fuzz/$name.summary"
  [ -f "$summary" ] || echo "--- $name"$'\n'"$name: FAILED (no result)" >"$summary"
  cat "$summary"
  if grep -q ': FAILED' "$summary"; then status=1; fi
done
exit $status
