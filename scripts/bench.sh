#!/usr/bin/env bash
# Builds the native plug-in and its benchmarks, runs them and prints the summary table
# (operation, log size, time, ratio to the rescanning summary and to one bare pass).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native --target stats_bench Stats
exec build/native/bin/stats_bench --benchmark_color=false "$@"
