#!/usr/bin/env python3
"""An AppSocket label printer that answers the ZPL host status query.

Usage: zpl-printer.py MODE DIR

Listens on 127.0.0.1 and writes its port to DIR/port. Each ~HS it reads is answered with the
three framed status strings, sent in pieces as a printer behind a slow link does, as the
printer is in MODE:
  paper-out-head-open   out of labels, with its print head up
  fine                  ready
"""
import os
import socket
import sys
import threading
import time

STX, ETX = "\x02", "\x03"


def status_strings(paper_out, head_up):
    first = f"030,{paper_out},0,1245,000,0,0,0,000,0,0,0"
    second = f"001,0,{head_up},0,1,2,6,0,00000000,1,000"
    third = "1234,0"
    return "".join(f"{STX}{text}{ETX}\r\n" for text in (first, second, third)).encode()


ANSWERS = {
    "paper-out-head-open": status_strings(paper_out=1, head_up=1),
    "fine": status_strings(paper_out=0, head_up=0),
}


def serve(connection, answer):
    pending = bytearray()
    with connection:
        while True:
            chunk = connection.recv(4096)
            if not chunk:
                return
            pending += chunk
            while (start := pending.find(b"~HS")) >= 0:
                del pending[: start + 3]
                middle = len(answer) // 2
                connection.sendall(answer[:middle])
                time.sleep(0.05)
                connection.sendall(answer[middle:])


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
