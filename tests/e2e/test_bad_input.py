"""Bad input, each case in the real program: whatever the product's files and
registry hold, the program ends with exit code 0, shows no dialog, does not
crash, and leaves the product's Config.ini as it was but for the keys it owns.
The cases are one table; each becomes a test of its own."""
import os
import random
import re
import stat
import time
import unittest

from harness import (E2ECase, Receiver, STATS_PORT, VERSIONED_EXE, WINDOW_CAPTION, capture_browser, click, days_now,
                     find_window, window_geometry)

BUY = (250, 278)
CLOSE = (482, 18)
OWNED_KEYS = {("main", "instdate1"), ("main", "instdate2"), ("focus", "focusassist"), ("scan", "scangame")}
UNINSTALL = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Pellorin_is1"


def ini_entries(data):
    """(section, key) -> value of an INI text, names lower-cased; comments kept."""
    if data is None:
        return {}
    if data[:2] == b"\xff\xfe":
        text = data[2:].decode("utf-16-le", "replace")
    else:
        text = data.decode("utf-8", "replace").lstrip("\ufeff")
    entries, section = {}, None
    for line in re.split(r"\r\n|\r|\n", text):
        s = line.strip()
        if s.startswith("[") and s.endswith("]"):
            section = s[1:-1].strip().lower()
        elif s.startswith(";"):
            entries[(section, "comment:" + s)] = ""
        elif "=" in s and section is not None:
            k, v = s.split("=", 1)
            entries[(section, k.strip().lower())] = v.strip()
    return entries


def product_config(days_ago=200.0):
    return ("; the product's own settings\r\n[Main]\r\ninstTime1=%r\r\nSkin=dark\r\n\r\n"
            "[Scan]\r\nScanGame=1\r\nDepth = 3\r\n\r\n[Update]\r\nServer=update.example\r\n" % (days_now() - days_ago))


# ---- the table -------------------------------------------------------------
def lang_random(px):
    px.write_file(px.exe.rsplit("\\", 1)[0] + r"\lang.dat", bytes(random.Random(7).randrange(256) for _ in range(4096)))


def lang_huge(px):
    px.write_file(px.exe.rsplit("\\", 1)[0] + r"\lang.dat",
                  b"[Cuslan]\r\nName=" + b"D" * (5 * 1024 * 1024) + b"\r\n")


def lang_odd_utf16(px):
    px.write_file(px.exe.rsplit("\\", 1)[0] + r"\lang.dat", "\ufeff[Cuslan]\r\nName=NL\r\n".encode("utf-16-le") + b"\x41")


def config_wrong_kinds(px):
    px.write_file(px.config_ini, product_config() + "[Focus]\r\nFocusMode=yes\r\nFocusAssist=maybe\r\n"
                  "[Main2]\r\nx=1\r\n".replace("[Main2]", "[Extra]") + "[Scan]\r\nScanGame=often\r\n")


def config_install_time_word(px):
    px.write_file(px.config_ini, product_config().replace("instTime1=", "instTime1=long ago;"))


def registry_wrong_types(px):
    px.reg_add(UNINSTALL, "InstallLocation", "REG_DWORD", "7")
    px.reg_add(r"HKLM\SOFTWARE\Norvi\Pellorin", "InstDate", "REG_SZ", "yesterday")
    px.reg_add(r"HKCU\Control Panel\Desktop\WindowMetrics", "AppliedDPI", "REG_SZ", "96")


def marker_read_only(px):
    p = px.write_file(px.marker_ini, "[Other]\r\nkeep=1\r\n")
    os.chmod(p, stat.S_IREAD)


def norvi_is_a_file(px):
    px.write_file(px.common_appdata + r"\Norvi", b"not a folder")


def no_browser(px):
    for scheme in ("http", "https"):
        px.wine("reg", "delete", r"HKCR\%s\shell\open\command" % scheme, "/f", check=False)


CASES = [
    # name, setup, button, receiver mode, expectation
    ("lang_dat_random_bytes", lang_random, CLOSE, "ok", {"lan": "en"}),
    ("lang_dat_5_mb", lang_huge, CLOSE, "ok", {"lan": "en"}),
    ("lang_dat_odd_length_utf16", lang_odd_utf16, CLOSE, "ok", {}),
    ("config_values_of_the_wrong_kind", config_wrong_kinds, BUY, "ok", {"lan": "en"}),
    ("config_install_time_not_a_number", config_install_time_word, None, "ok", {"silent": True}),
    ("registry_values_of_the_wrong_type", registry_wrong_types, BUY, "ok", {"lan": "en", "ver": ""}),
    ("marker_file_read_only", marker_read_only, CLOSE, "ok", {"marker_read_only": True}),
    ("norvi_folder_cannot_be_created", norvi_is_a_file, CLOSE, "ok", {"no_marker": True}),
    ("server_answers_500", None, BUY, "error", {"lan": "en"}),
    ("no_browser_handler", no_browser, BUY, "ok", {"lan": "en"}),
]


class BadInput(E2ECase):
    def run_case(self, setup, button, mode, expect):
        px = self.prefix()
        px.seed_product(None, lang=None, version_exe=VERSIONED_EXE)
        px.write_file(px.config_ini, product_config())
        opened = capture_browser(px)
        if setup:
            setup(px)
        before = ini_entries(px.read_file(px.config_ini))
        with Receiver(STATS_PORT, mode=mode) as receiver:
            if expect.get("silent"):
                r = px.run(["/kv"], timeout=240)
                self.assertNotIn("result: True", r.debug_lines)
            else:
                p = px.start(["/kv"])
                wid = find_window(WINDOW_CAPTION, timeout=240, process=p)
                if wid is None:
                    r = px.finish(p, timeout=5)
                    self.fail("the window did not appear: rc %s, %s" % (r.rc, r.debug_lines))
                time.sleep(0.5)
                x, y, _, _ = window_geometry(wid)
                click(x + button[0], y + button[1])
                r = px.finish(p, timeout=240)
            request = receiver.wait_for_request(5 if not expect.get("silent") else 0.5)
        self.assertEqual(r.rc, 0, r.stderr[-3000:])
        self.assertNotIn("Unhandled exception", r.stderr)
        self.assertNotRegex(r.stderr, r"err:seh:")

        after = ini_entries(px.read_file(px.config_ini))
        strip = lambda d: {k: v for k, v in d.items() if k not in OWNED_KEYS}
        self.assertEqual(strip(after), strip(before))

        if expect.get("silent"):
            self.assertIsNone(request)
            self.assertFalse(px.exists(px.marker_ini))
            return
        self.assertIsNotNone(request, "the statistics request was not sent")
        body = request.partition(b"\r\n\r\n")[2].decode()
        if "lan" in expect:
            self.assertTrue(body.startswith("lan=%s&" % expect["lan"]), body)
        if button == BUY:
            self.assertTrue(body.endswith("&click=1"), body)
            if "ver" in expect:
                line = opened()
                self.assertIsNotNone(line)
                self.assertIn("&ver=%s&instd=" % expect["ver"], line)
        if expect.get("marker_read_only"):
            p = px.unix_path(px.marker_ini)
            self.assertFalse(os.stat(p).st_mode & stat.S_IWUSR, "the marker file must stay read-only")
            text = px.read_file(px.marker_ini).decode("utf-16")
            self.assertIn("BenefitsR_2020=", text)
            self.assertIn("keep=1", text)
        elif expect.get("no_marker"):
            self.assertEqual(px.read_file(px.common_appdata + r"\Norvi"), b"not a folder")
        else:
            self.assertIn("BenefitsR_2020=", px.read_file(px.marker_ini).decode("utf-16"))


def _make(case):
    name, setup, button, mode, expect = case
    return lambda self: self.run_case(setup, button, mode, expect)


for _case in CASES:
    setattr(BadInput, "test_" + _case[0], _make(_case))


if __name__ == "__main__":
    unittest.main()
