#!/usr/bin/env bash
# The main job, on the bundled sample: builds korvane and the plug-in natively, scores
# samples/korvane-2026-RK3AZ.adi with --report in a work folder under the build folder,
# and shows the score table and the Cabrillo file the plug-in wrote.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/install-deps.sh korvane  # a compiler, CMake, Ninja and CLI11: no test or benchmark library

# The korvane preset builds into build/native like the full native preset, with the tests
# and benchmarks off, so that nothing this job does not run has to be found or built.
build="${KORVANE_BUILD_DIR:-build/native}"
cmake --preset korvane -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target korvane

work="$build/sample-run"
rm -rf "$work"
mkdir -p "$work"
echo
echo "=== korvane score samples/korvane-2026-RK3AZ.adi --report --workdir $work"
"$build/bin/korvane" score samples/korvane-2026-RK3AZ.adi --report --workdir "$work"

report="$work/RK3AZ.cbr"
echo
echo "=== $report: $(grep -c '^QSO:' "$report") QSO lines (the sample holds 314)"
head -n 24 "$report" | tr -d '\r'
echo "..."
tail -n 3 "$report" | tr -d '\r'
