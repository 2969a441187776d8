"""Printers on two threads print side by side: neither waits for the other's printer, and
no call holds the GIL while it waits on one."""
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


# A control released with its document open delivers it: other threads run meanwhile.
RELEASE_WHILE_THE_PRINTER_READS = """
import threading, time, rawlet
ticks = 0
def tick():
    global ticks
    while True:
        ticks += 1
        time.sleep(0.01)
threading.Thread(target=tick, daemon=True).start()
control = rawlet.Rawlet()
control.PrinterName = "Slow"
control.StartDoc()
control.PrinterData = bytes(64 << 10)
start, ticked = time.monotonic(), ticks
del control
print(time.monotonic() - start, ticks - ticked)
"""


def test_a_control_released_mid_document_lets_other_threads_run(slow_devices, child, tmp_path):
    [device] = slow_devices(16 << 10, 1)
    (tmp_path / "printers.conf").write_text(f"Slow {device.uri}\n")
    process = child(RELEASE_WHILE_THE_PRINTER_READS, env={"RAWLET_PRINTERS": str(tmp_path / "printers.conf")})
    output, _ = process.communicate(timeout=20)
    seconds, ticks = output.split()
    assert float(seconds) > 1, "the document was delivered before the control was released"
    assert int(ticks) > 10, f"other threads ran {ticks} times in {float(seconds):.1f} s"
    assert device.wait_jobs(1) == [bytes(64 << 10)]
