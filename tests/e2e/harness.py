"""End-to-end harness: the real program under Wine on the test Xvfb.

A case runs in a Wine prefix of its own or in its table's prefix: a hard-linked
copy of a template prefix (Windows 10, Wine's Tahoma), seeded with registry
values and files, with the program copied into it. A table's prefix is saved
once it is seeded and brought back to that state before each case (its files,
and its registry with the wineserver stopped), which costs far less than a new
prefix whose Wine has to start from nothing. The program's debug lines
(OutputDebugStringW) are read from Wine's warn+seh channel in order; window
creation from the win channel.

Wine's own tools (reg, taskkill) run with the 64-bit loader where there is one:
under an emulator for 32-bit code every 32-bit process start costs a second.

Environment (set by CTest): see places.py.
"""
import datetime
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

import lanes  # noqa: F401  (claims the statistics port first)
from places import (BUILD_DIR, DPI_CLIENT_EXE, E2E_DIR, PROGRAM_DIR, SOURCE_DIR, STATE_DIR, STATS_PORT, TEMPLATE,
                    URL_CAPTURE_EXE, VERSIONED_EXE, WINDOW_CAPTION, display)
from receiver import Receiver
from runresult import Result
from xwin import click, find_window, pixel, screenshot, window_geometry, xdotool

__all__ = ["BUILD_DIR", "DPI_CLIENT_EXE", "E2E_DIR", "PROGRAM_DIR", "SOURCE_DIR", "STATE_DIR", "STATS_PORT",
           "TEMPLATE", "URL_CAPTURE_EXE", "VERSIONED_EXE", "WINDOW_CAPTION", "display", "Receiver", "click",
           "find_window", "pixel", "screenshot", "window_geometry", "xdotool", "Result", "Prefix", "E2ECase",
           "PrefixCase", "days_now", "capture_browser", "press_in_window", "ensure_template"]

# Wine's 64-bit loader, when installed: Wine's own tools then run natively.
WINE64 = next((p for p in ("/usr/lib/wine/wine64", shutil.which("wine64")) if p and os.access(p, os.X_OK)), None)
REGISTRY_FILES = ("system.reg", "user.reg", "userdef.reg")
# Folders of drive C that a table's restore leaves alone (Windows' own and the
# programs'); everything else at the top of drive C is the cases' and is
# brought back, and so is the product's folder under Program Files.
SYSTEM_FOLDERS = ("windows", "Program Files", "Program Files (x86)")
PRODUCT_FOLDER = os.path.join("Program Files", "Norvi")


def ensure_template():
    subprocess.run([os.path.join(SOURCE_DIR, "scripts", "wine-prefix.sh"), TEMPLATE], check=True)


_SOFTWARE = re.compile(r"^(HKLM|HKEY_LOCAL_MACHINE)\\SOFTWARE\\(?!(Classes|Wow6432Node)(\\|$))", re.I)


def wow64_key(key):
    """The name of the key a 32-bit program opens under this name, for a
    64-bit program: Wine keeps the 32-bit view of HKLM\\SOFTWARE under
    Wow6432Node (as Windows does) and shares the classes with it (the 32-bit
    reg writes HKCR\\https to the shared key, the 64-bit reg with /reg:32
    to Wow6432Node: the latter is not what the 32-bit program reads)."""
    return _SOFTWARE.sub(lambda m: m.group(0) + "Wow6432Node\\", key)


def prefix_processes(path):
    """Linux processes that run in the prefix at path (the wineserver included)."""
    tag = b"\0WINEPREFIX=" + path.encode() + b"\0"
    found = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open("/proc/%s/environ" % entry, "rb") as f:
                    if tag in b"\0" + f.read():
                        found.append(int(entry))
            except OSError:
                pass
    return found


def _remove(path):
    if os.path.isdir(path) and not os.path.islink(path):
        shutil.rmtree(path)
    elif os.path.lexists(path):
        os.remove(path)


class Prefix:
    """A throw-away Wine prefix: for one case, or for a table of cases with
    save() and restore()."""

    def __init__(self, name, variant="demo", program_dir=None):
        ensure_template()
        os.makedirs(E2E_DIR, exist_ok=True)
        self.path = os.path.join(E2E_DIR, "case-" + re.sub(r"[^A-Za-z0-9_.-]", "_", name))
        self._saved = None
        self.touched = True  # anything done since the last save or restore
        self._kill_server()
        shutil.rmtree(self.path, ignore_errors=True)
        shutil.rmtree(self.path + ".saved", ignore_errors=True)
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
        # No menu entries made for the host's desktop at each Wine start.
        self.env.update(WINEPREFIX=self.path, WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d",
                        WINEDEBUG="-all")
        d = display()
        if d:
            self.env["DISPLAY"] = d
        self.install_program(variant, program_dir)
        self.procs = []
        # Keep this prefix's wineserver (and Wine's services) up for the case.
        self._serve()

    # ---- a table's prefix: saved once, brought back before each case ----
    def stop_server(self):
        """Ends every Wine process of the prefix; Wine writes the registry to
        its files on the way. Returns once none is left: a server still going
        down would take the next Wine process of this prefix down with it."""
        if not prefix_processes(self.path):
            return
        quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-k"], env=self.env, **quiet)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60, **quiet)
        end = time.monotonic() + 30
        while prefix_processes(self.path) and time.monotonic() < end:
            time.sleep(0.05)

    def _case_folders(self):
        drive = os.path.join(self.path, "drive_c")
        names = [os.path.join("drive_c", n) for n in sorted(os.listdir(drive)) if n not in SYSTEM_FOLDERS]
        if os.path.isdir(os.path.join(drive, PRODUCT_FOLDER)):
            names.append(os.path.join("drive_c", PRODUCT_FOLDER))
        return names

    def save(self, serve=True):
        """The prefix as it stands becomes the state restore() brings back:
        its registry files as Wine writes them (the server is stopped for
        that; serve=False: it is not started again), the cases' folders and
        the environment."""
        self.end_processes()
        self.stop_server()
        saved = self.path + ".saved"
        shutil.rmtree(saved, ignore_errors=True)
        os.makedirs(os.path.join(saved, "drive_c"))
        for name in REGISTRY_FILES:
            shutil.copy2(os.path.join(self.path, name), os.path.join(saved, name))
        folders = self._case_folders()
        for rel in folders:
            src = os.path.join(self.path, rel)
            if os.path.isdir(src) and not os.path.islink(src):
                shutil.copytree(src, os.path.join(saved, rel), symlinks=True)
            else:
                shutil.copy2(src, os.path.join(saved, rel), follow_symlinks=False)
        self._saved = (saved, folders, dict(self.env))
        self.touched = False
        if serve:
            self._serve()

    def restore(self, registry=True, serve=True):
        """Back to the saved state: the case's processes ended, the cases'
        folders as saved, and (registry=True) the registry files as saved,
        which needs the server stopped (serve=False: it stays stopped);
        registry=False keeps it running."""
        saved, folders, env = self._saved
        self.end_processes()
        if registry:
            self.stop_server()
            for name in REGISTRY_FILES:
                shutil.copy2(os.path.join(saved, name), os.path.join(self.path, name))
        for rel in self._case_folders():
            _remove(os.path.join(self.path, rel))
        for rel in folders:
            src = os.path.join(saved, rel)
            if os.path.isdir(src) and not os.path.islink(src):
                shutil.copytree(src, os.path.join(self.path, rel), symlinks=True)
            else:
                shutil.copy2(src, os.path.join(self.path, rel), follow_symlinks=False)
        self.env = dict(env)
        self.touched = False
        if registry and serve:
            self._serve()

    def end_processes(self):
        for p in self.procs:
            if p.poll() is None:
                p.kill()
                p.wait()
            for f in getattr(p, "_promo_files", ()):
                f.close()
        self.procs = []

    # ---- paths -------------------------------------------------------
    def unix_path(self, win_path):
        """C:\\x\\y -> <prefix>/drive_c/x/y (case as given)."""
        self.touched = True
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

    # ---- Wine and the registry ------------------------------------------
    def wine(self, *args, check=True, timeout=60, loader="wine"):
        self.touched = True
        # Temp files, not pipes: Wine's helper processes (services.exe) started
        # by the first client keep its stdout/stderr open until wineserver ends.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            r = subprocess.run([loader] + list(args), env=self.env, timeout=timeout,
                               stdout=out, stderr=err, stdin=subprocess.DEVNULL)
            out.seek(0)
            err.seek(0)
            r.stdout, r.stderr = out.read(), err.read()
        if check:
            r.check_returncode()
        return r

    def tool(self, *args, check=True, timeout=60):
        """One of Wine's own programs (taskkill, reg), with the 64-bit loader
        where there is one."""
        return self.wine(*args, check=check, timeout=timeout, loader=WINE64 or "wine")

    def reg(self, verb, key, *args, check=True):
        """Wine's reg on a key as the 32-bit program sees it (its view of
        HKLM\\SOFTWARE is Wow6432Node, the classes are shared): the 64-bit
        reg on the key that view names, where there is one."""
        if WINE64:
            return self.tool("reg", verb, wow64_key(key), *args, "/reg:64", check=check)
        return self.wine("reg", verb, key, *args, "/reg:32", check=check)

    def reg_add(self, key, name, rtype, data):
        args = ["/f"] + (["/ve"] if name is None else ["/v", name]) + ["/t", rtype, "/d", str(data)]
        self.reg("add", key, *args)

    def reg_import(self, text):
        """A .reg text (without its header line) in the 32-bit program's view."""
        p = os.path.join(self.path, "seed.reg")
        if WINE64:
            text = "\n".join(re.sub(r"^\[(-?)([^]]*)\]", lambda m: "[%s%s]" % (m.group(1), wow64_key(m.group(2))),
                                    line) for line in text.split("\n"))
        with open(p, "w", encoding="utf-16") as f:
            f.write("Windows Registry Editor Version 5.00\r\n\r\n" + text)
        self.reg("import", "Z:" + p.replace("/", "\\"))

    def reg_query(self, key, name):
        r = self.reg("query", key, "/v", name, check=False)
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
        self.reg_import("[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n\"LogPixels\"=dword:%08x\r\n\r\n"
                        "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]"
                        "\r\n\"LogPixels\"=dword:%08x\r\n\r\n"
                        "[HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics]\r\n\"AppliedDPI\"=dword:%08x\r\n"
                        % (dpi, dpi, dpi))
        self.stop_server()
        self._serve()

    def install_dpi_client(self):
        """tests/tools/DpiClient.cpp in the prefix; returns a function that
        runs it with the given arguments and gives its output line (None when
        it failed)."""
        exe = r"C:\dpi\dpi_client.exe"
        with open(DPI_CLIENT_EXE, "rb") as f:
            self.write_file(exe, f.read())

        def client(*args):
            r = self.wine(exe, *args, check=False)
            return r.stdout.decode("utf-8", "replace").strip() if r.returncode == 0 else None
        return client

    def default_dpi_aware(self):
        """Whether the platform reports a process that declares no awareness
        as DPI aware: Wine 8 does, Windows and Wine 10 do not. A fact of the
        Wine installed, asked once."""
        if "aware" not in _PLATFORM:
            _PLATFORM["aware"] = self.install_dpi_client()("default") == "aware 1"
        return _PLATFORM["aware"]

    # ---- the product's install ----------------------------------------
    def seed_product(self, install_days_ago=200.0, lang=None, version_exe=None, registry=True):
        """An installed product: uninstall record (registry=False: one is in
        place already), Config.ini, lang.dat."""
        loc = r"C:\Program Files\Norvi\Pellorin"
        if registry:
            self.reg_import("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pellorin_is1]"
                            "\r\n\"InstallLocation\"=\"%s\"\r\n\"DisplayVersion\"=\"7.0.0.1\"\r\n"
                            % loc.replace("\\", "\\\\"))
        if version_exe:
            with open(version_exe, "rb") as f:
                self.write_file(loc + r"\7.0.0.1\Pellorin.exe", f.read())
        if install_days_ago is not None:
            now = days_now()
            self.write_file(self.config_ini, "[Main]\r\ninstTime1=%s\r\n" % repr(now - install_days_ago))
        if lang is not None:
            self.write_file(PROGRAM_DIR + r"\lang.dat", "[Cuslan]\r\nName=%s\r\n" % lang)

    # ---- running -----------------------------------------------------
    def run(self, args, timeout=60, debug="warn+seh"):
        env = dict(self.env)
        env["WINEDEBUG"] = "-all," + debug if debug else "-all"
        self.touched = True
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
        return self.start_process(["wine", self.exe] + list(args), env)

    def start_process(self, argv, env=None):
        """A process of this prefix, its output kept in temporary files (see
        finish); ended at the case's end."""
        self.touched = True
        out = tempfile.TemporaryFile()
        err = tempfile.TemporaryFile()
        p = subprocess.Popen(argv, env=env or self.env, stdout=out, stderr=err, stdin=subprocess.DEVNULL)
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
        return r

    def _serve(self):
        """Starts the prefix's wineserver to stay (not on a pipe of ours: it
        would hold it open)."""
        subprocess.run(["wineserver", "-p"], env=self.env, check=True, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def _kill_server(self):
        if os.path.isdir(getattr(self, "path", "")):
            subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=self.path),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def close(self, keep=False):
        self.end_processes()
        self._kill_server()
        if not keep:
            shutil.rmtree(self.path, ignore_errors=True)
            shutil.rmtree(self.path + ".saved", ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close(keep=os.environ.get("PROMO_E2E_KEEP") == "1")


_PLATFORM = {}


def days_now():
    """Local now as a date-time value (days since 1899-12-30)."""
    t = time.time()
    lt = time.localtime(t)
    d = datetime.datetime(*lt[:6]) + datetime.timedelta(seconds=t % 1)
    return (d - datetime.datetime(1899, 12, 30)).total_seconds() / 86400.0


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


def capture_browser(px):
    """Points the http/https handlers of the prefix at a program that appends
    its command line to a file; returns a function that reads what it got."""
    exe = r"C:\capture\cap.exe"
    with open(URL_CAPTURE_EXE, "rb") as f:
        px.write_file(exe, f.read())
    px.reg_import("".join('[HKEY_CLASSES_ROOT\\%s\\shell\\open\\command]\r\n@="\\"%s\\" \\"%%1\\""\r\n\r\n'
                          % (scheme, exe.replace("\\", "\\\\")) for scheme in ("http", "https")))
    return browser_log(px)


def browser_log(px, exe=r"C:\capture\cap.exe"):
    """A function that returns the stand-in browser's line (one UTF-8 line
    per start), waiting up to `timeout` seconds for it; None when there is
    none. With expected=False it is called once the program has ended: its
    browser, if it started one, was created before it ended (Wine's
    CreateProcess returns once the child runs), so with no stand-in running
    in the prefix the answer is final before the time is up."""
    log = exe + ".txt"
    name = exe.rsplit("\\", 1)[1].encode()

    def running():
        for pid in prefix_processes(px.path):
            for what in ("cmdline", "comm"):
                try:
                    with open("/proc/%d/%s" % (pid, what), "rb") as f:
                        if name in f.read():
                            return True
                except OSError:
                    pass
        return False

    def opened(timeout=10.0, expected=True):
        end = time.monotonic() + timeout
        while True:
            data = px.read_file(log)
            if data:
                return data.decode("utf-8", "replace")
            if time.monotonic() >= end or (not expected and not running()):
                data = px.read_file(log)
                return data.decode("utf-8", "replace") if data else None
            time.sleep(0.1)
    return opened


class E2ECase(unittest.TestCase):
    """Base class: a fresh prefix per test, closed afterwards. A subclass may
    name another folder to take the program and Focus.dll from."""

    program_dir = None

    def prefix(self, variant="demo"):
        px = Prefix(self.id().split(".")[-1], variant, self.program_dir)
        self.addCleanup(px.__exit__, None, None, None)
        return px


class PrefixCase(unittest.TestCase):
    """Base class of a table of cases in one prefix: prepared once by the
    class's prepare(px), saved, and brought back to that state before each
    test; a test with several rows calls fresh() before each row.

    keep_server = True keeps the wineserver (and Wine's services) running
    across the cases: only for tables whose cases leave nothing in the
    registry that a later case could see."""

    variant = "demo"
    program_dir = None
    keep_server = False
    serve = True  # False: no wineserver started once the prefix is saved or restored
    # With keep_server: registry keys that the cases may write and the
    # prepared prefix lacks (the product's own), deleted before each case.
    written_keys = ()

    @classmethod
    def setUpClass(cls):
        cls.px = Prefix(cls.__module__ + "." + cls.__name__, cls.variant, cls.program_dir)
        try:
            cls.prepare(cls.px)
            cls.px.save(serve=cls.serve)
        except BaseException:
            cls.px.close()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.px.close(keep=os.environ.get("PROMO_E2E_KEEP") == "1")

    @classmethod
    def prepare(cls, px):
        """Seeds the table's prefix (the state every case starts from)."""

    def setUp(self):
        self.fresh()

    def fresh(self):
        """The prefix as prepared (nothing to do when nothing was done since)."""
        if self.px.touched:
            self.px.restore(registry=not self.keep_server, serve=self.serve)
            for key in self.written_keys if self.keep_server else ():
                self.px.reg("delete", key, "/f", check=False)
        return self.px
