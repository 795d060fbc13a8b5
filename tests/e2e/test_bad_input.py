"""Bad input and faults, each case in the real program: whatever the product's
files, the registry, the network, the browser or the product's Focus.dll do,
the program ends with exit code 0 within a bounded time, shows no dialog, does
not crash, and leaves every byte of the product's files and every registry
value as it was, except the keys it owns (OWNED_* in badinput_state.py, the
only place they are listed). The cases are one table (badinput_cases.py);
each becomes a test of its own.

The cases share one prefix: seeded once with what every case has (the
product's program and uninstall record, its first-install date, the stand-in
browser) and brought back to that state before each case, its registry with
the wineserver stopped. A case that seeds other registry values starts from
the template's registry and imports its own, as a prefix of its own would.
The state before is read after the case is set up, with Wine's registry
flushed to its files (the wineserver stopped); the state after the same way
once the program ended.
"""
import os
import stat
import subprocess
import time
import unittest

from badinput_cases import BUY, CAPTURE_EXE, CASES, DIALOG_CLASSES, FILE_HOLDER_EXE, Seed, resolve
from badinput_state import OWNED_MARKER_KEY, file_changes, file_state, ini_entries, registry_changes, registry_state
from harness import REGISTRY_FILES, PrefixCase, Receiver, STATS_PORT, WINDOW_CAPTION, click, find_window, window_geometry


class BadInput(PrefixCase):
    serve = False  # each case stops the server to read the registry

    @classmethod
    def prepare(cls, px):
        seed = Seed()
        seed.install(px)
        # The template's registry, for the cases that seed other values.
        cls.template_registry = {}
        for name in REGISTRY_FILES:
            with open(os.path.join(px.path, name), "rb") as f:
                cls.template_registry[name] = f.read()
        cls.base_registry = seed.registry_text()
        px.reg_import(cls.base_registry)

    def seed(self, px, seed):
        """The case's files and registry values in place, then its actions."""
        px.stop_server()
        seed.write_files(px)
        text = seed.registry_text()
        if text != self.base_registry:
            for name, data in self.template_registry.items():
                with open(os.path.join(px.path, name), "wb") as f:
                    f.write(data)
            px.reg_import(text)
        for action in seed.after:
            action(px)

    def hold_files(self, px, paths):
        """Starts one holder per file and waits until each holds its file."""
        for i, win_path in enumerate(paths):
            note = r"C:\capture\held-%d.txt" % i
            p = subprocess.Popen(["wine", FILE_HOLDER_EXE, win_path, note, "600"], env=px.env,
                                 stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            px.procs.append(p)
            end = time.monotonic() + 60
            while not px.read_file(note) and time.monotonic() < end:
                time.sleep(0.1)
            self.assertEqual(px.read_file(note), b"held\n", "the holder could not open %s" % win_path)

    def run_case(self, setup, button, mode, expect):
        px = self.px
        seed = Seed()
        if setup:
            setup(self, seed)
        seed.holds = [resolve(px, p) for p in seed.holds]
        self.seed(px, seed)
        files_before = file_state(px)
        registry_before = registry_state(px)
        self.hold_files(px, seed.holds)

        bound = expect.get("bound", 45)
        debug = "warn+seh,trace+win"
        receiver = Receiver(STATS_PORT, mode=mode) if mode else None
        try:
            if button is None:
                r = px.run(["/kv"], timeout=bound, debug=debug)
                self.assertNotIn("result: True", r.debug_lines)
            else:
                p = px.start(["/kv"], debug=debug)
                wid = find_window(WINDOW_CAPTION, timeout=120, process=p)
                if wid is None:
                    r = px.finish(p, timeout=5)
                    self.fail("the window did not appear: rc %s, %s" % (r.rc, r.debug_lines))
                for action in seed.during:
                    action(px)
                if seed.during:
                    files_before = file_state(px)  # the product's change is the state to keep
                time.sleep(0.3)
                x, y, _, _ = window_geometry(wid)
                click(x + button[0], y + button[1])
                r = px.finish(p, timeout=bound)
            request = receiver.request_after_exit(0.5 if button is None else 3) if receiver else None
        finally:
            if receiver:
                receiver.close()

        # The program ended by itself, in time, with 0, and showed no dialog.
        self.assertIsNotNone(r.rc, "the program did not end within %d s" % bound)
        self.assertEqual(r.rc, 0, "after %.1f s; its debug lines: %s; %s" % (r.elapsed, r.debug_lines,
                                                                             r.stderr[-1500:]))
        self.assertNotIn("Unhandled exception", r.stderr)
        self.assertNotRegex(r.stderr, r"err:seh:")
        # A dialog (a message box among them) is a window of the dialog class;
        # Wine traces its class as an atom, its caption may be missing.
        dialogs = [w for w in r.created_windows if any(part in DIALOG_CLASSES for part in w)]
        self.assertEqual(dialogs, [], "a dialog was created")

        # Nothing of the product's changed but what the program owns.
        files_after = file_state(px)
        registry_after = registry_state(px)
        marker_rule = expect.get("marker", "keys survive")
        self.assertEqual(file_changes(files_before, files_after, marker_rule), [])
        self.assertEqual(registry_changes(registry_before, registry_after), [])

        if expect.get("fault_seen"):
            # The stand-in's export was called and faulted inside the program.
            # Its null read is an access violation; under qemu-user (32-bit
            # Wine where the kernel runs no 32-bit code) it arrives as an
            # illegal instruction.
            self.assertRegex(r.stderr, r"(?i)c0000005|c000001d|access.violation")
        if button is None:
            self.assertIsNone(request)
            self.assertNotIn("programdata/norvi/eventpromote.ini", files_after)
            return
        if mode in ("ok", "error", "silent", "reset", "trickle"):
            self.assertIsNotNone(request, "the statistics request was not sent")
            body = request.partition(b"\r\n\r\n")[2].decode("latin-1")
            if "lan" in expect:
                self.assertTrue(body.startswith("lan=%s&" % expect["lan"]), body)
            self.assertTrue(body.endswith("&click=%d" % (button == BUY)), body)
        if button == BUY:
            opened = px.read_file(CAPTURE_EXE + ".txt")
            if expect.get("opened", True):
                self.assertIsNotNone(opened, "the purchase page was not opened")
                if "ver" in expect:
                    self.assertIn("&ver=%s&instd=" % expect["ver"], opened.decode("utf-8", "replace"))
            else:
                self.assertIsNone(opened)
        marker = files_after.get("programdata/norvi/eventpromote.ini")
        if marker_rule == "keys survive":
            self.assertIn(OWNED_MARKER_KEY, ini_entries(marker or b""), "the marker was not written")
        if expect.get("marker_stays_read_only"):
            self.assertFalse(os.stat(px.unix_path(px.marker_ini)).st_mode & stat.S_IWUSR)


def _make(case):
    name, setup, button, mode, expect = case
    return lambda self: self.run_case(setup, button, mode, expect)


for _case in CASES:
    setattr(BadInput, "test_" + _case[0], _make(_case))


if __name__ == "__main__":
    unittest.main()
