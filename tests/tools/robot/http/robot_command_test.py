#!/usr/bin/env python3
"""korvane robot from the command line: init once, serve on a free port, take the
sample log, back up while serving, and stop cleanly on SIGTERM and on SIGINT.

    robot_command_test.py KORVANE SAMPLE_LOG
"""
import json
import os
import signal
import subprocess
import sys
import tempfile
import urllib.request


def run(*args):
    return subprocess.run(args, capture_output=True, text=True, timeout=60)


def serve(korvane, data):
    robot = subprocess.Popen([korvane, "robot", "--data", data, "--listen", "127.0.0.1:0"],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    line = robot.stdout.readline()
    assert line.startswith("korvane robot: listening on http://127.0.0.1:"), line
    return robot, line.strip().rsplit(" ", 1)[1]


def stop(robot, how):
    robot.send_signal(how)
    out, err = robot.communicate(timeout=30)
    assert robot.returncode == 0, (robot.returncode, err)
    assert "korvane robot: stopped" in out, out


def main():
    korvane, sample = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as temp:
        data = os.path.join(temp, "data")
        first = run(korvane, "robot", "init", "--data", data)
        assert first.returncode == 0, first.stderr
        assert first.stdout.startswith("committee token: "), first.stdout
        token = first.stdout.split(": ", 1)[1].strip()
        again = run(korvane, "robot", "init", "--data", data)
        assert again.returncode != 0 and again.stdout == "", again

        robot, base = serve(korvane, data)
        try:
            contest = json.load(urllib.request.urlopen(base + "/api/contest", timeout=30))
            assert contest["name"] == "KORVANE", contest
            with open(sample, "rb") as f:
                request = urllib.request.Request(base + "/api/logs", data=f.read(),
                                                 headers={"Content-Type": "text/plain"})
            answer = urllib.request.urlopen(request, timeout=60)
            assert answer.status == 201, answer.status
            receipt = json.load(answer)["receipt"]
            copy = os.path.join(temp, "copy.db")
            backup = run(korvane, "robot", "backup", "--data", data, "--to", copy)
            assert backup.returncode == 0, backup.stderr
            assert os.path.getsize(copy) > 0
            listed = urllib.request.Request(base + "/api/submissions",
                                            headers={"Authorization": "Bearer " + token})
            submissions = json.load(urllib.request.urlopen(listed, timeout=30))["submissions"]
            assert submissions[0]["sha256"] == receipt["sha256"], submissions
        finally:
            stop(robot, signal.SIGTERM)
        robot, base = serve(korvane, data)
        stop(robot, signal.SIGINT)

        # A first start on a new folder makes the database and shows its token once.
        fresh = os.path.join(temp, "fresh")
        robot = subprocess.Popen([korvane, "robot", "--data", fresh, "--listen", "127.0.0.1:0"],
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        shown = robot.stdout.readline()
        assert shown.startswith("committee token: "), shown
        assert robot.stdout.readline().startswith("korvane robot: listening on "), "no listening line"
        stop(robot, signal.SIGTERM)
        robot, base = serve(korvane, fresh)  # the token is not shown again
        stop(robot, signal.SIGTERM)
    print("robot command: 1 passed, 0 failed")


if __name__ == "__main__":
    main()
