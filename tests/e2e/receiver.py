"""A loopback HTTP receiver standing in for the statistics server."""
import re
import select
import socket
import struct
import threading
import time


class Receiver:
    """Accepts connections on 127.0.0.1:port and records each request's raw bytes.
    mode: "ok" (200), "error" (500), "silent" (accept, never answer), "reset"
    (read the request, then reset the connection) or "trickle" (a 200 reply
    sent one byte at a time, TRICKLE_DELAY apart)."""

    TRICKLE_DELAY = 0.05

    def __init__(self, port, mode="ok"):
        self.port = port
        self.mode = mode
        self.requests = []
        self._sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self._sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self._sock.bind(("127.0.0.1", port))
        self._sock.listen(8)
        self._stop = False
        self._held = []
        self._lock = threading.Lock()
        self._thread = threading.Thread(target=self._serve, daemon=True)
        self._thread.start()

    def _serve(self):
        while not self._stop:
            try:
                ready = select.select([self._sock], [], [], 0.1)[0]
            except (OSError, ValueError):
                break
            if not ready:
                continue
            # A connection is handled whole under the lock, so that settled()
            # sees it either waiting or recorded.
            with self._lock:
                try:
                    conn, _ = self._sock.accept()
                except OSError:
                    break
                self._handle(conn)

    def _handle(self, conn):
        conn.settimeout(5)
        data = b""
        try:
            while b"\r\n\r\n" not in data:
                chunk = conn.recv(65536)
                if not chunk:
                    break
                data += chunk
            head, _, body = data.partition(b"\r\n\r\n")
            m = re.search(rb"(?im)^content-length:\s*(\d+)", head)
            want = int(m.group(1)) if m else 0
            while len(body) < want:
                chunk = conn.recv(65536)
                if not chunk:
                    break
                body += chunk
            self.requests.append(head + b"\r\n\r\n" + body)
            if self.mode == "silent":
                self._held.append(conn)
                return
            if self.mode == "reset":
                # Linger on, time 0: close sends RST instead of FIN.
                conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                conn.close()
                return
            status = b"500 Internal Server Error" if self.mode == "error" else b"200 OK"
            reply = b"HTTP/1.1 " + status + b"\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok"
            if self.mode == "trickle":
                for i in range(len(reply)):
                    conn.sendall(reply[i:i + 1])
                    time.sleep(self.TRICKLE_DELAY)
            else:
                conn.sendall(reply)
        except OSError:
            pass
        conn.close()

    def settled(self):
        """Whether no connection waits to be taken and none is being read."""
        with self._lock:
            return not select.select([self._sock], [], [], 0)[0]

    def request_after_exit(self, timeout=20.0):
        """The first request, or None as soon as nothing more can come: for a
        program that has ended, whose connection (a loopback connect returns
        once the connection is queued) is recorded or waiting."""
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if self.requests:
                return self.requests[0]
            if self.settled():
                return self.requests[0] if self.requests else None
            time.sleep(0.05)
        return self.requests[0] if self.requests else None

    def wait_for_request(self, timeout=20.0):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if self.requests:
                return self.requests[0]
            time.sleep(0.1)
        return None

    def close(self):
        self._stop = True
        try:
            self._sock.close()
        except OSError:
            pass
        for c in self._held:
            c.close()
        self._thread.join(timeout=2)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
