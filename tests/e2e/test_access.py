"""The window without a mouse, in the real program: what a screen reader reads
(a small accessibility client run under Wine beside it), its default actions,
the events it announces, and the keyboard (xdotool): Tab, Enter, Space, Esc,
and the focus cue on the screen."""
import os
import re
import subprocess
import tempfile
import time
import unittest

from harness import (BUILD_DIR, PrefixCase, Receiver, STATS_PORT, WINDOW_CAPTION, browser_log, capture_browser,
                     find_window, screenshot, window_geometry, xdotool)

CLIENT_EXE = os.path.join(BUILD_DIR, "tests", "e2e", "acc_client.exe")
CLIENT = r"C:\access\acc_client.exe"
BODY = "lan=%s&name=20200821_kv8prepoppre7&show=1&click=%d"
PURCHASE = "https://www.pellorin.example/%s/kv/kv8preorder"  # the page, in its language
DIALOG, TEXT, BUTTON = 18, 41, 43
FOCUSABLE, FOCUSED = 0x100000, 0x4

# What a screen reader is told, in order: the dialog, then its children.
TREES = {
    "DE": [(DIALOG, "Der neue Pellorin 8 ist jetzt verfügbar"),
           (TEXT, "Pellorin 7"),
           (TEXT, "Der neue Pellorin 8 ist jetzt verfügbar"),
           (TEXT, "4.500.000+"), (TEXT, "Treiberdatenbank"),
           (TEXT, "Offline"), (TEXT, "Treiberaktualisierung"),
           (TEXT, "0€"), (TEXT, "Upgraden zu PRO"),
           (BUTTON, "Jetzt upgraden für 0€"),
           (BUTTON, "Schließen")],
    "RU": [(DIALOG, "Новый Pellorin 8 уже доступен"),
           (TEXT, "Pellorin 7"),
           (TEXT, "Новый Pellorin 8 уже доступен"),
           (TEXT, "4,500,000+"), (TEXT, "Драйверов в базе данных"),
           (TEXT, "Оффлайновое"), (TEXT, "Обновление драйверов"),
           (TEXT, "0 руб."), (TEXT, "Обновление до PRO"),
           (BUTTON, "Обновить сейчас за 0 руб."),
           (BUTTON, "Закрыть")],
}


def parse_tree(text):
    """Client lines -> dicts (kind, id, role, name, box, state, action)."""
    rows = []
    for line in text.splitlines():
        parts = line.split("\t")
        if parts[0] not in ("self", "child"):
            continue
        box = tuple(int(v) for v in parts[4].split(","))
        rows.append(dict(kind=parts[0], id=int(parts[1]), role=int(parts[2]), name=parts[3], box=box,
                         state=int(parts[5], 16), action=parts[6] if len(parts) > 6 else ""))
    return rows


def loaded_libraries(result):
    """The base names of the libraries the program loaded (Wine's loaddll channel)."""
    names = re.findall(r'loaddll:\w+ Loaded L"[^"]*?([^\\"]+)\.dll"', result.stderr, re.I)
    return {n.lower() for n in names}


def changed_pixels(a, b):
    """How many pixels differ between two pictures, and their bounding box (w, h, x, y)."""
    r = subprocess.run(["/usr/bin/compare", "-metric", "AE", a, b, "null:"], stdout=subprocess.PIPE,
                       stderr=subprocess.PIPE)
    count = int(float(r.stderr.decode().split()[0]))
    if count == 0:
        return 0, None
    out = subprocess.run(["/usr/bin/convert", a, b, "-compose", "difference", "-composite", "-threshold", "0",
                          "-format", "%@", "info:"], stdout=subprocess.PIPE, check=True).stdout.decode()
    size, x, y = out.split("+")
    w, h = size.split("x")
    return count, (int(w), int(h), int(x), int(y))


class Access(PrefixCase):
    """One prefix: the product's uninstall record, the stand-in browser and
    the accessibility client in place; each case writes the product's files.
    Wine keeps running between cases; the product's own key, where a buy
    records the first-install date, is removed before each."""

    keep_server = True
    written_keys = (r"HKLM\SOFTWARE\Norvi",)

    @classmethod
    def prepare(cls, px):
        px.seed_product(None)
        capture_browser(px)
        with open(CLIENT_EXE, "rb") as f:
            px.write_file(CLIENT, f.read())

    def open(self, lang):
        px = self.fresh()
        px.seed_product(200, lang=lang, registry=False)
        return px

    def show(self, px, debug="warn+seh,+loaddll"):
        p = px.start(["/kv"], debug=debug)
        wid = find_window(WINDOW_CAPTION, timeout=240, process=p)
        self.assertIsNotNone(wid, "the window did not appear")
        time.sleep(0.5)  # first paint
        return p, wid

    def client(self, px, *args):
        r = px.wine(CLIENT, *args, check=False, timeout=120)
        return r.returncode, r.stdout.decode("utf-8", "replace")

    def keys(self, wid, *keys):
        # Without a window manager only an explicit focus gives the window the keys.
        xdotool("windowfocus", wid)
        time.sleep(0.4)
        for k in keys:
            xdotool("key", k)
            time.sleep(0.3)

    def test_the_tree_names_roles_and_places_every_text_and_button(self):
        for lang, expected in TREES.items():
            with self.subTest(lang=lang):
                px = self.open(lang)
                p, wid = self.show(px)
                wx, wy, ww, wh = window_geometry(wid)
                rc, out = self.client(px, "tree", WINDOW_CAPTION)
                self.assertEqual(rc, 0, out)
                rows = parse_tree(out)
                self.assertEqual([(r["role"], r["name"]) for r in rows], expected)
                self.assertEqual([r["id"] for r in rows], list(range(len(expected))))
                self.assertEqual(rows[0]["box"], (wx, wy, ww, wh))
                for r in rows[1:]:
                    x, y, w, h = r["box"]
                    self.assertTrue(w > 0 and h > 0 and wx <= x and x + w <= wx + ww and wy <= y
                                    and y + h <= wy + wh, r)
                    button = r["role"] == BUTTON
                    self.assertEqual(r["action"], "Press" if button else "", r)
                    self.assertEqual(r["state"] & FOCUSABLE, FOCUSABLE if button else 0, r)
                    self.assertEqual(r["state"] & FOCUSED, 0, r)  # nothing has the focus before Tab
                # The buy button is where it is drawn: its middle hits it.
                buy = rows[-2]
                x, y, w, h = buy["box"]
                self.assertEqual(y - wy, 260)
                self.assertLessEqual(abs(x - wx + w / 2 - 250), 1)  # centred
                rc, out = self.client(px, "hit", WINDOW_CAPTION, str(x + w // 2), str(y + h // 2))
                self.assertEqual(out.split(), ["hit", "00000000", str(buy["id"])])
                p.kill()
                # The accessibility library came with the first client.
                self.assertIn("oleacc", loaded_libraries(px.finish(p)))

    def test_the_default_action_is_the_click(self):
        cases = [("buy", "Jetzt upgraden für 0€", 1, True), ("close", "Schließen", 0, False)]
        for label, name, click, browser in cases:
            with self.subTest(button=label):
                px = self.open("DE")
                opened = browser_log(px)
                with Receiver(STATS_PORT) as receiver:
                    p, wid = self.show(px)
                    rc, out = self.client(px, "press", WINDOW_CAPTION, name)
                    self.assertEqual(rc, 0, out)
                    r = px.finish(p, timeout=240)
                    self.assertEqual(r.rc, 0)
                    request = receiver.wait_for_request(10)
                self.assertIsNotNone(request)
                self.assertEqual(request.partition(b"\r\n\r\n")[2].decode(), BODY % ("de", click))
                self.assertEqual(len(receiver.requests), 1)
                self.assertIn("BenefitsR_2020=", px.read_file(px.marker_ini).decode("utf-16"))
                line = opened(timeout=5 if browser else 2, expected=browser)
                if browser:
                    self.assertIsNotNone(line, "no browser was started")
                    self.assertIn('"' + PURCHASE % "de", line)
                else:
                    self.assertIsNone(line)

    def test_keys_press_the_buttons_as_a_click_would(self):
        cases = [
            ("tab tab enter presses close", ["Tab", "Tab", "Return"], 0),
            ("esc is the close button", ["Escape"], 0),
            ("tab space presses buy", ["Tab", "space"], 1),
            ("shift tab comes to close first", ["shift+Tab", "Return"], 0),
            ("alt f4 stays the system close", ["Tab", "alt+F4"], None),  # nothing written or sent
        ]
        for label, keys, click in cases:
            with self.subTest(keys=label):
                px = self.open("EN")
                opened = browser_log(px)
                with Receiver(STATS_PORT) as receiver:
                    p, wid = self.show(px)
                    self.keys(wid, *keys)
                    r = px.finish(p, timeout=240)
                    self.assertEqual(r.rc, 0, "the program did not end")
                    # Without a client the accessibility library is never loaded.
                    self.assertNotIn("oleacc", loaded_libraries(r))
                    request = receiver.wait_for_request(10) if click is not None else receiver.request_after_exit(2)
                line = opened(timeout=5 if click else 2, expected=bool(click))
                if click is None:
                    self.assertEqual((request, px.read_file(px.marker_ini), line), (None, None, None))
                    continue
                self.assertIsNotNone(request)
                self.assertEqual(request.partition(b"\r\n\r\n")[2].decode(), BODY % ("en", click))
                self.assertIsNotNone(px.read_file(px.marker_ini))
                if click:
                    self.assertIn('"' + PURCHASE % "en", line or "")
                else:
                    self.assertIsNone(line)

    def test_enter_before_tab_does_nothing_and_the_cue_and_events_follow_tab(self):
        px = self.open("DE")
        events_out = tempfile.TemporaryFile()
        env = dict(px.env, WINEDEBUG="-all")
        watcher = subprocess.Popen(["wine", CLIENT, "events", "120"], env=env, stdout=events_out,
                                   stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        self.addCleanup(lambda: watcher.poll() is None and watcher.kill())
        end = time.monotonic() + 60
        while b"watching" not in os.pread(events_out.fileno(), 4096, 0) and time.monotonic() < end:
            time.sleep(0.1)
        self.assertIn(b"watching", os.pread(events_out.fileno(), 4096, 0), "the hooks were not set")
        folder = tempfile.mkdtemp()
        with Receiver(STATS_PORT) as receiver:
            p, wid = self.show(px)
            x, y, w, h = window_geometry(wid)
            _, out = self.client(px, "tree", WINDOW_CAPTION)
            bx, by, bw, bh = parse_tree(out)[-2]["box"]
            bx, by = bx - x, by - y  # window coordinates
            before = screenshot(os.path.join(folder, "before.png"), crop=(w, h, x, y))

            self.keys(wid, "Return")
            time.sleep(1.5)
            self.assertIsNone(p.poll(), "an Enter before any Tab ended the program")
            self.assertEqual(receiver.requests, [])
            after_enter = screenshot(os.path.join(folder, "enter.png"), crop=(w, h, x, y))
            self.assertEqual(changed_pixels(before, after_enter), (0, None))

            self.keys(wid, "Tab")
            time.sleep(0.5)
            after_tab = screenshot(os.path.join(folder, "tab.png"), crop=(w, h, x, y))
            count, box = changed_pixels(after_enter, after_tab)
            # The dotted focus rectangle, 3 pixels inside the buy button's face, and nothing else.
            self.assertEqual(box, (bw - 6, bh - 6, bx + 3, by + 3))
            self.assertGreater(count, bw)
            _, out = self.client(px, "tree", WINDOW_CAPTION)
            self.assertEqual([r["name"] for r in parse_tree(out) if r["state"] & FOCUSED],
                             ["Jetzt upgraden für 0€"])

            self.keys(wid, "Escape")
            r = px.finish(p, timeout=240)
            self.assertEqual(r.rc, 0)
            self.assertEqual(receiver.wait_for_request(10).partition(b"\r\n\r\n")[2].decode(), BODY % ("de", 0))
        watcher.kill()
        watcher.wait()
        events_out.seek(0)
        events = [l.split("\t")[1:] for l in events_out.read().decode("utf-8", "replace").splitlines()
                  if l.startswith("event\t")]
        ours = [e for e in events if e[1] == WINDOW_CAPTION]
        self.assertIn(["dialogstart", WINDOW_CAPTION, "0", "0"], ours)
        # With nothing else in front the window took the keyboard: no alert.
        self.assertNotIn("alert", [e[0] for e in ours], events)
        # Tab announces the buy button (child 9 of the client object, OBJID_CLIENT = -4).
        focus = [e for e in ours if e[0] == "focus" and e[3] != "0"]
        self.assertEqual(focus, [["focus", WINDOW_CAPTION, "-4", "9"]])


if __name__ == "__main__":
    unittest.main()
