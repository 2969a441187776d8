#!/usr/bin/env python3
"""The Python package's figures, in this one process, each side by side with its reference
run by run: a 1 KiB receipt over socket:// against a bare socket, the same receipt through a
raw queue against pycups' printFile, and 256 MiB over socket:// against the rawlet command.
Every time runs until the device holds the job. Writes seconds, one a line, into OUT/python-*.txt.

Usage: python-bench.py OUT RUNS DEVICE_DIR QUEUE RAWLET_COMMAND BULK_FILE
"""
import glob
import os
import socket
import subprocess
import sys
import time

import cups

import rawlet


def clear(device):
    for job in glob.glob(os.path.join(device, "job-*.bin")):
        os.remove(job)


def wait_for(device, size):
    deadline = time.perf_counter() + 600
    while not any(os.path.getsize(job) == size for job in glob.glob(os.path.join(device, "job-*.bin"))):
        if time.perf_counter() > deadline:
            sys.exit(f"python-bench: {device} never held {size} bytes")
        time.sleep(0.0005)


def timed(device, size, action):
    clear(device)
    start = time.perf_counter()
    action()
    wait_for(device, size)
    return time.perf_counter() - start


def with_rawlet(target, data):
    with rawlet.Printer(target) as printer:
        printer.write(data)


def with_socket(port, data):
    with socket.create_connection(("127.0.0.1", port)) as connection:
        connection.sendall(data)
        connection.shutdown(socket.SHUT_WR)
        while connection.recv(4096):
            pass


def compare(out, name, runs, device, size, ours, theirs):
    figures = {"rawlet": [], "reference": []}
    for _ in range(runs):
        figures["rawlet"].append(timed(device, size, ours))
        figures["reference"].append(timed(device, size, theirs))
    for side, times in figures.items():
        with open(os.path.join(out, f"python-{name}-{side}.txt"), "w") as f:
            f.write("".join(f"{t:.6f}\n" for t in times))


def main():
    out, runs, device, queue, command, bulk_file = sys.argv[1:7]
    runs = int(runs)
    port = int(open(os.path.join(device, "port")).read())
    uri = f"socket://127.0.0.1:{port}"
    receipt = os.urandom(1024)
    receipt_file = os.path.join(out, "receipt.bin")
    with open(receipt_file, "wb") as f:
        f.write(receipt)
    connection = cups.Connection()
    for _ in range(3):  # warm up: the first connection and job of each side
        timed(device, 1024, lambda: with_rawlet(uri, receipt))
        timed(device, 1024, lambda: with_rawlet(queue, receipt))
    compare(out, "socket", runs * 4, device, 1024, lambda: with_rawlet(uri, receipt),
            lambda: with_socket(port, receipt))
    compare(out, "queue", runs * 4, device, 1024, lambda: with_rawlet(queue, receipt),
            lambda: connection.printFile(queue, receipt_file, "receipt", {"raw": "true"}))
    with open(bulk_file, "rb") as f:
        bulk = f.read()
    compare(out, "bulk", runs, device, len(bulk), lambda: with_rawlet(uri, bulk),
            lambda: subprocess.run([command, "print", "-d", uri, bulk_file], check=True))
    clear(device)


if __name__ == "__main__":
    main()
