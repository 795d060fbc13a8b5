"""End-to-end harness: the real program under Wine on the test Xvfb.

Each case gets its own Wine prefix, a hard-linked copy of a template prefix
(Windows 10, Wine's Tahoma), seeded with registry values and files, with the
program copied into it. The program's debug lines (OutputDebugStringW) are read
from Wine's warn+seh channel in order; window creation from the win channel.

Environment (set by CTest): PROMO_BUILD_DIR (build/windows), PROMO_TEST_STATE
(holds the Xvfb display), PROMO_SOURCE_DIR.
"""
import http.server
import os
import re
import shutil
import socket
import socketserver
import struct
import subprocess
import tempfile
import threading
import time
import unittest

SOURCE_DIR = os.environ.get("PROMO_SOURCE_DIR", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
BUILD_DIR = os.environ.get("PROMO_BUILD_DIR", os.path.join(SOURCE_DIR, "build", "windows"))
STATE_DIR = os.environ.get("PROMO_TEST_STATE", os.path.join(BUILD_DIR, "test-state"))
E2E_DIR = os.path.join(BUILD_DIR, "e2e")
TEMPLATE = os.path.join(E2E_DIR, "template-prefix")
PROGRAM_DIR = r"C:\Program Files\Norvi\PellorinPromo"

_ODS = re.compile(r'warn:seh:OutputDebugStringA "(.*)"$')
_CREATE = re.compile(r'trace:win:WIN_CreateWindowEx (.*)$')


def display():
    if os.environ.get("DISPLAY"):
        return os.environ["DISPLAY"]
    path = os.path.join(STATE_DIR, "display")
    if os.path.exists(path):
        with open(path) as f:
            return f.read().strip()
    return None


def _unescape_wine(s):
    """Undoes Wine's debugstr escaping of a traced string."""
    out, i = [], 0
    while i < len(s):
        c = s[i]
        if c == "\\" and i + 1 < len(s):
            n = s[i + 1]
            simple = {"n": "\n", "r": "\r", "t": "\t", "\\": "\\", '"': '"'}
            if n in simple:
                out.append(simple[n]); i += 2; continue
            if n == "x":
                m = re.match(r"[0-9a-fA-F]{1,2}", s[i + 2:])
                if m:
                    out.append(chr(int(m.group(0), 16))); i += 2 + len(m.group(0)); continue
            if n == "u":
                out.append(chr(int(s[i + 2:i + 6], 16))); i += 6; continue
            if n.isdigit():
                m = re.match(r"[0-7]{1,3}", s[i + 1:])
                out.append(chr(int(m.group(0), 8))); i += 1 + len(m.group(0)); continue
        out.append(c)
        i += 1
    return "".join(out)


def ensure_template():
    subprocess.run([os.path.join(SOURCE_DIR, "scripts", "wine-prefix.sh"), TEMPLATE], check=True)


class Result:
    def __init__(self, rc, stdout, stderr, elapsed):
        self.rc = rc
        self.stdout = stdout
        self.stderr = stderr
        self.elapsed = elapsed
        self.debug_lines = []
        self.created_windows = []  # (name, class) of every CreateWindowEx of the program
        for line in stderr.splitlines():
            m = _ODS.search(line)
            if m:
                self.debug_lines.append(_unescape_wine(m.group(1)))
                continue
            m = _CREATE.search(line)
            if m:
                parts = re.findall(r'L"((?:[^"\\]|\\.)*)"|(#[0-9a-fx]+)', m.group(1))
                texts = [_unescape_wine(a) if a else b for a, b in parts]
                self.created_windows.append(tuple(texts[:2]))

    def created_class(self, name):
        return any(len(w) > 1 and w[1] == name for w in self.created_windows)


class Prefix:
    """A throw-away Wine prefix for one case."""

    def __init__(self, name, variant="demo", program_dir=None):
        ensure_template()
        os.makedirs(E2E_DIR, exist_ok=True)
        self.path = os.path.join(E2E_DIR, "case-" + re.sub(r"[^A-Za-z0-9_.-]", "_", name))
        self._kill_server()
        shutil.rmtree(self.path, ignore_errors=True)
        # Hard links make the copy instant; what Wine or the tests may change
        # in place (the registry files, the users' and common folders) is
        # copied for real so that no case writes through to the template.
        subprocess.run(["cp", "-al", TEMPLATE, self.path], check=True)
        os.remove(os.path.join(self.path, ".promo-ready"))
        for name in os.listdir(self.path):
            if name.endswith(".reg"):
                shutil.copy2(os.path.join(TEMPLATE, name), os.path.join(self.path, name) + ".tmp")
                os.replace(os.path.join(self.path, name) + ".tmp", os.path.join(self.path, name))
        for sub in ("drive_c/users", "drive_c/ProgramData"):
            dst = os.path.join(self.path, sub)
            if os.path.isdir(dst):
                shutil.rmtree(dst)
                shutil.copytree(os.path.join(TEMPLATE, sub), dst, symlinks=True)
        self.env = dict(os.environ)
        self.env.update(WINEPREFIX=self.path, WINEDLLOVERRIDES="mscoree,mshtml=", WINEDEBUG="-all")
        d = display()
        if d:
            self.env["DISPLAY"] = d
        self.install_program(variant, program_dir)
        self.procs = []
        # Keep this prefix's wineserver (and Wine's services) up for the case.
        subprocess.run(["wineserver", "-p"], env=self.env, check=True)

    # ---- paths -------------------------------------------------------
    def unix_path(self, win_path):
        """C:\\x\\y -> <prefix>/drive_c/x/y (case as given)."""
        drive, rest = win_path[0].lower(), win_path[2:].replace("\\", "/").lstrip("/")
        return os.path.join(self.path, "drive_" + drive, rest)

    @property
    def user(self):
        return os.environ.get("USER") or "root"

    @property
    def appdata(self):
        return "C:\\users\\%s\\AppData\\Roaming" % self.user

    @property
    def common_appdata(self):
        return r"C:\ProgramData"

    @property
    def config_ini(self):
        return self.appdata + r"\Norvi\Pellorin\Config.ini"

    @property
    def marker_ini(self):
        return self.common_appdata + r"\Norvi\EventPromote.ini"

    @property
    def exe(self):
        return PROGRAM_DIR + r"\PellorinPromo.exe"

    # ---- files -------------------------------------------------------
    def write_file(self, win_path, data):
        p = self.unix_path(win_path)
        os.makedirs(os.path.dirname(p), exist_ok=True)
        if isinstance(data, str):
            data = data.encode("utf-8")
        with open(p, "wb") as f:
            f.write(data)
        return p

    def read_file(self, win_path):
        p = self.unix_path(win_path)
        if not os.path.exists(p):
            return None
        with open(p, "rb") as f:
            return f.read()

    def exists(self, win_path):
        return os.path.exists(self.unix_path(win_path))

    def install_program(self, variant, program_dir=None):
        """The program and Focus.dll of the build's variant, or those in
        program_dir (a signed copy, for example)."""
        src = program_dir or os.path.join(BUILD_DIR, "demo" if variant == "demo" else "")
        dst = self.unix_path(PROGRAM_DIR)
        os.makedirs(dst, exist_ok=True)
        for name in ("PellorinPromo.exe", "Focus.dll"):
            s = os.path.join(src, name)
            if os.path.exists(s):
                d = os.path.join(dst, name)
                # A hard link to the template's file: unlink it, or the copy
                # would write through into the template.
                if os.path.exists(d):
                    os.remove(d)
                shutil.copy2(s, d)

    # ---- registry ----------------------------------------------------
    def wine(self, *args, check=True, timeout=60):
        # Temp files, not pipes: Wine's helper processes (services.exe) started
        # by the first client keep its stdout/stderr open until wineserver ends.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            r = subprocess.run(["wine"] + list(args), env=self.env, timeout=timeout,
                               stdout=out, stderr=err, stdin=subprocess.DEVNULL)
            out.seek(0)
            err.seek(0)
            r.stdout, r.stderr = out.read(), err.read()
        if check:
            r.check_returncode()
        return r

    def reg_add(self, key, name, rtype, data, view=32):
        args = ["reg", "add", key, "/f", "/reg:%d" % view]
        if name is None:
            args += ["/ve"]
        else:
            args += ["/v", name]
        args += ["/t", rtype, "/d", str(data)]
        self.wine(*args)

    def reg_import(self, text, view=32):
        p = os.path.join(self.path, "seed.reg")
        with open(p, "w", encoding="utf-16") as f:
            f.write("Windows Registry Editor Version 5.00\r\n\r\n" + text)
        self.wine("reg", "import", "Z:" + p.replace("/", "\\"), "/reg:%d" % view)

    def reg_query(self, key, name, view=32):
        r = self.wine("reg", "query", key, "/v", name, "/reg:%d" % view, check=False)
        if r.returncode != 0:
            return None
        for line in r.stdout.decode("utf-8", "replace").splitlines():
            parts = line.split(None, 2)
            if len(parts) >= 2 and parts[0].lower() == name.lower():
                return parts[2].strip() if len(parts) > 2 else ""
        return None

    # ---- display scaling ---------------------------------------------
    def set_dpi(self, dpi):
        """The display's scaling as Windows records it (the logical DPI, and
        the DPI the user applied), taken up by a restarted wineserver."""
        self.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", "REG_DWORD", dpi)
        self.reg_add(r"HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts", "LogPixels",
                     "REG_DWORD", dpi)
        self.reg_add(r"HKCU\Control Panel\Desktop\WindowMetrics", "AppliedDPI", "REG_DWORD", dpi)
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-p"], env=self.env, check=True)

    def install_dpi_client(self):
        """tests/tools/DpiClient.cpp in the prefix; returns a function that
        runs it with the given arguments and gives its output line (None when
        it failed)."""
        exe = r"C:\dpi\dpi_client.exe"
        self.write_file(exe, open(DPI_CLIENT_EXE, "rb").read())

        def client(*args):
            r = self.wine(exe, *args, check=False)
            return r.stdout.decode("utf-8", "replace").strip() if r.returncode == 0 else None
        return client

    def default_dpi_aware(self):
        """Whether the platform reports a process that declares no awareness
        as DPI aware: Wine 8 does, Windows and Wine 10 do not."""
        return self.install_dpi_client()("default") == "aware 1"

    # ---- the product's install ----------------------------------------
    def seed_product(self, install_days_ago=200.0, lang=None, version_exe=None):
        """An installed product: uninstall record, Config.ini, lang.dat."""
        loc = r"C:\Program Files\Norvi\Pellorin"
        key = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Pellorin_is1"
        self.reg_add(key, "InstallLocation", "REG_SZ", loc)
        self.reg_add(key, "DisplayVersion", "REG_SZ", "7.0.0.1")
        if version_exe:
            self.write_file(loc + r"\7.0.0.1\Pellorin.exe", open(version_exe, "rb").read())
        if install_days_ago is not None:
            now = days_now()
            self.write_file(self.config_ini, "[Main]\r\ninstTime1=%s\r\n" % repr(now - install_days_ago))
        if lang is not None:
            self.write_file(PROGRAM_DIR + r"\lang.dat", "[Cuslan]\r\nName=%s\r\n" % lang)

    # ---- running -----------------------------------------------------
    def run(self, args, timeout=60, debug="warn+seh"):
        env = dict(self.env)
        env["WINEDEBUG"] = "-all," + debug if debug else "-all"
        start = time.monotonic()
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            p = subprocess.Popen(["wine", self.exe] + list(args), env=env, stdout=out, stderr=err,
                                 stdin=subprocess.DEVNULL)
            try:
                rc = p.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()
                rc = None
            elapsed = time.monotonic() - start
            out.seek(0)
            err.seek(0)
            return Result(rc, out.read().decode("utf-8", "replace"), err.read().decode("utf-8", "replace"), elapsed)

    def start(self, args, debug="warn+seh"):
        env = dict(self.env)
        env["WINEDEBUG"] = "-all," + debug if debug else "-all"
        out = tempfile.TemporaryFile()
        err = tempfile.TemporaryFile()
        p = subprocess.Popen(["wine", self.exe] + list(args), env=env, stdout=out, stderr=err,
                             stdin=subprocess.DEVNULL)
        p._promo_files = (out, err)
        p._promo_start = time.monotonic()
        self.procs.append(p)
        return p

    def finish(self, p, timeout=30):
        try:
            rc = p.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            p.kill()
            p.wait()
            rc = None
        out, err = p._promo_files
        out.seek(0)
        err.seek(0)
        r = Result(rc, out.read().decode("utf-8", "replace"), err.read().decode("utf-8", "replace"),
                   time.monotonic() - p._promo_start)
        out.close()
        err.close()
        return r

    def _kill_server(self):
        if os.path.isdir(getattr(self, "path", "")):
            subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=self.path),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def close(self, keep=False):
        for p in self.procs:
            if p.poll() is None:
                p.kill()
                p.wait()
        self._kill_server()
        if not keep:
            shutil.rmtree(self.path, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close(keep=os.environ.get("PROMO_E2E_KEEP") == "1")


def days_now():
    """Local now as a date-time value (days since 1899-12-30)."""
    t = time.time()
    lt = time.localtime(t)
    import datetime
    d = datetime.datetime(*lt[:6]) + datetime.timedelta(seconds=t % 1)
    return (d - datetime.datetime(1899, 12, 30)).total_seconds() / 86400.0


# ---- X11 -----------------------------------------------------------------
def xdotool(*args, check=True):
    env = dict(os.environ)
    d = display()
    if d:
        env["DISPLAY"] = d
    r = subprocess.run(["xdotool"] + [str(a) for a in args], env=env, stdout=subprocess.PIPE,
                       stderr=subprocess.PIPE, check=False)
    if check and r.returncode != 0:
        raise RuntimeError("xdotool %s failed: %s" % (args, r.stderr.decode()))
    return r.stdout.decode().strip()


def find_window(name, timeout=180.0, process=None):
    """Waits until a mapped top-level window with this exact name exists and
    stays put (the same id twice, its geometry readable); its id or None."""
    end = time.monotonic() + timeout
    last = None
    while time.monotonic() < end:
        out = xdotool("search", "--onlyvisible", "--name", "^%s$" % re.escape(name), check=False)
        wid = out.splitlines()[0] if out else None
        if wid and wid == last:
            r = subprocess.run(["xdotool", "getwindowgeometry", wid], env=dict(os.environ, DISPLAY=display() or ""),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            if r.returncode == 0:
                return wid
        last = wid
        if process is not None and process.poll() is not None:
            return None
        time.sleep(0.2)
    return None


def window_geometry(wid):
    out = xdotool("getwindowgeometry", "--shell", wid)
    vals = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
    return int(vals["X"]), int(vals["Y"]), int(vals["WIDTH"]), int(vals["HEIGHT"])


def click(x, y, button=1):
    xdotool("mousemove", x, y)
    time.sleep(0.15)
    xdotool("click", button)


def press_in_window(case, px, point, args=("/kv",)):
    """Starts the program, waits for its window, clicks at point (client
    coordinates) and returns the finished run."""
    p = px.start(list(args))
    wid = find_window(WINDOW_CAPTION, timeout=240, process=p)
    case.assertIsNotNone(wid, "the window did not appear")
    time.sleep(0.5)
    x, y, _, _ = window_geometry(wid)
    click(x + point[0], y + point[1])
    return px.finish(p, timeout=240)


def screenshot(path, crop=None):
    env = dict(os.environ)
    env["DISPLAY"] = display() or ""
    subprocess.run(["import", "-window", "root", path], env=env, check=True)
    if crop:
        w, h, x, y = crop
        subprocess.run(["/usr/bin/convert", path, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage", path],
                       check=True)
    return path


def pixel(path, x, y):
    """The colour at (x, y) of a picture as "RRGGBB"."""
    out = subprocess.run(["/usr/bin/convert", "%s[1x1+%d+%d]" % (path, x, y), "-depth", "8", "txt:-"],
                         stdout=subprocess.PIPE, check=True).stdout.decode()
    m = re.search(r"#([0-9A-Fa-f]{6})", out)
    return m.group(1).upper() if m else None


# ---- a loopback HTTP receiver --------------------------------------------------
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
        self._sock.settimeout(0.2)
        self._stop = False
        self._held = []
        self._thread = threading.Thread(target=self._serve, daemon=True)
        self._thread.start()

    def _serve(self):
        while not self._stop:
            try:
                conn, _ = self._sock.accept()
            except socket.timeout:
                continue
            except OSError:
                break
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
                    continue
                if self.mode == "reset":
                    # Linger on, time 0: close sends RST instead of FIN.
                    conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                    conn.close()
                    continue
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
            if self.mode not in ("silent", "reset"):
                conn.close()

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


# The demo build's statistics host (127.0.0.1:<port>), chosen per build tree.
STATS_PORT = int(os.environ.get("PROMO_DEMO_STATS_HOST", "127.0.0.1:18931").rsplit(":", 1)[1])
VERSIONED_EXE = os.path.join(BUILD_DIR, "tests", "product", "product_versioned_app.exe")  # file version 7.0.0.1
URL_CAPTURE_EXE = os.path.join(BUILD_DIR, "tests", "support", "url_capture.exe")
DPI_CLIENT_EXE = os.path.join(BUILD_DIR, "tests", "e2e", "dpi_client.exe")
WINDOW_CAPTION = "FormSale"


def capture_browser(px):
    """Points the http/https handlers of the prefix at a program that appends
    its command line to a file; returns a function that reads what it got."""
    exe = r"C:\capture\cap.exe"
    px.write_file(exe, open(URL_CAPTURE_EXE, "rb").read())
    for scheme in ("http", "https"):
        px.reg_add(r"HKCR\%s\shell\open\command" % scheme, None, "REG_SZ", '"%s" "%%1"' % exe)
    log = exe + ".txt"

    def opened(timeout=10.0):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            data = px.read_file(log)
            if data:
                return data.decode("utf-8", "replace")  # one UTF-8 line per start
            time.sleep(0.2)
        return None
    return opened


class E2ECase(unittest.TestCase):
    """Base class: a fresh prefix per test, closed afterwards. A subclass may
    name another folder to take the program and Focus.dll from."""

    program_dir = None

    def prefix(self, variant="demo"):
        px = Prefix(self.id().split(".")[-1], variant, self.program_dir)
        self.addCleanup(px.__exit__, None, None, None)
        return px
