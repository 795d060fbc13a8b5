"""The promotion window in the real program: place, size, skin, language,
dragging and the close button."""
import os
import tempfile
import time
import unittest

from harness import (E2ECase, Receiver, STATS_PORT, WINDOW_CAPTION, find_window, pixel, screenshot,
                     window_geometry, xdotool, click)

CLOSE = (482, 18)   # centre of the close button (465,1 34x34)
BUY = (250, 278)    # centre of the buy button (top 260, 36 high)


def hex_rgb(h):
    return tuple(int(h[i:i + 2], 16) for i in (0, 2, 4))


class Window(E2ECase):
    def open_window(self, px, lang="EN"):
        px.seed_product(200, lang=lang)
        p = px.start(["/kv"])
        wid = find_window(WINDOW_CAPTION, timeout=240, process=p)
        self.assertIsNotNone(wid, "the window did not appear")
        time.sleep(0.5)  # first paint
        return p, wid

    def test_appears_once_at_the_bottom_right_with_its_skin(self):
        px = self.prefix()
        p, wid = self.open_window(px)
        self.assertEqual(xdotool("search", "--onlyvisible", "--name", "^FormSale$").split(), [wid])
        x, y, w, h = window_geometry(wid)
        # One pixel inside the corner of the 1920x1080 work area (no task bar).
        self.assertEqual((x, y, w, h), (1419, 749, 500, 330))
        shot = screenshot(os.path.join(tempfile.mkdtemp(), "window.png"), crop=(w, h, x, y))
        self.assertEqual(pixel(shot, 0, 0), "000000")       # the frame
        self.assertEqual(pixel(shot, 499, 329), "000000")
        self.assertEqual(pixel(shot, 5, 300), "2E2E2E")     # the background
        self.assertEqual(pixel(shot, 250, 100), "2E2E2E")
        r, g, b = hex_rgb(pixel(shot, 250, 262))            # the buy button's orange face
        self.assertGreater(r, 200)
        self.assertTrue(70 < g < 170 and b < 90, (r, g, b))
        # The headline is drawn in white somewhere on its line.
        row = [pixel(shot, xx, 72) for xx in range(150, 350, 10)]
        self.assertTrue(any(hex_rgb(c)[0] > 200 for c in row), row)
        p.kill()

    def test_dragging_the_background_moves_the_window(self):
        px = self.prefix()
        p, wid = self.open_window(px)
        x, y, _, _ = window_geometry(wid)
        sx, sy = x + 250, y + 100
        xdotool("mousemove", sx, sy)
        time.sleep(0.3)
        xdotool("mousedown", 1)
        for i in range(1, 41):
            xdotool("mousemove", sx - 5 * i, sy - 3 * i)
            time.sleep(0.05)
        xdotool("mouseup", 1)
        time.sleep(0.5)
        nx, ny, _, _ = window_geometry(wid)
        self.assertLess(nx, x - 100, (x, nx))
        self.assertLess(ny, y - 60, (y, ny))
        self.assertIsNone(p.poll(), "dragging must not end the program")
        p.kill()

    def test_close_button_ends_the_program_and_names_the_language(self):
        cases = [("DE", "de"), ("de", "de"), ("NL", "nl"), ("SV", "sv"), ("JP", "en"), (None, "en")]
        for lang, sent in cases:
            with self.subTest(lang=lang):
                px = self.prefix_named("close-%s" % lang)
                with Receiver(STATS_PORT) as receiver:
                    p, wid = self.open_window(px, lang=lang)
                    x, y, _, _ = window_geometry(wid)
                    click(x + CLOSE[0], y + CLOSE[1])
                    r = px.finish(p, timeout=240)
                    self.assertEqual(r.rc, 0)
                    body = receiver.wait_for_request(5)
                self.assertIsNotNone(body)
                self.assertTrue(body.endswith(
                    ("\r\n\r\nlan=%s&name=20200821_kv8prepoppre7&show=1&click=0" % sent).encode()), body)
                if lang is None:  # an empty lang.dat now exists beside the program
                    self.assertEqual(px.read_file(px.exe.rsplit("\\", 1)[0] + r"\lang.dat"), b"")
                px.close()

    def prefix_named(self, name):
        from harness import Prefix
        px = Prefix(name)
        self.addCleanup(px.close)
        return px


if __name__ == "__main__":
    unittest.main()
