#!/usr/bin/env bash
# clang-tidy and cppcheck over the plug-in, its platform layer and its tools, with the
# configuration in .clang-tidy and .cppcheck-suppressions. Fails on any finding.
# The Windows-only sources are left to the compiler's warnings (no Windows headers here).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
[ -f build/native/compile_commands.json ] || { cmake --preset native >/dev/null && cmake --build --preset native; }

# clang does not know some GCC-only flags of the native build.
mkdir -p build/static
sed -e 's/ -fno-gnu-unique//g' build/native/compile_commands.json > build/static/compile_commands.json

mapfile -t sources < <(git ls-files '*.cpp' | grep -v -E '^(tests|fuzz|bench)/|/win32/')
echo "clang-tidy: ${#sources[@]} files"
# A few files per process, as many processes as cores; the findings are read as a whole.
printf '%s\0' "${sources[@]}" |
  xargs -0 -n 4 -P "$(nproc)" clang-tidy -p build/static --quiet >build/static/clang-tidy.txt 2>/dev/null || true
if grep -q -E "(warning|error):" build/static/clang-tidy.txt; then
  cat build/static/clang-tidy.txt
  echo "clang-tidy: findings above"
  exit 1
fi

# cppcheck reads only the sources clang-tidy reads: its findings in test, benchmark and
# fuzz programs are suppressed anyway, and parsing them cost as much again.
python3 - "${sources[@]}" <<'PY'
import json, os, sys
wanted = {os.path.abspath(path) for path in sys.argv[1:]}
with open("build/static/compile_commands.json") as all_commands:
    commands = [entry for entry in json.load(all_commands)
                if os.path.abspath(os.path.join(entry["directory"], entry["file"])) in wanted]
with open("build/static/cppcheck_commands.json", "w") as ours:
    json.dump(commands, ours, indent=1)
print(f"cppcheck: {len(commands)} files")
PY
cppcheck --project=build/static/cppcheck_commands.json --enable=warning,performance,portability \
  -j "$(nproc)" --inline-suppr --quiet --error-exitcode=1 --suppressions-list=.cppcheck-suppressions
echo "static analysis: clean"
