"""The show decision's gates under Wine, in PromoCheck.exe and in the program
itself, one table in one prefix (brought back to its seeded state before each
row).

PromoCheck.exe: every gate is reported in the program's order; the verdict
names the first that blocks (exit code 1) or says "show" (exit code 0); the
JSON form says the same. In every case the tool changes nothing: every file
under the prefix's user and common folders and beside the program, and every
value of the product's registry keys, is the same afterwards, and the
statistics receiver gets no connection.

The program: every rule that says no ends it silently (exit code 0, no
window, no marker, the decision's trace stopping at that rule), and a run in
which every rule passes reaches the window stage.

A row names the gate that blocks once; a row that runs both programs on its
seeded state expects the tool's verdict and the program's trace to stop at
the same rule (GATE_TRACE), so the two agree by construction of the row."""
import json
import os
import re
import shutil
import time
import unittest

from harness import BUILD_DIR, PROGRAM_DIR, PrefixCase, Receiver, STATS_PORT, WINDOW_CAPTION, days_now, find_window
from test_exe import SYSTEM_DLLS, PeFile

CHECK = PROGRAM_DIR + r"\PromoCheck.exe"
GAME_EXE = os.path.join(BUILD_DIR, "tests", "launch", "FullScreenWindow.exe")
GAME_TITLE = "PromoFullScreenGame"
FOCUS_CASES = os.path.join(BUILD_DIR, "tests", "launch", "focus-cases")
FOCUS_SAYS_NO = os.path.join(FOCUS_CASES, "false", "Focus.dll")
FOCUS_DLL = PROGRAM_DIR + r"\Focus.dll"
HOOK_BOUND = 3.0
GATES = ["uptime", "campaign-end", "install-age", "shown-marker", "japanese-system", "quiet-time"]
QUIET_TESTS = ["focus-mode", "full-screen", "focus-assist", "focus-apps"]
DETAILS = ["language", "purchase-address", "statistics", "build"]
# The product's registry keys, as the program reads them (32-bit view).
PRODUCT_KEYS = [r"HKLM\SOFTWARE\Norvi", r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Pellorin_is1",
                r"HKCU\Software\Norvi"]
_LINE = re.compile(r"^(  )?([a-z-]+): (.*)$")

# The program's decision trace: the rules in order, then the result.
DECISION_WORDS = ("limitdate", "haveshow", "jp", "silentMode")
ALL_PASS = ["limitdate", "haveshow", "jp", "silentMode", "result: True"]
# Where the program's trace stops when a gate of the tool blocks.
GATE_TRACE = {"install-age": ["limitdate"], "shown-marker": ["limitdate", "haveshow"],
              "japanese-system": ["limitdate", "haveshow", "jp"],
              "quiet-time": ["limitdate", "haveshow", "jp", "silentMode"]}
BOTH, TOOL, PROGRAM = "both", "tool", "program"


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


# ---- what a row puts in place before the runs ---------------------------------
MARKER = b"[KVBenefit]\r\nBenefitsR_2020=1598961600\r\n"


def marker(t, px):
    px.write_file(px.marker_ini, MARKER)


def marker_empty_value(t, px):
    px.write_file(px.marker_ini, "[kvbenefit]\r\nbenefitsr_2020=\r\n")


def japanese(t, px):
    # Wine takes the system default language from the Unix locale; the
    # product's own language (English) does not count.
    px.env.update(LC_ALL="ja_JP.UTF-8", LANG="ja_JP.UTF-8")


def no_config_folder(t, px):
    shutil.rmtree(os.path.dirname(os.path.dirname(px.unix_path(px.config_ini))))  # ...\Norvi


def focus_says_no(t, px):
    shutil.copy2(FOCUS_SAYS_NO, px.unix_path(PROGRAM_DIR + r"\Focus.dll"))


def focus_hangs(t, px):
    """A Focus.dll whose export never returns (and whose detach code would
    leave Focus.dll.detached beside it)."""
    shutil.copy2(os.path.join(FOCUS_CASES, "hang", "Focus.dll"), px.unix_path(FOCUS_DLL))


def start_game(t, px):
    """The full-screen stand-in in front; ended with the row."""
    target = r"C:\Games\FullScreenWindow.exe"
    with open(GAME_EXE, "rb") as f:
        px.write_file(target, f.read())
    game = px.start_process(["wine", target, "120"])
    t.assertIsNotNone(find_window(GAME_TITLE, timeout=240, process=game), "the game window did not appear")


def all_of(*befores):
    def before(t, px):
        for b in befores:
            b(t, px)
    return before


# ---- what the program's run must show beyond its trace --------------------------
def marker_left_as_it_was(t, px, r):
    t.assertEqual(px.read_file(px.marker_ini), MARKER, "the marker file is left as it was")


def no_full_screen_window_seen(t, px, r):
    t.assertNotIn("ChkFullScrn Size morethan Screen", fullscreen_lines(r))


def game_window_seen(t, px, r):
    full = fullscreen_lines(r)
    t.assertIn("ChkFullScrn Size morethan Screen", full)
    t.assertEqual(full[-1], "ChkFullScrn AClassName=" + GAME_TITLE)
    t.assertIn("ChkFullScrn focus ARect.Right = 1920", full)


def no_full_screen_test(t, px, r):
    t.assertEqual(fullscreen_lines(r), [], "focus mode off: no full-screen test")


def full_screen_test_in_order(t, px, r):
    # The decision's lines come in order, with the full-screen test between
    # "silentMode" and the result.
    lines = r.debug_lines
    between = lines[lines.index("silentMode") + 1:lines.index("result: True")]
    t.assertTrue(between and all(l.startswith("ChkFullScrn ") or l == "Size lessthan Screen" for l in between),
                 between)


def hung_hook_bounded_then_sound_library_shows(t, px, r):
    # The run waited for the hook's answer (the bound) and no longer than
    # that and a start of Wine; the hook's detach code never ran.
    t.assertGreaterEqual(r.elapsed, HOOK_BOUND)
    t.assertLess(r.elapsed, HOOK_BOUND + 20, "the run took %.1f s" % r.elapsed)
    t.assertFalse(px.exists(FOCUS_DLL + ".detached"), "the hung library's detach code ran")
    # The next start, with a library that answers, shows the window (the
    # single-run mutex went with the run).
    shutil.copy2(os.path.join(FOCUS_CASES, "true", "Focus.dll"), px.unix_path(FOCUS_DLL))
    p = px.start(["/kv"])
    shown = find_window(WINDOW_CAPTION, timeout=240, process=p)
    if p.poll() is None:
        p.kill()
    again = px.finish(p)
    t.assertIsNotNone(shown, again.debug_lines)


APPS = "[FocusApps]\r\nempty=\r\nnone=no-such-game.exe\r\n"
# name, runs, setup arguments, what to do before the runs, the gate that
# blocks (None: the window would show), what that gate's line of the tool's
# report must say, and what else the program's run must show.
ROWS = [
    ("all_open", BOTH, {}, None, None, None, full_screen_test_in_order),
    ("campaign_over", TOOL, {"variant": "shipping"}, None, "campaign-end", "end 2020-9-22", None),
    ("installed_30_days_ago", BOTH, {"days_ago": 30.0}, None, "install-age", "installed 30.0 days ago", None),
    ("installed_89_9_days_ago", PROGRAM, {"days_ago": 89.9}, None, "install-age", None, None),
    ("no_install_time", BOTH, {"days_ago": None}, None, "install-age", "instTime1 missing", None),
    # No product folder at all: none is made, nor any file.
    ("no_config_folder", TOOL, {}, no_config_folder, "install-age", "instTime1 missing", None),
    ("marker_present", BOTH, {}, marker, "shown-marker", "file present, [KVBenefit] BenefitsR_2020 present",
     marker_left_as_it_was),
    ("marker_with_empty_value_counts", PROGRAM, {}, marker_empty_value, "shown-marker", None, None),
    ("japanese_system", BOTH, {}, japanese, "japanese-system", "0x0411", None),
    ("full_screen_game", BOTH, {}, start_game, "quiet-time (full-screen)", 'class "%s"' % GAME_TITLE,
     game_window_seen),
    ("focus_hook_says_no", TOOL, {}, focus_says_no, "quiet-time (focus-assist)", "PopConditionMet found: no pop-up",
     None),
    ("focus_hook_never_answers", BOTH, {}, focus_hangs, "quiet-time (focus-assist)",
     "PopConditionMet found: did not answer within 3 s", hung_hook_bounded_then_sound_library_shows),
    # services.exe runs in every prefix (as a 64-bit process): once by bare
    # name in other letter case, once by full path. The empty entry and the
    # missing program before it must not match. The full-path row is
    # Wine-only: Wine lets the program open services.exe and read its path;
    # Windows refuses, and there only the bare name matches.
    ("focus_app_runs", BOTH, {"config_extra": APPS + "game=SERVICES.EXE\r\n"}, None, "quiet-time (focus-apps)",
     '"SERVICES.EXE" runs', no_full_screen_window_seen),
    ("focus_app_by_full_path_runs", PROGRAM, {"config_extra": APPS + "game=c:\\windows\\system32\\services.exe\r\n"},
     None, "quiet-time (focus-apps)", None, no_full_screen_window_seen),
    # Control: the empty and the missing entries match nothing.
    ("focus_apps_that_match_nothing", PROGRAM, {"config_extra": APPS}, None, None, None, no_full_screen_window_seen),
    # Focus mode off: the hook's no, the running application and the
    # full-screen window in front do not count.
    ("focus_mode_off", BOTH, {"config_extra": "[Focus]\r\nFocusMode=0\r\n[FocusApps]\r\ngame=services.exe\r\n"},
     all_of(focus_says_no, start_game), None, "focus mode off", no_full_screen_test),
]


class Gates(PrefixCase):
    """One prefix: the product's uninstall record and the tool beside the
    program. The tool and the decision's no leave nothing behind, so Wine
    keeps running between rows; a row that ran in another locale brings the
    registry back after it."""

    keep_server = True

    @classmethod
    def prepare(cls, px):
        px.seed_product(None)
        shutil.copy2(os.path.join(BUILD_DIR, "demo", "PromoCheck.exe"), px.unix_path(CHECK))

    def setup_prefix(self, variant="demo", lang="EN", days_ago=200.0, config_extra="", bom=""):
        px = self.px
        if variant != "demo":
            px.install_program(variant)
            shutil.copy2(os.path.join(BUILD_DIR, "PromoCheck.exe"), px.unix_path(CHECK))
        if lang is not None:
            px.write_file(PROGRAM_DIR + r"\lang.dat", "[Cuslan]\r\nName=%s\r\n" % lang)
        text = "[Main]\r\n"
        if days_ago is not None:
            text += "instTime1=%r\r\n" % (days_now() - days_ago)
        px.write_file(px.config_ini, bom + text + config_extra)
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
            r = px.reg("query", key, "/s", check=False)
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

    # ---- the table ---------------------------------------------------------
    def check_gate(self, px, gate, says):
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

    def run_program(self, px, gate, seeded_marker):
        """The program on the row's state: it ends silently where the gate
        blocks, or reaches the window (ended from outside once it shows)."""
        if gate is None:
            p = px.start(["/kv"], debug="warn+seh,trace+win")
            shown = find_window(WINDOW_CAPTION, timeout=240, process=p)
            if p.poll() is None:
                p.kill()
            r = px.finish(p)
            self.assertIsNotNone(shown, r.debug_lines)
            self.assertEqual(decision_lines(r), ALL_PASS, r.debug_lines)
        else:
            r = px.run(["/kv"], timeout=240, debug="warn+seh,trace+win")
            self.assertEqual(r.rc, 0, r.stderr[-2000:])
            self.assertEqual(decision_lines(r), GATE_TRACE[gate.split(" ")[0]], r.debug_lines)
            thread, created = windows_after_decision(r)
            self.assertIsNotNone(thread, "the decision was not traced")
            self.assertEqual(created, [], "no window may be created after a no")
            self.assertNotIn("result: True", r.debug_lines)
        if not seeded_marker:
            # Nothing was answered, so no marker.
            self.assertFalse(px.exists(px.marker_ini))
        return r

    def test_each_gate_alone(self):
        for name, runs, setup, before, gate, says, more in ROWS:
            with self.subTest(case=name):
                px = self.fresh()
                try:
                    self.setup_prefix(**setup)
                    if before:
                        before(self, px)
                    seeded_marker = px.exists(px.marker_ini)
                    if runs in (BOTH, TOOL):
                        self.check_gate(px, gate, says)
                    if runs in (BOTH, PROGRAM):
                        r = self.run_program(px, gate, seeded_marker)
                        if more:
                            more(self, px, r)
                finally:
                    if before is japanese:
                        # Wine records the locale it ran in: the next row
                        # starts from the saved registry.
                        px.restore()

    # ---- the tool's own cases ------------------------------------------------
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
        # Wine only: its session manager gives no logon time, so the uptime
        # alone counts (the demo build waits 1 s, long passed).
        self.assertNotIn("session_age_ms", data["uptime"])
        self.assertEqual(data["uptime"]["waits_on"], "nothing")
        self.assertIn("session logon time unknown", data["uptime"]["read"])
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
