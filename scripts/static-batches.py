#!/usr/bin/env python3
"""The files clang-tidy reads to see every given source once: the build's batches
(unity files) that hold them, and the sources that the build compiles on their own.

Usage: static-batches.py COMPILE_COMMANDS SOURCE...
Prints one file per line. A source that no compile command reaches is an error: it
would otherwise go unchecked without a word."""
import json
import os
import re
import sys

INCLUDE = re.compile(r'^#include "([^"]+)"', re.MULTILINE)


def main(commands_path, sources):
    wanted = {os.path.abspath(source) for source in sources}
    with open(commands_path) as commands_file:
        commands = json.load(commands_file)
    chosen, seen = [], set()
    for entry in commands:
        path = os.path.abspath(os.path.join(entry["directory"], entry["file"]))
        if path in wanted:
            held = {path}
        elif re.search(r"/Unity/unity_\d+_cxx\.cxx$", path):
            with open(path) as batch:
                held = {os.path.abspath(p) for p in INCLUDE.findall(batch.read())} & wanted
        else:
            continue
        if held - seen:
            chosen.append(path)
            seen |= held
    missing = sorted(wanted - seen)
    if missing:
        print("no compile command reaches: " + " ".join(missing), file=sys.stderr)
        return 1
    print("\n".join(chosen))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2:]))
