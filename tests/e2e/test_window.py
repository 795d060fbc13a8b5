"""The promotion window in the real program: place, size, skin, language,
dragging and the close button."""
import os
import re
import subprocess
import tempfile
import time
import unittest

import sys

from harness import (BUILD_DIR, PrefixCase, Receiver, SOURCE_DIR, STATS_PORT, WINDOW_CAPTION, browser_log,
                     capture_browser, display, find_window, pixel, screenshot, window_geometry, xdotool, click)

sys.path.insert(0, os.path.join(SOURCE_DIR, "scripts"))
import wineproc  # noqa: E402  (the X server's map reports)

CLOSE = (482, 18)   # centre of the close button (465,1 34x34)
BUY = (250, 278)    # centre of the buy button (top 260, 36 high)
TITLE = (30, 17)    # on the title's text (10,10, about 56x16)
BADGE = (85, 18)    # the badge beside the title (71,10 34x16 in English)
PICTURE = (250, 150)  # the feature picture (68,112 364x93)
APP_WINDOW_CAPTION = "PellorinPromo"  # the application's own (task-bar) window


def hex_rgb(h):
    return tuple(int(h[i:i + 2], 16) for i in (0, 2, 4))


def map_state(wid):
    out = subprocess.run(["xwininfo", "-id", str(wid)], env=dict(os.environ, DISPLAY=display() or ""),
                         stdout=subprocess.PIPE, check=True).stdout.decode()
    return next(line.split(":", 1)[1].strip() for line in out.splitlines() if "Map State" in line)


def drag(sx, sy):
    """Presses at (sx, sy) and moves the pointer 200 left and 120 up in small
    steps (the system move loop loses big jumps), then releases."""
    xdotool("mousemove", sx, sy)
    time.sleep(0.3)
    xdotool("mousedown", 1)
    for i in range(1, 41):
        xdotool("mousemove", sx - 5 * i, sy - 3 * i)
        time.sleep(0.05)
    xdotool("mouseup", 1)
    time.sleep(0.5)


def row_colours(path, x, y, width):
    """The colours ("RRGGBB") of a row of pixels of a picture."""
    out = subprocess.run(["/usr/bin/convert", path, "-crop", "%dx1+%d+%d" % (width, x, y), "-depth", "8", "txt:-"],
                         stdout=subprocess.PIPE, check=True).stdout.decode()
    return [m.upper() for m in re.findall(r"#([0-9A-Fa-f]{6})", out)]


class Window(PrefixCase):
    """One prefix: the product's uninstall record and the stand-in browser in
    place, each case writes the product's files. No case here leaves
    anything in the registry (only a buy would), so Wine keeps running."""

    keep_server = True

    @classmethod
    def prepare(cls, px):
        px.seed_product(None)
        capture_browser(px)

    def open_window(self, px, lang="EN"):
        px.seed_product(200, lang=lang, registry=False)
        p = px.start(["/kv"])
        wid = find_window(WINDOW_CAPTION, timeout=240, process=p)
        self.assertIsNotNone(wid, "the window did not appear")
        time.sleep(0.5)  # first paint
        return p, wid

    def test_appears_once_at_the_bottom_right_with_its_skin(self):
        px = self.px
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
        px = self.px
        p, wid = self.open_window(px)
        x, y, _, _ = window_geometry(wid)
        drag(x + 250, y + 100)
        nx, ny, _, _ = window_geometry(wid)
        self.assertLess(nx, x - 100, (x, nx))
        self.assertLess(ny, y - 60, (y, ny))
        self.assertIsNone(p.poll(), "dragging must not end the program")
        p.kill()

    def test_close_button_ends_the_program_and_names_the_language(self):
        cases = [("DE", "de"), ("de", "de"), ("NL", "nl"), ("SV", "sv"), ("JP", "en"), (None, "en")]
        for lang, sent in cases:
            with self.subTest(lang=lang):
                px = self.fresh()
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

    def test_the_application_window_is_never_shown(self):
        px = self.px
        with wineproc.MapWatcher(display()) as maps:
            p, wid = self.open_window(px)
            mapped = [name for _, name in maps.mapped()]
        # The application window exists (its task-bar button would show while
        # it is mapped), but the show handler hides it first thing: it is not
        # shown before either, not even for a moment.
        app = xdotool("search", "--name", "^%s$" % APP_WINDOW_CAPTION, check=False).split()
        self.assertEqual(len(app), 1, app)
        self.assertEqual(map_state(app[0]), "IsUnMapped")
        self.assertEqual(map_state(wid), "IsViewable")
        self.assertIn(WINDOW_CAPTION, mapped)
        self.assertNotIn(APP_WINDOW_CAPTION, mapped)
        p.kill()

    def test_closing_through_the_system_leaves_no_trace_and_ends_with_0(self):
        """Alt+F4 on the window, or WM_CLOSE sent from another program (Wine's
        taskkill without /f posts it to the program's windows)."""
        for how in ("alt+F4", "taskkill"):
            with self.subTest(how=how):
                px = self.fresh()
                opened = browser_log(px)
                with Receiver(STATS_PORT) as receiver:
                    p, wid = self.open_window(px)
                    if how == "alt+F4":
                        xdotool("windowfocus", wid)
                        time.sleep(0.3)
                        xdotool("key", "alt+F4")
                    else:
                        px.tool("taskkill", "/im", "PellorinPromo.exe", check=False)
                    r = px.finish(p, timeout=120)
                    self.assertEqual(r.rc, 0)
                    self.assertIsNone(receiver.request_after_exit(3), "a statistics request was sent")
                self.assertFalse(px.exists(px.marker_ini), "the shown marker was written")
                self.assertIsNone(opened(timeout=2, expected=False), "a browser was started")

    def test_only_the_background_title_and_badge_move_the_window(self):
        px = self.px
        p, wid = self.open_window(px)
        # Buttons and the picture first: released away from the button, a
        # press makes no click, so the window stays for the next one.
        for name, (cx, cy), moves in (("close button", CLOSE, False), ("buy button", BUY, False),
                                      ("feature picture", PICTURE, False), ("title", TITLE, True),
                                      ("badge", BADGE, True)):
            with self.subTest(name):
                x, y, _, _ = window_geometry(wid)
                drag(x + cx, y + cy)
                nx, ny, _, _ = window_geometry(wid)
                if moves:
                    self.assertLess(nx, x - 100, (x, nx))
                    self.assertLess(ny, y - 60, (y, ny))
                else:
                    self.assertEqual((nx, ny), (x, y))
                self.assertIsNone(p.poll(), "the program ended")
        p.kill()

    def test_tile_headings_show_their_descenders(self):
        """A pixel probe on the Russian proof sheet: "Оффлайновое" and
        "0 руб." reach into their heading's last row (175 + 13)."""
        px = self.px
        out = tempfile.mkdtemp()
        tool = os.path.join(BUILD_DIR, "tests", "promo", "promo_proof_sheet.exe")
        px.wine(tool, "Z:" + out.replace("/", "\\"), "RU", timeout=120)
        sheet = os.path.join(out, "proof-RU.png")
        for name, left in (("lblFun2Title", 190), ("lblFun3Title", 349)):
            with self.subTest(name):
                last = row_colours(sheet, left, 188, 120)
                below = row_colours(sheet, left, 189, 120)
                self.assertTrue(any(sum(hex_rgb(c)) > 3 * 0x80 for c in last), last)
                self.assertTrue(all(c == "2E2E2E" for c in below), below)  # nothing under the heading


if __name__ == "__main__":
    unittest.main()
