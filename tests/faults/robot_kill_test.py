#!/usr/bin/env python3
"""The robot killed with SIGKILL while several clients upload, then started again on
the same data folder, a few times over: every upload that got a receipt is there byte
for byte, no half-stored upload is visible, the database passes its integrity check,
and the robot takes uploads again.

    robot_kill_test.py --korvane PATH --work DIR [--logs N] [--clients N] [--kills N]
                       [--kill-after N]
"""
import argparse
import os
import queue
import random
import shutil
import sys
import threading
import time

from robot_process import Robot, check_stored, entrant_address, init_robot, integrity_check, sha256, simulated_logs, with_soapbox


def upload_until_killed(robot, work, clients, kill_after):
    """Sends logs from the queue `work` from `clients` threads and kills the robot, at a
    random moment, once `kill_after` receipts came back. Returns (receipts: id ->
    SHA-256, counts)."""
    lock = threading.Lock()
    receipts, counts = {}, {"answered": 0, "sent": 0, "unanswered": 0}
    killed = threading.Event()
    # Set by the client that takes the receipt asked for: a main thread polling for it
    # got the interpreter too seldom on a busy machine, and the kill came a hundred
    # receipts late, leaving the next round too few logs.
    enough = threading.Event()

    def client():
        while not killed.is_set():
            try:
                n, log = work.get_nowait()
            except queue.Empty:
                return
            with lock:
                counts["sent"] += 1
            status, answer = robot.upload(log, entrant_address(n))
            with lock:
                if status == 0:
                    counts["unanswered"] += 1
                    continue
                counts["answered"] += 1
                receipt = answer.get("receipt") or {}
                if status in (200, 201) and receipt.get("id"):
                    if receipt.get("sha256") != sha256(log):
                        print(f"FAULT: receipt {receipt['id']} gives SHA-256 {receipt.get('sha256')}, sent {sha256(log)}")
                        counts["bad receipt"] = counts.get("bad receipt", 0) + 1
                    receipts[receipt["id"]] = sha256(log)
                    if len(receipts) >= kill_after:
                        enough.set()
                elif status != 422:
                    print(f"upload answered HTTP {status}: {answer.get('message')}")

    threads = [threading.Thread(target=client) for _ in range(clients)]
    for t in threads:
        t.start()
    deadline = time.monotonic() + 300
    while time.monotonic() < deadline and any(t.is_alive() for t in threads):
        if enough.wait(0.05):
            break
    time.sleep(random.uniform(0, 0.03))  # not just as an answer went out
    killed.set()  # no client starts another upload; those under way are cut off
    robot.kill()
    for t in threads:
        t.join()
    return receipts, counts


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--korvane", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--logs", type=int, default=300)
    parser.add_argument("--clients", type=int, default=6)
    parser.add_argument("--kills", type=int, default=3)
    parser.add_argument("--kill-after", type=int, default=60, help="receipts between two kills")
    args = parser.parse_args()

    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    logs = simulated_logs(args.korvane, os.path.join(args.work, "sim"), int(args.logs / 0.8) + 2, 11)[: args.logs]
    sent = {sha256(log): log for log in logs}
    work = queue.Queue()
    for n, log in enumerate(logs):
        work.put((n, log))
    data = os.path.join(args.work, "data")
    robot = Robot(args.korvane, data, init_robot(args.korvane, data))
    receipts, faults = {}, []
    try:
        for kill in range(1, args.kills + 1):
            robot.start()
            got, counts = upload_until_killed(robot, work, args.clients, args.kill_after)
            receipts.update(got)
            print(f"Kill {kill} (SIGKILL): {counts['sent']} uploads sent, {counts['answered']} answered, "
                  f"{len(got)} receipted, {counts['unanswered']} cut off under way")
            if counts.get("bad receipt"):
                faults.append(f"{counts['bad receipt']} receipts gave another SHA-256 than the bytes sent")
            if len(got) < args.kill_after:
                faults.append(f"only {len(got)} receipts before kill {kill}, {args.kill_after} wanted")

            robot.start()
            stored, found_faults = check_stored(robot, sent, receipts)
            faults += [f for f in found_faults if f not in faults]
            found = sum(1 for s in stored if s["receipt_id"] in receipts)
            print(f"  started again: {len(stored)} submissions stored, {found} of the {len(receipts)} receipted "
                  f"so far found byte for byte, {len(stored) - found} stored whose answer a kill cut off")
            if kill < args.kills:
                robot.kill()

        # The robot takes uploads again after the restarts: a log not sent before.
        status, answer = robot.upload(with_soapbox(logs[-1], "after the restart"), entrant_address(len(logs)))
        if status != 201:
            faults.append(f"upload after the restart: HTTP {status} {answer.get('message')}")
        exit_status = robot.stop()
        if exit_status != 0:
            faults.append(f"SIGTERM: the robot ended with {exit_status}, not a clean stop")
        integrity = integrity_check(data)
        print(f"PRAGMA integrity_check: {' '.join(integrity)}")
        if integrity != ["ok"]:
            faults.append("integrity check: " + "; ".join(integrity[:5]))
    finally:
        robot.kill()
    for fault in faults[:30]:
        print("FAULT:", fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
