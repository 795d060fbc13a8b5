"""Starts the demo build of the program in a prepared Wine prefix, seeded
with a product installed 200 days ago, in the given language.

usage: PROMO_BUILD_DIR=<build> python3 scripts/demo.py [LANGUAGE]   (default EN)
       python3 scripts/demo.py -h|--help                            (this text)

scripts/run-demo.sh installs, configures and builds first, then runs this;
run by hand it needs the demo program already built in PROMO_BUILD_DIR
(default build/windows). On $DISPLAY when there is one (it then waits until
the window is closed); otherwise on a private Xvfb, saving a screenshot.

Writes only into the build folder: the Wine prefix e2e/case-demo (removed
after a screenshot, kept after a run on $DISPLAY), e2e/template-prefix when
it is missing, demo-state/ (PROMO_TEST_STATE) and demo-<language>.png.
Time: 8 s with the prefix template made (2-core machine, 32-bit code run
natively, 2026-12-10)."""
import os
import subprocess
import sys
import time

if sys.argv[1:2] in (["-h"], ["--help"]):
    print(__doc__)
    sys.exit(0)

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
BUILD = os.path.abspath(os.environ.setdefault("PROMO_BUILD_DIR", os.path.join(HERE, "..", "build", "windows")))
os.environ.setdefault("PROMO_TEST_STATE", os.path.join(BUILD, "demo-state"))


def cache_value(name):
    """A value of the build tree's CMake cache ("" when absent)."""
    with open(os.path.join(BUILD, "CMakeCache.txt"), encoding="utf-8") as f:
        for line in f:
            key, _, value = line.rstrip("\n").partition("=")
            if key.split(":")[0] == name:
                return value
    return ""


# The port the demo's statistics go to: the tree's own.
os.environ.setdefault("PROMO_DEMO_STATS_HOST", cache_value("PROMO_DEMO_STATS_HOST"))
import harness  # noqa: E402

lang = sys.argv[1] if len(sys.argv) > 1 else "EN"
own_xvfb = not os.environ.get("DISPLAY")
state = os.environ["PROMO_TEST_STATE"]
if own_xvfb:
    subprocess.run([os.path.join(HERE, "xvfb.sh"), "start", state], check=True, stdout=subprocess.DEVNULL)
try:
    px = harness.Prefix("demo")
    px.seed_product(install_days_ago=200, lang=lang)
    print("Prefix:", px.path)
    print("Campaign: %s (%s)" % (cache_value("PROMO_CAMPAIGN_NAME"), cache_value("PROMO_CAMPAIGN_FOLDER")))
    print("Starting PellorinPromo.exe /kv (language %s) ..." % lang)
    p = px.start(["/kv"])
    wid = harness.find_window("FormSale", timeout=60, process=p)
    if wid is None:
        r = px.finish(p, timeout=5)
        print("No window appeared; the program ended with exit code %s." % r.rc)
        print("What the launch did (its debug lines, in order):")
        for line in r.debug_lines:
            print("  " + line)
        px.close()
        sys.exit(0 if r.rc == 0 else 1)
    x, y, w, h = harness.window_geometry(wid)
    print("Window 'FormSale' at %d,%d, %dx%d" % (x, y, w, h))
    if own_xvfb:
        time.sleep(1.0)
        shot = os.path.join(BUILD, "demo-%s.png" % lang.lower())
        harness.screenshot(shot, crop=(w, h, x, y))
        print("Screenshot:", shot)
        px.close()
    else:
        print("The window is on your display; close it with its buttons.")
        r = px.finish(p, timeout=None)
        print("Program ended with exit code %s." % r.rc)
        px.close(keep=True)
finally:
    if own_xvfb:
        subprocess.run([os.path.join(HERE, "xvfb.sh"), "stop", state], stdout=subprocess.DEVNULL)
