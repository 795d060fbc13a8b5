#!/usr/bin/env python3
"""The quiet run against a bare program, side by side in one run under the
same Wine (a report, not a test).

    scripts/bench-quiet.py [--build-dir build/windows] [--rounds 9] [--program-exe FILE]

The quiet run is every start after the first dismissal: the program, started
with /kv, finds the shown marker and ends without a window. The yardstick is
bench/quiet/bare_quiet.exe, which only finds the common application data
folder, reads the marker and ends. Both run in one prefix seeded with a
product install and the marker, on a private Xvfb, alternating, --rounds
each, every start half a second after the one before ended. Per start:

  wall time   from starting `wine` until the process has ended
  peak memory the most the process held resident at any time (the kernel's
              ru_maxrss as GNU time reports it when the process ends: `wine`
              becomes the program's process in place, so this is the
              program's; under an emulator for 32-bit code it includes the
              emulator's code cache)

and it prints the medians, the ratio of the wall times (quiet / bare) and the
difference of the peaks (quiet - bare, MB) against the targets. Before the
rounds each program runs once unmeasured: the program must end with its
"haveshow" line last (the marker gate) and the bare program with exit code 0
(marker found), or nothing is measured.

Exit code 0 whatever the figures, 1 only when something could not be measured.
"""
EPILOG = """Builds nothing: build the windows preset's demo program and the yardstick
first (cmake --build build/windows --target PellorinPromoDemo bare_quiet).
--program-exe measures another build of the demo variant (an older tree's, say)
in the same prefix. Writes only into the build folder: bench-quiet-state/ (a
private Xvfb's state), the Wine prefix e2e/case-bench-quiet (removed at the
end) and e2e/template-prefix when it is missing.

Time, 2-core machine: about a minute with the defaults."""
import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

SOURCE_DIR = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))

MB = 1048576
TARGET_TIME_RATIO = 1.5
TARGET_EXTRA_PEAK = 4 * MB
SETTLE_SECONDS = 0.5
BARE_EXE_IN_PREFIX = r"C:\Bench\BareQuiet.exe"
GNU_TIME = "/usr/bin/time"  # Debian's package time


def parse_args():
    ap = argparse.ArgumentParser(description=__doc__, epilog=EPILOG,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build-dir", default=os.path.join(SOURCE_DIR, "build", "windows"))
    ap.add_argument("--rounds", type=int, default=9)
    ap.add_argument("--program-exe", help="the demo program to measure (default: the build folder's)")
    return ap.parse_args()


args = parse_args()
BUILD_DIR = os.path.abspath(args.build_dir)
STATE_DIR = os.path.join(BUILD_DIR, "bench-quiet-state")
sys.path.insert(0, os.path.join(SOURCE_DIR, "scripts"))
import wineproc  # noqa: E402
harness = wineproc.import_harness(SOURCE_DIR, BUILD_DIR, "bench-quiet-state")

PROGRAM_EXE = os.path.abspath(args.program_exe or os.path.join(BUILD_DIR, "demo", "PellorinPromo.exe"))
BARE_EXE = os.path.join(BUILD_DIR, "bench", "quiet", "bare_quiet.exe")
CAMPAIGN_HEADER = os.path.join(BUILD_DIR, "campaign", "shipping", "campaign", "CampaignConstants.h")


class Unmeasured(Exception):
    pass


def marker_names():
    """The demo program's marker section and key (the shipping campaign's)."""
    with open(CAMPAIGN_HEADER, encoding="utf-8") as f:
        text = f.read()
    names = {}
    for name in ("kShownMarkerSection", "kShownMarkerKey"):
        m = re.search(r'\b%s\s*=\s*L"([^"]*)"' % name, text)
        if not m:
            raise Unmeasured("%s is not in %s" % (name, CAMPAIGN_HEADER))
        names[name] = m.group(1)
    return names["kShownMarkerSection"], names["kShownMarkerKey"]


def run_once(px, argv, debug="-all"):
    """One start to its end: (wall s, peak resident bytes, exit code, stderr)."""
    env = dict(px.env)
    env["WINEDEBUG"] = debug
    with tempfile.TemporaryFile() as err, tempfile.NamedTemporaryFile("r") as peak:
        time.sleep(SETTLE_SECONDS)
        start = time.monotonic()
        # GNU time starts it and reports its ru_maxrss: a process forked from
        # this script would count the script's own resident size as its peak
        # (a fork copies it, and exec keeps the larger of the two).
        p = subprocess.run([GNU_TIME, "-f", "%M", "-o", peak.name, "wine"] + argv, env=env,
                           stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=err)
        wall = time.monotonic() - start
        err.seek(0)
        text = peak.read().split()
        if not text or not text[-1].isdigit():
            raise Unmeasured("no peak from %s: %r" % (GNU_TIME, text))
        return wall, int(text[-1]) * 1024, p.returncode, err.read().decode("utf-8", "replace")


def check_paths(px, program, bare):
    """Both programs took the quiet path once, unmeasured."""
    _, _, rc, err = run_once(px, program, "-all,warn+seh")
    lines = harness.Result(rc, "", err, 0).debug_lines
    if rc != 0 or not lines or lines[-1] != "haveshow":
        raise Unmeasured("the program did not end at the marker (exit code %s; its debug lines: %s)" % (rc, lines))
    _, _, rc, _ = run_once(px, bare)
    if rc != 0:
        raise Unmeasured("the bare program did not find the marker (exit code %s)" % rc)


def verdict(ok):
    return "PASS" if ok else "FAIL"


def spread(values, fmt):
    return "(%s..%s)" % (fmt % min(values), fmt % max(values))


def main():
    if not os.access(GNU_TIME, os.X_OK):
        print("missing: %s (apt-get install time)" % GNU_TIME, file=sys.stderr)
        return 1
    for path in (PROGRAM_EXE, BARE_EXE, CAMPAIGN_HEADER):
        if not os.path.exists(path):
            print("missing: %s (build the windows preset into %s)" % (path, BUILD_DIR), file=sys.stderr)
            return 1
    subprocess.run([os.path.join(SOURCE_DIR, "scripts", "xvfb.sh"), "start", STATE_DIR], check=True,
                   stdout=subprocess.DEVNULL)
    px = None
    results = {"quiet": [], "bare": []}
    try:
        px = harness.Prefix("bench-quiet")
        px.seed_product(200, lang="EN")
        section, key = marker_names()
        px.write_file(px.marker_ini, "[%s]\r\n%s=1600000000\r\n" % (section, key))
        with open(PROGRAM_EXE, "rb") as f:
            px.write_file(px.exe, f.read())
        with open(BARE_EXE, "rb") as f:
            px.write_file(BARE_EXE_IN_PREFIX, f.read())
        subjects = {"quiet": [px.exe, "/kv"], "bare": [BARE_EXE_IN_PREFIX]}
        check_paths(px, subjects["quiet"], subjects["bare"])
        for rnd in range(args.rounds):
            for name in ("quiet", "bare"):
                wall, peak, rc, _ = run_once(px, subjects[name])
                if rc != 0:
                    raise Unmeasured("round %d: %s ended with exit code %s" % (rnd + 1, name, rc))
                results[name].append((wall, peak))
                print("round %d %-5s wall %6.3f s  peak %6.1f MB" % (rnd + 1, name, wall, peak / MB), flush=True)
    except Unmeasured as e:
        print("not measured: %s" % e, file=sys.stderr)
        return 1
    finally:
        if px is not None:
            px.close()
        subprocess.run([os.path.join(SOURCE_DIR, "scripts", "xvfb.sh"), "stop", STATE_DIR],
                       stdout=subprocess.DEVNULL)

    def col(name, i):
        return [r[i] for r in results[name]]

    wall_q, wall_b = statistics.median(col("quiet", 0)), statistics.median(col("bare", 0))
    peak_q, peak_b = statistics.median(col("quiet", 1)), statistics.median(col("bare", 1))
    rows = [
        ("wall time (s)", "%.3f %s" % (wall_q, spread(col("quiet", 0), "%.3f")),
         "%.3f %s" % (wall_b, spread(col("bare", 0), "%.3f")), "%.2fx" % (wall_q / wall_b),
         "<= %.1fx" % TARGET_TIME_RATIO, verdict(wall_q <= TARGET_TIME_RATIO * wall_b)),
        ("peak memory (MB)", "%.1f %s" % (peak_q / MB, spread([v / MB for v in col("quiet", 1)], "%.1f")),
         "%.1f %s" % (peak_b / MB, spread([v / MB for v in col("bare", 1)], "%.1f")),
         "%+.1f MB" % ((peak_q - peak_b) / MB), "<= +%g MB" % (TARGET_EXTRA_PEAK / MB),
         verdict(peak_q - peak_b <= TARGET_EXTRA_PEAK)),
    ]
    head = ("figure (median of %d, min..max)" % args.rounds, "quiet run", "bare program", "ratio / diff",
            "target", "")
    widths = [max(len(r[i]) for r in rows + [head]) for i in range(len(head))]
    print()
    print("program: %s" % PROGRAM_EXE)
    for r in [head] + rows:
        print("  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip())
    return 0


if __name__ == "__main__":
    sys.exit(main())
