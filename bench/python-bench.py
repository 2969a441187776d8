#!/usr/bin/env python3
"""The Python package's figures, in this one process, each side by side with its reference
run by run: a 1 KiB receipt over socket:// against a bare socket, the same receipt through a
raw queue against pycups' printFile, and 256 MiB over socket:// against the rawlet command,
each timed until the device holds the job; then the receipt through RECEIPT_QUEUE, timed from
the call to the scheduler's answer (the job made, not yet printed) as a program that prints
receipts waits for it: against printFile again (pycups keeps one connection for all its jobs,
rawlet makes a Printer per job), and the rawlet command against lp, each started from here.
Writes seconds, one a line, into OUT/python-*.txt.

Usage: python-bench.py OUT RUNS DEVICE_DIR QUEUE RAWLET_COMMAND BULK_FILE RECEIPT_QUEUE
"""
import functools
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


def answered(action):
    """Seconds from the call until it returns."""
    start = time.perf_counter()
    action()
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


def run_quietly(command):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)


def compare(out, name, runs, timing, ours, theirs, warmup=0):
    for _ in range(warmup):
        ours()
        theirs()
    figures = {"rawlet": [], "reference": []}
    for _ in range(runs):
        figures["rawlet"].append(timing(ours))
        figures["reference"].append(timing(theirs))
    for side, times in figures.items():
        with open(os.path.join(out, f"python-{name}-{side}.txt"), "w") as f:
            f.write("".join(f"{t:.6f}\n" for t in times))


def main():
    out, runs, device, queue, command, bulk_file, receipt_queue = sys.argv[1:8]
    runs = int(runs)
    port = int(open(os.path.join(device, "port")).read())
    uri = f"socket://127.0.0.1:{port}"
    receipt = os.urandom(1024)
    receipt_file = os.path.join(out, "receipt.bin")
    with open(receipt_file, "wb") as f:
        f.write(receipt)
    connection = cups.Connection()

    def with_pycups(target):
        connection.printFile(target, receipt_file, "receipt", {"raw": "true"})

    for _ in range(3):  # warm up: the first connection and job of each side
        timed(device, 1024, lambda: with_rawlet(uri, receipt))
        timed(device, 1024, lambda: with_rawlet(queue, receipt))
    until_held = functools.partial(timed, device, 1024)
    compare(out, "socket", runs * 20, until_held, lambda: with_rawlet(uri, receipt),
            lambda: with_socket(port, receipt))
    compare(out, "queue", runs * 20, until_held, lambda: with_rawlet(queue, receipt), lambda: with_pycups(queue))
    with open(bulk_file, "rb") as f:
        bulk = f.read()
    compare(out, "bulk", runs, functools.partial(timed, device, len(bulk)), lambda: with_rawlet(uri, bulk),
            lambda: subprocess.run([command, "print", "-d", uri, bulk_file], check=True))
    clear(device)
    compare(out, "queue-answer", runs * 40, answered, lambda: with_rawlet(receipt_queue, receipt),
            lambda: with_pycups(receipt_queue), warmup=3)
    compare(out, "queue-command", runs * 20, answered,
            lambda: run_quietly([command, "print", "-d", receipt_queue, receipt_file]),
            lambda: run_quietly(["lp", "-d", receipt_queue, "-o", "raw", receipt_file]), warmup=3)


if __name__ == "__main__":
    main()
