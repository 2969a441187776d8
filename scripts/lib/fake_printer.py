#!/usr/bin/env python3
"""A fake AppSocket printer: a TCP listener on 127.0.0.1 that does with each connection what
its mode says, from storing the job to misbehaving as real printers do.

Usage: fake_printer.py MODE DIR    (scripts/lib/fake-printer starts one and waits for it)

Writes its port to DIR/port. A printer that stores a job writes the connection's bytes to
DIR/.job-N.part and renames it to DIR/job-N.bin once the client has ended its stream, before
closing the connection: a reader only ever sees whole jobs, and a client that waits for the
close finds its job stored. The file DIR/mode, read at each connection, takes the place of
MODE. The modes:
  normal        store everything
  drop:N        store the first N bytes, then close the connection
  stall         accept, then read nothing
  refuse        close every connection at once, reading nothing
  hold          store everything, then keep the connection open without closing it
  slow:RATE     read RATE bytes a second, then store them; as MODE, through a small receive
                buffer, as an impact or label printer reads
  chatty        store everything, then send a status byte every half second, never closing
  escpos:STATE  answer each ESC/POS real-time status query (DLE EOT n, n = 1, 2, 4) with one
                status byte, as a receipt printer in STATE: fine (online, cover closed, paper
                present), paper-end (out of paper, so stopped and offline), cover-open (its
                cover open, so offline), garbage (a byte that is no status), silent (no answer)
  zpl:STATE     answer each ZPL host status query (~HS) with the three framed status strings,
                in two pieces as a printer behind a slow link does, as a label printer in
                STATE: fine (ready), paper-out-head-open (out of labels, its print head up)
Printers that store the job and answer, as they print it, the queries that follow it (normal
is the one that never answers them):
  escpos-prints:S     a receipt printer that prints for S seconds: it answers the real-time
                      status queries as fine, and each process ID request (GS ( H, function
                      48) S seconds after it came, once it has printed what came before,
                      after an automatic status block, as one set up for them sends
  escpos-paper-end:S  a receipt printer that runs out of paper S seconds into the job: from
                      then on it answers the real-time status queries as paper-end, and never
                      the process ID request
  zpl-prints:S        a label printer that prints for S seconds: its ~HS answers have the
                      job's formats (^XZ ends each) waiting in the receive buffer for the first
                      half, as labels remaining in the batch for the second, then neither
  zpl-paper-out:S     a label printer that runs out of labels S seconds into printing the job:
                      its ~HS answers have the formats waiting, then paper out with the labels
                      remaining
"""
import itertools
import re
import socket
import sys
import threading
import time

from printer_folder import Job, publish_port, read_mode

FOREVER = 3600
SMALL_BUFFER = 4096  # the system doubles it; printers have windows of a few KiB


def receive(connection, job, limit=None, rate=None):
    """Stores what the client sends until it ends its stream, or at most `limit` bytes, read
    at `rate` bytes a second when given."""
    received = 0
    with job.open() as out:
        while limit is None or received < limit:
            want = max(1, rate // 10) if rate else 1 << 20
            data = connection.recv(want if limit is None else min(want, limit - received))
            if not data:
                break
            out.write(data)
            received += len(data)
            if rate:
                time.sleep(len(data) / rate)
    job.complete()


def normal(connection, job):
    receive(connection, job)


def drop(limit):
    limit = int(limit)

    def mode(connection, job):
        receive(connection, job, limit=limit)
        connection.shutdown(socket.SHUT_RDWR)

    return mode


def stall(connection, job):
    time.sleep(FOREVER)


def refuse(connection, job):
    pass


def hold(connection, job):
    receive(connection, job)
    time.sleep(FOREVER)


def slow(rate):
    rate = int(rate)

    def mode(connection, job):
        receive(connection, job, rate=rate)

    return mode


def chatty(connection, job):
    receive(connection, job)
    while True:
        connection.sendall(b"\x12")
        time.sleep(0.5)


def queries(connection, pattern):
    """Each match of `pattern` in what the client sends, until it ends its stream; a query
    may come split over reads."""
    pending = b""
    while chunk := connection.recv(4096):
        pending += chunk
        end = 0
        for query in pattern.finditer(pending):
            yield query
            end = query.end()
        pending = pending[end:]


ESCPOS_QUERY = re.compile(rb"\x10\x04(.)", re.DOTALL)
ESCPOS_FIXED = 0x12  # bits 1 and 4 are set in every status byte
ESCPOS_ANSWERS = {
    "fine": {1: ESCPOS_FIXED, 2: ESCPOS_FIXED, 4: ESCPOS_FIXED},
    "paper-end": {1: ESCPOS_FIXED | 0x08, 2: ESCPOS_FIXED | 0x20, 4: ESCPOS_FIXED | 0x0C | 0x60},
    "cover-open": {1: ESCPOS_FIXED | 0x08, 2: ESCPOS_FIXED | 0x04, 4: ESCPOS_FIXED},
    "garbage": {1: 0xFF, 2: 0xFF, 4: 0xFF},
    "silent": {},
}


def escpos(state):
    answers = ESCPOS_ANSWERS[state]

    def mode(connection, job):
        for query in queries(connection, ESCPOS_QUERY):
            if (n := query[1][0]) in answers:
                connection.sendall(bytes([answers[n]]))

    return mode


def zpl_status(paper_out, head_up, formats=0, labels=0):
    first = f"030,{paper_out},0,1245,{formats:03},0,0,0,000,0,0,0"
    second = f"001,0,{head_up},0,1,2,6,0,{labels:08},1,000"
    third = "1234,0"
    return "".join(f"\x02{text}\x03\r\n" for text in (first, second, third)).encode()


ZPL_QUERY = re.compile(rb"~HS")
ZPL_ANSWERS = {
    "fine": zpl_status(paper_out=0, head_up=0),
    "paper-out-head-open": zpl_status(paper_out=1, head_up=1),
}


def zpl(state):
    answer = ZPL_ANSWERS[state]

    def mode(connection, job):
        for _ in queries(connection, ZPL_QUERY):
            middle = len(answer) // 2
            connection.sendall(answer[:middle])
            time.sleep(0.05)
            connection.sendall(answer[middle:])

    return mode


def store_answering(connection, job, pattern, answer):
    """Stores what the client sends until it ends its stream, as `receive` does, and calls
    `answer` with each match of `pattern` in it, as a printer reads the queries that follow a
    job; a query may come split over reads."""
    longest_query = 16
    pending = b""
    with job.open() as out:
        while chunk := connection.recv(4096):
            out.write(chunk)
            pending += chunk
            end = 0
            for query in pattern.finditer(pending):
                answer(query)
                end = query.end()
            pending = pending[max(end, len(pending) - longest_query):]
    job.complete()


def send_later(connection, seconds, data):
    """Sends `data` after `seconds`, unless the client has gone by then."""

    def send():
        try:
            connection.sendall(data)
        except OSError:
            pass

    threading.Timer(seconds, send).start()


ESCPOS_REQUEST = re.compile(rb"\x10\x04(.)|\x1d\(H\x06\x00\x30\x30([\x20-\x7e]{4})", re.DOTALL)
ESCPOS_STATUS_BLOCK = bytes([0x10, 0x00, 0x00, 0x0F])  # automatic status back: nothing wrong


def escpos_printing(seconds, runs_out):
    """A receipt printer that stores the job and answers its queries as it prints: its
    process ID after `seconds`, or, when it `runs_out`, paper end from then on instead."""
    seconds = float(seconds)

    def mode(connection, job):
        started = time.monotonic()

        def answer(query):
            out_of_paper = runs_out and time.monotonic() - started >= seconds
            if query[1] is not None:
                state = "paper-end" if out_of_paper else "fine"
                connection.sendall(bytes([ESCPOS_ANSWERS[state].get(query[1][0], 0)]))
            elif not runs_out:
                send_later(connection, seconds, ESCPOS_STATUS_BLOCK + b"\x37\x22" + query[2] + b"\x00")

        store_answering(connection, job, ESCPOS_REQUEST, answer)

    return mode


ZPL_FORMAT_OR_QUERY = re.compile(rb"\^XZ|~HS")


def zpl_printing(seconds, runs_out):
    """A label printer that stores the job and answers ~HS as it prints its formats: waiting,
    then printing, for `seconds`, then printed, or out of paper when it `runs_out`."""
    seconds = float(seconds)

    def mode(connection, job):
        formats = 0
        started = None

        def answer(query):
            nonlocal formats, started
            if query[0] == b"^XZ":
                formats += 1
                return
            started = started or time.monotonic()
            elapsed = time.monotonic() - started
            if runs_out:
                status = zpl_status(1, 0, labels=formats) if elapsed >= seconds else zpl_status(0, 0, formats=formats)
            elif elapsed < seconds / 2:
                status = zpl_status(0, 0, formats=formats)
            else:
                status = zpl_status(0, 0, labels=formats if elapsed < seconds else 0)
            connection.sendall(status)

        store_answering(connection, job, ZPL_FORMAT_OR_QUERY, answer)

    return mode


MODES = {"normal": normal, "stall": stall, "refuse": refuse, "hold": hold, "chatty": chatty}
MODES_WITH_A_VALUE = {
    "drop": drop,
    "slow": slow,
    "escpos": escpos,
    "zpl": zpl,
    "escpos-prints": lambda seconds: escpos_printing(seconds, runs_out=False),
    "escpos-paper-end": lambda seconds: escpos_printing(seconds, runs_out=True),
    "zpl-prints": lambda seconds: zpl_printing(seconds, runs_out=False),
    "zpl-paper-out": lambda seconds: zpl_printing(seconds, runs_out=True),
}


def mode_named(name):
    """What a connection in mode `name` does; ValueError when no mode has that name."""
    kind, colon, value = name.partition(":")
    try:
        return MODES_WITH_A_VALUE[kind](value) if colon else MODES[kind]
    except (KeyError, ValueError):
        raise ValueError(f"no such mode: {name!r}") from None


def serve_connection(connection, job, folder, default_mode):
    with connection:
        try:
            mode_named(read_mode(folder, default_mode))(connection, job)
        except ValueError as error:
            print(f"fake_printer: {error}", file=sys.stderr)
        except ConnectionError:
            pass  # the client went away: a job cut short stays a .part


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: fake_printer.py MODE DIR")
    mode, folder = sys.argv[1], sys.argv[2]
    try:
        mode_named(mode)
    except ValueError as error:
        sys.exit(f"fake_printer: {error}")
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    if mode.startswith("slow:"):  # before listen(), so the window offered is small from the start
        listener.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, SMALL_BUFFER)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    publish_port(folder, listener.getsockname()[1])
    for number in itertools.count(1):
        connection, _ = listener.accept()
        job = Job(folder, number)
        threading.Thread(target=serve_connection, args=(connection, job, folder, mode), daemon=True).start()


if __name__ == "__main__":
    main()
