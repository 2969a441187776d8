"""Ctrl-C while a job waits on a slow printer raises KeyboardInterrupt at once and cancels
the job: nothing prints cut short."""
import signal
import time

import pytest

WAITING = """
import signal, sys, rawlet
signal.signal(signal.SIGINT, signal.default_int_handler)
printer = rawlet.Printer(sys.argv[1])
try:
    if sys.argv[2] == "write":
        print("waiting", flush=True)
        printer.write(bytes(4 << 20))
    else:
        printer.write(bytes(64 << 10))
        print("waiting", flush=True)
        printer.finish()
    print("returned")
except KeyboardInterrupt:
    print("KeyboardInterrupt", flush=True)
try:
    printer.finish()
except rawlet.Error as error:
    print(error.number)
"""


@pytest.mark.parametrize("wait", ["write", "finish"])
def test_ctrl_c_cancels_a_job_that_waits_on_the_printer(slow_devices, child, wait):
    [device] = slow_devices(8 << 10, 1)
    process = child(WAITING, device.uri, wait)
    assert process.stdout.readline() == "waiting\n"
    time.sleep(0.5)
    process.send_signal(signal.SIGINT)
    interrupted = time.monotonic()
    output, _ = process.communicate(timeout=10)
    assert time.monotonic() - interrupted < 2
    assert output.split() == ["KeyboardInterrupt", "32034"]
    device.wait_still()
    assert device.jobs() == []
