"""The test display through xdotool and ImageMagick: finding the program's
window, its place, clicks, screenshots and pixels."""
import os
import re
import subprocess
import time

from places import display


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
        time.sleep(0.1 if wid else 0.2)
    return None


def window_geometry(wid):
    out = xdotool("getwindowgeometry", "--shell", wid)
    vals = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
    return int(vals["X"]), int(vals["Y"]), int(vals["WIDTH"]), int(vals["HEIGHT"])


def click(x, y, button=1):
    xdotool("mousemove", x, y)
    time.sleep(0.15)
    xdotool("click", button)


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
