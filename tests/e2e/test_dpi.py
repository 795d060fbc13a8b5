"""The window on scaled displays and one run at a time, in the real program.

At every scaling (Windows 8.1 and later) the process is per-monitor aware and
the window is 500x330 physical pixels one pixel inside the bottom-right corner
of the primary monitor's work area (Xvfb 1920x1080, no task bar: 1419,749),
whole, and its close button ends the run with marker and request. Each row
prints its figures ("dpi 144: 1419,749 500x330, awareness 2") for the record."""
import os
import sys
import tempfile
import time
import unittest

from harness import (E2ECase, PrefixCase, Receiver, STATS_PORT, WINDOW_CAPTION, click, find_window, pixel, screenshot,
                     window_geometry, xdotool)

CLOSE = (482, 18)  # centre of the close button (465,1 34x34)
BODY = "lan=en&name=20200821_kv8prepoppre7&show=1&click=0"
PER_MONITOR_AWARE = 2  # DPI_AWARENESS_PER_MONITOR_AWARE
CORNER = (1419, 749, 500, 330)


def shown_windows():
    out = xdotool("search", "--onlyvisible", "--name", "^%s$" % WINDOW_CAPTION, check=False)
    return out.split()


class ScaledDisplays(PrefixCase):
    """One prefix with the product's uninstall record; each row brings it
    back (the registry with it) and sets its scaling."""

    @classmethod
    def prepare(cls, px):
        px.seed_product(None)

    def test_the_window_is_whole_in_its_corner_at_every_scaling(self):
        for dpi in (96, 120, 144, 192):  # 100, 125, 150 and 200 %
            with self.subTest(dpi=dpi):
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
                    x, y, w, h = geometry
                    shot = screenshot(os.path.join(tempfile.mkdtemp(), "dpi.png"), crop=(w, h, x, y))
                    frame = [pixel(shot, x, y) for x, y in ((0, 0), (499, 0), (0, 329), (499, 329))]
                    buy = pixel(shot, 250, 262)
                    click(x + CLOSE[0], y + CLOSE[1])
                    r = px.finish(p, timeout=240)
                    body = receiver.wait_for_request(10)
                print("dpi %d: %d,%d %dx%d, %s" % ((dpi,) + geometry + (awareness,)), file=sys.stderr)
                self.assertEqual(geometry, CORNER)
                self.assertEqual(awareness, "awareness %d" % PER_MONITOR_AWARE)
                # Whole, at its design size: the frame's four corners, and the
                # buy button's orange face where the layout put it.
                self.assertEqual(frame, ["000000"] * 4)
                red, green, blue = (int(buy[i:i + 2], 16) for i in (0, 2, 4))
                self.assertTrue(red > 200 and 70 < green < 170 and blue < 90, buy)
                self.assertEqual(r.rc, 0)
                self.assertIsNotNone(body, "no statistics request")
                self.assertTrue(body.endswith(("\r\n\r\n" + BODY).encode()), body)
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
