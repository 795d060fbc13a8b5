"""What Linux sees of the Wine processes of our benchmarks and reports: which
process runs an exe, its working set (by mapping), its CPU time and context
switches. Shared by scripts/bench-window.py and scripts/soak-window.py."""
import os
import sys


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


def cpu_ns(pid):
    """CPU time so far of every thread of the process (schedstat, ns)."""
    total = 0
    try:
        tids = os.listdir("/proc/%d/task" % pid)
    except OSError:
        return None
    for tid in tids:
        data = _read("/proc/%d/task/%s/schedstat" % (pid, tid))
        if data:
            total += int(data.split()[0])
    return total


def thread_switches(pid):
    """Context switches per thread: {tid: count}."""
    out = {}
    try:
        tids = os.listdir("/proc/%d/task" % pid)
    except OSError:
        return out
    for tid in tids:
        data = _read("/proc/%d/task/%s/status" % (pid, tid))
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
