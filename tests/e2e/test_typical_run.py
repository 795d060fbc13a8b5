"""The typical run, end to end: an installed product, the window in German,
the buy button opening the purchase page and sending the statistics request,
the marker stopping the next run; the close button; no server at all."""
import subprocess
import time
import unittest

from harness import (PrefixCase, Receiver, STATS_PORT, VERSIONED_EXE, WINDOW_CAPTION, browser_log, capture_browser,
                     click, days_now, find_window, press_in_window, window_geometry)

BUY = (250, 278)
CLOSE = (482, 18)
BODY = "lan=%s&name=20200821_kv8prepoppre7&show=1&click=%d"


class TypicalRun(PrefixCase):
    """One prefix: the product's uninstall record and the stand-in browser in
    place; each case writes the product's files. Wine keeps running between
    cases; the product's own key, where a buy records the first-install date,
    is removed before each."""

    keep_server = True
    written_keys = (r"HKLM\SOFTWARE\Norvi",)

    @classmethod
    def prepare(cls, px):
        px.seed_product(None, version_exe=VERSIONED_EXE)
        capture_browser(px)

    def install(self, px, lang):
        px.seed_product(200, lang=lang, registry=False)
        # First installed 300 days ago (whole day), no registry record yet.
        first = int(days_now()) - 300
        text = px.read_file(px.config_ini).decode() + "InstDate1=%d\r\n" % first
        px.write_file(px.config_ini, text)

    def press(self, px, button):
        return press_in_window(self, px, button)

    def test_buy_button_opens_the_purchase_page_and_reports_the_click(self):
        px = self.px
        self.install(px, "DE")
        opened = browser_log(px)
        with Receiver(STATS_PORT) as receiver:
            r = self.press(px, BUY)
            self.assertEqual(r.rc, 0)
            request = receiver.wait_for_request(10)
        url = ("https://www.pellorin.example/de/kv/kv8preorder.php?to=kv8prepoppre7"
               "&ver=7.0.0.1&instd=201&finstd=301")
        line = opened()
        self.assertIsNotNone(line, "no browser was started")
        self.assertIn('"%s"' % url, line)
        self.assertIsNotNone(request)
        head, _, body = request.partition(b"\r\n\r\n")
        # The address's trailing blank is dropped by the program itself, not
        # by Wine's request library, so this line holds on Windows too.
        self.assertTrue(head.startswith(b"POST /other/kv_reservepmt.php HTTP/1.1\r\n"), head)
        # The demo build's statistics host names its port, and so does the Host line.
        self.assertIn(b"\r\nHost: 127.0.0.1:%d\r\n" % STATS_PORT, head)
        self.assertEqual(body.decode(), BODY % ("de", 1))
        marker = px.read_file(px.marker_ini)
        self.assertIsNotNone(marker)
        text = marker.decode("utf-16")
        self.assertIn("[KVBenefit]", text)
        self.assertRegex(text, r"BenefitsR_2020=\d{10}")
        # The first-install date went to the registry as a whole day.
        self.assertEqual(int(px.reg_query(r"HKLM\SOFTWARE\Norvi\Pellorin", "InstDate"), 16),
                         int(days_now()) - 300)

        # The next start finds the marker and ends before showing anything
        # and before creating any window. Under Wine 8 it also loads neither
        # the display driver (winex11.drv) nor the theme library the window
        # would need; Wine 10 loads both for the screen metrics and the work
        # area that the start-up DPI setup reads before the decision (its
        # user32 brings up theming with the driver), so that check is Wine 8's.
        again = px.run(["/kv"], timeout=240, debug="+pid,warn+seh,trace+win,trace+loaddll")
        self.assertEqual(again.rc, 0)
        self.assertEqual([l for l in again.debug_lines if l in ("limitdate", "haveshow", "jp")],
                         ["limitdate", "haveshow"])
        self.assertEqual(again.created_windows, [])
        loaded = [l for l in again.own_lines if "loaddll" in l]
        self.assertTrue(loaded, "no loader trace")
        wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout
        for library in ("winex11.drv", "uxtheme.dll") if wine.startswith("wine-8.") else ():
            self.assertFalse([l for l in loaded if library in l.lower()], library)

    def test_close_button_reports_the_language_and_opens_nothing(self):
        px = self.px
        self.install(px, "SV")
        opened = browser_log(px)
        with Receiver(STATS_PORT) as receiver:
            r = self.press(px, CLOSE)
            self.assertEqual(r.rc, 0)
            request = receiver.wait_for_request(10)
        self.assertEqual(request.partition(b"\r\n\r\n")[2].decode(), BODY % ("sv", 0))
        self.assertIsNone(opened(timeout=2, expected=False))
        self.assertIsNotNone(px.read_file(px.marker_ini))

    def test_scan_setting_changed_while_the_window_is_up_is_kept(self):
        # The product switches "ScanGame" off while the window is shown: the
        # end of the run must not put back the "1" it read at the start.
        px = self.px
        self.install(px, "EN")
        px.write_file(px.config_ini, px.read_file(px.config_ini).decode() + "[Scan]\r\nScanGame=1\r\n")
        p = px.start(["/kv"])
        wid = find_window(WINDOW_CAPTION, timeout=240, process=p)
        self.assertIsNotNone(wid, "the window did not appear")
        changed = px.read_file(px.config_ini).decode().replace("ScanGame=1", "ScanGame=0")
        px.write_file(px.config_ini, changed)
        time.sleep(0.5)
        x, y, _, _ = window_geometry(wid)
        click(x + CLOSE[0], y + CLOSE[1])
        self.assertEqual(px.finish(p, timeout=240).rc, 0)
        self.assertEqual(px.read_file(px.config_ini).decode(), changed)

    def test_without_a_statistics_server_the_marker_is_still_written(self):
        px = self.px
        self.install(px, "EN")
        r = self.press(px, CLOSE)
        self.assertEqual(r.rc, 0)
        self.assertIn("BenefitsR_2020=", px.read_file(px.marker_ini).decode("utf-16"))
        self.assertTrue(any(l.startswith("7iniPath:") and l.endswith(r"\Norvi\EventPromote.ini")
                            for l in r.debug_lines), r.debug_lines)

    def test_first_install_dates_that_do_not_convert_survive_the_buy(self):
        # InstDate1 written with the other decimal separator ("," where the
        # prefix's is "."), and InstDate stored as text: both are the
        # product's, so the buy (the only place that computes the date) leaves
        # them as they are and counts each as 0: the address says today.
        px = self.px
        px.seed_product(200, lang="EN", registry=False)
        config = px.read_file(px.config_ini) + b"InstDate1=44000,5\r\n"
        px.write_file(px.config_ini, config)
        key = r"HKLM\SOFTWARE\Norvi\Pellorin"
        px.reg_add(key, "InstDate", "REG_SZ", "43000")
        opened = browser_log(px)
        with Receiver(STATS_PORT) as receiver:
            r = self.press(px, BUY)
            self.assertEqual(r.rc, 0)
            self.assertIsNotNone(receiver.wait_for_request(10))
        line = opened()
        self.assertIsNotNone(line, "no browser was started")
        self.assertIn("&ver=7.0.0.1&instd=201&finstd=1\"", line)
        self.assertEqual(px.read_file(px.config_ini), config)
        q = px.reg("query", key, "/v", "InstDate").stdout.decode("utf-8", "replace")
        self.assertRegex(q, r"InstDate\s+REG_SZ\s+43000")


if __name__ == "__main__":
    unittest.main()
