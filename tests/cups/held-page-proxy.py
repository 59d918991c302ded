#!/usr/bin/env python3
"""A print server that answers the printer lookup and holds the page.

A Unix socket in front of a real print server (tests/cups/private-cupsd.sh)
that passes every IPP request and its answer through, except the requests
that hand a page over: Create-Job (0x0005), Print-Job (0x0002) and
Send-Document (0x0006). Those it holds silent: their bodies go nowhere and
no answer ever comes, while the connection stays open, as a print server
that took the connection and stalls does.

libcups sends each request's HTTP headers first and its IPP body after,
often chunked; the server may answer "100 Continue" before the body comes,
so headers pass at once. The body's bytes 2-3 are the operation.

Usage: held-page-proxy.py LISTEN-SOCKET SERVER-SOCKET [LOG]
Each request's operation goes to LOG (one line: "pass 0x000b" or
"hold 0x0005"), so a test can tell when the page is being held. A file
LOG.letgo lets the held connections go (closes them), so that a test can
end without waiting for the print library's own timeout; the proxy removes
it. Runs until killed.
"""
import os
import socket
import sys
import threading
import time

HELD = {0x0002, 0x0005, 0x0006}
held_connections = []
held_lock = threading.Lock()


def let_go():
    with held_lock:
        for s in held_connections:
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
        held_connections.clear()


class Log:
    def __init__(self, path):
        self.path = path
        self.lock = threading.Lock()

    def write(self, line):
        if not self.path:
            return
        with self.lock, open(self.path, "a") as f:
            f.write(line + "\n")


def pump(src, dst):
    """Server to client: every byte, as it comes."""
    try:
        while True:
            data = src.recv(65536)
            if not data:
                break
            dst.sendall(data)
    except OSError:
        pass
    try:
        dst.shutdown(socket.SHUT_WR)
    except OSError:
        pass


class Requests:
    """Client to server: HTTP requests parsed just enough to find each IPP
    body's operation and the request's end."""

    def __init__(self, server, log):
        self.server = server
        self.log = log
        self.buf = b""
        self.state = "headers"
        self.chunked = False
        self.left = 0  # bytes of the body (or of the chunk) still to pass
        self.body_seen = 0  # body bytes read so far, to find the operation
        self.pending = b""  # body bytes held until the operation is known

    def feed(self, data):
        self.buf += data
        while self.buf and self.state != "held":
            before = (self.state, len(self.buf))
            getattr(self, "_" + self.state)()
            if (self.state, len(self.buf)) == before:
                break  # needs more bytes

    def send(self, data):
        if data:
            self.server.sendall(data)

    def _headers(self):
        end = self.buf.find(b"\r\n\r\n")
        if end < 0:
            return
        head, self.buf = self.buf[:end + 4], self.buf[end + 4:]
        self.send(head)
        lower = head.lower()
        self.chunked = b"transfer-encoding: chunked" in lower
        length = 0
        for line in lower.split(b"\r\n"):
            if line.startswith(b"content-length:"):
                length = int(line.split(b":", 1)[1])
        self.body_seen = 0
        self.pending = b""
        if head.startswith(b"POST"):
            self.state = "chunk_size" if self.chunked else "body"
            self.left = length
            if not self.chunked and length == 0:
                self.state = "headers"
        # other methods carry no body here

    def _body_bytes(self, data):
        """Passes body bytes on, once the operation is known and not held."""
        if self.body_seen >= 4:
            self.send(data)
            return
        self.pending += data
        self.body_seen += len(data)
        if self.body_seen >= 4:
            op = int.from_bytes(self.pending[2:4], "big")
            if op in HELD:
                self.log.write("hold 0x%04x" % op)
                self.state = "held"
                self.buf = b""
                return
            self.log.write("pass 0x%04x" % op)
            self.send(self.pending)
            self.pending = b""

    def _body(self):
        take = self.buf[:self.left]
        self.buf = self.buf[len(take):]
        self.left -= len(take)
        self._body_bytes(take)
        if self.state != "held" and self.left == 0:
            self.send(self.pending)
            self.pending = b""
            self.state = "headers"

    def _chunk_size(self):
        end = self.buf.find(b"\r\n")
        if end < 0:
            return
        line, self.buf = self.buf[:end + 2], self.buf[end + 2:]
        size = int(line.split(b";")[0].strip() or b"0", 16)
        self._frame(line)
        if size == 0:
            self.state = "trailer"
        else:
            self.left = size
            self.state = "chunk_data"

    def _frame(self, framing):
        # Framing bytes wait with the body bytes while the operation is unknown.
        if self.body_seen < 4:
            self.pending += framing
        else:
            self.send(framing)

    def _chunk_data(self):
        take = self.buf[:self.left]
        self.buf = self.buf[len(take):]
        self.left -= len(take)
        if self.body_seen < 4:
            # Only the data counts towards the operation's four bytes.
            self.pending += take
            self.body_seen += len(take)
            if self.body_seen >= 4:
                body = self._data_only()
                op = int.from_bytes(body[2:4], "big")
                if op in HELD:
                    self.log.write("hold 0x%04x" % op)
                    self.state = "held"
                    self.buf = b""
                    return
                self.log.write("pass 0x%04x" % op)
                self.send(self.pending)
                self.pending = b""
        else:
            self.send(take)
        if self.left == 0:
            self.state = "chunk_end"

    def _data_only(self):
        """The body's data in pending, without the chunk framing."""
        data = b""
        rest = self.pending
        while rest:
            end = rest.find(b"\r\n")
            if end < 0:
                break
            size = int(rest[:end].split(b";")[0].strip() or b"0", 16)
            rest = rest[end + 2:]
            data += rest[:size]
            rest = rest[size + 2:]
        return data

    def _chunk_end(self):
        if len(self.buf) < 2:
            return
        crlf, self.buf = self.buf[:2], self.buf[2:]
        self._frame(crlf)
        self.state = "chunk_size"

    def _trailer(self):
        end = self.buf.find(b"\r\n")
        if end < 0:
            return
        line, self.buf = self.buf[:end + 2], self.buf[end + 2:]
        self._frame(line)
        if line == b"\r\n":
            self.send(self.pending)
            self.pending = b""
            self.state = "headers"


def watch(trigger):
    while True:
        if os.path.exists(trigger):
            let_go()
            try:
                os.unlink(trigger)
            except OSError:
                pass
        time.sleep(0.2)


def serve(client, server_path, log):
    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        server.connect(server_path)
    except OSError:
        client.close()
        return
    threading.Thread(target=pump, args=(server, client), daemon=True).start()
    requests = Requests(server, log)
    try:
        while True:
            data = client.recv(65536)
            if not data:
                break
            if requests.state == "held":
                continue  # swallowed: the page goes nowhere
            requests.feed(data)
            if requests.state == "held":
                with held_lock:
                    held_connections.extend([client, server])
    except OSError:
        pass
    if requests.state != "held":
        try:
            server.shutdown(socket.SHUT_WR)
        except OSError:
            pass


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    listen_at, server_path = sys.argv[1], sys.argv[2]
    log = Log(sys.argv[3] if len(sys.argv) > 3 else None)
    if log.path:
        threading.Thread(target=watch, args=(log.path + ".letgo",), daemon=True).start()
    try:
        os.unlink(listen_at)
    except FileNotFoundError:
        pass
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    listener.bind(listen_at)
    os.chmod(listen_at, 0o777)
    listener.listen(16)
    while True:
        client, _ = listener.accept()
        threading.Thread(target=serve, args=(client, server_path, log), daemon=True).start()


if __name__ == "__main__":
    sys.exit(main())
