"""Raw printing: the bytes a program gives are the bytes the printer receives."""

from typing import Callable, Optional, Union

from types import TracebackType

# What write() and PrinterData take: bytes, bytearray, memoryview or any other contiguous
# buffer. Never str: encode text with to_ansi() or text.encode() first.
BytesLike = Union[bytes, bytearray, memoryview]

__version__: str
"""The product's version, as ``rawlet --version`` prints it: "2.0.0.1"."""

class PrinterInfo:
    """A printer of the system, as rawlet.printers() lists it."""

    @property
    def name(self) -> str:
        """The name to print to."""
    @property
    def kind(self) -> str:
        """'queue' (the scheduler's) or 'direct' (reached without one)."""
    @property
    def uri(self) -> str:
        """The device URI; empty when the spooler does not tell it."""

class PrinterStatus:
    """How a printer is now, as ``rawlet status --json`` tells it."""

    @property
    def name(self) -> str:
        """The printer's name as the spooler spells it."""
    @property
    def ready(self) -> bool:
        """Reachable, taking jobs, and nothing known keeps a job from printing."""
    @property
    def answers(self) -> bool:
        """The printer, or the scheduler behind its queue, answered."""
    @property
    def state(self) -> str:
        """'idle', 'printing', 'stopped' or 'state unknown'."""
    @property
    def reasons(self) -> list[str]:
        """IPP state reasons with their severity: 'media-empty-error', 'offline-report', ..."""
    @property
    def message(self) -> str:
        """The printer's or the operator's own words; may be empty."""
    @property
    def accepting_jobs(self) -> bool:
        """New jobs are taken (they may still wait)."""
    @property
    def queued_jobs(self) -> Optional[int]:
        """Jobs waiting; None where nothing queues them."""
    @property
    def sources(self) -> list[str]:
        """Where the facts came from: 'scheduler', 'transport', 'usb', 'snmp', 'ipp', 'escpos', 'zpl'."""
    @property
    def unanswered(self) -> list[str]:
        """The sources asked that gave no answer."""
    @property
    def manufacturer(self) -> str:
        """From the printer's IEEE 1284 device ID; empty when unknown."""
    @property
    def model(self) -> str:
        """From the device ID (or the printer's own description); empty when unknown."""
    @property
    def command_set(self) -> str:
        """The languages the device ID names, such as 'ESC/POS'; empty when unknown."""
    @property
    def elapsed(self) -> float:
        """How long the answer took, in seconds."""

def printers() -> list[PrinterInfo]:
    """The scheduler's queues, then the direct printers of printers.conf."""

def status(name_or_uri: str, probe: Optional[str] = None) -> PrinterStatus:
    """How the printer named so (letter case free), or the device at that URI, is now.

    probe='escpos' or 'zpl' also asks a direct printer in its own language: those bytes are
    print data to a printer of another language, so they go only where asked.

    Raises rawlet.Error 32000 when there is no such printer or it cannot be asked, and
    ValueError for a device URI that names no device.
    """

def to_ansi(text: str) -> bytes:
    """The text in the system's ANSI code page, as ``rawlet print --utf8`` sends it.

    A character the page lacks becomes '?'. Raises LookupError when the code page has no
    tables.
    """

class Printer:
    """One job on one printer, named (letter case free) or given by its device URI.

        with rawlet.Printer("Receipts") as printer:
            printer.write(b"Total 23,30\\r\\n\\f")

    Nothing reaches the printer before the first byte. The block's end finishes the job
    and raises rawlet.Error when it was not delivered; an exception inside the block
    cancels the job (nothing prints cut short) and goes on. Every call that waits on the
    printer releases the GIL: threads print side by side, each with its own Printer.
    """

    def __init__(
        self,
        name_or_uri: str,
        *,
        title: Optional[str] = None,
        translate: bool = False,
        wait: bool = False,
        utf8: bool = False,
        on_sent: Optional[Callable[[int], object]] = None,
    ) -> None:
        """Opens nothing yet; raises rawlet.Error 32000 when there is no such printer.

        title: the job's name in the spooler. translate: ANSI to OEM (DOS) code page on
        the way. utf8: the bytes written are UTF-8 text, sent in the ANSI code page.
        wait: finish() returns only once the job has printed. on_sent: called after each
        write with the bytes sent so far. ValueError for a device URI that names no device.
        """
    def write(self, data: BytesLike) -> None:
        """Sends every byte (converted and translated as the options say), or raises
        rawlet.Error 32036 (refused at the start) or 32037 (the printer broke off, stalled,
        or the job was cancelled). A str raises TypeError."""
    def finish(self) -> None:
        """Ends the job and hands it over; raises rawlet.Error 32034 when it was not
        delivered or, with wait, did not print. Only the first call does anything."""
    def cancel(self) -> None:
        """Breaks the job off before it prints, from any thread, at once."""
    @property
    def name(self) -> str:
        """The printer's name as the system spells it (the URI, for a device given by it)."""
    @property
    def bytes_sent(self) -> int:
        """The bytes the printer has taken so far."""
    def __enter__(self) -> "Printer": ...
    def __exit__(
        self,
        exc_type: Optional[type[BaseException]],
        exc: Optional[BaseException],
        traceback: Optional[TracebackType],
    ) -> bool:
        """Finishes the job, or cancels it when the block raised."""

class Rawlet:
    """The raw-printing control, member for member, for programs ported from Windows.

    All instances used on one Python thread share that thread's printer handle, as the
    control's instances in one Windows program do; rawlet.Printer has no such handle.
    Failures raise rawlet.Error with the control's numbers.
    """

    PrinterName: str
    """The printer printed to; a name no printer has raises rawlet.Error 32000."""
    PrinterData: bytes
    """Each bytes-like object assigned is written to the printer at once; reads the last."""
    PrinterTranslate: bool
    """Translate the data from the ANSI to the OEM (DOS) code page on the way."""
    PrinterDocumentName: str
    """The job's name in the spooler."""

    def __init__(self) -> None: ...
    def StartDoc(self) -> None:
        """Starts a document on PrinterName."""
    def EndPage(self) -> None:
        """Ends the page."""
    def EndDoc(self) -> None:
        """Ends the document and hands it to the printer."""
    def PrinterClose(self) -> None:
        """Closes the printer, ending any document."""
    def killDocument(self) -> None:
        """Abandons the document so that it does not print."""
