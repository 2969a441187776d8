"""An exception inside a `with` block cancels the job: nothing prints cut short."""
import pytest

import rawlet


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
    printer.finish()
    with rawlet.Printer(queue.name) as printer:
        printer.write(b"next")
    assert queue.device.wait_jobs(1) == [b"next"]
