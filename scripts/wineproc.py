"""What Linux sees of the Wine processes of our benchmarks and reports: which
process runs an exe, its working set (by mapping), its CPU time and context
switches, and when the X server maps a window (MapWatcher). Shared by
scripts/bench-window.py, scripts/soak-window.py and the e2e window test.

A module to import, not a program: it reads /proc and the X display and
changes nothing. Run on its own (python3 scripts/wineproc.py --help) it
prints this text, at once."""
import os
import sys
import time


def _read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def find_process(exe_name, prefix=None, exclude=()):
    """Pids of processes whose command line names this exe (the Wine loader
    running it; under an emulator the emulator process running the loader),
    in the given Wine prefix only (when one is given): test runs of other
    build trees may run the same program at the same time, and are none of
    ours to measure or end."""
    me = os.getpid()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) in exclude or int(entry) == me:
            continue
        cmd = _read("/proc/%s/cmdline" % entry)
        if not cmd:
            continue
        parts = [p.decode("utf-8", "replace") for p in cmd.split(b"\0") if p]
        if not any(p.lower().endswith(exe_name.lower()) for p in parts):
            continue
        environ = _read("/proc/%s/environ" % entry) or b""
        if prefix and ("WINEPREFIX=" + prefix).encode() not in environ.split(b"\0"):
            continue
        found.append(int(entry))
    return found


def vm_rss(pid):
    """VmRSS in bytes, or None."""
    data = _read("/proc/%d/status" % pid)
    if not data:
        return None
    for line in data.decode().splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1]) * 1024
    return None


def rss_by_mapping(pid):
    """Resident bytes per mapped file (anonymous memory as "[anon]", or
    "[anon rwx]" when it is writable and executable)."""
    data = _read("/proc/%d/smaps" % pid)
    out = {}
    name = "[anon]"
    for line in (data or b"").decode("utf-8", "replace").splitlines():
        fields = line.split(None, 5)
        if fields and "-" in fields[0] and len(fields) >= 5 and ":" in fields[3]:
            if len(fields) > 5 and fields[5].strip():
                name = os.path.basename(fields[5].strip())
            else:
                # Under an emulator, its translated code lives in executable
                # anonymous memory: keep it apart from the program's own data.
                name = "[anon rwx]" if fields[1].startswith("rwx") else "[anon]"
        elif fields and fields[0] == "Rss:":
            out[name] = out.get(name, 0) + int(fields[1]) * 1024
    return out


def _per_thread(pid, name):
    """{tid: bytes of /proc/<pid>/task/<tid>/<name> (None when unreadable)},
    or None when the process is gone."""
    try:
        tids = os.listdir("/proc/%d/task" % pid)
    except OSError:
        return None
    return {tid: _read("/proc/%d/task/%s/%s" % (pid, tid, name)) for tid in tids}


def cpu_ns(pid):
    """CPU time so far of every thread of the process (schedstat, ns)."""
    files = _per_thread(pid, "schedstat")
    if files is None:
        return None
    return sum(int(data.split()[0]) for data in files.values() if data)


def thread_switches(pid):
    """Context switches per thread: {tid: count}."""
    out = {}
    for tid, data in (_per_thread(pid, "status") or {}).items():
        n = 0
        for line in (data or b"").decode().splitlines():
            if line.startswith(("voluntary_ctxt_switches:", "nonvoluntary_ctxt_switches:")):
                n += int(line.split()[1])
        out[tid] = n
    return out


def context_switches(pid):
    """Voluntary plus involuntary context switches so far of every thread:
    each is a time the thread was taken off the processor, so an idle
    thread's count grows by one per wake-up. None when the process is gone."""
    per_thread = thread_switches(pid)
    return sum(per_thread.values()) if per_thread else None


def import_harness(source_dir, build_dir, state_name):
    """Points the e2e harness at a build folder and a state folder of its own
    in it (the harness reads both when imported), with no display of the
    caller's, and imports it."""
    os.environ["PROMO_BUILD_DIR"] = build_dir
    os.environ["PROMO_TEST_STATE"] = os.path.join(build_dir, state_name)
    os.environ["PROMO_SOURCE_DIR"] = source_dir
    os.environ.pop("DISPLAY", None)
    sys.path.insert(0, os.path.join(source_dir, "tests", "e2e"))
    import harness
    return harness


class MapWatcher:
    """The moments top-level windows are mapped on an X display, as the X
    server reports them (MapNotify on the root window), read on a thread of
    its own as they come: an exact "the window became visible" without a
    poller that takes the processor from the program it times.

        with MapWatcher(display) as w:
            t0 = time.monotonic(); start the program
            t = w.wait_for("FormSale", after=t0, timeout=120)   # monotonic time or None

    Raises OSError when libX11 or the display cannot be had."""

    _SUBSTRUCTURE_NOTIFY = 1 << 19
    _MAP_NOTIFY = 19

    def __init__(self, display):
        import ctypes
        import ctypes.util
        import threading
        self._ct = ctypes
        name = ctypes.util.find_library("X11") or "libX11.so.6"
        x = ctypes.CDLL(name)
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x.XConnectionNumber.argtypes = [ctypes.c_void_p]
        x.XPending.argtypes = [ctypes.c_void_p]
        x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        x.XFlush.argtypes = [ctypes.c_void_p]
        x.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._x = x
        self._dpy = x.XOpenDisplay(display.encode() if display else None)
        if not self._dpy:
            raise OSError("cannot open X display %r" % display)
        x.XSelectInput(self._dpy, x.XDefaultRootWindow(self._dpy), self._SUBSTRUCTURE_NOTIFY)
        x.XFlush(self._dpy)
        self._fd = x.XConnectionNumber(self._dpy)
        self._lock = threading.Lock()
        self._maps = []  # (monotonic time, window name)
        self._stop = False
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._thread.start()

    def _run(self):
        import select
        ct = self._ct
        event = ct.create_string_buffer(256)  # larger than any XEvent
        # XMapEvent: int type; unsigned long serial; Bool send_event;
        # Display *display; Window event; Window window; ...
        window_offset = 5 * ct.sizeof(ct.c_ulong)  # every field before it is long-aligned
        name = ct.c_char_p()
        # Every Xlib call is made on this thread: the display is not shared.
        while not self._stop:
            select.select([self._fd], [], [], 0.05)
            now = time.monotonic()
            while not self._stop and self._x.XPending(self._dpy):
                self._x.XNextEvent(self._dpy, event)
                if ct.c_int.from_buffer(event, 0).value != self._MAP_NOTIFY:
                    continue
                wid = ct.c_ulong.from_buffer(event, window_offset).value
                caption = None
                if self._x.XFetchName(self._dpy, wid, ct.byref(name)) and name.value is not None:
                    caption = name.value.decode("latin-1")
                with self._lock:
                    self._maps.append((now, caption))

    def wait_for(self, caption, after, timeout, alive=None):
        """The time the first window named caption was mapped at or after
        `after` (a time.monotonic value), or None when none was within
        timeout seconds or alive() turned false first."""
        end = time.monotonic() + timeout
        seen = 0
        next_alive = time.monotonic() + 0.25  # asking is not free: seldom
        while time.monotonic() < end:
            with self._lock:
                maps = self._maps[seen:]
            for t, name in maps:
                seen += 1
                if t >= after and name == caption:
                    return t
            if alive is not None and time.monotonic() >= next_alive:
                if not alive():
                    return None
                next_alive = time.monotonic() + 0.25
            time.sleep(0.005)
        return None

    def mapped(self):
        """Every map seen so far: [(time.monotonic() value, window name)]."""
        with self._lock:
            return list(self._maps)

    def close(self):
        self._stop = True
        self._thread.join()
        self._x.XCloseDisplay(self._dpy)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


if __name__ == "__main__" and sys.argv[1:2] in (["-h"], ["--help"]):
    print(__doc__)
