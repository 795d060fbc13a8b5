"""The show decision in the real program: every rule that says no ends the
program silently (exit code 0, no window, no marker, the decision's trace
stopping at that rule), and a run in which every rule passes reaches the
window stage."""
import os
import shutil
import subprocess
import tempfile
import unittest

from harness import BUILD_DIR, E2ECase, days_now, find_window

DECISION_WORDS = ("limitdate", "haveshow", "jp", "silentMode")
ALL_PASS = ["limitdate", "haveshow", "jp", "silentMode", "result: True"]
GAME_EXE = os.path.join(BUILD_DIR, "tests", "launch", "FullScreenWindow.exe")
GAME_TITLE = "PromoFullScreenGame"
WINDOW_CAPTION = "FormSale"  # the promotion window's caption


def decision_lines(result):
    return [l for l in result.debug_lines if l in DECISION_WORDS or l.startswith("result: ")]


def windows_after_decision(result):
    """Windows created by the program's thread after the decision began.
    Wine prefixes each trace line with its thread id; the program's thread is
    the one that wrote "limitdate". Windows of Wine's own processes (explorer)
    are left out."""
    thread = None
    created = []
    for line in result.stderr.splitlines():
        tid, _, rest = line.partition(":")
        if thread is None:
            if rest.startswith('warn:seh:OutputDebugStringA "limitdate"'):
                thread = tid
        elif tid == thread and rest.startswith("trace:win:WIN_CreateWindowEx"):
            created.append(rest)
    return thread, created


def fullscreen_lines(result):
    return [l for l in result.debug_lines if l.startswith("ChkFullScrn ") or l == "Size lessthan Screen"]


class Decision(E2ECase):
    def config(self, px, days_ago=200.0, extra=""):
        text = ""
        if days_ago is not None:
            text += "[Main]\r\ninstTime1=%r\r\n" % (days_now() - days_ago)
        px.write_file(px.config_ini, text + extra)

    def run_program(self, px):
        return px.run(["/kv"], timeout=240, debug="warn+seh,trace+win")

    def run_to_window(self, px):
        """Runs the program expecting the window: waits for it, then ends the
        program from outside. Returns (window id or None, result)."""
        p = px.start(["/kv"], debug="warn+seh,trace+win")
        shown = find_window(WINDOW_CAPTION, timeout=240, process=p)
        if p.poll() is None:
            p.kill()
        return shown, px.finish(p)

    def assert_ends_silently(self, px, result, lines):
        self.assertEqual(result.rc, 0, result.stderr[-2000:])
        self.assertEqual(decision_lines(result), lines, result.debug_lines)
        thread, created = windows_after_decision(result)
        self.assertIsNotNone(thread, "the decision was not traced")
        self.assertEqual(created, [], "no window may be created after a no")
        self.assertNotIn("result: True", result.debug_lines)

    def start_game(self, px):
        """The full-screen stand-in in front; ended at cleanup."""
        if not os.path.exists(GAME_EXE):
            self.fail("full-screen stand-in not built: " + GAME_EXE)
        target = r"C:\Games\FullScreenWindow.exe"
        px.write_file(target, open(GAME_EXE, "rb").read())
        out, err = tempfile.TemporaryFile(), tempfile.TemporaryFile()
        game = subprocess.Popen(["wine", target, "120"], env=px.env, stdout=out, stderr=err,
                                stdin=subprocess.DEVNULL)

        def stop():
            if game.poll() is None:
                game.kill()
                game.wait()
            out.close()
            err.close()

        self.addCleanup(stop)
        self.assertIsNotNone(find_window(GAME_TITLE, timeout=240, process=game), "the game window did not appear")
        return game

    def test_marker_present_ends_after_haveshow(self):
        px = self.prefix()
        px.seed_product(200)
        marker = b"[KVBenefit]\r\nBenefitsR_2020=1598961600\r\n"
        px.write_file(px.marker_ini, marker)
        r = self.run_program(px)
        self.assert_ends_silently(px, r, ["limitdate", "haveshow"])
        self.assertEqual(px.read_file(px.marker_ini), marker, "the marker file is left as it was")

    def test_marker_with_empty_value_counts(self):
        px = self.prefix()
        px.seed_product(200)
        px.write_file(px.marker_ini, "[kvbenefit]\r\nbenefitsr_2020=\r\n")
        r = self.run_program(px)
        self.assert_ends_silently(px, r, ["limitdate", "haveshow"])

    def test_missing_or_young_install_time_ends_after_limitdate(self):
        for days_ago in (None, 30.0, 89.9):
            with self.subTest(days_ago=days_ago):
                px = self.prefix()
                px.seed_product(install_days_ago=None)
                self.config(px, days_ago)
                r = self.run_program(px)
                self.assert_ends_silently(px, r, ["limitdate"])
                self.assertFalse(px.exists(px.marker_ini))
                px.close()

    def test_japanese_system_ends_after_jp(self):
        # Wine takes the system default language from the Unix locale; the
        # product's own language (English) plays no part.
        px = self.prefix()
        px.seed_product(200, lang="EN")
        px.env.update(LC_ALL="ja_JP.UTF-8", LANG="ja_JP.UTF-8")
        r = self.run_program(px)
        self.assert_ends_silently(px, r, ["limitdate", "haveshow", "jp"])
        self.assertFalse(px.exists(px.marker_ini))

    def test_running_focus_application_is_quiet_time(self):
        # services.exe runs in every prefix (as a 64-bit process): once by bare
        # name in other letter case, once by full path. The empty entry and the
        # missing program before it must not match. The full-path row is
        # Wine-only: Wine lets the program open services.exe and read its path;
        # Windows refuses, and there only the bare name matches.
        for app in ("SERVICES.EXE", r"c:\windows\system32\services.exe", None):
            with self.subTest(app=app):
                px = self.prefix()
                px.seed_product(install_days_ago=None)
                apps = "[FocusApps]\r\nempty=\r\nnone=no-such-game.exe\r\n"
                if app:
                    apps += "game=%s\r\n" % app
                self.config(px, extra=apps)
                if app:
                    r = self.run_program(px)
                    self.assert_ends_silently(px, r, ["limitdate", "haveshow", "jp", "silentMode"])
                else:  # control: the empty and the missing entries match nothing
                    shown, r = self.run_to_window(px)
                    self.assertIsNotNone(shown, r.debug_lines)
                    self.assertEqual(decision_lines(r), ALL_PASS, r.debug_lines)
                self.assertNotIn("ChkFullScrn Size morethan Screen", fullscreen_lines(r))
                self.assertFalse(px.exists(px.marker_ini))
                px.close()

    def test_full_screen_window_in_front_is_quiet_time(self):
        px = self.prefix()
        px.seed_product(install_days_ago=None)
        self.config(px, extra="[Focus]\r\nFocusMode=1\r\n")
        self.start_game(px)
        r = self.run_program(px)
        self.assert_ends_silently(px, r, ["limitdate", "haveshow", "jp", "silentMode"])
        full = fullscreen_lines(r)
        self.assertIn("ChkFullScrn Size morethan Screen", full)
        self.assertEqual(full[-1], "ChkFullScrn AClassName=" + GAME_TITLE)
        self.assertIn("ChkFullScrn focus ARect.Right = 1920", full)
        self.assertFalse(px.exists(px.marker_ini))

    def test_focus_mode_off_ignores_the_full_screen_window(self):
        px = self.prefix()
        px.seed_product(install_days_ago=None)
        self.config(px, extra="[Focus]\r\nFocusMode=0\r\n[FocusApps]\r\ngame=services.exe\r\n")
        self.start_game(px)
        shown, r = self.run_to_window(px)
        self.assertIsNotNone(shown, r.debug_lines)
        self.assertEqual(decision_lines(r), ALL_PASS, r.debug_lines)
        self.assertEqual(fullscreen_lines(r), [], "focus mode off: no full-screen test")

    def test_all_rules_pass_reaches_the_window_stage(self):
        px = self.prefix()
        px.seed_product(200)
        shown, r = self.run_to_window(px)
        self.assertIsNotNone(shown, r.debug_lines)
        self.assertEqual(decision_lines(r), ALL_PASS, r.debug_lines)
        # The decision's lines come in order, with the full-screen test between
        # "silentMode" and the result.
        lines = r.debug_lines
        between = lines[lines.index("silentMode") + 1:lines.index("result: True")]
        self.assertTrue(between and all(l.startswith("ChkFullScrn ") or l == "Size lessthan Screen"
                                        for l in between), between)
        # Nothing was answered, so no marker.
        self.assertFalse(px.exists(px.marker_ini))

if __name__ == "__main__":
    unittest.main()
