#!/usr/bin/env python3
"""An AppSocket receipt printer that answers the ESC/POS real-time status queries.

Usage: escpos-printer.py MODE DIR

Listens on 127.0.0.1 and writes its port to DIR/port. Each DLE EOT n (n = 1, 2, 4) it reads
is answered with one status byte, as the printer is in MODE:
  fine        online, cover closed, paper present
  paper-end   its paper has run out, so it has stopped and gone offline
  cover-open  its cover is open, so it is offline
  garbage     answers every query with a byte that is no status (0xff)
  silent      reads everything and never answers
"""
import os
import socket
import sys
import threading

FIXED = 0x12  # bits 1 and 4 are set in every status byte
ANSWERS = {
    "fine": {1: FIXED, 2: FIXED, 4: FIXED},
    "paper-end": {1: FIXED | 0x08, 2: FIXED | 0x20, 4: FIXED | 0x0C | 0x60},
    "cover-open": {1: FIXED | 0x08, 2: FIXED | 0x04, 4: FIXED},
    "garbage": {1: 0xFF, 2: 0xFF, 4: 0xFF},
    "silent": {},
}


def serve(connection, answers):
    pending = bytearray()
    with connection:
        while True:
            chunk = connection.recv(4096)
            if not chunk:
                return
            pending += chunk
            # A query may come split over reads; what follows DLE EOT n is the next query.
            while (start := pending.find(b"\x10\x04")) >= 0 and len(pending) >= start + 3:
                query = pending[start + 2]
                del pending[: start + 3]
                if query in answers:
                    connection.sendall(bytes([answers[query]]))


def main():
    mode, folder = sys.argv[1], sys.argv[2]
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(4)
    with open(os.path.join(folder, "port.tmp"), "w") as f:
        f.write(str(listener.getsockname()[1]))
    os.rename(os.path.join(folder, "port.tmp"), os.path.join(folder, "port"))
    while True:
        connection, _ = listener.accept()
        threading.Thread(target=serve, args=(connection, ANSWERS[mode]), daemon=True).start()


if __name__ == "__main__":
    main()
