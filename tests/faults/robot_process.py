"""`korvane robot` as a real process for the fault tests: created, started on a free
loopback port, spoken to over HTTP, stopped or killed. Python's standard library only."""
import glob
import hashlib
import http.client
import json
import os
import re
import signal
import sqlite3
import subprocess
import sys
import threading

SKIP = 77  # ctest's SKIP_RETURN_CODE for these tests


def skip(why):
    print(f"SKIPPED: {why}")
    sys.exit(SKIP)


def entrant_address(n):
    """A loopback address of entrant n's own: each log comes from its sender, so the
    limit of uploads per address and minute does not stop a test's many uploads."""
    return f"127.1.{n // 250 % 250}.{n % 250 + 1}"


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def init_robot(korvane, data):
    """`korvane robot init`: the committee token it prints once."""
    done = subprocess.run([korvane, "robot", "init", "--data", data], capture_output=True, timeout=120)
    out = done.stdout.decode(errors="replace")
    found = re.search(r"committee token: (\S+)", out)
    if done.returncode != 0 or not found:
        raise RuntimeError(f"korvane robot init failed ({done.returncode}): {out}{done.stderr.decode(errors='replace')}")
    return found.group(1)


def simulated_logs(korvane, folder, stations, seed):
    """A simulated contest's Cabrillo logs, as bytes, in call order."""
    subprocess.run([korvane, "simulate", "--stations", str(stations), "--seed", str(seed), "--out", folder],
                   check=True, capture_output=True, timeout=600)
    names = sorted(glob.glob(os.path.join(folder, "logs", "*.cbr")))
    if not names:
        raise RuntimeError(f"korvane simulate wrote no log into {folder}")
    logs = []
    for name in names:
        with open(name, "rb") as f:
            logs.append(f.read())
    return logs


def with_soapbox(log, text):
    """The log with a SOAPBOX line after its first line: other bytes, the same QSOs."""
    end = log.index(b"\n") + 1
    newline = b"\r\n" if log[:end].endswith(b"\r\n") else b"\n"
    return log[:end] + b"SOAPBOX: " + text.encode() + newline + log[end:]


def database_file(data):
    """The SQLite database in the data folder, found by its header, not by its name."""
    for name in sorted(os.listdir(data)):
        path = os.path.join(data, name)
        if os.path.isfile(path):
            with open(path, "rb") as f:
                if f.read(16) == b"SQLite format 3\0":
                    return path
    raise RuntimeError(f"no SQLite database in {data}")


def integrity_check(data):
    db = sqlite3.connect(database_file(data))
    try:
        return [row[0] for row in db.execute("PRAGMA integrity_check")]
    finally:
        db.close()


class Robot:
    def __init__(self, korvane, data, token):
        self.korvane, self.data, self.token = korvane, data, token
        self.process = None
        self.port = None
        self.output = []

    def start(self, timeout=60):
        # Behind a proxy, as on the internet: each simulated entrant has its own address.
        self.process = subprocess.Popen([self.korvane, "robot", "--data", self.data, "--listen", "127.0.0.1:0",
                                         "--behind-proxy"],
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        found = threading.Event()

        def read():
            for raw in self.process.stdout:
                line = raw.decode(errors="replace").rstrip()
                self.output.append(line)
                match = re.search(r"listening on http://127\.0\.0\.1:(\d+)", line)
                if match and not found.is_set():
                    self.port = int(match.group(1))
                    found.set()

        threading.Thread(target=read, daemon=True).start()
        if not found.wait(timeout):
            self.kill()
            raise RuntimeError("korvane robot did not say where it listens: " + "\n".join(self.output))

    def running(self):
        return self.process is not None and self.process.poll() is None

    def kill(self):
        if self.running():
            self.process.send_signal(signal.SIGKILL)
        if self.process:
            self.process.wait()

    def stop(self, timeout=15):
        """SIGTERM and the exit status; SIGKILL (and None) if it does not end in time."""
        if not self.running():
            return self.process.returncode if self.process else None
        self.process.send_signal(signal.SIGTERM)
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.kill()
            return None

    def request(self, method, path, body=None, headers=None, committee=False, timeout=60):
        """(status, headers, body bytes); status 0 and the reason when no answer came."""
        headers = dict(headers or {})
        if committee:
            headers["Authorization"] = "Bearer " + self.token
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=timeout)
        try:
            connection.request(method, path, body=body, headers=headers)
            answer = connection.getresponse()
            return answer.status, dict(answer.getheaders()), answer.read()
        except (OSError, http.client.HTTPException) as e:
            return 0, {}, str(e).encode()
        finally:
            connection.close()

    def upload(self, log, address=None):
        """POST /api/logs: (status, the JSON answer or {} when none). address: the
        entrant's own, as the reverse proxy in front reports it."""
        headers = {"Content-Type": "text/plain"}
        if address:
            headers["X-Forwarded-For"] = address
        status, _, body = self.request("POST", "/api/logs", log, headers)
        try:
            return status, json.loads(body) if status else {"message": body.decode(errors="replace")}
        except ValueError:
            return status, {"message": "not JSON: " + body[:200].decode(errors="replace")}

    def submissions(self):
        status, _, body = self.request("GET", "/api/submissions", committee=True)
        if status != 200:
            raise RuntimeError(f"GET /api/submissions: HTTP {status}")
        return json.loads(body)["submissions"]

    def submission_bytes(self, number):
        status, _, body = self.request("GET", f"/api/submissions/{number}", committee=True)
        if status != 200:
            raise RuntimeError(f"GET /api/submissions/{number}: HTTP {status}")
        return body


def check_stored(robot, sent, receipted):
    """Faults in what the robot keeps: every submission whole (its bytes hash to its
    SHA-256 and are bytes some client sent) with a receipt, or a late upload not yet
    accepted; the public list made of the latest receipted logs alone; and every
    receipt a client got is there with the bytes sent.
    sent: SHA-256 -> bytes; receipted: receipt id -> SHA-256 of the bytes sent."""
    faults = []
    stored = robot.submissions()
    by_receipt = {}
    for s in stored:
        data = robot.submission_bytes(s["number"])
        if sha256(data) != s["sha256"]:
            faults.append(f"submission {s['number']}: its bytes do not hash to its SHA-256")
        elif s["sha256"] not in sent or sent[s["sha256"]] != data:
            faults.append(f"submission {s['number']}: bytes no client sent ({len(data)} bytes)")
        if len(data) != s.get("bytes", len(data)):
            faults.append(f"submission {s['number']}: {len(data)} bytes, listed as {s['bytes']}")
        if s["receipt_id"]:
            by_receipt[s["receipt_id"]] = s
        elif not (s["late"] and not s["accepted"]):
            faults.append(f"submission {s['number']}: stored without a receipt")
    # The public list shows exactly the calls whose latest upload is stored and receipted.
    status, _, body = robot.request("GET", "/api/logs")
    public = {log["call"] for log in json.loads(body)["logs"]} if status == 200 else set()
    latest = {s["call"] for s in stored if s["latest"] and s["receipt_id"]}
    if status != 200 or public != latest:
        faults.append(f"GET /api/logs (HTTP {status}) lists {sorted(public ^ latest)[:5]} unlike the stored latest logs")
    for receipt, digest in receipted.items():
        s = by_receipt.get(receipt)
        if s is None:
            faults.append(f"receipt {receipt}: not stored")
            continue
        if s["sha256"] != digest:
            faults.append(f"receipt {receipt}: stored with SHA-256 {s['sha256']}, sent {digest}")
        status, _, body = robot.request("GET", f"/api/receipts/{receipt}")
        if status != 200 or json.loads(body).get("sha256") != digest:
            faults.append(f"receipt {receipt}: GET /api/receipts gives HTTP {status}")
    return stored, faults
