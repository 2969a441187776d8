"""The folder through which a loopback printer of the tests, the demo and the benchmarks
talks to them: DIR/port, written whole once it listens; DIR/mode, which the test writes to
change how it behaves; and its jobs, each DIR/job-N.bin once whole."""
import os


def publish_port(folder, port):
    """Writes DIR/port at once, by a rename, so that a reader never sees part of the number."""
    temporary = os.path.join(folder, "port.tmp")
    with open(temporary, "w") as f:
        f.write(str(port))
    os.rename(temporary, os.path.join(folder, "port"))


def read_mode(folder, default):
    """DIR/mode, or `default` when the file is missing or empty."""
    try:
        with open(os.path.join(folder, "mode")) as f:
            return f.read().strip() or default
    except FileNotFoundError:
        return default


class Job:
    """Job N of a printer: its bytes go to DIR/.job-N.part while they arrive, which becomes
    DIR/job-N.bin once they are whole, so that a reader only ever sees whole jobs."""

    def __init__(self, folder, number):
        self.part = os.path.join(folder, f".job-{number}.part")
        self.whole = os.path.join(folder, f"job-{number}.bin")

    def open(self):
        return open(self.part, "wb")

    def complete(self):
        os.rename(self.part, self.whole)
