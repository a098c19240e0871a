#!/usr/bin/env python3
"""Puts one deliberate fault at a time into a scratch copy of the tree and runs the
native test suite against it, to see which faults the tests let through.

The faults come from a list (scripts/fault-round.faults by default), each a block:

    @ path/from/the/top.cpp  short-name
    - text that occurs exactly once in the file (more '-' lines: it spans them)
    + what it becomes (likewise)
    ~ why the fault changes no behaviour (optional: counted out when missed)

The scratch copy (default /tmp/korvane-fault-round/src, with ../shared beside it as in
a worktree) keeps its build folder from run to run, so each fault costs an incremental
build and one run of the suite. The tree itself is never touched. Not part of CI.

    scripts/fault-round.py                   # every fault in the list
    scripts/fault-round.py --only leap-400   # some of them, by name
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


class Fault:
    def __init__(self, path, name, line):
        self.path, self.name, self.line = path, name, line
        self.find = self.replace = None
        self.equivalent = ""


def read_faults(list_file):
    faults = []
    with open(list_file, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            text = raw.rstrip("\n")
            if not text.strip() or text.startswith("#"):
                continue
            mark, rest = text[:1], text[2:] if len(text) > 1 else ""
            if mark == "@":
                parts = rest.split()
                if len(parts) != 2:
                    sys.exit(f"{list_file}:{number}: '@ PATH NAME' expected")
                faults.append(Fault(parts[0], parts[1], number))
            elif not faults:
                sys.exit(f"{list_file}:{number}: a fault starts with '@ PATH NAME'")
            elif mark == "-":  # several lines: the text spans them
                faults[-1].find = rest if faults[-1].find is None else faults[-1].find + "\n" + rest
            elif mark == "+":
                faults[-1].replace = rest if faults[-1].replace is None else faults[-1].replace + "\n" + rest
            elif mark == "~":
                faults[-1].equivalent = rest
            else:
                sys.exit(f"{list_file}:{number}: a line starts with @, -, +, ~ or #")
    names = set()
    for fault in faults:
        where = f"{list_file}:{fault.line}"
        if fault.find is None or fault.replace is None:
            sys.exit(f"{where}: {fault.name} needs a '-' and a '+' line")
        if fault.find == fault.replace:
            sys.exit(f"{where}: {fault.name} changes nothing")
        if fault.name in names:
            sys.exit(f"{where}: a second fault named {fault.name}")
        names.add(fault.name)
    return faults


def run(command, cwd, log, timeout=None):
    """Runs a command with its output in the log; returns the exit status (-1: timed out)."""
    with open(log, "w", encoding="utf-8") as out:
        try:
            return subprocess.run(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            return -1


def sync_tree(top, copy):
    """Makes copy hold what top holds, but for .git and build; only files that differ are
    written, so that the next build recompiles only what changed."""
    for folder, dirs, files in os.walk(top):
        relative = os.path.relpath(folder, top)
        if relative == ".":
            dirs[:] = [d for d in dirs if d not in (".git", "build")]
            files = [f for f in files if f != ".git"]
        target = os.path.join(copy, relative)
        os.makedirs(target, exist_ok=True)
        wanted = set(dirs) | set(files)
        for name in os.listdir(target):
            if name not in wanted and not (relative == "." and name == "build"):
                gone = os.path.join(target, name)
                shutil.rmtree(gone) if os.path.isdir(gone) and not os.path.islink(gone) else os.remove(gone)
        for name in files:
            source, dest = os.path.join(folder, name), os.path.join(target, name)
            with open(source, "rb") as f:
                data = f.read()
            if os.path.isfile(dest):
                with open(dest, "rb") as f:
                    if f.read() == data:
                        continue
            shutil.copy(source, dest)  # a new time stamp: the build sees the change


def prepare(scratch, tree):
    src = os.path.join(scratch, "src")
    os.makedirs(src, exist_ok=True)
    sync_tree(tree, src)
    shared = os.path.join(scratch, "shared")
    if not os.path.exists(shared):
        os.symlink(os.path.realpath(os.path.join(TOP, "..", "shared")), shared)
    if not os.path.isdir(os.path.join(src, "build", "native")):
        if run(["cmake", "--preset", "native"], src, os.path.join(scratch, "configure.log")) != 0:
            sys.exit(f"configuring failed: see {scratch}/configure.log")
    return src


def failed_tests(log):
    """The failed ctest tests, each with the doctest cases that failed in it, if any."""
    with open(log, encoding="utf-8", errors="replace") as f:
        text = f.read()
    if "The following tests FAILED:" not in text:
        return []
    names = re.findall(r"^\s*\d+ - (\S+) \(", text.split("The following tests FAILED:")[-1], re.M)
    cases = []
    # doctest separates its reports with lines of '='; a message alone is no failure.
    for block in re.split(r"^=+$", text, flags=re.M):
        found = re.search(r"^TEST CASE:\s+(.*\S)", block, re.M)
        if found and re.search(r"ERROR|FATAL|CRASH", block) and found.group(1) not in cases:
            cases.append(found.group(1))
    return names + [f'"{case}"' for case in cases]


def try_once(src, scratch, jobs, timeout):
    """'pass', 'build' (does not compile) or the failed tests' names."""
    build_log = os.path.join(scratch, "build.log")
    if run(["cmake", "--build", "--preset", "native", "-j", str(jobs)], src, build_log) != 0:
        return "build", []
    test_log = os.path.join(scratch, "ctest.log")
    status = run(["ctest", "--preset", "native", "-j", str(jobs), "--timeout", str(timeout),
                  "--output-on-failure"],
                 src, test_log, timeout=timeout * 4)
    if status == -1:
        return "caught", ["(the suite timed out)"]
    names = failed_tests(test_log)
    if status == 0:
        return "pass", []
    return "caught", names or ["(ctest failed)"]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--faults", default=os.path.join(TOP, "scripts", "fault-round.faults"))
    parser.add_argument("--scratch", default="/tmp/korvane-fault-round")
    parser.add_argument("--only", nargs="*", default=[], help="fault names to run")
    parser.add_argument("--tree", default=TOP,
                        help="the tree to copy (default: this one), e.g. one with older tests")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--timeout", type=int, default=300, help="seconds per test")
    parser.add_argument("--no-baseline", action="store_true",
                        help="skip the run without a fault (it must pass)")
    args = parser.parse_args()
    # Stopped with SIGTERM, the fault in hand is still taken out again (see the finally below).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))

    faults = read_faults(args.faults)
    if args.only:
        unknown = set(args.only) - {f.name for f in faults}
        if unknown:
            sys.exit("no such fault: " + ", ".join(sorted(unknown)))
        faults = [f for f in faults if f.name in args.only]
    os.makedirs(args.scratch, exist_ok=True)
    src = prepare(args.scratch, os.path.abspath(args.tree))

    # Every fault must apply before any is run: a stale line wastes the whole round.
    for fault in faults:
        path = os.path.join(src, fault.path)
        if not os.path.isfile(path):
            sys.exit(f"{fault.name}: no file {fault.path}")
        with open(path, encoding="utf-8") as f:
            count = f.read().count(fault.find)
        if count != 1:
            sys.exit(f"{fault.name}: the text occurs {count} times in {fault.path}")

    if not args.no_baseline:
        outcome, names = try_once(src, args.scratch, args.jobs, args.timeout)
        if outcome != "pass":
            sys.exit(f"without a fault the suite does not pass ({outcome}: {' '.join(names)}); "
                     f"see {args.scratch}/build.log and ctest.log")

    results_path = os.path.join(args.scratch, "results.tsv")
    counts = {"caught": 0, "missed": 0, "equivalent": 0, "build": 0}
    with open(results_path, "w", encoding="utf-8") as results:
        results.write("name\tfile\toutcome\tcaught by\tseconds\n")
        for fault in faults:
            path = os.path.join(src, fault.path)
            with open(path, encoding="utf-8") as f:
                original = f.read()
            started = time.time()
            try:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(original.replace(fault.find, fault.replace))
                outcome, names = try_once(src, args.scratch, args.jobs, args.timeout)
            finally:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(original)
            if outcome == "pass":
                outcome = "equivalent" if fault.equivalent else "missed"
                names = [fault.equivalent] if fault.equivalent else []
            counts[outcome] += 1
            seconds = int(time.time() - started)
            line = f"{fault.name}\t{fault.path}\t{outcome}\t{' '.join(names)}\t{seconds}"
            results.write(line + "\n")
            results.flush()
            print(line.replace("\t", "  "), flush=True)

    counted = counts["caught"] + counts["missed"]
    share = f"{100 * counts['caught'] / counted:.0f}%" if counted else "-"
    print(f"\n{counts['caught']} of {counted} caught ({share}); {counts['equivalent']} equivalent, "
          f"{counts['build']} did not build. Results: {results_path}")
    return 0 if counts["missed"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
