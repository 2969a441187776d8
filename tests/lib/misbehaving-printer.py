#!/usr/bin/env python3
"""AppSocket printers that misbehave the way real ones do, for the command's tests.

Usage: misbehaving-printer.py MODE DIR

Listens on 127.0.0.1, writes its port to DIR/port, and stores each connection's bytes as
DIR/job-N.bin once the client has ended its stream. MODE is one of:
  slow:RATE   reads RATE bytes a second through a small receive buffer, as an impact or
              label printer does, then closes
  chatty      reads everything, then sends a status byte every half second and never closes
"""
import os
import socket
import sys
import threading
import time

SMALL_BUFFER = 4096  # the system doubles it; printers have windows of a few KiB


def store(folder, number, data):
    with open(os.path.join(folder, f".job-{number}.part"), "wb") as out:
        out.write(data)
    os.rename(os.path.join(folder, f".job-{number}.part"), os.path.join(folder, f"job-{number}.bin"))


def serve(connection, mode, folder, number):
    rate = int(mode.split(":")[1]) if mode.startswith("slow:") else None
    received = bytearray()
    with connection:
        while True:
            chunk = connection.recv(rate // 10 if rate else 1 << 16)
            if not chunk:
                break
            received += chunk
            if rate:
                time.sleep(len(chunk) / rate)
        store(folder, number, bytes(received))
        while mode == "chatty":
            connection.sendall(b"\x12")
            time.sleep(0.5)


def main():
    mode, folder = sys.argv[1], sys.argv[2]
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    if mode.startswith("slow:"):  # before listen(), so the window offered is small from the start
        listener.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, SMALL_BUFFER)
    listener.bind(("127.0.0.1", 0))
    listener.listen(4)
    with open(os.path.join(folder, "port.tmp"), "w") as f:
        f.write(str(listener.getsockname()[1]))
    os.rename(os.path.join(folder, "port.tmp"), os.path.join(folder, "port"))
    number = 0
    while True:
        connection, _ = listener.accept()
        number += 1
        threading.Thread(target=serve, args=(connection, mode, folder, number), daemon=True).start()


if __name__ == "__main__":
    main()
