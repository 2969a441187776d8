"""Receipts through a queue, one after another from one program: each costs the scheduler
few questions, and the program connects to it once for them all, yet goes on printing when
the scheduler has closed its idle connections, and a child of fork() uses none of its
parent's."""
import os
import select
import socket
import struct
import threading

RECEIPTS = """
import os, sys, time, rawlet
queue, go_on = sys.argv[1], sys.argv[2]
def receipts(numbers):
    for number in numbers:
        with rawlet.Printer(queue) as printer:
            printer.write(b"receipt %d\\n" % number)
    print("printed", flush=True)
receipts(range(3))
deadline = time.monotonic() + 20
while not os.path.exists(go_on) and time.monotonic() < deadline:
    time.sleep(0.01)
receipts(range(3, 6))
"""


# A receipt, then another from a child of fork() while the parent keeps its connection.
FORKED = """
import os, sys, rawlet
queue = sys.argv[1]
def receipt(text):
    with rawlet.Printer(queue) as printer:
        printer.write(text)
receipt(b"parent\\n")
child = os.fork()
if child == 0:
    receipt(b"child\\n")
    os._exit(0)
print(child, flush=True)
os.waitpid(child, 0)
receipt(b"parent again\\n")
"""


class SchedulerProxy:
    """A socket in front of the scheduler's that notes the process making each connection
    through it, counts the requests sent on them, and can close them all, as the scheduler
    closes idle ones."""

    def __init__(self, path):
        self.path = str(path)
        self._scheduler = os.environ["CUPS_SERVER"]
        self.connecting_processes = []
        self.requests = 0
        self._lock = threading.Lock()
        self._open = []
        self._listener = socket.socket(socket.AF_UNIX)
        self._listener.bind(self.path)
        self._listener.listen(16)
        threading.Thread(target=self._accept, daemon=True).start()

    def close_all(self):
        with self._lock:
            sockets, self._open = self._open, []
        for end in sockets:
            try:
                end.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass  # already closed by its side

    def _accept(self):
        while True:
            client, _ = self._listener.accept()
            scheduler = socket.socket(socket.AF_UNIX)
            scheduler.connect(self._scheduler)
            credentials = client.getsockopt(socket.SOL_SOCKET, socket.SO_PEERCRED, struct.calcsize("3i"))
            with self._lock:
                self.connecting_processes.append(struct.unpack("3i", credentials)[0])
                self._open += [client, scheduler]
            threading.Thread(target=self._pass, args=(client, scheduler, True), daemon=True).start()
            threading.Thread(target=self._pass, args=(scheduler, client, False), daemon=True).start()

    def _pass(self, source, target, from_client):
        tail = b""  # a request line cut between two reads is counted once
        try:
            while data := source.recv(65536):
                if from_client:
                    with self._lock:
                        self.requests += (tail + data).count(b"POST /")
                    tail = data[-5:]
                target.sendall(data)
            target.shutdown(socket.SHUT_WR)
        except OSError:
            pass  # closed by close_all() or by the other side


def line_within(process, seconds):
    assert select.select([process.stdout], [], [], seconds)[0], f"no line in {seconds} s"
    return process.stdout.readline()


def test_receipts_one_after_another_connect_once_and_survive_the_scheduler_closing(queue, child, tmp_path):
    proxy = SchedulerProxy(tmp_path / "s")
    go_on = tmp_path / "go-on"
    process = child(RECEIPTS, queue.name, go_on, env={"CUPS_SERVER": proxy.path})
    assert line_within(process, 30) == "printed\n"
    # One connection for finding the queue, one lent to each receipt in turn: a job that
    # connected anew would count one more.
    connections = len(proxy.connecting_processes)
    assert connections <= 2, f"{connections} connections for 3 receipts"
    assert proxy.requests <= 3 * 3, f"{proxy.requests} requests for 3 receipts"

    proxy.close_all()
    go_on.touch()
    assert line_within(process, 30) == "printed\n"
    assert process.wait(timeout=10) == 0
    assert queue.device.wait_jobs(6) == [b"receipt %d\n" % number for number in range(6)]


def test_a_child_of_fork_prints_on_a_connection_of_its_own(queue, child, tmp_path):
    proxy = SchedulerProxy(tmp_path / "s")
    process = child(FORKED, queue.name, env={"CUPS_SERVER": proxy.path})
    forked = int(line_within(process, 30))
    assert process.wait(timeout=30) == 0
    assert queue.device.wait_jobs(3) == [b"parent\n", b"child\n", b"parent again\n"]
    # Its parent's kept connection is the parent's alone: two processes writing on one
    # socket would mix their requests.
    assert forked in proxy.connecting_processes, "the child printed on its parent's connection"
