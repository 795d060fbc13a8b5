"""The campaign folder check (scripts/campaign.py): broken copies of the
shipping campaign's folder, each with the message that stops the build."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.environ.get("PROMO_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
SCRIPT = os.path.join(SOURCE, "scripts", "campaign.py")
GOOD = os.path.join(SOURCE, "resources", "campaigns", "kv8-2020")
TRIAL = os.path.join(SOURCE, "tests", "campaigns", "kv9-trial")
NOT_PNG = b"GIF89a\x01\x00\x01\x00\x00\x00\x00;"


def edit(name, old, new):
    def apply(folder):
        path = os.path.join(folder, name)
        data = open(path, "rb").read()
        assert data.count(old) == 1, (name, old)
        open(path, "wb").write(data.replace(old, new))
    return apply


def own_window(picture_data):
    """The window made the campaign's own, with one picture replaced."""
    def apply(folder):
        edit("campaign.ini", b"Source = shared", b"Source = campaign")(folder)
        shutil.copy(os.path.join(SOURCE, "resources", "FormSale.txt"), folder)
        shutil.copytree(os.path.join(SOURCE, "resources", "pictures"), os.path.join(folder, "pictures"))
        open(os.path.join(folder, "pictures", "buy_normal.png"), "wb").write(picture_data)
    return apply


# (what is broken, how, the message or, where one edit makes two faults, both)
BROKEN = [
    ("a missing key", edit("campaign.ini", b"MarkerKey = BenefitsR_2020\n", b""),
     "campaign.ini [Campaign]: MarkerKey is missing"),
    ("an unknown key", edit("campaign.ini", b"End = 2020-9-22\n", b"End = 2020-9-22\nEndTime = 12:00\n"),
     "campaign.ini [Campaign]: unknown key EndTime"),
    ("a key in the wrong case", edit("campaign.ini", b"StatsName =", b"Statsname ="),
     ("StatsName is missing", "unknown key Statsname (spelled StatsName)")),
    ("an unknown section", edit("campaign.ini", b"[Window]", b"[Hosts]\nStatsHost = x\n[Window]"),
     "campaign.ini: unknown section [Hosts]"),
    ("a date in another order", edit("campaign.ini", b"End = 2020-9-22", b"End = 22.9.2020"),
     "End '22.9.2020' is not a date written yyyy-M-d"),
    ("a day that does not exist", edit("campaign.ini", b"End = 2020-9-22", b"End = 2021-2-29"),
     "End '2021-2-29' is not a date written yyyy-M-d"),
    ("a host with a path", edit("campaign.ini", b"StatsHost = stats.pellorin.example",
                                b"StatsHost = stats.pellorin.example/other"),
     "StatsHost 'stats.pellorin.example/other' carries a path"),
    ("a host with a scheme", edit("campaign.ini", b"PurchaseHost = www.pellorin.example",
                                  b"PurchaseHost = https://www.pellorin.example"),
     "PurchaseHost 'https://www.pellorin.example' carries a path or scheme"),
    ("a host with a blank", edit("campaign.ini", b"PurchaseHostRu = ru.pellorin.example",
                                 b"PurchaseHostRu = ru.pellorin .example"),
     "PurchaseHostRu 'ru.pellorin .example' is not a host name"),
    ("an identifier that would need escaping", edit("campaign.ini", b"PurchaseCampaign = kv8prepoppre7",
                                                    b"PurchaseCampaign = kv8&x=1"),
     "PurchaseCampaign 'kv8&x=1': only letters"),
    ("an install age that is not a number", edit("campaign.ini", b"MinInstallDays = 90", b"MinInstallDays = 90d"),
     "MinInstallDays '90d' is not a whole number of days"),
    ("no window source", edit("campaign.ini", b"Source = shared\n", b""),
     "campaign.ini [Window]: Source must be 'shared'"),
    ("a text table without a language", edit("Resource_1.ini", b"[PT]", b"[BR]"),
     "Resource_1.ini: language [PT] is missing"),
    ("a text table without a key the window shows",
     edit("Resource_1.ini", b"btnBuy=Uppgradera", b"; btnBuy=Uppgradera"),
     "Resource_1.ini: [SV] lacks btnBuy, which the window shows"),
    ("a text left empty", edit("Resource_1.ini", b"lblFun2Des=Driver Update", b"lblFun2Des="),
     "Resource_1.ini: [EN] lacks lblFun2Des"),
    ("a picture that is not a PNG", own_window(NOT_PNG), "pictures/buy_normal.png: not a PNG file"),
]


def run_check(folder, out):
    return subprocess.run([sys.executable, SCRIPT, folder, out], capture_output=True, text=True)


class CampaignCheck(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.tmp, ignore_errors=True)

    def broken_copy(self, apply):
        folder = os.path.join(tempfile.mkdtemp(dir=self.tmp), "broken")
        shutil.copytree(GOOD, folder)
        apply(folder)
        return folder

    def test_the_real_folders_pass(self):
        for folder in (GOOD, TRIAL):
            with self.subTest(folder=os.path.basename(folder)):
                r = run_check(folder, os.path.join(self.tmp, os.path.basename(folder)))
                self.assertEqual(r.returncode, 0, r.stderr)

    def test_each_broken_folder_stops_with_its_message(self):
        for what, apply, messages in BROKEN:
            with self.subTest(what):
                folder = self.broken_copy(apply)
                out = os.path.join(os.path.dirname(folder), "out")
                r = run_check(folder, out)
                self.assertEqual(r.returncode, 1, r.stderr)
                messages = (messages,) if isinstance(messages, str) else messages
                for message in messages:
                    self.assertIn(message, r.stderr)
                # Only these faults: the rest of the folder is still good.
                self.assertEqual(len(r.stderr.strip().splitlines()), len(messages), r.stderr)
                self.assertFalse(os.path.exists(os.path.join(out, "campaign.cmake")))

    def test_the_trailing_blank_of_a_quoted_path_is_kept(self):
        out = os.path.join(self.tmp, "out")
        self.assertEqual(run_check(GOOD, out).returncode, 0)
        header = open(os.path.join(out, "campaign", "CampaignConstants.h"), encoding="utf-8").read()
        self.assertRegex(header, r'kStatsPath = L"/other/kv_reservepmt\.php ";')

    def test_a_broken_folder_stops_the_configure_step_with_its_message(self):
        folder = self.broken_copy(edit("campaign.ini", b"End = 2020-9-22", b"End = 2020-13-1"))
        build = os.path.join(self.tmp, "build")
        r = subprocess.run(["cmake", "-S", SOURCE, "-B", build, "-DPROMO_CAMPAIGN=" + folder],
                           capture_output=True, text=True)
        self.assertNotEqual(r.returncode, 0)
        self.assertRegex(r.stdout + r.stderr, re.escape("campaign broken: campaign.ini [Campaign]: End '2020-13-1'"))


if __name__ == "__main__":
    unittest.main()
