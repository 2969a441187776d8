"""Printers on two threads print side by side: neither waits for the other's printer."""
import threading
import time

import rawlet

RATE = 5_000_000  # bytes a second the slow printers read, about the most they manage
JOB = b"r" * (3 * RATE)  # three seconds, far more than the socket buffers hold (4 MiB)


def print_job(uri):
    with rawlet.Printer(uri) as printer:
        printer.write(JOB)


def timed(action):
    start = time.monotonic()
    action()
    return time.monotonic() - start


def test_two_threads_take_about_as_long_as_one(slow_devices):
    first, second = slow_devices(RATE, 2)
    alone = timed(lambda: print_job(first.uri))
    threads = [threading.Thread(target=print_job, args=(device.uri,)) for device in (first, second)]
    together = timed(lambda: [t.start() for t in threads] and [t.join() for t in threads])
    assert first.wait_jobs(2) == [JOB, JOB] and second.wait_jobs(1) == [JOB]
    assert together < 1.6 * alone, f"one job {alone:.2f} s, two side by side {together:.2f} s"
