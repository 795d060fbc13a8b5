"""Starts the demo build of the program in a prepared Wine prefix (see run-demo.sh)."""
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
os.environ.setdefault("PROMO_TEST_STATE", os.path.join(HERE, "..", "build", "windows", "demo-state"))
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
        shot = os.path.abspath(os.path.join(HERE, "..", "build", "windows", "demo-%s.png" % lang.lower()))
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
