#!/usr/bin/env python3
"""Fails when a source file includes a header from a folder above its own.

The plug-in's folders form layers: contract < scoring < cabrillo, window < plugin, with
platform beside them (it sees contract only) and resources (identifiers and templates)
at the bottom. tools/, bench/, fuzz/ and tests/ sit on top and may include anything.
Only platform/ may include <windows.h> (resource scripts aside).
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


def main() -> int:
    problems = []
    checked = 0
    for folder in MAY_INCLUDE:
        for path in sorted((ROOT / folder).rglob("*")):
            if path.suffix in SOURCES and path.is_file():
                checked += 1
                problems += check(path, folder)
    for problem in problems:
        print(problem)
    if problems:
        print(f"layer check: {len(problems)} upward include(s) in {checked} files")
        return 1
    print(f"layer check: {checked} files, every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
