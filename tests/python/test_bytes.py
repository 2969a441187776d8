"""The bytes given are the bytes the printer receives."""
import rawlet

EVERY_BYTE = bytes(range(256)) * 4


def test_every_byte_reaches_a_queue_unchanged(queue):
    with rawlet.Printer(queue.name, title="every byte") as printer:
        assert printer.result is None
        printer.write(EVERY_BYTE[:500])
        printer.write(bytearray(EVERY_BYTE[500:]))
    assert queue.device.wait_jobs(1) == [EVERY_BYTE]
    result = printer.result
    assert (result.outcome, result.bytes) == ("delivered", len(EVERY_BYTE))
    assert result.job.startswith(queue.name + "-")


def test_every_byte_reaches_a_direct_device_unchanged(direct_device):
    sent = []
    with rawlet.Printer(direct_device.uri, on_sent=sent.append) as printer:
        printer.write(memoryview(EVERY_BYTE)[:1000])
        printer.write(memoryview(EVERY_BYTE)[1000:])
    assert direct_device.wait_jobs(1) == [EVERY_BYTE]
    assert sent == [1000, len(EVERY_BYTE)]


def test_text_reaches_the_printer_in_the_ansi_code_page(direct_device):
    with rawlet.Printer(direct_device.uri, utf8=True) as printer:
        printer.write("Café ".encode())
        printer.write("Müller".encode())
    assert direct_device.wait_jobs(1) == [rawlet.to_ansi("Café Müller")]
    assert rawlet.to_ansi("Café Müller") != "Café Müller".encode()


def test_the_control_prints_bytes_unchanged(queue):
    control = rawlet.Rawlet()
    control.PrinterName = queue.name
    control.StartDoc()
    control.PrinterData = EVERY_BYTE
    control.EndDoc()
    assert queue.device.wait_jobs(1) == [EVERY_BYTE + b"\r"]  # the control ends each document with CR


def test_kill_document_delivers_what_was_written_after_esc_at(queue):
    control = rawlet.Rawlet()
    control.PrinterName = queue.name
    control.PrinterData = b"half a receipt"
    control.killDocument()
    assert queue.device.wait_jobs(1) == [b"half a receipt\x1b@"]
    assert "ESC @" in rawlet.Rawlet.killDocument.__doc__ and "delivered" in rawlet.Rawlet.killDocument.__doc__
