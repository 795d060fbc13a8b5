#!/usr/bin/env python3
"""A loopback stand-in for a package mirror in mid-sync: it forwards
/HOST/PATH to http://HOST/PATH, except that a path matching --break is served
one byte short (as a half-synced index is). Every request is logged to
--log as "STATUS PATH" lines. Usage:
    lagging_mirror.py --port-file F --log L --break REGEX [--break REGEX]... [--heal-file H]
It prints nothing; the chosen port goes to --port-file. Once H exists, the
sync has ended: nothing is served short any more."""
import argparse
import http.server
import os
import re
import socketserver
import threading
import urllib.error
import urllib.request


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port-file", required=True)
    ap.add_argument("--log", required=True)
    ap.add_argument("--break", dest="breaks", action="append", default=[])
    ap.add_argument("--heal-file", default=None)
    ap.add_argument("--seconds", type=int, default=3600, help="stops by itself after this long")
    args = ap.parse_args()
    breaks = [re.compile(b) for b in args.breaks]
    lock = threading.Lock()

    class Handler(http.server.BaseHTTPRequestHandler):
        def log_message(self, *a):
            pass

        def note(self, status):
            with lock, open(args.log, "a") as f:
                f.write("%d %s\n" % (status, self.path))

        def do_GET(self):
            host, _, rest = self.path.lstrip("/").partition("/")
            try:
                with urllib.request.urlopen("http://%s/%s" % (host, rest), timeout=60) as up:
                    body = up.read()
                    status = up.status
            except urllib.error.HTTPError as e:
                body, status = e.read(), e.code
            except OSError:
                self.note(502)
                self.send_error(502)
                return
            healed = args.heal_file and os.path.exists(args.heal_file)
            if status == 200 and not healed and any(b.search(self.path) for b in breaks):
                body = body[:-1]
                status = 299  # logged only: the client sees 200 with a short body
            self.note(status)
            self.send_response(200 if status == 299 else status)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

    class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
        daemon_threads = True

    srv = Server(("127.0.0.1", 0), Handler)
    with open(args.port_file, "w") as f:
        f.write(str(srv.server_address[1]))
    threading.Timer(args.seconds, srv.shutdown).start()
    srv.serve_forever()


if __name__ == "__main__":
    main()
