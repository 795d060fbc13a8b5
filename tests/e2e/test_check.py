"""PromoCheck.exe under Wine: one prefix per case. Every gate is reported in
the program's order; the verdict names the first that blocks (exit code 1) or
says "show" (exit code 0); the JSON form says the same. In every case the tool
changes nothing: every file under the prefix's user and common folders and
beside the program, and every value of the product's registry keys, is the
same afterwards, and the statistics receiver gets no connection."""
import json
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

from harness import BUILD_DIR, PROGRAM_DIR, E2ECase, Receiver, STATS_PORT, days_now, find_window
from test_exe import SYSTEM_DLLS, PeFile

CHECK = PROGRAM_DIR + r"\PromoCheck.exe"
GAME_EXE = os.path.join(BUILD_DIR, "tests", "launch", "FullScreenWindow.exe")
GAME_TITLE = "PromoFullScreenGame"
FOCUS_SAYS_NO = os.path.join(BUILD_DIR, "tests", "launch", "focus-cases", "false", "Focus.dll")
GATES = ["uptime", "campaign-end", "install-age", "shown-marker", "japanese-system", "quiet-time"]
QUIET_TESTS = ["focus-mode", "full-screen", "focus-assist", "focus-apps"]
DETAILS = ["language", "purchase-address", "statistics", "build"]
# The product's registry keys, as the program reads them (32-bit view).
PRODUCT_KEYS = [r"HKLM\SOFTWARE\Norvi", r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Pellorin_is1",
                r"HKCU\Software\Norvi"]
_LINE = re.compile(r"^(  )?([a-z-]+): (.*)$")


def parse_text(text):
    """{name: (read, status or None)} and the gate order as printed."""
    entries, order = {}, []
    for line in text.splitlines():
        m = _LINE.match(line)
        if not m:
            raise AssertionError("unexpected line: %r" % line)
        name, rest = m.group(2), m.group(3)
        status = None
        for word in ("pass", "blocks"):
            if rest.endswith(": " + word) and name not in DETAILS and name != "verdict":
                rest, status = rest[:-len(word) - 2], word
        entries[name] = (rest, status)
        order.append(name)
    return entries, order


class Check(E2ECase):
    def setup_prefix(self, variant="demo", lang="EN", days_ago=200.0, config_extra="", bom=""):
        px = self.prefix(variant)
        px.seed_product(install_days_ago=None, lang=lang)
        text = "[Main]\r\n"
        if days_ago is not None:
            text += "instTime1=%r\r\n" % (days_now() - days_ago)
        px.write_file(px.config_ini, bom + text + config_extra)
        src = os.path.join(BUILD_DIR, "demo" if variant == "demo" else "", "PromoCheck.exe")
        shutil.copy2(src, px.unix_path(CHECK))
        return px

    def snapshot(self, px):
        """Every file and folder under the users', the common and the program's
        folders with its bytes, and the product's registry keys."""
        files = {}
        for sub in ("drive_c/users", "drive_c/ProgramData", px.unix_path(PROGRAM_DIR)):
            top = os.path.join(px.path, sub)
            for root, dirs, names in os.walk(top):
                for d in dirs:
                    files[os.path.join(root, d)] = "<folder>"
                for n in names:
                    p = os.path.join(root, n)
                    if os.path.islink(p):
                        files[p] = "<link>" + os.readlink(p)
                    else:
                        with open(p, "rb") as f:
                            files[p] = f.read()
        keys = {}
        for key in PRODUCT_KEYS:
            r = px.wine("reg", "query", key, "/s", "/reg:32", check=False)
            keys[key] = (r.returncode, r.stdout)
        return files, keys

    def assert_unchanged(self, before, after):
        files_before, keys_before = before
        files_after, keys_after = after
        self.assertEqual(sorted(set(files_after) - set(files_before)), [], "created")
        self.assertEqual(sorted(set(files_before) - set(files_after)), [], "removed")
        changed = [p for p in files_before if files_before[p] != files_after[p]]
        self.assertEqual(changed, [], "changed")
        self.assertEqual(keys_after, keys_before)

    def check(self, px, *args):
        """Runs the tool (a snapshot before and after, a receiver listening);
        returns (exit code, stdout text)."""
        before = self.snapshot(px)
        with Receiver(STATS_PORT) as receiver:
            start = time.monotonic()
            r = px.wine(CHECK, *args, check=False, timeout=180)
            self.elapsed = time.monotonic() - start
            self.assertEqual(receiver.requests, [], "the tool sent a request")
        self.assert_unchanged(before, self.snapshot(px))
        return r.returncode, r.stdout.decode("utf-8")

    def start_game(self, px):
        target = r"C:\Games\FullScreenWindow.exe"
        with open(GAME_EXE, "rb") as f:
            px.write_file(target, f.read())
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

    # ---- the cases ---------------------------------------------------------
    def marker(self, px):
        px.write_file(px.marker_ini, b"[KVBenefit]\r\nBenefitsR_2020=1598961600\r\n")

    def japanese(self, px):
        px.env.update(LC_ALL="ja_JP.UTF-8", LANG="ja_JP.UTF-8")

    def no_config_folder(self, px):
        shutil.rmtree(os.path.dirname(os.path.dirname(px.unix_path(px.config_ini))))  # ...\Norvi

    def focus_says_no(self, px):
        shutil.copy2(FOCUS_SAYS_NO, px.unix_path(PROGRAM_DIR + r"\Focus.dll"))

    # name, setup arguments, what to do before the run, the gate that blocks
    # (None: the window would show), and what that gate's line must say.
    CASES = [
        ("all_open", {}, None, None, None),
        ("campaign_over", {"variant": "shipping"}, None, "campaign-end", "end 2020-9-22"),
        ("installed_30_days_ago", {"days_ago": 30.0}, None, "install-age", "installed 30.0 days ago"),
        ("no_install_time", {"days_ago": None}, None, "install-age", "instTime1 missing"),
        # No product folder at all: none is made, nor any file.
        ("no_config_folder", {}, no_config_folder, "install-age", "instTime1 missing"),
        ("marker_present", {}, marker, "shown-marker", "file present, [KVBenefit] BenefitsR_2020 present"),
        ("japanese_system", {}, japanese, "japanese-system", "0x0411"),
        ("full_screen_game", {}, start_game, "quiet-time (full-screen)", 'class "%s"' % GAME_TITLE),
        ("focus_hook_says_no", {}, focus_says_no, "quiet-time (focus-assist)", "PopConditionMet found: no pop-up"),
        ("focus_app_runs", {"config_extra": "[FocusApps]\r\nnone=no-such-game.exe\r\ngame=SERVICES.EXE\r\n"},
         None, "quiet-time (focus-apps)", '"SERVICES.EXE" runs'),
        # Focus mode off: the hook's no and the running application do not count.
        ("focus_mode_off", {"config_extra": "[Focus]\r\nFocusMode=0\r\n[FocusApps]\r\ngame=services.exe\r\n"},
         focus_says_no, None, "focus mode off"),
    ]

    def test_each_gate_alone(self):
        for name, setup, before, gate, says in self.CASES:
            with self.subTest(case=name):
                px = self.setup_prefix(**setup)
                if before:
                    before(self, px)
                rc, out = self.check(px)
                entries, order = parse_text(out)
                self.assertEqual(order, GATES + QUIET_TESTS + DETAILS + ["verdict"], out)
                self.assertEqual(rc, 0 if gate is None else 1, out)
                self.assertEqual(entries["verdict"][0], "show" if gate is None else "held back by " + gate, out)
                blocking = [g for g in GATES if entries[g][1] == "blocks"]
                blocking_tests = [t for t in QUIET_TESTS if entries[t][1] == "blocks"]
                expect_gate = gate.split(" ")[0] if gate else None
                # Only that gate blocks, and within quiet time only that test.
                self.assertEqual(blocking, [expect_gate] if gate else [], out)
                expect_test = re.findall(r"\((.*)\)", gate)[0] if gate and "(" in gate else None
                self.assertEqual(blocking_tests, [expect_test] if expect_test else [], out)
                if says:
                    where = expect_test or expect_gate or "quiet-time"
                    self.assertIn(says, entries[where][0], out)
                px.close()

    def test_language_file_missing_stays_missing(self):
        px = self.setup_prefix(lang=None)
        rc, out = self.check(px)
        entries, _ = parse_text(out)
        self.assertEqual(rc, 0, out)
        self.assertRegex(entries["language"][0], r"^EN \(fallback: .*lang\.dat missing\)$")
        self.assertIn("/en/kv/kv8preorderpre.php?to=kv8prepoppre7", entries["purchase-address"][0])
        self.assertIn("lan=en&name=20200821_kv8prepoppre7&show=1&click=0", entries["statistics"][0])
        self.assertFalse(px.exists(PROGRAM_DIR + r"\lang.dat"))

    def test_json_says_what_the_text_says(self):
        # A UTF-8 file with an application name outside ASCII: the text is
        # UTF-8 on the pipe, the JSON escapes it, both say the same.
        px = self.setup_prefix(lang="jp", bom="\ufeff",
                               config_extra="[FocusApps]\r\nspiel=Spiel-\u00df\u20ac\u0416.exe\r\n"
                                            "game=services.exe\r\n")
        rc_text, out = self.check(px)
        rc_json, raw = self.check(px, "--json")
        data = json.loads(raw)
        entries, _ = parse_text(out)
        self.assertEqual((rc_text, rc_json, data["exit_code"]), (1, 1, 1))
        self.assertEqual(data["verdict"], entries["verdict"][0])
        self.assertEqual(data["verdict"], "held back by quiet-time (focus-apps)")
        self.assertEqual(list(data), GATES + DETAILS + ["verdict", "exit_code"])
        self.assertEqual(list(data["quiet-time"]["tests"]), QUIET_TESTS)
        for name in GATES + QUIET_TESTS + DETAILS:
            got = data["quiet-time"]["tests"][name] if name in QUIET_TESTS else data[name]
            read, status = entries[name]
            self.assertEqual(got.get("result"), status, name)
            if name not in ("uptime", "campaign-end"):  # the clock moved between the runs
                self.assertEqual(got["read"], read, name)
        self.assertIn('"Spiel-\u00df\u20ac\u0416.exe" not running, "services.exe" runs',
                      data["quiet-time"]["tests"]["focus-apps"]["read"])
        self.assertTrue(raw.isascii())
        # A code without texts falls back to English, as the window would.
        self.assertEqual((data["language"]["code"], data["language"]["lang_dat"]), ("EN", "jp"))
        self.assertIsInstance(data["uptime"]["wait_seconds"], int)
        self.assertEqual(data["statistics"]["buy_body"], "lan=en&name=20200821_kv8prepoppre7&show=1&click=1")

    def test_arguments(self):
        px = self.setup_prefix()
        for args in (["--delay"], ["--delay", "soon"], ["/kv"]):
            with self.subTest(args=args):
                rc, out = self.check(px, *args)
                self.assertEqual((rc, out), (2, ""))
        # --delay waits before it reads anything.
        rc, out = self.check(px, "--json")
        quick = self.elapsed
        rc, out = self.check(px, "--delay", "3", "--json")
        self.assertEqual((rc, json.loads(out)["verdict"]), (0, "show"))
        self.assertGreaterEqual(self.elapsed, 3.0)
        self.assertGreater(self.elapsed - quick, 2.0)


class CheckToolFile(unittest.TestCase):
    """Both builds of the tool: a small self-contained 32-bit console program
    that sees the true Windows version without asking for administrator
    rights, and carries the program's text table."""

    def test_both_builds(self):
        for folder in ("", "demo"):
            with self.subTest(folder=folder or "shipping"):
                pe = PeFile(os.path.join(BUILD_DIR, folder, "PromoCheck.exe"))
                self.assertEqual((pe.machine, pe.magic, pe.subsystem), (0x14C, 0x10B, 3))  # i386, PE32, console
                self.assertLessEqual(set(pe.imports()), SYSTEM_DLLS)
                resources = pe.resources()
                manifest = resources[24][0].decode("utf-8")
                self.assertIn('level="asInvoker"', manifest)
                self.assertIn("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", manifest)  # Windows 10
                self.assertTrue(any(b"[EN]" in r for r in resources[10]), "the text table")
                # C stdio and Win32 only: iostream alone would add ~1 MB.
                self.assertLess(len(pe.data), 700 * 1024)


if __name__ == "__main__":
    unittest.main()
