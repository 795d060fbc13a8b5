"""The bad-input table: what each case puts in place (a Seed changed by the
case's setup), which button it presses, how the statistics receiver behaves
and what it expects beyond the common rules (see test_bad_input.py)."""
import os
import random
import re
import shutil
import stat
import subprocess

from harness import BUILD_DIR, PROGRAM_DIR, URL_CAPTURE_EXE, VERSIONED_EXE, days_now

BUY = (250, 278)
CLOSE = (482, 18)
UNINSTALL = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Pellorin_is1"
PRODUCT_KEY = r"HKEY_LOCAL_MACHINE\SOFTWARE\Norvi\Pellorin"
INSTALL_DIR = r"C:\Program Files\Norvi\Pellorin"
LANG_DAT = PROGRAM_DIR + r"\lang.dat"
CAPTURE_EXE = r"C:\capture\cap.exe"
FILE_HOLDER_EXE = os.path.join(BUILD_DIR, "tests", "e2e", "file_holder.exe")
FOCUS_CASES = os.path.join(BUILD_DIR, "tests", "launch", "focus-cases")
DIALOG_CLASSES = ("#32770", "#8002")
CONFIG, MARKER = "<Config.ini>", "<EventPromote.ini>"


# ---- seeding -----------------------------------------------------------------
def reg_sz(text):
    return '"%s"' % text.replace("\\", "\\\\").replace('"', '\\"')


def config_text(days_ago=200.0):
    """The product's Config.ini as the product writes it."""
    now = days_now()
    return ("; the product's own settings\r\n[Main]\r\ninstTime1=%r\r\nInstDate1=%d\r\nInstDate2=2020-03-01\r\n"
            "Skin=dark\r\n[Scan]\r\nScanGame=1\r\nDepth=3\r\n[Update]\r\nServer=update.example\r\n" % (
                now - days_ago, int(now - days_ago - 30))).encode("ascii")


class Seed:
    """What a case puts in place before the program runs. The setup of a case
    changes it; `after` actions run once it is in place (they may use Wine),
    `holds` are files held open without sharing for the whole run, `during`
    actions run while the window is shown, before the button is pressed."""

    def __init__(self):
        self.config = config_text()
        self.lang = None
        self.marker = None
        self.registry = {
            UNINSTALL: {"InstallLocation": reg_sz(INSTALL_DIR), "DisplayVersion": reg_sz("7.0.0.1")},
            PRODUCT_KEY: {"InstDate": "dword:%08x" % int(days_now() - 230)},
        }
        for scheme in ("http", "https"):
            self.registry[r"HKEY_CLASSES_ROOT\%s\shell\open\command" % scheme] = {
                "@": reg_sz('"%s" "%%1"' % CAPTURE_EXE)}
        self.after, self.holds, self.during = [], [], []

    def registry_text(self):
        out = []
        for key, values in self.registry.items():
            out.append("[%s]" % key)
            out += ["%s=%s" % ("@" if n == "@" else reg_sz(n), v) for n, v in values.items()]
            out.append("")
        return "\r\n".join(out)

    def install(self, px):
        """What every case has: the product's program and the stand-in browser."""
        for win_path, source in ((INSTALL_DIR + r"\7.0.0.1\Pellorin.exe", VERSIONED_EXE),
                                 (CAPTURE_EXE, URL_CAPTURE_EXE)):
            with open(source, "rb") as f:
                px.write_file(win_path, f.read())

    def write_files(self, px):
        if self.config is not None:
            px.write_file(px.config_ini, self.config)
        if self.lang is not None:
            px.write_file(LANG_DAT, self.lang)
        if self.marker is not None:
            px.write_file(px.marker_ini, self.marker)


# ---- the cases -----------------------------------------------------------------
def after(fn):
    """A setup that runs `fn(px)` once the seed is in place."""
    return lambda t, seed: seed.after.append(fn)


def set_lang(data):
    return lambda t, seed: setattr(seed, "lang", data)


def set_config(fn):
    return lambda t, seed: setattr(seed, "config", fn(seed.config))


def set_marker(data):
    return lambda t, seed: setattr(seed, "marker", data)


def registry_value(key, name, data):
    def setup(t, seed):
        seed.registry.setdefault(key, {})[name] = data
    return setup


def both(*setups):
    def setup(t, seed):
        for s in setups:
            s(t, seed)
    return setup


def resolve(px, win_path):
    """A path of the table: CONFIG and MARKER stand for those files."""
    return {CONFIG: px.config_ini, MARKER: px.marker_ini}.get(win_path, win_path)


def hold(win_path):
    return lambda t, seed: seed.holds.append(win_path)


def make_folder(win_path):
    return after(lambda px: os.makedirs(px.unix_path(resolve(px, win_path)), exist_ok=True))


def read_only(win_path):
    return after(lambda px: os.chmod(px.unix_path(resolve(px, win_path)), stat.S_IREAD))


def focus_library(case):
    """Focus.dll beside the program replaced by a stand-in, or removed."""
    def put(px):
        target = px.unix_path(PROGRAM_DIR + r"\Focus.dll")
        if os.path.exists(target):
            os.remove(target)
        if case:
            shutil.copy2(os.path.join(FOCUS_CASES, case, "Focus.dll"), target)
    return after(put)


def odd_utf16_config(text):
    return b"\xff\xfe" + text.decode("ascii").encode("utf-16-le") + b"\x41"


def nul_in_config(text):
    return text.replace(b"[Update]", b"; note\x00 damaged\r\n[Update]")


def ten_mb_config(text):
    junk = b"".join(b"Entry%07d=%s\r\n" % (i, b"x" * 80) for i in range(110000))
    return b"[History]\r\n" + junk + text


def product_switches_scan_off(px):
    """The product turns scanning off while the window is shown."""
    path = px.unix_path(px.config_ini)
    with open(path, "rb") as f:
        data = f.read()
    with open(path, "wb") as f:
        f.write(data.replace(b"ScanGame=1", b"ScanGame=0"))


def other_separator(text):
    return re.sub(rb"InstDate1=\d+", b"InstDate1=44000,5", text)


def no_uninstall_record(t, seed):
    del seed.registry[UNINSTALL]


def wrong_kind_config(text):
    return text.replace(b"ScanGame=1", b"ScanGame=often") + b"[Focus]\r\nFocusMode=yes\r\nFocusAssist=maybe\r\n"


def install_time_word(text):
    return re.sub(rb"instTime1=", b"instTime1=long ago;", text)


def registry_wrong_types(t, seed):
    seed.registry[UNINSTALL]["InstallLocation"] = "dword:00000007"
    seed.registry[PRODUCT_KEY]["InstDate"] = reg_sz("yesterday")
    seed.registry[r"HKEY_CURRENT_USER\Control Panel\Desktop\WindowMetrics"] = {"AppliedDPI": reg_sz("96")}


def no_browser(t, seed):
    for scheme in ("http", "https"):
        del seed.registry[r"HKEY_CLASSES_ROOT\%s\shell\open\command" % scheme]
    seed.after.append(lambda px: [px.reg("delete", r"HKCR\%s\shell\open\command" % s, "/f", check=False)
                                  for s in ("http", "https")])


def broken_browser(t, seed):
    for scheme in ("http", "https"):
        seed.registry[r"HKEY_CLASSES_ROOT\%s\shell\open\command" % scheme] = {
            "@": reg_sz(r'"C:\nowhere\browser.exe" "%1"')}


def other_campaigns():
    return ("[KVBenefit]\r\nBenefitsQ_2019=1569000000\r\nBenefitsZ_2021=1609000000\r\n"
            "[SpringSale]\r\nshown=1\r\n").encode("ascii")


def marker_text_after_nul():
    return b"[KVBenefit]\r\nBenefitsQ_2019=1569000000\r\n\x00[SpringSale]\r\nshown=1\r\n"


def mount_tmpfs(t, win_path, size, read_only_after=False, fill=False):
    """A small file system over a folder of the prefix, keeping what was in it;
    optionally made read-only or filled to the last byte. Unmounted at the
    case's cleanup."""
    def do(px):
        target = px.unix_path(win_path)
        saved = {}
        if os.path.isdir(target):
            for name in os.listdir(target):
                with open(os.path.join(target, name), "rb") as f:
                    saved[name] = f.read()
        os.makedirs(target, exist_ok=True)
        r = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%s,mode=0755" % size, "tmpfs", target],
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if r.returncode != 0:
            t.skipTest("mount is not available here: %s" % r.stdout.decode(errors="replace").strip())
        t.addCleanup(subprocess.run, ["umount", "-l", target], stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL)
        for name, data in saved.items():
            with open(os.path.join(target, name), "wb") as f:
                f.write(data)
        if fill:
            with open(os.path.join(target, "filler.bin"), "wb", buffering=0) as f:
                try:
                    while True:
                        f.write(b"\0" * 512)
                except OSError:
                    pass
        if read_only_after:
            subprocess.run(["mount", "-o", "remount,ro", target], check=True)
    return do


def marker_read_only_folder(t, seed):
    seed.marker = other_campaigns()
    seed.after.append(mount_tmpfs(t, r"C:\ProgramData\Norvi", "256k", read_only_after=True))


def marker_full_disk(t, seed):
    # Other campaigns' keys filling one page of the small file system but for
    # a few bytes: the file with our key added no longer fits in that page, so
    # only a save that replaces the whole file in one step keeps it whole.
    text = "[KVBenefit]\r\n" + "".join("Benefits%03d_2019=1569000000\r\n" % i for i in range(60))
    pad = (4080 - 2 - 2 * len(text + "Note=\r\n")) // 2
    data = b"\xff\xfe" + (text + "Note=" + "x" * pad + "\r\n").encode("utf-16-le")
    assert 4096 - 58 < len(data) <= 4096, len(data)
    seed.marker = data
    seed.after.append(mount_tmpfs(t, r"C:\ProgramData\Norvi", "64k", fill=True))


E = {}  # no expectations beyond the common ones
CASES = [
    # name, setup, button (None: the decision says no), receiver mode (None: nothing listens), expectations
    # -- Config.ini
    ("config_values_of_the_wrong_kind", set_config(wrong_kind_config), BUY, "ok", {"lan": "en"}),
    ("config_install_time_not_a_number", set_config(install_time_word), None, "ok", E),
    ("config_utf16_odd_length", set_config(odd_utf16_config), CLOSE, "ok", E),
    ("config_nul_in_mid_file", set_config(nul_in_config), BUY, "ok", E),
    ("config_10_mb", set_config(ten_mb_config), BUY, "ok", E),
    ("config_held_exclusively", hold(CONFIG), None, "ok", E),
    ("config_read_only", read_only(CONFIG), BUY, "ok", E),
    ("config_is_a_folder", both(set_config(lambda c: None),
                                make_folder(CONFIG)),
     None, "ok", E),
    ("config_scan_game_changed_while_shown", lambda t, seed: seed.during.append(product_switches_scan_off),
     CLOSE, "ok", E),
    ("config_install_date_other_decimal_separator", set_config(other_separator), BUY, "ok", E),
    # -- registry
    ("registry_values_of_the_wrong_type", registry_wrong_types, BUY, "ok", {"lan": "en", "ver": ""}),
    ("registry_install_date_reg_sz", registry_value(PRODUCT_KEY, "InstDate", reg_sz("43000")), BUY, "ok", E),
    ("registry_install_date_reg_qword", registry_value(PRODUCT_KEY, "InstDate", "hex(b):f8,a7,00,00,00,00,00,00"),
     BUY, "ok", E),
    ("registry_install_date_reg_binary", registry_value(PRODUCT_KEY, "InstDate", "hex:f8,a7,00,00"), BUY, "ok", E),
    ("registry_no_uninstall_record", no_uninstall_record, BUY, "ok", {"ver": ""}),
    ("registry_install_folder_missing", registry_value(UNINSTALL, "InstallLocation", reg_sz(r"C:\Program Files\Gone")),
     BUY, "ok", {"ver": ""}),
    ("registry_display_version_garbage", registry_value(UNINSTALL, "DisplayVersion", reg_sz("7.\\..\\%s|*?<>")),
     BUY, "ok", {"ver": ""}),
    ("registry_display_version_32_kb", registry_value(UNINSTALL, "DisplayVersion", reg_sz("7." + "9" * 32768)),
     BUY, "ok", {"ver": ""}),
    # -- lang.dat
    ("lang_dat_random_bytes", set_lang(bytes(random.Random(7).randrange(256) for _ in range(4096))), CLOSE, "ok",
     {"lan": "en"}),
    ("lang_dat_5_mb", set_lang(b"[Cuslan]\r\nName=" + b"D" * (5 * 1024 * 1024) + b"\r\n"), CLOSE, "ok",
     {"lan": "en"}),
    ("lang_dat_odd_length_utf16", set_lang("\ufeff[Cuslan]\r\nName=NL\r\n".encode("utf-16-le") + b"\x41"), CLOSE,
     "ok", E),
    ("lang_dat_is_a_folder", make_folder(LANG_DAT), CLOSE, "ok", {"lan": "en"}),
    ("lang_dat_held_exclusively", both(set_lang(b"[Cuslan]\r\nName=DE\r\n"), hold(LANG_DAT)), CLOSE, "ok",
     {"lan": "en"}),
    ("lang_dat_empty", set_lang(b""), CLOSE, "ok", {"lan": "en"}),
    ("lang_dat_byte_order_mark_only", set_lang(b"\xff\xfe"), CLOSE, "ok", {"lan": "en"}),
    ("lang_dat_utf8_without_mark", set_lang("; Sprache: Deutsch (Größe)\r\n[Cuslan]\r\nName=DE\r\n".encode("utf-8")),
     CLOSE, "ok", {"lan": "de"}),
    ("lang_dat_one_line_of_1_mb", set_lang(b"; " + b"z" * (1024 * 1024) + b"\r\n[Cuslan]\r\nName=FR\r\n"), CLOSE,
     "ok", {"lan": "fr"}),
    # -- the marker file
    ("marker_other_campaigns_survive", set_marker(other_campaigns()), CLOSE, "ok", {"marker": "keys survive"}),
    ("marker_file_read_only", both(set_marker(b"[Other]\r\nkeep=1\r\n"), read_only(MARKER)),
     CLOSE, "ok", {"marker": "keys survive", "marker_stays_read_only": True}),
    ("marker_nul_followed_by_text", set_marker(marker_text_after_nul()), CLOSE, "ok", {"marker": "unchanged"}),
    ("marker_held_exclusively", both(set_marker(other_campaigns()), hold(MARKER)),
     CLOSE, "ok", {"marker": "unchanged"}),
    ("marker_in_read_only_folder", marker_read_only_folder, CLOSE, "ok", {"marker": "unchanged"}),
    ("marker_on_a_full_disk", marker_full_disk, CLOSE, "ok", {"marker": "unchanged"}),
    ("norvi_folder_cannot_be_created", after(lambda px: px.write_file(px.common_appdata + r"\Norvi", b"a file")),
     CLOSE, "ok", {"marker": "unchanged"}),
    # -- network
    ("server_refuses_the_connection", None, BUY, None, E),
    ("server_resets_after_the_request", None, CLOSE, "reset", E),
    ("server_answers_500", None, BUY, "error", {"lan": "en"}),
    ("server_never_answers", None, CLOSE, "silent", {"bound": 75}),
    ("server_reply_trickles_in", None, CLOSE, "trickle", E),
    # -- browser
    ("no_browser_handler", no_browser, BUY, "ok", {"lan": "en", "opened": False}),
    ("browser_handler_fails_to_start", broken_browser, BUY, "ok", {"opened": False}),
    # -- Focus.dll
    ("focus_dll_missing", focus_library(None), CLOSE, "ok", E),
    ("focus_dll_without_the_export", focus_library("noexport"), CLOSE, "ok", E),
    ("focus_dll_export_faults", focus_library("fault"), CLOSE, "ok", {"fault_seen": True}),
    # The stand-ins below write "Focus.dll.detached" beside themselves from
    # their detach code: a file the common rules would report as created.
    # A fault: the window shows, and the run that follows its dismissal ends
    # without that code.
    ("focus_dll_export_faults_and_its_detach_code_never_runs", focus_library("faultnote"), CLOSE, "ok",
     {"fault_seen": True}),
    # No answer within 3 s: quiet time, nothing written or sent, no detach code.
    ("focus_dll_export_never_returns", focus_library("hang"), None, "ok", {"bound": 45}),
]

