"""The window on scaled displays and one run at a time, in the real program.

At every scaling (Windows 8.1 and later) the process is per-monitor aware and
draws the window at the display's scale: 500x330 design pixels times the
scale, one pixel inside the bottom-right corner of the primary monitor's work
area (Xvfb 1920x1080, no task bar), its headline readable and drawn larger in
step, and its close button (where the scale puts it) ends the run with marker
and request. Each row prints its figures ("dpi 144: 1169,584 750x495,
awareness 2, headline 21 px") for the record."""
import os
import subprocess
import sys
import tempfile
import time
import unittest

from harness import (E2ECase, PrefixCase, Receiver, STATS_PORT, WINDOW_CAPTION, click, find_window, pixel, screenshot,
                     window_geometry, xdotool)

CLOSE = (482, 18)  # centre of the close button (465,1 34x34) at 100 %
BODY = "lan=en&name=20200821_kv8prepoppre7&show=1&click=0"
PER_MONITOR_AWARE = 2  # DPI_AWARENESS_PER_MONITOR_AWARE
SCREEN = (1920, 1080)
HEADLINE = "New Pellorin 8 Is Available Now"


def scaled(length, dpi):
    """A design length at a DPI, rounded as the program rounds (MulDiv)."""
    return (length * dpi + 48) // 96


def gray_rows(path, box):
    """The rows of an 8-bit grey crop (x, y, w, h) of a picture."""
    x, y, w, h = box
    raw = subprocess.run(["/usr/bin/convert", path, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage",
                          "-colorspace", "gray", "-depth", "8", "gray:-"], stdout=subprocess.PIPE, check=True).stdout
    return [raw[i * w:(i + 1) * w] for i in range(h)]


def headline_band(w, dpi):
    """Between the title and the feature picture, clear of the close button."""
    top = scaled(30, dpi)
    return (scaled(40, dpi), top, w - 2 * scaled(40, dpi), scaled(110, dpi) - top)


def orange_in_row(path, y, x0, x1):
    """Whether the buy button's orange face shows in row y between x0 and x1."""
    raw = subprocess.run(["/usr/bin/convert", path, "-crop", "%dx1+%d+%d" % (x1 - x0, x0, y), "+repage", "-depth",
                          "8", "rgb:-"], stdout=subprocess.PIPE, check=True).stdout
    return any(r > 200 and 70 < g < 170 and b < 90 for r, g, b in zip(raw[0::3], raw[1::3], raw[2::3]))


def text_height(path, box):
    """Height of the bright (white) text's bounding box within box."""
    lit = [i for i, row in enumerate(gray_rows(path, box)) if max(row) > 200]
    return lit[-1] - lit[0] + 1 if lit else 0


def read_text(path, box):
    """The text in box as tesseract reads it: dark on light, one line."""
    x, y, w, h = box
    crop = path + ".ocr.png"
    subprocess.run(["/usr/bin/convert", path, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage", "-colorspace",
                    "gray", "-negate", "-resize", "200%", crop], check=True)
    out = subprocess.run(["tesseract", crop, "-", "--psm", "7"], stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, check=True).stdout
    return " ".join(out.decode("utf-8", "replace").split())


def shown_windows():
    out = xdotool("search", "--onlyvisible", "--name", "^%s$" % WINDOW_CAPTION, check=False)
    return out.split()


class ScaledDisplays(PrefixCase):
    """One prefix with the product's uninstall record; each row brings it
    back (the registry with it) and sets its scaling."""

    @classmethod
    def prepare(cls, px):
        px.seed_product(None)

    def test_the_window_is_drawn_at_the_displays_scale_in_its_corner(self):
        headline_at_96 = None
        for dpi in (96, 120, 144, 192):  # 100, 125, 150 and 200 %
            with self.subTest(dpi=dpi):
                w, h = scaled(500, dpi), scaled(330, dpi)
                corner = (SCREEN[0] - w - 1, SCREEN[1] - h - 1, w, h)
                # Well inside the close button (34x34 at 100 %, one pixel
                # inside the top-right corner) at any scale.
                close = (w - 1 - scaled(12, dpi), 1 + scaled(12, dpi))
                px = self.fresh()
                px.set_dpi(dpi)
                client = px.install_dpi_client()
                px.seed_product(200, lang="EN", registry=False)
                with Receiver(STATS_PORT) as receiver:
                    p = px.start(["/kv"])
                    wid = find_window(WINDOW_CAPTION, timeout=240, process=p)
                    self.assertIsNotNone(wid, "the window did not appear")
                    time.sleep(0.5)  # first paint
                    geometry = window_geometry(wid)
                    awareness = client("window", WINDOW_CAPTION)
                    x, y, gw, gh = geometry
                    shot = screenshot(os.path.join(tempfile.mkdtemp(), "dpi.png"), crop=(gw, gh, x, y))
                    frame = [pixel(shot, fx, fy) for fx, fy in ((0, 0), (gw - 1, 0), (0, gh - 1), (gw - 1, gh - 1))]
                    buy = orange_in_row(shot, scaled(262, dpi), gw // 3, 2 * gw // 3)
                    band = headline_band(gw, dpi)
                    headline = read_text(shot, band)
                    height = text_height(shot, band)
                    click(x + close[0], y + close[1])
                    r = px.finish(p, timeout=240)
                    body = receiver.wait_for_request(10)
                    time.sleep(0.5)  # a second request would be on its way
                    requests = len(receiver.requests)
                print("dpi %d: %d,%d %dx%d, %s, headline %d px" % ((dpi,) + geometry + (awareness, height)),
                      file=sys.stderr)
                for got, want in zip(geometry, corner):
                    self.assertLessEqual(abs(got - want), 1, (geometry, corner))
                self.assertEqual(awareness, "awareness %d" % PER_MONITOR_AWARE)
                # Whole, at its scale: the frame's four corners, the buy
                # button's orange face where the layout put it, the headline.
                self.assertEqual(frame, ["000000"] * 4)
                self.assertTrue(buy, "no buy button at its scaled top")
                self.assertEqual(headline, HEADLINE)
                if dpi == 96:
                    headline_at_96 = height
                elif headline_at_96:
                    # The text grows with the scale (font heights round, so within a tenth).
                    self.assertAlmostEqual(height, headline_at_96 * dpi / 96, delta=max(2, 0.1 * height))
                self.assertEqual(r.rc, 0)
                self.assertIsNotNone(body, "no statistics request")
                self.assertTrue(body.endswith(("\r\n\r\n" + BODY).encode()), body)
                self.assertEqual(requests, 1)
                self.assertIn("BenefitsR_2020", px.read_file(px.marker_ini).decode("utf-16"))


class OneRunAtATime(E2ECase):
    def test_two_starts_at_once_give_one_window_one_request_and_one_marker(self):
        px = self.prefix()
        px.seed_product(200, lang="EN")
        with Receiver(STATS_PORT) as receiver:
            starts = [px.start(["/kv"]), px.start(["/kv"])]
            # The second ends at once, long before the first has shown its window.
            end = time.monotonic() + 60
            while time.monotonic() < end and all(s.poll() is None for s in starts):
                time.sleep(0.2)
            ended = [s for s in starts if s.poll() is not None]
            self.assertEqual(len(ended), 1, "neither start ended")
            second = px.finish(ended[0])
            self.assertEqual(second.rc, 0)
            # It wrote and asked nothing: not even the start-up DPI setup ran.
            self.assertEqual(second.debug_lines, [])
            run = next(s for s in starts if s is not ended[0])
            wid = find_window(WINDOW_CAPTION, timeout=240, process=run)
            self.assertIsNotNone(wid, "the window did not appear")
            time.sleep(1.0)
            self.assertEqual(shown_windows(), [wid])
            x, y, _, _ = window_geometry(wid)
            click(x + CLOSE[0], y + CLOSE[1])
            self.assertEqual(px.finish(run, timeout=240).rc, 0)
            self.assertIsNotNone(receiver.wait_for_request(10))
            time.sleep(1.0)
            self.assertEqual(len(receiver.requests), 1)
        marker = px.read_file(px.marker_ini).decode("utf-16")
        self.assertEqual(marker.count("BenefitsR_2020="), 1)
        # Once the run is over, the next start is a run of its own (it finds the marker).
        again = px.run(["/kv"], timeout=240)
        self.assertEqual(again.rc, 0)
        self.assertIn("haveshow", again.debug_lines)
        self.assertNotIn("jp", again.debug_lines)


if __name__ == "__main__":
    unittest.main()
