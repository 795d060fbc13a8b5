"""The made-up campaign of tests/campaigns/kv9-trial, built from its folder
alone (build/windows/campaign-kv9-trial): its file carries its own values and
none of the shipping campaign's, and its typical run (buy) sends them: the
purchase address, the statistics request and the marker are its own, and so
is what PromoCheck.exe reports."""
import os
import shutil
import unittest

from harness import (BUILD_DIR, E2ECase, PROGRAM_DIR, Receiver, STATS_PORT, VERSIONED_EXE, capture_browser, days_now,
                     press_in_window)

VARIANT_DIR = os.path.join(BUILD_DIR, "campaign-kv9-trial")
BUY = (250, 278)

# The trial campaign's values (tests/campaigns/kv9-trial) and the shipping
# campaign's (resources/campaigns/kv8-2020) that must not leak into it.
OWN = ["kv9trialpop2", "20990101_kv9trialpop2", "kv9trialen", "/other/kv9_trial.php", "KVTrial", "TrialR_2099",
       "2099-6-30", "shop.pellorin.example", "ru-shop.pellorin.example"]
SHIPPING = ["kv8prepoppre7", "kv8preorder", "kv_reservepmt", "KVBenefit", "BenefitsR_2020", "2020-9-22",
            "www.pellorin.example"]
CHANGED_TEXT = "lblDes=Pellorin 9 jetzt testen"
SHIPPING_TEXT = "lblDes=Der neue Pellorin 8 ist jetzt verfügbar"


def utf16(text):
    return text.encode("utf-16-le")


class VariantFile(unittest.TestCase):
    """The files as built, without Wine: each campaign-dependent part was
    compiled from the trial folder (a translation unit left to the shipping
    libraries would bring the shipping identifiers along)."""

    def test_program_and_check_tool_carry_only_the_trial_values(self):
        for name in ("PellorinPromo.exe", "PromoCheck.exe"):
            with self.subTest(name):
                data = open(os.path.join(VARIANT_DIR, name), "rb").read()
                # (Not assertIn: its message would print the whole file.)
                self.assertEqual([v for v in OWN if utf16(v) not in data], [], "missing")
                self.assertEqual([v for v in SHIPPING if utf16(v) in data], [], "from the shipping campaign")
                self.assertTrue(CHANGED_TEXT.encode() in data, "the trial's text is missing")
                self.assertFalse(SHIPPING_TEXT.encode() in data, "the shipping text is there")


class TypicalRun(E2ECase):
    program_dir = VARIANT_DIR

    def test_buy_sends_the_trial_campaigns_values_and_its_marker_stops_the_next_run(self):
        px = self.prefix()
        # Installed 60 days ago: past the trial's 30 days, short of the
        # shipping campaign's 90.
        px.seed_product(60, lang="DE", version_exe=VERSIONED_EXE)
        first = int(days_now()) - 100
        px.write_file(px.config_ini, px.read_file(px.config_ini).decode() + "InstDate1=%d\r\n" % first)

        check = PROGRAM_DIR + r"\PromoCheck.exe"
        shutil.copy2(os.path.join(VARIANT_DIR, "PromoCheck.exe"), px.unix_path(check))
        r = px.wine(check, check=False, timeout=180)
        report = r.stdout.decode("utf-8")
        self.assertEqual(r.returncode, 0, report)
        lines = {line.split(":", 1)[0]: line for line in report.splitlines()}
        self.assertIn("more than 30 needed: pass", lines["install-age"])
        self.assertIn("[KVTrial] TrialR_2099 absent: pass", lines["shown-marker"])
        self.assertEqual(lines["build"], "build: campaign kv9-trial; campaign end 2099-6-30; minimum uptime 1000 ms; "
                         "statistics host 127.0.0.1:%d; purchase hosts shop.pellorin.example, "
                         "ru-shop.pellorin.example" % STATS_PORT)

        opened = capture_browser(px)
        with Receiver(STATS_PORT) as receiver:
            self.assertEqual(press_in_window(self, px, BUY).rc, 0)
            request = receiver.wait_for_request(10)
        line = opened()
        self.assertIsNotNone(line, "no browser was started")
        self.assertIn('"https://shop.pellorin.example/de/kv/kv9trial.php?to=kv9trialpop2'
                      '&ver=7.0.0.1&instd=61&finstd=101"', line)
        self.assertIsNotNone(request)
        head, _, body = request.partition(b"\r\n\r\n")
        self.assertTrue(head.startswith(b"POST /other/kv9_trial.php HTTP/1.1\r\n"), head)
        self.assertEqual(body.decode(), "lan=de&name=20990101_kv9trialpop2&show=1&click=1")
        marker = px.read_file(px.marker_ini).decode("utf-16")
        self.assertIn("[KVTrial]", marker)
        self.assertRegex(marker, r"TrialR_2099=\d{10}")
        self.assertNotIn("KVBenefit", marker)

        again = px.run(["/kv"], timeout=240)
        self.assertEqual(again.rc, 0)
        self.assertEqual([l for l in again.debug_lines if l in ("limitdate", "haveshow", "jp")],
                         ["limitdate", "haveshow"])


if __name__ == "__main__":
    unittest.main()
