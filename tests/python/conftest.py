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


def start_device(command, folder):
    """A device program of the project, listening once it has written its port."""
    folder.mkdir(parents=True, exist_ok=True)
    process = subprocess.Popen([sys.executable, *command, str(folder)])
    deadline = time.monotonic() + 10
    while not (folder / "port").exists():
        assert process.poll() is None and time.monotonic() < deadline, f"{command} did not start"
        time.sleep(0.02)
    return process


@pytest.fixture
def queue(request):
    name = "py-" + re.sub(r"[^A-Za-z0-9_-]", "-", request.node.name)[:60]
    subprocess.run([SOURCE / "scripts/cups-sandbox", "add", SANDBOX, name], check=True, stdout=subprocess.DEVNULL)
    return Queue(name)


@pytest.fixture
def direct_device(tmp_path):
    process = start_device([SOURCE / "scripts/lib/capture-device.py"], tmp_path / "capture")
    yield Device(tmp_path / "capture")
    process.kill()
    process.wait()


@pytest.fixture
def slow_devices(tmp_path):
    """Makes slow AppSocket printers reading RATE bytes a second."""
    processes = []

    def make(rate, count):
        folders = [tmp_path / f"slow-{len(processes) + i}" for i in range(count)]
        for folder in folders:
            processes.append(start_device([SOURCE / "tests/lib/misbehaving-printer.py", f"slow:{rate}"], folder))
        return [Device(folder) for folder in folders]

    yield make
    for process in processes:
        process.kill()
        process.wait()
