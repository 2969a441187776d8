"""Real printers for the Python package's tests: raw queues of the private scheduler (the
ctest fixture "cups" starts it) and loopback devices started here, each storing the jobs it
receives as job-N.bin."""
import os
import pathlib
import re
import subprocess
import sys
import time

import pytest

SOURCE = pathlib.Path(os.environ["RAWLET_SOURCE_DIR"])
SANDBOX = pathlib.Path(os.environ["RAWLET_SANDBOX"])
FAKE_PRINTER = SOURCE / "scripts/lib/fake-printer"


class Device:
    """A loopback printer's folder: its port, its mode and the jobs it has stored."""

    def __init__(self, folder):
        self.folder = pathlib.Path(folder)
        self.uri = f"socket://127.0.0.1:{(self.folder / 'port').read_text()}"

    def set_mode(self, mode):
        (self.folder / "mode").write_text(mode)

    def jobs(self):
        files = sorted(self.folder.glob("job-*.bin"), key=lambda f: int(f.stem.split("-")[1]))
        return [f.read_bytes() for f in files]

    def received(self):
        """Every byte it has read, of whole jobs and of jobs cut short."""
        return sum(f.stat().st_size for f in self.folder.glob("*job-*"))

    def wait_still(self, seconds=10):
        """Returns once it has read nothing more for half a second: whatever a job cut
        short left it is all there."""
        deadline = time.monotonic() + seconds
        last, since = -1, time.monotonic()
        while time.monotonic() - since < 0.5:
            assert time.monotonic() < deadline, f"{self.folder} kept reading for {seconds} s"
            if (now := self.received()) != last:
                last, since = now, time.monotonic()
            time.sleep(0.05)

    def wait_jobs(self, count, seconds=30):
        deadline = time.monotonic() + seconds
        while len(self.jobs()) < count:
            assert time.monotonic() < deadline, f"{self.folder} received fewer than {count} jobs"
            time.sleep(0.02)
        return self.jobs()


class Queue:
    def __init__(self, name):
        self.name = name
        self.device = Device(SANDBOX / "devices" / name)


@pytest.fixture
def fake_printers():
    """Starts fake printers (scripts/lib/fake_printer.py) in MODE in FOLDER, listening by
    the time it returns, and ends them after the test."""
    folders = []

    def start(mode, folder):
        subprocess.run([FAKE_PRINTER, "start", mode, folder], check=True, stdout=subprocess.DEVNULL)
        folders.append(folder)
        return Device(folder)

    yield start
    if folders:
        subprocess.run([FAKE_PRINTER, "stop", *folders], check=True)


@pytest.fixture
def queue(request):
    name = "py-" + re.sub(r"[^A-Za-z0-9_-]", "-", request.node.name)[:60]
    subprocess.run([SOURCE / "scripts/cups-sandbox", "add", SANDBOX, name], check=True, stdout=subprocess.DEVNULL)
    return Queue(name)


@pytest.fixture
def direct_device(fake_printers, tmp_path):
    return fake_printers("normal", tmp_path / "capture")


@pytest.fixture
def slow_devices(fake_printers, tmp_path):
    """Makes slow AppSocket printers reading RATE bytes a second."""
    made = []

    def make(rate, count):
        devices = [fake_printers(f"slow:{rate}", tmp_path / f"slow-{len(made) + i}") for i in range(count)]
        made.extend(devices)
        return devices

    return make


@pytest.fixture
def child():
    """Starts SCRIPT in a Python of its own (for what could freeze, or takes a signal), with
    ARGS and the package on its path; its standard output is a pipe of text lines. Ends it
    after the test."""
    started = []

    def start(script, *args, env=None):
        process = subprocess.Popen([sys.executable, "-c", script, *map(str, args)], stdout=subprocess.PIPE,
                                   text=True, env={**os.environ, **(env or {})})
        started.append(process)
        return process

    yield start
    for process in started:
        process.kill()
        process.wait()
