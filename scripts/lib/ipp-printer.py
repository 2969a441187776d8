#!/usr/bin/env python3
"""An IPP/1.1 printer for tests: an HTTP server on 127.0.0.1 that answers IPP requests as a
printer of that age does, and refuses IPP/2.0 with server-error-version-not-supported.

Usage: ipp-printer.py DIR    (scripts/lib/fake-printer starts one and waits for it)

Writes its port to DIR/port. Print-Job stores the document as DIR/job-N.bin and answers its
job-id, and its job-name as DIR/job-N.name; every Print-Job received, refused or not, adds
its IPP version to DIR/print-jobs; Validate-Job succeeds; Get-Job-Attributes says the job
completed; Get-Printer-Attributes says idle. The printer is at /ipp/print. The file
DIR/mode, read at each request, changes that:
  root               the printer is at "/" only
  jobs-in-1.1        Get-Printer-Attributes takes IPP/2.0 too; the job operations do not
  held               every job stays held (pending-held)
  nostate            Get-Job-Attributes answers without a job-state
  error:STATUS:TEXT  answer every request with IPP status STATUS (such as 0x0404) and TEXT
A request for another path gets HTTP 404; one whose printer-uri names another path gets
client-error-not-found.
"""
import http.server
import os
import struct
import sys
import threading
import urllib.parse

from printer_folder import Job, publish_port, read_mode

GET_PRINTER_ATTRIBUTES, PRINT_JOB, VALIDATE_JOB, GET_JOB_ATTRIBUTES = 0x000B, 0x0002, 0x0004, 0x0009
INTEGER, ENUM, CHARSET, LANGUAGE, TEXT = 0x21, 0x23, 0x47, 0x48, 0x41


def parse_request(data):
    """(version, operation, request id, {name: first value}, document) of an IPP request."""
    version, operation, request_id = struct.unpack(">HHI", data[:8])
    position, attributes, name = 8, {}, None
    while data[position] != 0x03:  # end-of-attributes
        tag = data[position]
        position += 1
        if tag < 0x10:  # a group's delimiter
            continue
        (length,) = struct.unpack(">H", data[position:position + 2])
        name = data[position + 2:position + 2 + length].decode() or name  # empty: another value
        position += 2 + length
        (length,) = struct.unpack(">H", data[position:position + 2])
        attributes.setdefault(name, data[position + 2:position + 2 + length])
        position += 2 + length
    return version, operation, request_id, attributes, data[position + 1:]


def attribute(tag, name, value):
    if isinstance(value, int):
        value = struct.pack(">i", value)
    elif isinstance(value, str):
        value = value.encode()
    return struct.pack(">BH", tag, len(name)) + name.encode() + struct.pack(">H", len(value)) + value


def response(status, request_id, message=None, group=None, attributes=()):
    body = struct.pack(">HHI", 0x0101, status, request_id) + b"\x01"
    body += attribute(CHARSET, "attributes-charset", "utf-8")
    body += attribute(LANGUAGE, "attributes-natural-language", "en")
    if message:
        body += attribute(TEXT, "status-message", message)
    if group:
        body += bytes([group]) + b"".join(attribute(*a) for a in attributes)
    return body + b"\x03"


class Printer(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    jobs = 0
    lock = threading.Lock()

    def log_message(self, *args):
        pass

    def read_body(self):
        if self.headers.get("Transfer-Encoding", "").lower() != "chunked":
            return self.rfile.read(int(self.headers.get("Content-Length", 0)))
        chunks = []
        while True:
            size = int(self.rfile.readline().split(b";")[0], 16)
            chunks.append(self.rfile.read(size))
            self.rfile.readline()
            if size == 0:
                return b"".join(chunks)

    def do_POST(self):
        body = self.read_body()
        mode = read_mode(self.server.folder, "normal")
        path = "/" if mode == "root" else "/ipp/print"
        if self.path != path:
            return self.send(404, b"")
        version, operation, request_id, attributes, document = parse_request(body)
        printer_path = urllib.parse.urlsplit(attributes.get("printer-uri", b"").decode()).path
        if operation == PRINT_JOB:
            with open(os.path.join(self.server.folder, "print-jobs"), "a") as log:
                log.write(f"{version >> 8}.{version & 0xFF}\n")
        newer_taken = mode == "jobs-in-1.1" and operation == GET_PRINTER_ATTRIBUTES
        if mode.startswith("error:"):
            _, status, message = mode.split(":", 2)
            answer = response(int(status, 16), request_id, message)
        elif version != 0x0101 and version != 0x0100 and not newer_taken:
            answer = response(0x0503, request_id, "only IPP/1.1 and 1.0")
        elif printer_path != path:
            answer = response(0x0406, request_id, "no printer at " + printer_path)
        else:
            answer = self.operate(operation, request_id, attributes, document, mode)
        self.send(200, answer)

    def operate(self, operation, request_id, attributes, document, mode):
        if operation == GET_PRINTER_ATTRIBUTES:
            return response(0, request_id, None, 0x04, [(ENUM, "printer-state", 3)])
        if operation == PRINT_JOB:
            with Printer.lock:
                Printer.jobs += 1
                number = Printer.jobs
            job = Job(self.server.folder, number)
            with job.open() as out:
                out.write(document)
            with open(os.path.join(self.server.folder, f"job-{number}.name"), "wb") as out:
                out.write(attributes.get("job-name", b""))
            job.complete()
            return response(0, request_id, None, 0x02, [(INTEGER, "job-id", number), (ENUM, "job-state", 3)])
        if operation == VALIDATE_JOB:
            return response(0, request_id)
        if operation == GET_JOB_ATTRIBUTES:
            state = {"held": [(ENUM, "job-state", 4)], "nostate": [(INTEGER, "job-id", 1)]}
            return response(0, request_id, None, 0x02, state.get(mode, [(ENUM, "job-state", 9)]))
        return response(0x0501, request_id, "operation not supported")

    def send(self, code, body):
        self.send_response(code)
        self.send_header("Content-Type", "application/ipp")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


def main():
    folder = sys.argv[1]
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Printer)
    server.folder = folder
    publish_port(folder, server.server_address[1])
    server.serve_forever()


if __name__ == "__main__":
    main()
