#!/usr/bin/env python3
"""Fails when a source file includes a header from a folder above its own.

The plug-in's folders form layers: contract < scoring < cabrillo, window < plugin, with
platform beside them (it sees contract only) and resources (identifiers and templates)
at the bottom. tools/, bench/, fuzz/ and tests/ sit on top: no product folder includes them.
Only platform/ may include <windows.h> (resource scripts aside).

tools/ is layered in its turn, one folder on the next: host < logs < output < judge <
robot < korvane. Each sees the folders below it and every product folder.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent

# Each product folder and the folders its files may include (its own always).
MAY_INCLUDE = {
    "contract": set(),
    "resources": set(),
    "platform": {"contract"},
    "scoring": {"contract"},
    "cabrillo": {"scoring", "contract", "platform", "resources"},
    "window": {"scoring", "contract", "platform", "resources"},
    "plugin": {"cabrillo", "window", "scoring", "contract", "platform", "resources"},
}
TOP = {"tools", "bench", "fuzz", "tests"}
# The tool folders from the bottom up.
TOOL_LAYERS = ["host", "logs", "output", "judge", "robot", "korvane"]
SOURCES = {".h", ".hpp", ".cpp", ".cc", ".rc"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def check(path: pathlib.Path, folder: str) -> list:
    problems = []
    allowed = MAY_INCLUDE[folder] | {folder}
    text = path.read_text(encoding="utf-8", errors="replace")
    for number, line in enumerate(text.splitlines(), 1):
        match = INCLUDE.match(line)
        if not match:
            continue
        kind, name = match.groups()
        where = f"{path.relative_to(ROOT)}:{number}"
        if kind == "<":
            # Resource scripts take the resource compiler's constants from it.
            if name.lower() == "windows.h" and folder != "platform" and path.suffix != ".rc":
                problems.append(f"{where}: <windows.h> outside platform/")
            continue
        target = name.split("/", 1)[0] if "/" in name else None
        if target is None or not (ROOT / target).is_dir():
            continue  # beside the file, or generated in the build folder
        if target in TOP:
            problems.append(f"{where}: {folder}/ includes {name} from {target}/, which sits on top")
        elif target in MAY_INCLUDE and target not in allowed:
            problems.append(f"{where}: {folder}/ includes {name}, a layer it may not see")
    return problems


def check_tool(path: pathlib.Path, folder: str) -> list:
    problems = []
    level = TOOL_LAYERS.index(folder)
    text = path.read_text(encoding="utf-8", errors="replace")
    for number, line in enumerate(text.splitlines(), 1):
        match = INCLUDE.match(line)
        if not match or match.group(1) == "<":
            continue
        name = match.group(2)
        parts = name.split("/")
        where = f"{path.relative_to(ROOT)}:{number}"
        if parts[0] in TOP - {"tools"}:
            problems.append(f"{where}: tools/{folder}/ includes {name} from {parts[0]}/, which sits on top")
        if parts[0] != "tools" or len(parts) < 3:
            continue
        if parts[1] not in TOOL_LAYERS:
            problems.append(f"{where}: tools/{folder}/ includes {name}, outside the tool layers")
        elif TOOL_LAYERS.index(parts[1]) > level:
            problems.append(f"{where}: tools/{folder}/ includes {name}, a tool layer above it")
    return problems


def sources(folder: pathlib.Path):
    return [p for p in sorted(folder.rglob("*")) if p.suffix in SOURCES and p.is_file()]


def main() -> int:
    global ROOT
    if len(sys.argv) > 1:  # another tree, for the check's own tests
        ROOT = pathlib.Path(sys.argv[1]).resolve()
    problems = []
    checked = 0
    for folder in MAY_INCLUDE:
        for path in sources(ROOT / folder):
            checked += 1
            problems += check(path, folder)
    for folder in TOOL_LAYERS:
        for path in sources(ROOT / "tools" / folder):
            checked += 1
            problems += check_tool(path, folder)
    # A source of tools/ outside the tool folders would escape the check.
    for path in sources(ROOT / "tools"):
        if path.relative_to(ROOT / "tools").parts[0] not in TOOL_LAYERS:
            problems.append(f"{path.relative_to(ROOT)}: outside the tool layers {', '.join(TOOL_LAYERS)}")
    for problem in problems:
        print(problem)
    if problems:
        print(f"layer check: {len(problems)} upward include(s) in {checked} files")
        return 1
    print(f"layer check: {checked} files, every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
