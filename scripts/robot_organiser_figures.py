#!/usr/bin/env python3
"""The organisers' side of the robot at the size of the largest contests.

Talks to a running velmora-robot: uploads every *.log of a folder through
/api/submit from several threads, logs in, closes the submissions, times
"close and check", times each console page, publishes the run, times the
public results, and prints the figures as a table. Standard library only.

Usage: robot_organiser_figures.py --url http://HOST:PORT --password PW
           --logs DIR --data DIR --pid PID [--threads N] [--fetches N]
Run by scripts/robot-organiser-figures.sh, which builds and starts the robot.
"""

import argparse
import http.client
import json
import os
import re
import statistics
import sys
import threading
import time
import uuid
from concurrent.futures import ThreadPoolExecutor
from urllib.parse import urlsplit


class Client:
    """One keep-alive connection; reconnects when the robot closed it."""

    def __init__(self, host, port, timeout=900):
        self.host, self.port, self.timeout = host, port, timeout
        self.conn = None
        self.cookie = None
        self.csrf = None

    def request(self, method, path, body=None, headers=None):
        """(status, body bytes, seconds to the last byte)."""
        headers = dict(headers or {})
        if self.cookie:
            headers["Cookie"] = self.cookie
        if self.csrf and method == "POST":
            headers["X-CSRF-Token"] = self.csrf
        for attempt in (1, 2):
            if self.conn is None:
                self.conn = http.client.HTTPConnection(self.host, self.port, timeout=self.timeout)
            try:
                start = time.perf_counter()
                self.conn.request(method, path, body=body, headers=headers)
                res = self.conn.getresponse()
                data = res.read()
                took = time.perf_counter() - start
                if res.getheader("Connection", "").lower() == "close":
                    self.conn.close()
                    self.conn = None
                self.last_headers = res.getheaders()
                return res.status, data, took
            except (http.client.RemoteDisconnected, ConnectionResetError, BrokenPipeError,
                    http.client.CannotSendRequest, http.client.BadStatusLine):
                # A keep-alive connection the robot had closed: once more on a new one.
                self.conn.close()
                self.conn = None
                if attempt == 2:
                    raise
        raise AssertionError("unreachable")

    def post_json(self, path, payload):
        body = json.dumps(payload).encode()
        return self.request("POST", path, body,
                            {"Content-Type": "application/json", "Accept": "application/json"})


def multipart(field, file_name, data):
    boundary = "----velmora" + uuid.uuid4().hex
    head = (f"--{boundary}\r\nContent-Disposition: form-data; name=\"{field}\"; "
            f"filename=\"{file_name}\"\r\nContent-Type: text/plain\r\n\r\n").encode()
    tail = f"\r\n--{boundary}--\r\n".encode()
    return head + data + tail, f"multipart/form-data; boundary={boundary}"


def vm_hwm_kib(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return None


def db_bytes(data_dir):
    total = 0
    for name in ("robot.sqlite", "robot.sqlite-wal"):
        path = os.path.join(data_dir, name)
        if os.path.exists(path):
            total += os.path.getsize(path)
    return total


def mib(n):
    return f"{n / (1024 * 1024):.1f} MiB"


class CheckWatcher:
    """Marks the phases of a check run from outside the robot: its scratch
    folder under DATA/runs (the logs written out, the check's output), and
    the run's status on /api/admin/runs ("done" once the run is stored)."""

    def __init__(self, host, port, cookie, data_dir):
        self.client = Client(host, port)
        self.client.cookie = cookie
        self.runs_dir = os.path.join(data_dir, "runs")
        self.marks = []
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._watch, daemon=True)

    def start(self):
        self.known_runs = set(self._run_ids())
        self.t0 = time.perf_counter()
        self._thread.start()

    def stop(self):
        self._stop.set()
        self._thread.join()

    def _mark(self, seen, key, what):
        if key not in seen:
            seen.add(key)
            self.marks.append((time.perf_counter() - self.t0, what))

    def _watch(self):
        seen = set()
        while not self._stop.wait(0.1):
            folders = os.listdir(self.runs_dir) if os.path.isdir(self.runs_dir) else []
            for folder in folders:
                base = os.path.join(self.runs_dir, folder)
                self._mark(seen, "folder", "scratch folder made (the counted logs read)")
                for rel, what in (("rulings.csv", "the logs written out, the check starts"),
                                  ("out", "the check has read and matched the logs"),
                                  ("out/results.html", "the check's results written; its "
                                                       "reports follow")):
                    if os.path.exists(os.path.join(base, rel)):
                        self._mark(seen, rel, what)
            if "folder" in seen and not folders:
                self._mark(seen, "gone", "scratch folder removed")
            for run in self._run_ids(status="done"):
                if run not in self.known_runs:
                    self._mark(seen, "done", "run stored as done; the scratch folder is "
                                             "being removed")

    def _run_ids(self, status=None):
        try:
            code, body, _ = self.client.request("GET", "/api/admin/runs")
            runs = json.loads(body) if code == 200 else []
        except (OSError, ValueError, http.client.HTTPException):
            return []
        return [r["run"] for r in runs if status is None or r.get("status") == status]


def upload_all(host, port, paths, threads):
    local = threading.local()
    statuses = {}
    lock = threading.Lock()
    latencies = []

    def one(path):
        if not hasattr(local, "client"):
            local.client = Client(host, port)
        with open(path, "rb") as f:
            data = f.read()
        body, ctype = multipart("log", os.path.basename(path), data)
        status, reply, took = local.client.request(
            "POST", "/api/submit", body, {"Content-Type": ctype, "Accept": "application/json"})
        try:
            verdict = json.loads(reply).get("status", f"http-{status}")
        except ValueError:
            verdict = f"http-{status}"
        with lock:
            statuses[verdict] = statuses.get(verdict, 0) + 1
            latencies.append(took)

    start = time.perf_counter()
    with ThreadPoolExecutor(max_workers=threads) as pool:
        for _ in pool.map(one, paths):
            pass
    return time.perf_counter() - start, statuses, latencies


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--url", required=True)
    ap.add_argument("--password", required=True)
    ap.add_argument("--logs", required=True)
    ap.add_argument("--data", required=True)
    ap.add_argument("--pid", type=int, required=True)
    ap.add_argument("--threads", type=int, default=4)
    ap.add_argument("--fetches", type=int, default=5)
    a = ap.parse_args()
    url = urlsplit(a.url)
    host, port = url.hostname, url.port

    paths = sorted(os.path.join(a.logs, n) for n in os.listdir(a.logs) if n.endswith(".log"))
    log_bytes = sum(os.path.getsize(p) for p in paths)
    print(f"uploading {len(paths)} logs ({mib(log_bytes)}) from {a.threads} threads",
          flush=True)
    took, statuses, lat = upload_all(host, port, paths, a.threads)
    lat.sort()
    accepted = statuses.get("accepted", 0)
    print(f"uploads: {took:.1f} s, {len(paths) / took:.0f} a second, median "
          f"{statistics.median(lat) * 1000:.0f} ms, max {lat[-1] * 1000:.0f} ms; {statuses}",
          flush=True)
    rss_uploads = vm_hwm_kib(a.pid)
    db_after_uploads = db_bytes(a.data)

    org = Client(host, port)
    status, reply, _ = org.post_json("/api/admin/login", {"password": a.password,
                                                          "name": "figures"})
    if status != 200:
        sys.exit(f"login refused: {status} {reply[:200]!r}")
    org.csrf = json.loads(reply)["csrf"]
    for name, value in org.last_headers:
        if name.lower() == "set-cookie" and value.startswith("velmora_session="):
            org.cookie = value.split(";", 1)[0]
    if not org.cookie:
        sys.exit("login answered no session cookie")

    rows = []  # (what, median s, max s, bytes, note)

    def timed_once(what, method, path, payload=None, note=""):
        if payload is None:
            status, body, t = org.request(method, path, None, {"Accept": "application/json"}
                                          if path.startswith("/api/") else None)
        else:
            status, body, t = org.post_json(path, payload)
        if status != 200:
            sys.exit(f"{method} {path}: {status} {body[:300]!r}")
        rows.append((what, t, t, len(body), note))
        return body, t

    def timed_pages(what, path):
        times, size = [], 0
        for _ in range(a.fetches):
            status, body, t = org.request("GET", path)
            if status != 200:
                sys.exit(f"GET {path}: {status} {body[:300]!r}")
            times.append(t)
            size = len(body)
        rows.append((what, statistics.median(times), max(times), size, f"{a.fetches} fetches"))

    timed_once("close (POST /api/admin/close)", "POST", "/api/admin/close", {})
    print("checking ...", flush=True)
    watcher = CheckWatcher(host, port, org.cookie, a.data)
    watcher.start()
    try:
        body, check_s = timed_once("check (POST /api/admin/check)", "POST", "/api/admin/check",
                                   {})
    finally:
        watcher.stop()
    answer = json.loads(body)
    run = answer.get("run")
    if answer.get("status") != "done":
        sys.exit(f"the check did not finish: {answer.get('status')}: "
                 f"{str(answer.get('messages'))[:500]}")
    close_and_check = rows[-2][1] + rows[-1][1]
    rss_check = vm_hwm_kib(a.pid)
    db_after_check = db_bytes(a.data)

    for what, path in (("GET /admin", "/admin"),
                       ("GET /admin/submissions", "/admin/submissions"),
                       ("GET /admin/missing", "/admin/missing"),
                       ("GET /admin/rulings", "/admin/rulings"),
                       ("GET /admin/runs", "/admin/runs"),
                       ("GET /api/admin/submissions", "/api/admin/submissions"),
                       ("GET /api/admin/missing", "/api/admin/missing"),
                       ("GET /api/admin/runs", "/api/admin/runs")):
        timed_pages(what, path)
    # The submissions a page at a time: the last page, and the versions of
    # the calls that hold "1A" (about one in 260).
    _, first_page, _ = org.request("GET", "/admin/submissions")
    found = re.search(rb"Page 1 of ([0-9]+(?:&nbsp;[0-9]{3})*)", first_page)
    last = int(found.group(1).replace(b"&nbsp;", b"")) if found else 1
    timed_pages(f"GET /admin/submissions?page={last}", f"/admin/submissions?page={last}")
    timed_pages("GET /admin/submissions?call=1A", "/admin/submissions?call=1A")

    timed_once("publish (POST /api/admin/publish)", "POST", "/api/admin/publish", {"run": run})
    timed_pages("GET /results", "/results")
    timed_pages("GET /api/results", "/api/results")
    rss_end = vm_hwm_kib(a.pid)

    print()
    print(f"| {'what':<36} | {'median':>9} | {'max':>9} | {'bytes':>10} | note")
    print(f"|{'-' * 38}|{'-' * 11}|{'-' * 11}|{'-' * 12}|------")
    for what, med, mx, size, note in rows:
        print(f"| {what:<36} | {med * 1000:>6.0f} ms | {mx * 1000:>6.0f} ms | {size:>10} | {note}")
    print()
    print(f"logs uploaded: {len(paths)} ({accepted} accepted), {mib(log_bytes)} of Cabrillo")
    print(f"close and check: {close_and_check:.1f} s (target 60 s); run {run}")
    pages = [r for r in rows if r[0].startswith("GET /admin") or r[0].startswith("GET /api/admin")]
    worst = max(pages, key=lambda r: r[2])
    print(f"slowest console page: {worst[0]}, max {worst[2] * 1000:.0f} ms (target 200 ms)")
    print(f"database: {mib(db_after_uploads)} after the uploads, {mib(db_after_check)} after "
          f"the check (robot.sqlite and its WAL)")
    print("where the check's time went (from its start, watched every 0.1 s):")
    for took, what in watcher.marks:
        print(f"  {took:6.1f} s  {what}")
    print(f"  {check_s:6.1f} s  the answer")
    fmt = lambda k: "?" if k is None else f"{k / 1024:.0f} MiB"
    print(f"robot peak RSS (VmHWM): {fmt(rss_uploads)} after the uploads, {fmt(rss_check)} "
          f"after the check, {fmt(rss_end)} at the end")
    failed = close_and_check > 60 or any(r[2] > 0.2 for r in pages)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
