"""rawlet.Error: a numbered error of the control, as the command reports it."""


class Error(OSError):
    """A numbered error of the control.

    ``number`` is the control's number (``errno`` holds it too), ``source`` its source
    ("Rawleter"), ``description`` its text and ``reason`` one line naming the printer and
    what it, or its spooler, said, or None when nothing more is known. ``str()`` is one
    line, as ``rawlet`` prints it: ``error 32037 (Rawleter): <description>: <reason>``.
    docs/errors.md lists the numbers.
    """

    def __init__(self, number, source, description, reason=None):
        super().__init__(number, description)
        self.number = number
        self.source = source
        self.description = description
        self.reason = reason or None

    def __str__(self):
        message = f"error {self.number} ({self.source}): {self.description}"
        return f"{message}: {self.reason}" if self.reason else message

    def __reduce__(self):
        return type(self), (self.number, self.source, self.description, self.reason)
