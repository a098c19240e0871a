#!/usr/bin/env bash
# Runs every fuzz target for a bounded time (seconds, default 60) on a scratch copy of
# its seed corpus. A crash leaves its input in build/fuzz/artifacts/ and fails the run:
# copy that input to fuzz/regressions/<target>/ once the fault is fixed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds="${1:-60}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/artifacts
status=0
for target in build/fuzz/bin/fuzz_*; do
  name=$(basename "$target")
  # Absolute paths: the targets change into scratch folders of their own.
  work="$PWD/build/fuzz/work/$name"
  rm -rf "$work" && mkdir -p "$work"
  cp fuzz/corpus/"$name"/* "$work"/ 2>/dev/null || true
  echo "--- $name for ${seconds}s"
  if "$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
       -artifact_prefix="$PWD/build/fuzz/artifacts/$name-" -print_final_stats=1 "$work" \
       >"build/fuzz/$name.log" 2>&1; then
    grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "build/fuzz/$name.log" | tail -2
  else
    tail -40 "build/fuzz/$name.log"
    echo "$name: FAILED (input saved under build/fuzz/artifacts/)"
    status=1
  fi
done
exit $status
