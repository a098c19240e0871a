#!/usr/bin/env python3
"""Many entrants connecting at the same moment, while the robot is held still (SIGSTOP)
so that none of the connections is accepted before the last one arrives: once it runs
again, every upload is answered with a receipt; none is dropped unseen.

    robot_burst_test.py --korvane PATH --work DIR [--entrants N]
"""
import argparse
import os
import shutil
import signal
import sys
import threading
import time

from robot_process import Robot, check_stored, entrant_address, init_robot, sha256, simulated_logs


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--korvane", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--entrants", type=int, default=100)
    args = parser.parse_args()

    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    logs = simulated_logs(args.korvane, os.path.join(args.work, "sim"), int(args.entrants / 0.8) + 2, 5)
    logs = logs[: args.entrants]
    data = os.path.join(args.work, "data")
    robot = Robot(args.korvane, data, init_robot(args.korvane, data))
    robot.start()
    faults = []
    try:
        answers = [None] * len(logs)

        def entrant(n):
            answers[n] = robot.upload(logs[n], entrant_address(n))

        robot.process.send_signal(signal.SIGSTOP)
        threads = [threading.Thread(target=entrant, args=(n,)) for n in range(len(logs))]
        for t in threads:
            t.start()
        time.sleep(1.0)  # every connection made, or waiting for the listener
        robot.process.send_signal(signal.SIGCONT)
        for t in threads:
            t.join()

        receipts = {}
        for n, (status, answer) in enumerate(answers):
            receipt = answer.get("receipt") or {}
            if status == 201 and receipt.get("id"):
                receipts[receipt["id"]] = sha256(logs[n])
            else:
                faults.append(f"entrant {n}: HTTP {status} {answer.get('message')}")
        print(f"{len(logs)} entrants connecting at once: {len(receipts)} receipted")
        faults += check_stored(robot, {sha256(log): log for log in logs}, receipts)[1]
    finally:
        if robot.running():
            robot.process.send_signal(signal.SIGCONT)
        robot.stop()
    for fault in faults[:30]:
        print("FAULT:", fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
