#!/usr/bin/env python3
"""Speed and size of the promotion window against a bare Win32 window, side by
side in one run under the same Wine (a report, not a test).

    scripts/bench-window.py [--build-dir build/windows] [--rounds 5] [--idle 10]

The build folder must hold the demo program (demo/PellorinPromo.exe), the
shipping program (PellorinPromo.exe) and bench/window/{bare_window,
window_repaint_bench}.exe. Both programs run in one prefix seeded with a
product install (so that the uptime wait and the show decision let the window
through), alternating, on a private Xvfb. Per round and program:

  launch      process start until the window is mapped and visible (the
              X server's MapNotify, read as it comes by wineproc.MapWatcher;
              xdotool search --onlyvisible polled every 10 ms without libX11)
  working set VmRSS of the program's Linux process 1 s after the window appeared
  idle CPU    CPU time of that process (all its threads, /proc/.../schedstat)
              over the next idle seconds while the window is shown

then the in-process repaint figures of window_repaint_bench and the size of the
shipping program. Medians are compared with the targets and the bare window.

Two benchmark builds of the program (bench/window/{timeline,waiting}) add:

  timeline    the start-up by phase (process start, entry, the unit
              initializations, the DPI setup, the application window, reading
              the window description (parse, objects, loaded), the creation
              handler with its uptime wait and decision, texts, layout, first
              paint), from the debug lines only the timeline build writes;
              milliseconds since `wine` was started, median of --timeline runs
  uptime wait the working set of the build whose uptime threshold is never
              reached, sampled once it has settled, and its CPU time and
              wake-ups (context switches of every thread) over --wait seconds

Exit code 0 whatever the figures, 1 only when something could not be measured.

32-bit Wine may run through an emulator here: the CPU times are then emulated
ones. The bare window's figures, measured the same way, keep the ratios fair.
"""
EPILOG = """Builds nothing: build the windows preset first (cmake --build --preset
windows). Writes only into the build folder: bench-window-state/ (a private
Xvfb's state), the Wine prefix e2e/case-bench-window (removed at the end) and
e2e/template-prefix when it is missing.

Time, 2-core machine: about 5 minutes with the defaults (2026-12-09, 32-bit
code run natively; longer through an emulator); --rounds, --timeline, --wait
and --wake shorten it."""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

SOURCE_DIR = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))

MB = 1048576
TARGET_LAUNCH_RATIO = 1.10
TARGET_EXTRA_WORKING_SET = 2.5 * MB
TARGET_EXTRA_WAITING_SET = 1.5 * MB
TARGET_IDLE_CPU_MS = 5.0
TARGET_REPAINT_CPU_US = 1000.0
# The program before its pictures for five scales (GCC 14's build, the
# larger) and the 200 KB those may add; tests/e2e/test_exe.py checks the same.
TARGET_SIZE = 944128 + 200 * 1024

# Each start waits this long after the program before it ended, so that the
# end of one (its Wine processes, its windows) does not slow the next.
SETTLE_SECONDS = 0.5

PROGRAM_CAPTION = "FormSale"
BARE_CAPTION = "BareWindow"
BARE_DIR = r"C:\Bench"


def parse_args():
    ap = argparse.ArgumentParser(description=__doc__, epilog=EPILOG,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build-dir", default=os.path.join(SOURCE_DIR, "build", "windows"))
    ap.add_argument("--rounds", type=int, default=15)
    ap.add_argument("--idle", type=float, default=10.0, help="seconds of idle CPU measurement")
    ap.add_argument("--repaints", type=int, default=200)
    ap.add_argument("--dpi", type=int, default=96,
                    help="the display's scaling as a DPI (96 is 100 %%, 192 is 200 %%); both windows run at it")
    ap.add_argument("--timeline", type=int, default=5, help="runs of the timeline build")
    ap.add_argument("--wait", type=float, default=60.0, help="seconds of the uptime-wait CPU measurement")
    ap.add_argument("--wake", type=float, default=20.0, help="seconds of the uptime-wait wake-up count (strace)")
    ap.add_argument("--timeline-exe", help="the timeline build to run (default: the build folder's)")
    ap.add_argument("--waiting-exe", help="the waiting build to run (default: the build folder's); "
                    "to measure an older tree, build its demo variant with PROMO_DEMO_MIN_UPTIME_MS=4294967295")
    return ap.parse_args()


args = parse_args()
BUILD_DIR = os.path.abspath(args.build_dir)
STATE_DIR = os.path.join(BUILD_DIR, "bench-window-state")
sys.path.insert(0, os.path.join(SOURCE_DIR, "scripts"))
import wineproc  # noqa: E402
harness = wineproc.import_harness(SOURCE_DIR, BUILD_DIR, "bench-window-state")
from wineproc import context_switches, cpu_ns, rss_by_mapping, thread_switches, vm_rss  # noqa: E402


def find_process(exe_name, exclude=()):
    """The processes running the exe in this benchmark's own prefix."""
    return wineproc.find_process(exe_name, OWN_PREFIX, exclude)


DEMO_EXE = os.path.join(BUILD_DIR, "demo", "PellorinPromo.exe")
SHIPPING_EXE = os.path.join(BUILD_DIR, "PellorinPromo.exe")
BARE_EXE = os.path.join(BUILD_DIR, "bench", "window", "bare_window.exe")
REPAINT_EXE = os.path.join(BUILD_DIR, "bench", "window", "window_repaint_bench.exe")
TIMELINE_EXE = args.timeline_exe or os.path.join(BUILD_DIR, "bench", "window", "timeline", "PellorinPromo.exe")
WAITING_EXE = args.waiting_exe or os.path.join(BUILD_DIR, "bench", "window", "waiting", "PellorinPromo.exe")
# The benchmark builds run from the product folder too (they read lang.dat
# beside themselves), under names of their own.
BARE_TIMELINE_EXE = os.path.join(BUILD_DIR, "bench", "window", "bare_window_timeline.exe")
TIMELINE_NAME = "PellorinPromoTimeline.exe"
BARE_TIMELINE_NAME = "BareWindowTimeline.exe"
WAITING_NAME = "PellorinPromoWaiting.exe"
TIMELINE_PHASES = ("process-start", "entry", "picture", "units", "dpi-setup", "uptime-wait", "decision", "description-parse", "description-objects", "description",
                   "form-create", "application", "form-show", "texts", "layout", "first-paint")


# The benchmark's Wine prefix, once made (find_process looks only there).
OWN_PREFIX = None
# The X server's reports of mapped windows (wineproc.MapWatcher), when libX11
# can be had; otherwise launches are timed by polling xdotool.
WATCHER = None


class Unmeasured(Exception):
    pass


# ---- Linux side of a Wine process -------------------------------------------
def process_of(launcher, exe_name, timeout=5.0):
    """The process that runs the exe: the launcher itself when the loader
    replaced it in place, otherwise the one with most memory among those whose
    command line names the exe."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        pids = [p for p in find_process(exe_name) if vm_rss(p) is not None]
        if launcher.pid in pids:
            return launcher.pid  # wine became the loader in place
        if pids:
            return max(pids, key=lambda p: vm_rss(p) or 0)
        time.sleep(0.05)
    raise Unmeasured("no process runs %s" % exe_name)


# The calls a Wine thread blocks in until a timer or an event wakes it (a
# Sleep, a wait on objects, a message wait); a reply from the Wine server is
# read with a blocking read, but that is the answer to the thread's own
# request, not a wake-up.
WAIT_SYSCALLS = ("pselect6", "ppoll", "poll", "select", "futex", "epoll_wait", "epoll_pwait", "nanosleep",
                 "clock_nanosleep")


def count_wakeups(pid, seconds):
    """Returns of blocking waits of every thread over `seconds`, by system
    call (strace's count), or None without strace."""
    try:
        r = subprocess.run(["timeout", "-s", "INT", str(seconds), "strace", "-f", "-c", "-e",
                            "trace=" + ",".join(WAIT_SYSCALLS), "-p", str(pid)],
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=seconds + 30)
    except (OSError, subprocess.TimeoutExpired):
        return None
    calls = {}
    for line in r.stderr.decode("utf-8", "replace").splitlines():
        parts = line.split()
        if len(parts) >= 5 and parts[-1] in WAIT_SYSCALLS and parts[3].isdigit():
            calls[parts[-1]] = int(parts[3])
    return calls if r.stderr else None


# ---- one round ---------------------------------------------------------------
def visible_window(caption):
    out = harness.xdotool("search", "--onlyvisible", "--name", "^%s$" % caption, check=False)
    return out.splitlines()[0] if out else None


def end_run(launcher, exe_name, caption):
    """Ends a measured program (its Wine processes in our prefix and the
    launcher), then lets its window go before the next program starts."""
    for p in find_process(exe_name):
        try:
            os.kill(p, 9)
        except OSError:
            pass
    if launcher.poll() is None:
        launcher.kill()
    launcher.wait()
    end = time.monotonic() + 10
    while caption and visible_window(caption) and time.monotonic() < end:
        time.sleep(0.05)


def run_once(px, win_exe, exe_name, caption, extra_args, idle_seconds):
    """Starts the exe, times it to its visible window, samples memory and idle
    CPU, then ends it. Returns (launch s, VmRSS bytes, idle CPU ms, geometry,
    resident bytes by mapping)."""
    marker = px.unix_path(px.marker_ini)
    if os.path.exists(marker):
        os.remove(marker)  # the window is shown once: start every round afresh
    env = dict(px.env)
    # The program's debug lines (say why it ended without a window) cost
    # nothing until it writes one.
    env["WINEDEBUG"] = "-all,warn+seh"
    err = tempfile.TemporaryFile()
    time.sleep(SETTLE_SECONDS)
    start = time.monotonic()
    launcher = subprocess.Popen(["wine", win_exe] + extra_args, env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=err)
    try:
        wid = None
        if WATCHER:
            alive = lambda: launcher.poll() is None or bool(find_process(exe_name))
            mapped = WATCHER.wait_for(caption, start, 120, alive)
            launch = (mapped if mapped is not None else time.monotonic()) - start
            if mapped is not None:
                end = time.monotonic() + 10
                while not wid and time.monotonic() < end:
                    wid = visible_window(caption)
        else:
            while time.monotonic() - start < 120:
                wid = visible_window(caption)
                if wid:
                    break
                if launcher.poll() is not None and not find_process(exe_name):
                    break
                time.sleep(0.01)
            launch = time.monotonic() - start
        def failed(what):
            try:
                launcher.wait(timeout=30)
            except subprocess.TimeoutExpired:
                pass
            err.seek(0)
            lines = harness.Result(None, "", err.read().decode("utf-8", "replace"), 0).debug_lines
            return Unmeasured("%s %s (exit code %s; its debug lines: %s)" % (
                exe_name, what, launcher.poll(), lines))

        if not wid:
            raise failed("showed no window")
        geometry = harness.window_geometry(wid)
        pid = process_of(launcher, exe_name)
        time.sleep(max(0.0, start + launch + 1.0 - time.monotonic()))
        rss = vm_rss(pid)
        mappings = rss_by_mapping(pid)
        c0 = cpu_ns(pid)
        time.sleep(idle_seconds)
        c1 = cpu_ns(pid)
        if rss is None or c0 is None or c1 is None:
            raise failed("ended while it was measured")
        return launch, rss, (c1 - c0) / 1e6, geometry, mappings
    finally:
        end_run(launcher, exe_name, caption)
        err.close()


def run_timeline(px, win_exe, exe_name=TIMELINE_NAME, caption=PROGRAM_CAPTION, extra=("/kv",)):
    """One start of a timeline build to its first paint: {phase: ms since
    `wine` was started}."""
    marker = px.unix_path(px.marker_ini)
    if os.path.exists(marker):
        os.remove(marker)
    env = dict(px.env)
    env["WINEDEBUG"] = "-all,warn+seh"
    err = tempfile.TemporaryFile()
    time.sleep(SETTLE_SECONDS)
    start = time.time()
    launcher = subprocess.Popen(["wine", win_exe] + list(extra), env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=err)
    try:
        phases = {}
        end = time.monotonic() + 120
        while time.monotonic() < end and "first-paint" not in phases:
            time.sleep(0.05)
            err.seek(0)
            lines = harness.Result(None, "", err.read().decode("utf-8", "replace"), 0).debug_lines
            for line in lines:
                parts = line.split()
                if len(parts) == 3 and parts[0] == "timeline":
                    phases[parts[1]] = (int(parts[2]) / 1e6 - start) * 1000.0
            if launcher.poll() is not None and not find_process(exe_name):
                break
        if "first-paint" not in phases:
            raise Unmeasured("%s painted nothing (its debug lines: %s)" % (exe_name, lines))
        return phases
    finally:
        end_run(launcher, exe_name, caption)
        err.close()


def run_waiting(px, win_exe, seconds):
    """The build that never ends its uptime wait: working set once settled,
    then CPU time and context switches over `seconds`. Returns (VmRSS bytes,
    resident bytes by mapping, CPU ms, switches, switches per thread)."""
    env = dict(px.env)
    env["WINEDEBUG"] = "-all"
    launcher = subprocess.Popen(["wine", win_exe, "/kv"], env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        pid = process_of(launcher, WAITING_NAME, timeout=30)
        # Settled: the working set has not changed over two seconds.
        last, end = None, time.monotonic() + 60
        while time.monotonic() < end:
            time.sleep(2)
            rss = vm_rss(pid)
            if rss is not None and rss == last:
                break
            last = rss
        rss, mappings = vm_rss(pid), rss_by_mapping(pid)
        c0, s0, t0 = cpu_ns(pid), context_switches(pid), thread_switches(pid)
        time.sleep(seconds)
        c1, s1, t1 = cpu_ns(pid), context_switches(pid), thread_switches(pid)
        if None in (rss, c0, c1, s0, s1):
            raise Unmeasured("the waiting build ended while it was measured")
        per_thread = sorted(((t1[t] - t0.get(t, 0)), t) for t in t1)
        wakeups = count_wakeups(pid, args.wake)
        return rss, mappings, (c1 - c0) / 1e6, s1 - s0, per_thread, wakeups
    finally:
        end_run(launcher, WAITING_NAME, None)


def run_repaint_bench(px, repaints):
    env = dict(px.env)
    env["WINEDEBUG"] = "-all"
    r = subprocess.run(["wine", REPAINT_EXE, str(repaints)], env=env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=600)
    out = r.stdout.decode("utf-8", "replace")
    figures, controls = {}, []
    for line in out.splitlines():
        parts = line.split()
        if len(parts) >= 2 and parts[0] in ("repaint", "control"):
            vals = dict(p.split("=", 1) for p in parts[2:] if "=" in p)
            entry = (float(vals["cpu_us"]), float(vals["wall_us"]))
            if parts[0] == "repaint":
                figures[parts[1]] = entry
            else:
                controls.append((parts[1],) + entry)
    if r.returncode != 0 or "window" not in figures or "bare" not in figures:
        raise Unmeasured("window_repaint_bench failed (rc %s): %s %s" % (
            r.returncode, out, r.stderr.decode("utf-8", "replace")[-2000:]))
    lines = [l for l in out.splitlines() if not l.startswith("control ")]
    lines.append("a full re-render by control (CPU us, wall us per paint), largest first:")
    for name, cpu, wall in sorted(controls, key=lambda c: (-c[1], -c[2])):
        lines.append("  %-14s %8.1f %8.1f" % (name, cpu, wall))
    return figures, "\n".join(lines)


# ---- report -----------------------------------------------------------------
def verdict(ok):
    return "PASS" if ok else "FAIL"


def spread(values, fmt):
    return "(%s..%s)" % (fmt % min(values), fmt % max(values))


def main():
    for path in (DEMO_EXE, SHIPPING_EXE, BARE_EXE, REPAINT_EXE, WAITING_EXE):
        if not os.path.exists(path):
            print("missing: %s (build the windows preset into %s)" % (path, BUILD_DIR), file=sys.stderr)
            return 1
    subprocess.run([os.path.join(SOURCE_DIR, "scripts", "xvfb.sh"), "start", STATE_DIR], check=True,
                   stdout=subprocess.DEVNULL)
    px = None
    try:
        px = harness.Prefix("bench-window")
        global OWN_PREFIX, WATCHER
        OWN_PREFIX = px.env["WINEPREFIX"]
        try:
            WATCHER = wineproc.MapWatcher(px.env.get("DISPLAY"))
        except OSError as e:
            print("timing launches by polling xdotool (%s)" % e, flush=True)
        px.seed_product(200, lang="EN")
        if args.dpi != 96:
            px.set_dpi(args.dpi)
        px.write_file(BARE_DIR + r"\BareWindow.exe", open(BARE_EXE, "rb").read())
        program_dir = px.exe.rsplit("\\", 1)[0]
        timeline_exe = program_dir + "\\" + TIMELINE_NAME
        waiting_exe = program_dir + "\\" + WAITING_NAME
        bare_timeline_exe = BARE_DIR + "\\" + BARE_TIMELINE_NAME
        if os.path.exists(BARE_TIMELINE_EXE):
            px.write_file(bare_timeline_exe, open(BARE_TIMELINE_EXE, "rb").read())
        if os.path.exists(TIMELINE_EXE):  # an older tree may have none
            px.write_file(timeline_exe, open(TIMELINE_EXE, "rb").read())
        else:
            print("no timeline build: %s" % TIMELINE_EXE, flush=True)
        px.write_file(waiting_exe, open(WAITING_EXE, "rb").read())
        subjects = {
            "program": (px.exe, "PellorinPromo.exe", PROGRAM_CAPTION, ["/kv"]),
            "bare": (BARE_DIR + r"\BareWindow.exe", "BareWindow.exe", BARE_CAPTION, []),
        }
        results = {k: [] for k in subjects}
        mappings = {}
        failures = []
        for rnd in range(args.rounds):
            for name in ("program", "bare"):
                win_exe, exe_name, caption, extra = subjects[name]
                # A run that fails is reported and tried again (twice at most).
                for attempt in range(3):
                    try:
                        launch, rss, idle, geo, mappings[name] = run_once(px, win_exe, exe_name, caption,
                                                                          extra, args.idle)
                        break
                    except Unmeasured as e:
                        failures.append("round %d %s: %s" % (rnd + 1, name, e))
                        print("round %d %-7s FAILED: %s" % (rnd + 1, name, e), flush=True)
                        if attempt == 2:
                            raise
                results[name].append((launch, rss, idle, rss - mappings[name].get("[anon rwx]", 0)))
                print("round %d %-7s launch %6.3f s  VmRSS %6.1f MB  idle CPU %7.2f ms  window %s" % (
                    rnd + 1, name, launch, rss / MB, idle, "%d,%d %dx%d" % geo), flush=True)
        timelines, bare_timelines = [], []
        for rnd in range(args.timeline if os.path.exists(TIMELINE_EXE) else 0):
            if os.path.exists(BARE_TIMELINE_EXE):
                bare_timelines.append(run_timeline(px, bare_timeline_exe, BARE_TIMELINE_NAME, BARE_CAPTION, ()))
            timelines.append(run_timeline(px, timeline_exe))
            print("timeline %d: %s" % (rnd + 1, "  ".join(
                "%s %.0f" % (p, timelines[-1][p]) for p in TIMELINE_PHASES if p in timelines[-1])), flush=True)
        waiting = run_waiting(px, waiting_exe, args.wait)
        print("uptime wait: VmRSS %.1f MB, CPU %.2f ms and %d context switches over %g s" % (
            waiting[0] / MB, waiting[2], waiting[3], args.wait), flush=True)
        repaint, repaint_out = run_repaint_bench(px, args.repaints)
    finally:
        if WATCHER:
            WATCHER.close()
        if px is not None:
            px.close()
        subprocess.run([os.path.join(SOURCE_DIR, "scripts", "xvfb.sh"), "stop", STATE_DIR])

    def med(name, i):
        return statistics.median(r[i] for r in results[name])

    def col(name, i):
        return [r[i] for r in results[name]]

    launch_p, launch_b = med("program", 0), med("bare", 0)
    rss_p, rss_b = med("program", 1), med("bare", 1)
    idle_p, idle_b = med("program", 2), med("bare", 2)
    own_p, own_b = med("program", 3), med("bare", 3)
    size = os.path.getsize(SHIPPING_EXE)
    size_bare = os.path.getsize(BARE_EXE)
    rp_cpu, rp_wall = repaint["window"]
    rb_cpu, rb_wall = repaint["bare"]

    rows = [
        ("launch to first paint (s)", "%.3f %s" % (launch_p, spread(col("program", 0), "%.3f")),
         "%.3f %s" % (launch_b, spread(col("bare", 0), "%.3f")), "%.2fx" % (launch_p / launch_b),
         "<= %.2fx" % TARGET_LAUNCH_RATIO, verdict(launch_p <= TARGET_LAUNCH_RATIO * launch_b)),
        ("working set VmRSS (MB)", "%.1f %s" % (rss_p / MB, spread([v / MB for v in col("program", 1)], "%.1f")),
         "%.1f %s" % (rss_b / MB, spread([v / MB for v in col("bare", 1)], "%.1f")),
         "%+.1f MB (%.2fx)" % ((rss_p - rss_b) / MB, rss_p / rss_b), "(info)",
         ""),
        ("  without [anon rwx] (MB)", "%.1f" % (own_p / MB), "%.1f" % (own_b / MB),
         "%+.1f MB (%.2fx)" % ((own_p - own_b) / MB, own_p / own_b), "<= bare + 2.5 MB",
         verdict(own_p <= own_b + TARGET_EXTRA_WORKING_SET)),
        ("idle CPU over %g s (ms)" % args.idle, "%.2f %s" % (idle_p, spread(col("program", 2), "%.2f")),
         "%.2f %s" % (idle_b, spread(col("bare", 2), "%.2f")),
         "%.2fx" % (idle_p / idle_b) if idle_b > 0 else "-", "<= %g ms" % TARGET_IDLE_CPU_MS,
         verdict(idle_p <= TARGET_IDLE_CPU_MS)),
        ("full repaint CPU (us)", "%.1f" % rp_cpu, "%.1f" % rb_cpu,
         "%.1fx" % (rp_cpu / rb_cpu) if rb_cpu > 0 else "-", "<= %g us" % TARGET_REPAINT_CPU_US,
         verdict(rp_cpu <= TARGET_REPAINT_CPU_US)),
        ("full repaint wall (us)", "%.1f" % rp_wall, "%.1f" % rb_wall,
         "%.1fx" % (rp_wall / rb_wall) if rb_wall > 0 else "-", "(info)", ""),
        ("exe size (bytes)", "%d" % size, "%d" % size_bare, "%.2fx" % (size / size_bare),
         "<= %d" % TARGET_SIZE, verdict(size <= TARGET_SIZE)),
    ]
    head = ("figure (median of %d, min..max)" % args.rounds, "PellorinPromo", "bare window", "ratio / diff",
            "target", "")
    widths = [max(len(str(r[i])) for r in rows + [head]) for i in range(len(head))]
    print()
    print(repaint_out.strip())
    print("shipping program: %s" % SHIPPING_EXE)
    print("working set, largest differences by mapping (last round, program - bare, MB):")
    names = set(mappings["program"]) | set(mappings["bare"])
    diffs = sorted(((mappings["program"].get(n, 0) - mappings["bare"].get(n, 0), n) for n in names), reverse=True)
    for d, n in diffs[:10]:
        print("  %-28s %+7.2f  (program %.2f, bare %.2f)" % (
            n, d / MB, mappings["program"].get(n, 0) / MB, mappings["bare"].get(n, 0) / MB))
    print()
    print("start-up by phase (timeline builds, median of %d runs; ms since `wine` started, and the"
          % len(timelines))
    print("phase's own share: the time since the phase before it; the bare window marks the phases it has):")
    print("  %-20s %8s  %9s   %8s  %9s" % ("phase", "program", "share", "bare", "share"))
    previous, bare_previous = 0.0, 0.0
    for phase in TIMELINE_PHASES:
        values = [t[phase] for t in timelines if phase in t]
        if not values:
            continue
        at = statistics.median(values)
        bare_values = [t[phase] for t in bare_timelines if phase in t]
        bare = ""
        if bare_values:
            bare_at = statistics.median(bare_values)
            bare = "%8.1f  %+9.1f" % (bare_at, bare_at - bare_previous)
            bare_previous = bare_at
        print("  %-20s %8.1f  %+9.1f   %s" % (phase, at, at - previous, bare))
        previous = at
    warm = [t["warm-up"] for t in timelines if "warm-up" in t]
    if warm:  # beside the phases, on a thread of its own
        print("  the start-up warm-up thread (display connection, theme and shell libraries) "
              "done at %.1f ms" % statistics.median(warm))
    print()
    w_rss, w_maps, w_cpu, w_switches, w_threads, w_wakeups = waiting
    print("uptime wait: working set by mapping against the bare window's (MB, largest differences):")
    names = set(w_maps) | set(mappings["bare"])
    diffs = sorted(((w_maps.get(n, 0) - mappings["bare"].get(n, 0), n) for n in names), reverse=True)
    for d, n in diffs[:8]:
        print("  %-28s %+7.2f  (waiting %.2f, bare %.2f)" % (n, d / MB, w_maps.get(n, 0) / MB,
                                                             mappings["bare"].get(n, 0) / MB))
    print("uptime wait: context switches per thread over %g s: %s" % (
        args.wait, ", ".join(str(n) for n, _ in reversed(w_threads))))
    w_own = w_rss - w_maps.get("[anon rwx]", 0)
    rows[3:3] = [
        ("uptime wait VmRSS (MB)", "%.1f" % (w_rss / MB), "%.1f" % (rss_b / MB),
         "%+.1f MB" % ((w_rss - rss_b) / MB), "(info)", ""),
        ("  without [anon rwx] (MB)", "%.1f" % (w_own / MB), "%.1f" % (own_b / MB),
         "%+.1f MB" % ((w_own - own_b) / MB), "<= bare + 1.5 MB",
         verdict(w_own <= own_b + TARGET_EXTRA_WAITING_SET)),
        ("uptime wait CPU over %g s (ms)" % args.wait, "%.2f" % w_cpu, "-", "-", "(info)", ""),
        ("uptime wait context switches over %g s" % args.wait, "%d" % w_switches, "-", "-",
         "(info: per wake a sleep, a server call, yields)", ""),
        ("uptime wait wake-ups over %g s" % args.wake,
         "%d %s" % (sum(w_wakeups.values()), " ".join("%s %d" % kv for kv in sorted(w_wakeups.items())))
         if w_wakeups is not None else "(no strace)", "-", "-", "one a second",
         verdict(w_wakeups is not None and sum(w_wakeups.values()) <= args.wake + 1) if w_wakeups is not None
         else ""),
    ]
    widths = [max(len(str(r[i])) for r in rows + [head]) for i in range(len(head))]
    for r in [head] + rows:
        print("  ".join(str(c).ljust(w) for c, w in zip(r, widths)).rstrip())
    if failures:
        print()
        print("%d run(s) failed and were repeated:" % len(failures))
        for f in failures:
            print("  " + f)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except Unmeasured as e:
        print("could not measure: %s" % e, file=sys.stderr)
        sys.exit(1)
