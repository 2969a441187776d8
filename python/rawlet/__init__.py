r"""Raw printing: the bytes a program gives are the bytes the printer receives.

    import rawlet

    with rawlet.Printer("Receipts", title="Receipt 42") as printer:
        printer.write(b"\x1bE" + rawlet.to_ansi("Café Müller") + b"\x1bF\r\n\f")

The block's end hands the job over (printer.result says printed or delivered) and raises
rawlet.NotPrinted, or rawlet.OutcomeUnknown naming the job when it may print; an
exception inside the block cancels the job, so nothing prints cut short. rawlet.Rawlet is
the control itself, for programs ported from Windows. docs/python.md tells the rest.
"""

from ._error import (
    Error,
    InvalidDeviceUri,
    JobRefused,
    NotPrinted,
    OutcomeUnknown,
    PrinterNotFound,
    WriteFailed,
    WriteTimeout,
)
from ._rawlet import (
    JobResult,
    Printer,
    PrinterInfo,
    PrinterStatus,
    Rawlet,
    __version__,
    printers,
    status,
    to_ansi,
)

__all__ = [
    "Error",
    "InvalidDeviceUri",
    "JobRefused",
    "JobResult",
    "NotPrinted",
    "OutcomeUnknown",
    "Printer",
    "PrinterNotFound",
    "PrinterInfo",
    "PrinterStatus",
    "Rawlet",
    "__version__",
    "printers",
    "status",
    "to_ansi",
    "WriteFailed",
    "WriteTimeout",
]
