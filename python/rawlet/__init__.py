r"""Raw printing: the bytes a program gives are the bytes the printer receives.

    import rawlet

    with rawlet.Printer("Receipts", title="Receipt 42") as printer:
        printer.write(b"\x1bE" + rawlet.to_ansi("Café Müller") + b"\x1bF\r\n\f")

The block's end hands the job over and raises rawlet.Error when it was not delivered; an
exception inside the block cancels the job, so nothing prints cut short. rawlet.Rawlet is
the control itself, for programs ported from Windows. docs/python.md tells the rest.
"""

from ._error import Error
from ._rawlet import (
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
    "Printer",
    "PrinterInfo",
    "PrinterStatus",
    "Rawlet",
    "__version__",
    "printers",
    "status",
    "to_ansi",
]
