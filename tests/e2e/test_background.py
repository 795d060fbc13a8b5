"""The window appears while the user types into another program: the keys
stay with that program (a small Win32 program with an edit control that
reports what reached it), none acts on the window, a screen reader hears of
the window through an alert, and a click then gives the window the keyboard."""
import os
import subprocess
import tempfile
import threading
import time
import unittest

from harness import (BUILD_DIR, PrefixCase, Receiver, STATS_PORT, WINDOW_CAPTION, browser_log, capture_browser,
                     click, find_window, xdotool)
from test_access import BODY, CLIENT, CLIENT_EXE, DIALOG, FOCUSED, parse_tree

TARGET_EXE = os.path.join(BUILD_DIR, "tests", "e2e", "typing_target.exe")
TARGET = r"C:\typing\typing_target.exe"
REPORT = r"C:\typing\report.txt"
TARGET_CAPTION = "Typing target"
ALERT_LOW = 0x4000000
CHUNK = "the quick brown fox 0123 "  # one second of typing at 40 ms a key


class Typist(threading.Thread):
    """Types CHUNK after CHUNK into whatever has the X focus, 40 ms a key,
    until stop_after(n): n more chunks once called."""

    def __init__(self):
        super().__init__(daemon=True)
        self.typed = []
        self.window_shown_at = None  # chunks typed when the window was found
        self._last = None
        self._lock = threading.Lock()

    def run(self):
        while True:
            with self._lock:
                if self._last is not None and len(self.typed) >= self._last:
                    return
            xdotool("type", "--delay", "40", CHUNK)
            with self._lock:
                self.typed.append(CHUNK)

    def stop_after(self, more):
        with self._lock:
            self.window_shown_at = len(self.typed)
            self._last = len(self.typed) + more


class TypingElsewhere(PrefixCase):
    """One prefix: the product's uninstall record, the stand-in browser, the
    accessibility client and the typing target in place."""

    keep_server = True
    written_keys = (r"HKLM\SOFTWARE\Norvi",)

    @classmethod
    def prepare(cls, px):
        px.seed_product(None)
        capture_browser(px)
        for exe, path in ((CLIENT_EXE, CLIENT), (TARGET_EXE, TARGET)):
            with open(exe, "rb") as f:
                px.write_file(path, f.read())

    def report(self, px):
        data = px.read_file(REPORT)
        lines = data.decode("utf-8", "replace").split("\n") if data else []
        return dict(line.split("\t", 1) for line in lines if "\t" in line)

    def wait_for_text(self, px, text, timeout=20):
        end = time.monotonic() + timeout
        while self.report(px).get("text") != text and time.monotonic() < end:
            time.sleep(0.1)
        return self.report(px)

    def watch_events(self, px):
        out = tempfile.TemporaryFile()
        self.addCleanup(out.close)
        watcher = subprocess.Popen(["wine", CLIENT, "events", "180"], env=dict(px.env, WINEDEBUG="-all"),
                                   stdout=out, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        self.addCleanup(lambda: watcher.poll() is None and watcher.kill())
        end = time.monotonic() + 60
        while b"watching" not in os.pread(out.fileno(), 4096, 0) and time.monotonic() < end:
            time.sleep(0.1)
        self.assertIn(b"watching", os.pread(out.fileno(), 4096, 0), "the hooks were not set")

        def stop():
            watcher.kill()
            watcher.wait()
            out.seek(0)
            text = out.read().decode("utf-8", "replace")
            return [line.split("\t")[1:] for line in text.splitlines() if line.startswith("event\t")]
        return stop

    def tree(self, px):
        r = px.wine(CLIENT, "tree", WINDOW_CAPTION, check=False, timeout=120)
        self.assertEqual(r.returncode, 0, r.stdout)
        return parse_tree(r.stdout.decode("utf-8", "replace"))

    def appear_while_typing(self, px, receiver):
        """The typing target has the keyboard and is typed into while the
        program starts and its window appears, then gets Tab, Enter and Esc.
        Every key reached the target, and none acted on the window. Returns
        the program, the target's report and the window's accessible tree."""
        target = px.start_process(["wine", TARGET, REPORT])
        twid = find_window(TARGET_CAPTION, timeout=120, process=target)
        self.assertIsNotNone(twid, "the typing target did not appear")
        xdotool("windowfocus", twid)
        xdotool("type", "--delay", "40", "ready ")
        self.assertEqual(self.wait_for_text(px, "ready ").get("text"), "ready ", "the target has no keyboard")

        typist = Typist()
        typist.start()
        p = px.start(["/kv"])
        wid = find_window(WINDOW_CAPTION, timeout=240, process=p)
        typist.stop_after(3)  # the typing goes on while the window comes up and after
        self.assertIsNotNone(wid, "the window did not appear")
        typist.join(timeout=60)
        self.assertGreaterEqual(len(typist.typed), typist.window_shown_at + 3)
        # Keys that would act on the window, typed where the user types.
        for key in ("Tab", "Return", "Escape"):
            xdotool("key", key)
            time.sleep(0.3)
        expected = "ready " + "".join(typist.typed)
        seen = self.wait_for_text(px, expected)
        self.assertEqual(seen.get("text"), expected, "keys typed for the other program were lost")
        self.assertEqual(seen.get("keys"), "tab=1 enter=1 esc=1")
        time.sleep(1)
        self.assertIsNone(p.poll(), "a key typed elsewhere ended the program")
        self.assertEqual(find_window(WINDOW_CAPTION, timeout=5), wid)
        self.assertEqual((receiver.requests, px.read_file(px.marker_ini)), ([], None))

        # Shown without the keyboard: the dialog in an alert state, nothing focused.
        rows = self.tree(px)
        self.assertEqual(rows[0]["state"] & (ALERT_LOW | FOCUSED), ALERT_LOW)
        self.assertEqual([r for r in rows if r["state"] & FOCUSED], [])
        return p, seen, rows

    def test_keys_typed_elsewhere_stay_there_until_a_click_gives_the_window_the_keyboard(self):
        px = self.fresh()
        px.seed_product(200, lang="DE", registry=False)
        events = self.watch_events(px)
        with Receiver(STATS_PORT) as receiver:
            p, seen, rows = self.appear_while_typing(px, receiver)

            # A click on the headline (no handler there) gives it the keyboard.
            headline = rows[2]
            x, y, w, h = headline["box"]
            click(x + w // 2, y + h // 2)
            time.sleep(0.5)
            xdotool("key", "Tab")
            time.sleep(0.5)
            rows = self.tree(px)
            self.assertEqual([r["name"] for r in rows if r["state"] & FOCUSED], ["Jetzt upgraden für 0€"])
            self.assertEqual(rows[0]["state"] & ALERT_LOW, 0)
            xdotool("key", "Escape")
            r = px.finish(p, timeout=240)
            self.assertEqual(r.rc, 0)
            request = receiver.wait_for_request(10)
            self.assertIsNotNone(request)
            self.assertEqual(request.partition(b"\r\n\r\n")[2].decode(), BODY % ("de", 0))
            self.assertEqual(len(receiver.requests), 1)
        self.assertIn("BenefitsR_2020=", px.read_file(px.marker_ini).decode("utf-16"))
        # The keys that went to the window took nothing from the other program.
        self.assertEqual(self.report(px), seen)

        # A screen reader was told once, by an alert whose object is the dialog.
        alerts = [e for e in events() if e[0] == "alert" and e[1] == WINDOW_CAPTION]
        self.assertEqual(len(alerts), 1, alerts)
        kind, title, obj, child, role, name, box, state = alerts[0][:8]
        self.assertEqual((obj, child, int(role), name), ("-4", "0", DIALOG, headline["name"]))
        self.assertEqual(int(state, 16) & ALERT_LOW, ALERT_LOW)

    def test_a_click_on_a_button_of_the_inactive_window_does_what_it_does_in_front(self):
        for label, name, click_value in (("close", "Schließen", 0), ("buy", "Jetzt upgraden für 0€", 1)):
            with self.subTest(button=label):
                px = self.fresh()
                px.seed_product(200, lang="DE", registry=False)
                opened = browser_log(px)
                with Receiver(STATS_PORT) as receiver:
                    p, seen, rows = self.appear_while_typing(px, receiver)
                    x, y, w, h = next(r["box"] for r in rows if r["name"] == name)
                    click(x + w // 2, y + h // 2)
                    r = px.finish(p, timeout=240)
                    self.assertEqual(r.rc, 0)
                    request = receiver.wait_for_request(10)
                self.assertIsNotNone(request)
                self.assertEqual(request.partition(b"\r\n\r\n")[2].decode(), BODY % ("de", click_value))
                self.assertEqual(len(receiver.requests), 1)
                self.assertIsNotNone(px.read_file(px.marker_ini))
                self.assertEqual(opened(timeout=5 if click_value else 2, expected=bool(click_value)) is not None,
                                 bool(click_value))
                self.assertEqual(self.report(px), seen)


if __name__ == "__main__":
    unittest.main()
