#!/usr/bin/env python3
"""A raw printer device for a private CUPS scheduler: a TCP listener on 127.0.0.1 that stores
every connection's bytes as one job file.

Usage: capture-device.py DIR

Writes its port to DIR/port, then for each connection writes DIR/.job-N.part and renames it to
DIR/job-N.bin once the client has ended its stream, before closing the connection: a reader
only ever sees complete jobs, and a client that waits for the close finds its job stored. The
file DIR/mode, read at each connection, makes the device misbehave on purpose:
  normal        store everything (the default)
  drop:N        close the connection after N bytes
  stall         accept, then read nothing
  refuse        close every connection at once, reading nothing
  hold          store everything, then keep the connection open without closing it
"""
import os
import socket
import sys
import threading
import time


def read_mode(folder):
    try:
        with open(os.path.join(folder, "mode")) as f:
            return f.read().strip() or "normal"
    except FileNotFoundError:
        return "normal"


def receive(connection, folder, number):
    mode = read_mode(folder)
    part = os.path.join(folder, f".job-{number}.part")
    limit = int(mode.split(":")[1]) if mode.startswith("drop:") else None
    with connection:
        if mode == "refuse":
            return
        if mode == "stall":
            time.sleep(3600)
            return
        received = 0
        with open(part, "wb") as out:
            while limit is None or received < limit:
                want = 1 << 20 if limit is None else min(1 << 20, limit - received)
                data = connection.recv(want)
                if not data:
                    break
                out.write(data)
                received += len(data)
        os.rename(part, os.path.join(folder, f"job-{number}.bin"))
        if limit is not None:
            connection.shutdown(socket.SHUT_RDWR)
        if mode == "hold":
            time.sleep(3600)


def main():
    folder = sys.argv[1]
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    with open(os.path.join(folder, "port.tmp"), "w") as f:
        f.write(str(listener.getsockname()[1]))
    os.rename(os.path.join(folder, "port.tmp"), os.path.join(folder, "port"))
    number = 0
    while True:
        connection, _ = listener.accept()
        number += 1
        threading.Thread(target=receive, args=(connection, folder, number), daemon=True).start()


if __name__ == "__main__":
    main()
