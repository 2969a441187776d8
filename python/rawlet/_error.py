"""rawlet.Error and its kinds: numbered errors of the control, caught by what to do next."""


class Error(OSError):
    """A numbered error of the control.

    ``number`` is the control's number (``errno`` holds it too), ``source`` its source
    ("Rawleter"), ``description`` its text and ``reason`` one line naming the printer and
    what it, or its spooler, said, or None when nothing more is known. ``job`` names the
    job left to look at when it may print ("Receipts-7", or a direct printer's name), else
    None. ``str()`` is one line, as ``rawlet`` prints it:
    ``error 32037 (Rawleter): <description>: <reason>``. docs/errors.md lists the numbers.

    A failed job is either NotPrinted (it never will: a retry prints it once) or
    OutcomeUnknown (it may print: look at ``job`` before a retry).
    """

    def __init__(self, number, source, description, reason=None, job=None):
        super().__init__(number, description)
        self.number = number
        self.source = source
        self.description = description
        self.reason = reason or None
        self.job = job or None

    def __str__(self):
        message = f"error {self.number} ({self.source}): {self.description}"
        return f"{message}: {self.reason}" if self.reason else message

    def __reduce__(self):
        return type(self), (self.number, self.source, self.description, self.reason, self.job)


class NotPrinted(Error):
    """The job will not print: it was refused, failed or was cancelled, and made sure of."""


class OutcomeUnknown(Error):
    """The job may print, or may have printed in part; ``job`` names it."""


class PrinterNotFound(NotPrinted):
    """32000: there is no such printer."""


class InvalidDeviceUri(PrinterNotFound, ValueError):
    """32000: a device URI that names no device."""


class JobRefused(NotPrinted):
    """32036: the printer or its spooler refused the job at its start."""


class WriteFailed(Error):
    """32037: the printer broke off, or the job was cancelled, while it was being written."""


class WriteTimeout(WriteFailed, TimeoutError):
    """32037: the printer stopped taking bytes within its deadline."""


class _WriteFailedNotPrinted(WriteFailed, NotPrinted):
    pass


class _WriteFailedUnknown(WriteFailed, OutcomeUnknown):
    pass


class _WriteTimeoutNotPrinted(WriteTimeout, NotPrinted):
    pass


class _WriteTimeoutUnknown(WriteTimeout, OutcomeUnknown):
    pass


# What the binding raises for a failure of a kind ("" for none) and an outcome ("" for none).
_RAISED = {
    ("", ""): Error,
    ("", "not printed"): NotPrinted,
    ("", "unknown"): OutcomeUnknown,
    ("printer not found", "not printed"): PrinterNotFound,
    ("job refused", "not printed"): JobRefused,
    ("write failed", "not printed"): _WriteFailedNotPrinted,
    ("write failed", "unknown"): _WriteFailedUnknown,
    ("write timeout", "not printed"): _WriteTimeoutNotPrinted,
    ("write timeout", "unknown"): _WriteTimeoutUnknown,
}


def _raised(kind, outcome):
    return _RAISED.get((kind, outcome), Error)
