"""An exception inside a `with` block, a progress call that raises, and cancel() from any
thread cancel the job: nothing prints cut short, and nothing waits for the printer."""
import threading
import time

import pytest

import rawlet

JOB = bytes(64 << 10)


class PaperJam(Exception):
    pass


def test_an_exception_in_the_block_cancels_the_queued_job(queue):
    with pytest.raises(PaperJam):
        with rawlet.Printer(queue.name) as printer:
            printer.write(b"half a receipt")
            raise PaperJam
    with pytest.raises(rawlet.Error):
        printer.write(b"more")
    # Jobs print in order: once the next one is there, the cancelled one would have been.
    with rawlet.Printer(queue.name) as printer:
        printer.write(b"next")
    assert queue.device.wait_jobs(1) == [b"next"]


def test_a_cancelled_job_by_hand_is_not_finished(queue):
    printer = rawlet.Printer(queue.name)
    printer.write(b"half a receipt")
    printer.cancel()
    with pytest.raises(rawlet.Error) as raised:
        printer.finish()
    assert raised.value.number == 32034 and "cancelled" in raised.value.reason
    with rawlet.Printer(queue.name) as printer:
        printer.write(b"next")
    assert queue.device.wait_jobs(1) == [b"next"]


CANCEL_FROM_THE_PROGRESS_CALL = """
import sys, rawlet
printer = rawlet.Printer(sys.argv[1], on_sent=lambda sent: printer.cancel())
try:
    printer.write(bytes(512 << 10))
except rawlet.Error as error:
    print(error.number)
"""


def test_cancel_from_the_progress_call_ends_the_write(direct_device, child):
    process = child(CANCEL_FROM_THE_PROGRESS_CALL, direct_device.uri)
    output, _ = process.communicate(timeout=10)
    assert output.split() == ["32037"]
    direct_device.wait_still()
    assert direct_device.jobs() == [] and direct_device.received() < 512 << 10


def test_cancel_from_another_thread_ends_the_wait_of_finish(slow_devices):
    [device] = slow_devices(8 << 10, 1)
    printer = rawlet.Printer(device.uri)
    printer.write(JOB)  # the system holds it: the printer reads it for 8 s
    threading.Timer(0.5, printer.cancel).start()
    start = time.monotonic()
    with pytest.raises(rawlet.Error) as raised:
        printer.finish()
    assert time.monotonic() - start < 2.5 and raised.value.number == 32034
    device.wait_still()
    assert device.jobs() == [] and device.received() < len(JOB)


def test_a_cancelled_job_the_printer_had_may_print(direct_device):
    printer = rawlet.Printer(direct_device.uri)
    printer.write(JOB)
    direct_device.wait_still()  # the printer has read every byte
    printer.cancel()
    with pytest.raises(rawlet.WriteFailed) as raised:
        printer.write(b"more")
    assert isinstance(raised.value, rawlet.OutcomeUnknown) and raised.value.job == direct_device.uri
    for _ in range(2):
        with pytest.raises(rawlet.OutcomeUnknown) as raised:
            printer.finish()
        assert raised.value.number == 32034 and "cancelled" in raised.value.reason
        assert raised.value.job == direct_device.uri


def test_finish_again_after_a_cancel_ended_it_raises_the_same(slow_devices):
    [device] = slow_devices(8 << 10, 1)
    printer = rawlet.Printer(device.uri)
    printer.write(JOB)
    threading.Timer(0.5, printer.cancel).start()
    with pytest.raises(rawlet.Error) as first:
        printer.finish()
    with pytest.raises(rawlet.Error) as again:
        printer.finish()
    assert type(again.value) is type(first.value) and again.value.reason == first.value.reason


def test_a_progress_call_that_raises_cancels_the_job(direct_device):
    def jammed(sent):
        raise PaperJam

    with pytest.raises(rawlet.Error) as raised:
        with rawlet.Printer(direct_device.uri, on_sent=jammed) as printer:
            with pytest.raises(PaperJam):
                printer.write(bytes(512 << 10))
    assert raised.value.number == 32034 and "cancelled" in raised.value.reason
    direct_device.wait_still()
    assert direct_device.jobs() == []


WRITE_FROM_THE_PROGRESS_CALL = """
import sys, rawlet
printer = rawlet.Printer(sys.argv[1], on_sent=lambda sent: printer.write(b"more"))
try:
    printer.write(b"receipt")
except RuntimeError:
    print("RuntimeError")
"""


def test_a_write_from_the_progress_call_raises_rather_than_waiting_for_itself(direct_device, child):
    process = child(WRITE_FROM_THE_PROGRESS_CALL, direct_device.uri)
    output, _ = process.communicate(timeout=10)
    assert output.split() == ["RuntimeError"]
