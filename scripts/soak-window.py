#!/usr/bin/env python3
"""Resource soak of the shown promotion window under Wine (a report, not a test).

    scripts/soak-window.py [--build-dir build/windows] [--cycles 10000] [--batch 50]

Starts the demo program in a prefix seeded with a product install, on a
private Xvfb, and drives the pointer over both buttons of the shown window:
one cycle hovers the buy button, presses it, leaves it with the button held
and lets go beside it (no click), then does the same on the close button and
leaves the window. The process's GDI objects, USER objects, handle count and
working set are printed at the start, after a warm-up (the first hover decodes
the state pictures), and at the end; all four should be flat: a growth of a
few objects is noise, a growth per cycle is a leak. Finally the close button
is clicked and the program must end with exit code 0.

Counts come from tests/e2e/process_counters.exe, run in the same prefix.
Under Wine GetGuiResources is not implemented, so GDI objects are the used
entries of the program's GDI handle table and USER objects are its windows;
the handle count comes from the system handle list. The working set is the
program's own figure and the Linux process's VmRSS (with and without the
emulator's code cache, [anon rwx], when one runs). Exit code 0 whatever the
figures, 1 only when something could not be measured.
"""
EPILOG = """Builds nothing: build the windows preset first (cmake --build --preset
windows; the demo program and tests/e2e/process_counters.exe are needed).
Writes only into the build folder: soak-window-state/ (a private Xvfb's
state), the Wine prefix e2e/case-soak-window (removed at the end) and
e2e/template-prefix when it is missing.

Time, 2-core machine: about 3 minutes with the default 10000 cycles, from a
run of 300 cycles that took 12 s in all, 5 s of them cycling (2026-12-10,
32-bit code run natively); longer through an emulator."""
import argparse
import os
import subprocess
import sys
import time

SOURCE_DIR = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
MB = 1048576

BUY = (250, 278)
BESIDE_BUY = (250, 225)
CLOSE = (482, 18)
BESIDE_CLOSE = (430, 18)
OUTSIDE = (-40, -40)  # relative to the window: off it, up and left


def parse_args():
    ap = argparse.ArgumentParser(description=__doc__, epilog=EPILOG,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build-dir", default=os.path.join(SOURCE_DIR, "build", "windows"))
    ap.add_argument("--cycles", type=int, default=10000)
    ap.add_argument("--batch", type=int, default=50, help="cycles per xdotool call")
    ap.add_argument("--warmup", type=int, default=100, help="cycles before the second reading")
    ap.add_argument("--pause", type=float, default=0.01, help="seconds between cycles")
    return ap.parse_args()


args = parse_args()
BUILD_DIR = os.path.abspath(args.build_dir)
STATE_DIR = os.path.join(BUILD_DIR, "soak-window-state")
sys.path.insert(0, os.path.join(SOURCE_DIR, "scripts"))
import wineproc  # noqa: E402
harness = wineproc.import_harness(SOURCE_DIR, BUILD_DIR, "soak-window-state")
from wineproc import cpu_ns, find_process, rss_by_mapping  # noqa: E402

COUNTERS_EXE = os.path.join(BUILD_DIR, "tests", "e2e", "process_counters.exe")
PROGRAM = "PellorinPromo.exe"


class Unmeasured(Exception):
    pass


def resident(pid):
    """(VmRSS, VmRSS without [anon rwx]) in bytes."""
    by_mapping = rss_by_mapping(pid)
    total = sum(by_mapping.values())
    return total, total - by_mapping.get("[anon rwx]", 0)


def settle(pid, timeout=120.0):
    """Waits until the program has worked off the queued input: less than
    20 ms of CPU time in half a second."""
    end = time.monotonic() + timeout
    last = cpu_ns(pid)
    while time.monotonic() < end:
        time.sleep(0.5)
        now = cpu_ns(pid)
        if now - last < 20e6:
            return
        last = now


def counters(px, pid):
    r = px.wine(COUNTERS_EXE, PROGRAM, check=False, timeout=60)
    lines = [l for l in r.stdout.decode("utf-8", "replace").splitlines() if l.startswith("pid=")]
    if not lines:
        raise Unmeasured("process_counters found no %s: %s" % (PROGRAM, r.stderr.decode("utf-8", "replace")[-500:]))
    values = dict(p.split("=", 1) for p in lines[0].split())
    rss, own = resident(pid)
    return {
        "gdi": int(values["gdi"]), "user": int(values["user"]), "handles": int(values["handles"]),
        "workingset": int(values["workingset"]), "vmrss": rss, "vmrss_own": own,
        "sources": "GDI: %s, USER: %s, handles: %s" % (values["gdi_source"], values["user_source"],
                                                       values["handle_source"]),
    }


def cycle_commands(x, y, count):
    """xdotool commands for `count` cycles over the window at (x, y)."""
    def at(point):
        return ["mousemove", str(x + point[0]), str(y + point[1])]
    # The pause after leaving the window keeps that move apart from the next
    # one (Wine merges pointer moves that follow each other) and lets the
    # program keep up.
    one = (at(BUY) + ["mousedown", "1"] + at(BESIDE_BUY) + ["mouseup", "1"] +
           at(CLOSE) + ["mousedown", "1"] + at(BESIDE_CLOSE) + ["mouseup", "1"] + at(OUTSIDE) +
           ["sleep", "%g" % args.pause])
    return one * count


def drive(x, y, cycles, batch, alive):
    done = 0
    while done < cycles:
        n = min(batch, cycles - done)
        harness.xdotool(*cycle_commands(x, y, n))
        done += n
        if not alive():
            raise Unmeasured("the program ended after %d cycles" % done)
    return done


def main():
    for path in (os.path.join(BUILD_DIR, "demo", PROGRAM), COUNTERS_EXE):
        if not os.path.exists(path):
            print("missing: %s (build the windows preset into %s)" % (path, BUILD_DIR), file=sys.stderr)
            return 1
    subprocess.run([os.path.join(SOURCE_DIR, "scripts", "xvfb.sh"), "start", STATE_DIR], check=True,
                   stdout=subprocess.DEVNULL)
    px = None
    try:
        px = harness.Prefix("soak-window")
        px.seed_product(200, lang="EN")
        p = px.start(["/kv"], debug=None)
        wid = harness.find_window(harness.WINDOW_CAPTION, timeout=240, process=p)
        if wid is None:
            raise Unmeasured("the window did not appear")
        x, y, w, h = harness.window_geometry(wid)
        pids = find_process(PROGRAM, px.env["WINEPREFIX"])
        if not pids:
            raise Unmeasured("no Linux process runs %s" % PROGRAM)
        pid = max(pids, key=lambda q: resident(q)[0])
        settle(pid)
        readings = [("start", 0, counters(px, pid))]
        alive = lambda: p.poll() is None
        started = time.monotonic()
        done = drive(x, y, min(args.warmup, args.cycles), args.batch, alive)
        settle(pid)
        readings.append(("after warm-up", done, counters(px, pid)))
        done += drive(x, y, args.cycles - done, args.batch, alive)
        settle(pid)
        elapsed = time.monotonic() - started
        readings.append(("end", done, counters(px, pid)))
        harness.click(x + CLOSE[0], y + CLOSE[1])
        r = px.finish(p, timeout=120)
    finally:
        if px is not None:
            px.close()
        subprocess.run([os.path.join(SOURCE_DIR, "scripts", "xvfb.sh"), "stop", STATE_DIR])

    print("window at %d,%d %dx%d; %d cycles (each: hover, press, leave on the buy button, then on the close "
          "button, then off the window) in %.0f s" % (x, y, w, h, done, elapsed))
    print("sources: %s" % readings[0][2]["sources"])
    head = ("reading", "cycles", "GDI objects", "USER objects", "handles", "working set MB", "VmRSS MB",
            "VmRSS w/o [anon rwx] MB")
    rows = [head]
    for name, n, c in readings:
        rows.append((name, str(n), str(c["gdi"]), str(c["user"]), str(c["handles"]),
                     "%.1f" % (c["workingset"] / MB), "%.1f" % (c["vmrss"] / MB), "%.1f" % (c["vmrss_own"] / MB)))
    widths = [max(len(r[i]) for r in rows) for i in range(len(head))]
    for row in rows:
        print("  ".join(c.ljust(wd) for c, wd in zip(row, widths)).rstrip())
    warm, end = readings[1], readings[2]
    per = max(1, end[1] - warm[1])
    print("growth from warm-up to end over %d cycles: GDI %+d, USER %+d, handles %+d, working set %+.2f MB "
          "(%+.1f bytes per cycle)" % (
              per, end[2]["gdi"] - warm[2]["gdi"], end[2]["user"] - warm[2]["user"],
              end[2]["handles"] - warm[2]["handles"], (end[2]["workingset"] - warm[2]["workingset"]) / MB,
              (end[2]["workingset"] - warm[2]["workingset"]) / per))
    print("closed with the close button: exit code %s" % r.rc)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except Unmeasured as e:
        print("could not measure: %s" % e, file=sys.stderr)
        sys.exit(1)
