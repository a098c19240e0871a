#!/usr/bin/env python3
"""The robot's data folder on a small tmpfs that fills up: uploads are refused with 503
and a sentence that says why, nothing is receipted that is not stored, the robot keeps
running, and once space is freed the same uploads are receipted. Needs root (mount);
skipped, and says so, where mounting is not allowed.

    robot_full_disk_test.py --korvane PATH --work DIR [--size-kb N] [--leave-kb N]
"""
import argparse
import errno
import os
import shutil
import subprocess
import sys
import uuid

from robot_process import Robot, check_stored, entrant_address, init_robot, integrity_check, sha256, simulated_logs, skip


class Stopped(Exception):
    """What follows needs a robot that answers as it should: the test stops here."""


def mount_tmpfs(folder, size_kb):
    os.makedirs(folder, exist_ok=True)
    done = subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size_kb}k", "tmpfs", folder],
                          capture_output=True, text=True)
    if done.returncode != 0:
        skip(f"cannot mount a tmpfs here: {done.stderr.strip()}")


def fill(folder, leave_kb):
    """A filler file that leaves about leave_kb free; its path."""
    path = os.path.join(folder, "filler")
    stat = os.statvfs(folder)
    size = max(0, stat.f_bavail * stat.f_frsize - leave_kb * 1024)
    with open(path, "wb") as f:
        try:
            f.write(b"\0" * size)
        except OSError as e:
            if e.errno != errno.ENOSPC:
                raise
    return path


def upload_form(robot, log):
    """The upload page's form, as a browser sends it: (status, page)."""
    boundary = uuid.uuid4().hex
    body = (f"--{boundary}\r\nContent-Disposition: form-data; name=\"log\"; filename=\"log.cbr\"\r\n"
            f"Content-Type: application/octet-stream\r\n\r\n").encode() + log + f"\r\n--{boundary}--\r\n".encode()
    status, _, page = robot.request("POST", "/upload", body,
                                    {"Content-Type": f"multipart/form-data; boundary={boundary}"})
    return status, page.decode(errors="replace")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--korvane", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--size-kb", type=int, default=2048)
    parser.add_argument("--leave-kb", type=int, default=300)
    args = parser.parse_args()
    if os.geteuid() != 0:
        skip("mounting a tmpfs needs root")

    disk = os.path.join(args.work, "tmpfs")
    if os.path.ismount(disk):  # left by a run that was stopped from outside
        subprocess.run(["umount", disk], check=False)
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    logs = simulated_logs(args.korvane, os.path.join(args.work, "sim"), 80, 23)
    sent = {sha256(log): log for log in logs}
    mount_tmpfs(disk, args.size_kb)
    faults = []
    robot = None
    try:
        data = os.path.join(disk, "data")
        robot = Robot(args.korvane, data, init_robot(args.korvane, data))
        robot.start()
        filler = fill(disk, args.leave_kb)

        receipts, refused = {}, []
        for n, log in enumerate(logs):
            status, answer = robot.upload(log, entrant_address(n))
            receipt = answer.get("receipt") or {}
            if status in (200, 201) and receipt.get("id"):
                receipts[receipt["id"]] = sha256(log)
            elif status == 503:
                refused.append(log)
                if answer.get("status") != "storage-full" or len(answer.get("message", "")) < 20:
                    faults.append(f"503 without a clear sentence: {answer}")
                if len(refused) == 3:
                    break
            elif status != 422:
                faults.append(f"upload on a full disk: HTTP {status} {answer.get('message')}")
                raise Stopped()
        print(f"Disk filling: {len(receipts)} receipted, then {len(refused)} refused with 503"
              + (f": {answer.get('message')}" if refused else ""))
        if not refused:
            faults.append(f"the disk never filled: {len(receipts)} uploads receipted")
        elif not receipts:
            faults.append("not one upload was receipted before the disk was full: the space left is too small to tell")
        else:
            status, page = upload_form(robot, refused[0])
            if status != 503 or "<html" not in page.lower():
                faults.append(f"the upload form on a full disk: HTTP {status}")
        if not robot.running():
            faults.append("the robot stopped when the disk was full: " + " | ".join(robot.output[-5:]))
            raise Stopped()

        stored, found = check_stored(robot, sent, receipts)
        faults += found
        print(f"Still full: {len(stored)} submissions stored, every one of the {len(receipts)} receipts among them"
              if not found else f"Still full: {len(found)} faults in what is stored")
        os.remove(filler)
        again = 0
        for n, log in enumerate(refused):
            status, answer = robot.upload(log, entrant_address(len(logs) + n))
            if status == 201:
                again += 1
            else:
                faults.append(f"after freeing space: HTTP {status} {answer.get('message')}")
        print(f"After freeing space: {again} of the {len(refused)} refused uploads receipted")
        if robot.stop() != 0:
            faults.append("SIGTERM: no clean stop")
        integrity = integrity_check(data)
        print(f"PRAGMA integrity_check: {' '.join(integrity)}")
        if integrity != ["ok"]:
            faults.append("integrity check: " + "; ".join(integrity[:5]))
    except Stopped:
        pass
    finally:
        if robot:
            robot.kill()
        subprocess.run(["umount", disk], check=False)
    for fault in faults[:30]:
        print("FAULT:", fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
