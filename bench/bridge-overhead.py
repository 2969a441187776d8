#!/usr/bin/env python3
"""The bridge's overhead per job, in this one process: a 1 KiB receipt through `rawlet serve`
from one client that keeps its connection, as a browser does, timed until the bridge answers
with the job's outcome, side by side run by run with the same receipt printed here through the
Python package to the same printer, timed until it returns delivered. What the first takes
beyond the second is the bridge's: HTTP, its checks, its worker. Writes seconds, one a line,
into OUT/bridge-overhead-{bridge,inprocess}.txt.

Usage: bridge-overhead.py OUT RUNS DEVICE_DIR PRINTER BRIDGE_PORT ORIGIN
"""
import glob
import http.client
import json
import os
import sys
import time

import rawlet


class KeptClient:
    """One connection to the bridge, kept for every job: a bench that connected again for each
    would time the connections, not the bridge."""

    def __init__(self, port, origin, printer):
        self.connection = http.client.HTTPConnection("127.0.0.1", port, timeout=60)
        self.headers = {"Origin": origin, "Content-Type": "application/octet-stream"}
        self.target = f"/v1/printers/{printer}/jobs"
        self.socket = None

    def print(self, data):
        self.connection.request("POST", self.target, data, self.headers)
        answer = self.connection.getresponse()
        body = answer.read()
        if answer.status != 200 or json.loads(body)["outcome"] != "delivered":
            sys.exit(f"bridge-overhead: the bridge answered {answer.status}: {body.decode()}")
        if self.socket is not None and self.connection.sock is not self.socket:
            sys.exit("bridge-overhead: the bridge did not keep the connection")
        self.socket = self.connection.sock


def in_process(printer, data):
    with rawlet.Printer(printer) as job:
        job.write(data)


def timed(action):
    start = time.perf_counter()
    action()
    return time.perf_counter() - start


def clear(device):
    for job in glob.glob(os.path.join(device, "job-*.bin")):
        os.remove(job)


def main():
    out, runs, device, printer, port, origin = sys.argv[1:7]
    receipt = os.urandom(1024)
    client = KeptClient(int(port), origin, printer)
    figures = {"bridge": [], "inprocess": []}
    for run in range(3 + int(runs)):  # the first three warm both sides up, unmeasured
        bridge = timed(lambda: client.print(receipt))
        inprocess = timed(lambda: in_process(printer, receipt))
        if run >= 3:
            figures["bridge"].append(bridge)
            figures["inprocess"].append(inprocess)
    clear(device)
    for side, times in figures.items():
        with open(os.path.join(out, f"bridge-overhead-{side}.txt"), "w") as f:
            f.write("".join(f"{t:.6f}\n" for t in times))


if __name__ == "__main__":
    main()
