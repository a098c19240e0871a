#!/usr/bin/env bash
# clang-tidy and cppcheck over the plug-in, its platform layer and its tools, with the
# configuration in .clang-tidy and .cppcheck-suppressions. Fails on any finding.
# The Windows-only sources are left to the compiler's warnings (no Windows headers here).
#
# Three passes, each over every source outside tests/, fuzz/ and bench/:
#   1. each source compiles on its own with clang (the builds compile them in batches,
#      which would hide an include a file forgot);
#   2. clang-tidy's checks on the same batches the builds compile: the system headers
#      are matched once per batch instead of once per file, a fifth of the time;
#   3. cppcheck, one file at a time.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
out=build/static
mkdir -p "$out"

# Compile commands from a configure step alone (nothing is built), one tree with every
# source on its own and one in the build's batches. clang does not know some GCC-only
# flags of the build.
commands_of() {
  local tree="$out/$1"; shift
  cmake --preset native -B "$tree" -DKORVANE_TESTS=OFF -DKORVANE_BENCH=OFF "$@" >/dev/null
  mkdir -p "$tree/clang"
  sed -e 's/ -fno-gnu-unique//g' "$tree/compile_commands.json" >"$tree/clang/compile_commands.json"
}
commands_of files -DCMAKE_UNITY_BUILD=OFF
commands_of batches -DCMAKE_UNITY_BUILD=ON

mapfile -t sources < <(git ls-files '*.cpp' | grep -v -E '^(tests|fuzz|bench)/|/win32/')
# The batches that hold those sources, and any source no batch holds (analysed alone).
python3 scripts/static-batches.py "$out/batches/clang/compile_commands.json" "${sources[@]}" >"$out/batches.txt"
mapfile -t batches <"$out/batches.txt"
jobs=$(nproc)
# What clang-tidy said, without its counts of what it left out.
findings() { grep -v -E "warnings? generated|Suppressed [0-9]+ warnings|Use -header-filter|NOLINT" "$1" || true; }

echo "each source on its own: ${#sources[@]} files"
# With the one check that needs a source on its own: no source includes another.
if ! printf '%s\0' "${sources[@]}" |
  xargs -0 -n 4 -P "$jobs" clang-tidy -p "$out/files/clang" --quiet \
    --checks='-*,bugprone-suspicious-include' >"$out/own.txt" 2>&1; then
  findings "$out/own.txt"
  echo "static analysis: a source does not compile on its own (above)"
  exit 1
fi

echo "clang-tidy: ${#sources[@]} files in ${#batches[@]} batches"
# A batch includes sources, which the header filter must then cover, and which the
# check for included sources would flag (it ran above).
if ! printf '%s\0' "${batches[@]}" |
  xargs -0 -n 1 -P "$jobs" clang-tidy -p "$out/batches/clang" --quiet \
    --checks='-bugprone-suspicious-include' \
    --header-filter='(platform|scoring|cabrillo|window|plugin|tools)/.*\.(h|cpp)$' \
    >"$out/clang-tidy.txt" 2>&1; then
  findings "$out/clang-tidy.txt"
  echo "clang-tidy: findings above"
  exit 1
fi

# cppcheck reads only the sources clang-tidy reads: its findings in test, benchmark and
# fuzz programs are suppressed anyway, and parsing them cost as much again.
python3 - "$out" "${sources[@]}" <<'PY'
import json, os, sys
out, wanted = sys.argv[1], {os.path.abspath(path) for path in sys.argv[2:]}
with open(f"{out}/files/clang/compile_commands.json") as all_commands:
    commands = [entry for entry in json.load(all_commands)
                if os.path.abspath(os.path.join(entry["directory"], entry["file"])) in wanted]
with open(f"{out}/cppcheck_commands.json", "w") as ours:
    json.dump(commands, ours, indent=1)
print(f"cppcheck: {len(commands)} files")
PY
cppcheck --project="$out/cppcheck_commands.json" --enable=warning,performance,portability \
  -j "$jobs" --inline-suppr --quiet --error-exitcode=1 --suppressions-list=.cppcheck-suppressions
echo "static analysis: clean"
