"""Failures arrive as rawlet.Error with the control's numbers, never silently."""
import socket
import subprocess

import pytest

import rawlet


def unused_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


@pytest.mark.parametrize("ask", [rawlet.Printer, rawlet.status], ids=["Printer", "status"])
def test_an_unknown_printer_is_error_32000(ask):
    with pytest.raises(rawlet.Error) as raised:
        ask("no-such-printer")
    assert (raised.value.number, raised.value.source) == (32000, "Rawleter")
    assert raised.value.description == "The printer name is not valid"
    assert isinstance(raised.value, OSError)
    assert isinstance(raised.value, rawlet.PrinterNotFound) and isinstance(raised.value, rawlet.NotPrinted)


def test_a_device_uri_that_names_no_device_is_both_error_and_value_error():
    with pytest.raises(ValueError) as raised:
        rawlet.Printer("socket://")
    assert isinstance(raised.value, rawlet.InvalidDeviceUri) and raised.value.number == 32000


def test_wait_timeout_takes_seconds_above_zero():
    with pytest.raises(ValueError):
        rawlet.Printer("no-such-printer", wait=True, wait_timeout=0)
    with pytest.raises(ValueError):
        rawlet.Printer("no-such-printer", wait=True, wait_timeout=float("nan"))


def test_a_far_wait_timeout_waits_for_the_printers_word(fake_printers, tmp_path):
    receipts = fake_printers("escpos-prints:0.5", tmp_path / "receipts")
    uri = receipts.uri + "?snmp=off+status=escpos+timeout=1"
    with rawlet.Printer(uri, wait=True, wait_timeout=1e10) as printer:
        printer.write(b"Total 23,30\r\n")
    assert printer.result.outcome == "printed"


def test_a_refused_connection_is_error_32036_naming_the_printer():
    uri = f"socket://127.0.0.1:{unused_port()}"
    printer = rawlet.Printer(uri)
    with pytest.raises(rawlet.JobRefused) as raised:
        printer.write(b"receipt")
    assert raised.value.number == 32036 and isinstance(raised.value, rawlet.NotPrinted)
    assert uri in raised.value.reason
    assert str(raised.value) == f"error 32036 (Rawleter): {raised.value.description}: {raised.value.reason}"


@pytest.mark.parametrize("data", ["text", 42])
def test_write_takes_bytes_only(direct_device, data):
    with rawlet.Printer(direct_device.uri) as printer:
        with pytest.raises(TypeError, match="to_ansi" if isinstance(data, str) else "bytes-like"):
            printer.write(data)
        printer.write(b"after")
    assert direct_device.wait_jobs(1) == [b"after"]


def test_a_printer_that_takes_nothing_fails_the_job(direct_device):
    direct_device.set_mode("stall")
    with pytest.raises(rawlet.WriteTimeout) as raised:
        with rawlet.Printer(direct_device.uri + "?timeout=1") as printer:
            printer.write(b"x" * (64 << 20))
    assert raised.value.number == 32037 and isinstance(raised.value, TimeoutError)
    assert "timed out" in raised.value.reason


def test_a_printer_that_hangs_up_mid_job_leaves_it_unknown_naming_the_job(direct_device):
    direct_device.set_mode("drop:1000")
    with pytest.raises(rawlet.OutcomeUnknown) as raised:
        with rawlet.Printer(direct_device.uri) as printer:
            printer.write(b"x" * (64 << 20))
    assert raised.value.number == 32037 and isinstance(raised.value, rawlet.WriteFailed)
    assert raised.value.job == direct_device.uri


def test_a_deaf_printer_fails_the_end_of_a_small_job(direct_device):
    direct_device.set_mode("stall")
    with pytest.raises(rawlet.Error) as raised:
        with rawlet.Printer(direct_device.uri + "?timeout=1") as printer:
            printer.write(b"receipt")
    assert raised.value.number == 32034


def test_finish_again_after_a_failed_finish_raises_the_same(direct_device):
    direct_device.set_mode("stall")
    printer = rawlet.Printer(direct_device.uri + "?timeout=1")
    printer.write(b"receipt")
    with pytest.raises(rawlet.Error) as first:
        printer.finish()
    with pytest.raises(rawlet.Error) as again:
        printer.finish()
    assert type(again.value) is type(first.value)
    assert (again.value.number, again.value.reason) == (first.value.number, first.value.reason)
    assert printer.result is None


def test_a_queue_that_rejects_jobs_refuses_the_job_at_its_start(queue):
    subprocess.run(["cupsreject", "-r", "closed for the night", queue.name], check=True)
    printer = rawlet.Printer(queue.name)
    with pytest.raises(rawlet.JobRefused) as raised:
        printer.write(b"receipt")
    assert raised.value.number == 32036 and isinstance(raised.value, rawlet.NotPrinted)
    assert raised.value.reason == f"{queue.name}: the queue does not accept jobs: closed for the night"
