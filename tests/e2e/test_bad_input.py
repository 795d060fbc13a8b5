"""Bad input and faults, each case in the real program: whatever the product's
files, the registry, the network, the browser or the product's Focus.dll do,
the program ends with exit code 0 within a bounded time, shows no dialog, does
not crash, and leaves every byte of the product's files and every registry
value as it was, except the keys it owns (OWNED_* below, the only place they
are listed). The cases are one table; each becomes a test of its own.

Every case runs in its own prefix (a hard-linked copy of the template). The
state before is read after the case is set up, with Wine's registry flushed to
its files (wineserver -k); the state after the same way once the program ended.
"""
import os
import random
import re
import shutil
import stat
import subprocess
import time
import unittest

from harness import (BUILD_DIR, E2ECase, PROGRAM_DIR, Receiver, STATS_PORT, URL_CAPTURE_EXE, VERSIONED_EXE,
                     WINDOW_CAPTION, click, days_now, find_window, window_geometry)

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

# ---- what the program owns -------------------------------------------------
# Config.ini: the keys the program writes; owned_config_changes says how
# each may change (judged against the value as it stands at the end of the
# run, so a change the product makes meanwhile is the one to keep).
OWNED_CONFIG_KEYS = ("main", "instdate1"), ("main", "instdate2"), ("focus", "focusassist"), ("scan", "scangame")
# EventPromote.ini: our campaign's key; every other key must survive.
OWNED_MARKER_KEY = ("kvbenefit", "benefitsr_2020")
# Registry: the first-install date, written only where it is absent. The
# 32-bit view of HKLM\SOFTWARE is Wow6432Node in the prefix's system.reg.
OWNED_REGISTRY_VALUE = ("system.reg", r"software\wow6432node\norvi\pellorin", '"instdate"')
# Files the program may create: the marker (and its folder), and lang.dat when
# it is missing (empty).
MAY_CREATE = {"programdata/norvi", "programdata/norvi/eventpromote.ini", "program files/norvi/pellorinpromo/lang.dat"}


def normal_bool(value):
    """The normal form a Boolean entry is written in: "0" for a number that is
    0, "1" for any other text (a word reads as the default, true)."""
    text = value.strip()
    try:
        number = int(text[2:], 16) if text.lower().startswith("0x") else int(text[1:], 16) if text.startswith(
            "$") else int(text)
    except ValueError:
        return "1"
    return "0" if number == 0 else "1"


def owned_config_changes(before, after):
    """Faults in the owned keys of Config.ini (before/after: entries)."""
    faults = []
    had_date = ("main", "instdate1") in before
    for key in OWNED_CONFIG_KEYS:
        b, a = before.get(key), after.get(key)
        if a == b:
            continue
        if key == ("main", "instdate1") and b is None:
            continue  # recorded where there was none
        if key == ("main", "instdate2") and not had_date:
            continue  # written together with InstDate1
        if key == ("focus", "focusassist") and a == "0":
            continue  # switched off on systems that lack the feature
        if key == ("scan", "scangame") and b is not None and a == normal_bool(b):
            continue  # put in its normal form
        faults.append("%s/%s: %r -> %r" % (key[0], key[1], b, a))
    return faults


# ---- INI texts -------------------------------------------------------------
def decode(data):
    """(mark, text) of an INI file's bytes; text without a mark is taken byte
    for byte so that it re-encodes to the same bytes."""
    for mark, codec in ((b"\xff\xfe", "utf-16-le"), (b"\xfe\xff", "utf-16-be"), (b"\xef\xbb\xbf", "utf-8")):
        if data.startswith(mark):
            return mark, data[len(mark):].decode(codec, "surrogatepass" if codec != "utf-8" else "replace")
    return b"", data.decode("latin-1")


def ini_lines(data):
    """[(section, key or None, line)] of an INI text, names lower-cased."""
    _, text = decode(data)
    out, section = [], None
    for line in re.split(r"(?<=\n)", text):
        s = line.strip()
        key = None
        if s.startswith("[") and s.endswith("]"):
            section = s[1:-1].strip().lower()
        elif "=" in s and not s.startswith(";"):
            key = s.split("=", 1)[0].strip().lower()
        out.append((section, key, line))
    return out


def ini_entries(data):
    """(section, key) -> value of an INI text, the last one of equal names."""
    if data is None:
        return {}
    return {(sec, key): line.split("=", 1)[1].strip() for sec, key, line in ini_lines(data) if key is not None}


def without_keys(data, keys):
    mark, _ = decode(data)
    return mark, [line for sec, key, line in ini_lines(data) if (sec, key) not in keys]


# ---- state of the product's files and the registry ---------------------------
def file_roots(px):
    return {
        "appdata/norvi": px.unix_path(px.appdata + r"\Norvi"),
        "programdata/norvi": px.unix_path(px.common_appdata + r"\Norvi"),
        "program files/norvi": px.unix_path(r"C:\Program Files\Norvi"),
    }


def file_state(px):
    """Relative path (lower-cased) -> bytes, or None for a folder."""
    state = {}
    for name, root in file_roots(px).items():
        if not os.path.lexists(root):
            continue
        if not os.path.isdir(root):
            with open(root, "rb") as f:
                state[name] = f.read()
            continue
        state[name] = None
        for folder, dirs, files in os.walk(root):
            rel = os.path.relpath(folder, root)
            for d in dirs:
                state[os.path.normpath(os.path.join(name, rel, d)).lower()] = None
            for f in files:
                with open(os.path.join(folder, f), "rb") as fh:
                    state[os.path.normpath(os.path.join(name, rel, f)).lower()] = fh.read()
    return state


def _reg_name(line):
    """The value name of a line of a Wine registry file, as written."""
    if line.startswith("@="):
        return "@"
    i = 1
    while i < len(line):
        if line[i] == "\\":
            i += 2
            continue
        if line[i] == '"':
            return line[:i + 1].lower()
        i += 1
    return line.lower()


def prefix_processes(px):
    """Linux processes that run in this prefix (the wineserver included)."""
    tag = b"\0WINEPREFIX=" + px.path.encode() + b"\0"
    found = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open("/proc/%s/environ" % entry, "rb") as f:
                    if tag in b"\0" + f.read():
                        found.append(int(entry))
            except OSError:
                pass
    return found


def registry_state(px):
    """(file, key) -> {value name: data} of the prefix's registry files, read
    after Wine wrote them out (the wineserver is ended for that)."""
    subprocess.run(["wineserver", "-k"], env=px.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], env=px.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=60)
    # A server that is still going down would take the next Wine process of
    # this prefix down with it: wait until none is left.
    end = time.monotonic() + 30
    while prefix_processes(px) and time.monotonic() < end:
        time.sleep(0.05)
    state = {}
    for reg in ("system.reg", "user.reg"):
        key, pending = None, ""
        with open(os.path.join(px.path, reg), encoding="utf-8", errors="surrogateescape") as f:
            for raw in f:
                line = pending + raw.rstrip("\n")
                if line.endswith("\\") and not line.startswith("["):
                    pending = line[:-1].rstrip() if line.endswith(",\\") else line[:-1]
                    continue
                pending = ""
                if line.startswith("["):
                    key = (reg, line[1:line.rindex("]")].replace("\\\\", "\\").lower())
                    state[key] = {}
                elif key and line and not line.startswith("#time=") and not line.startswith(";;"):
                    name = _reg_name(line)
                    state[key][name] = line[len(name):]
    return state


# Keys Wine itself changes while any program runs (window and device state of
# the prefix's desktop); nothing of the product lives there. CurrentControlSet
# is a link to a numbered control set, and Wine 10 writes through the latter.
WINE_VOLATILE_KEYS = re.compile(
    r"^(software\\wine\\|system\\(currentcontrolset|controlset\d{3})\\control\\(video|class)|"
    r"system\\(currentcontrolset|controlset\d{3})\\enum\\|hardware\\|software\\microsoft\\windows nt\\currentversion\\"
    r"(fonts|perflib|networkcards)|"
    # The browser writes its own settings when it first starts (Wine's
    # Internet Explorer, started as the last fallback, here).
    r"software\\microsoft\\windows\\currentversion\\internet settings$)")


def registry_changes(before, after):
    faults = []
    for key in sorted(set(before) | set(after)):
        if WINE_VOLATILE_KEYS.match(key[1]):
            continue
        b, a = before.get(key), after.get(key)
        if b is None:
            faults.append("key created: %s" % (key,))
            continue
        if a is None:
            faults.append("key removed: %s" % (key,))
            continue
        for name in sorted(set(b) | set(a)):
            if b.get(name) == a.get(name):
                continue
            if (key[0], key[1], name) == OWNED_REGISTRY_VALUE and b.get(name) is None:
                continue  # recorded where there was none
            faults.append("%s %s: %r -> %r" % (key[1], name, b.get(name), a.get(name)))
    return faults


def file_changes(before, after, marker_rule):
    faults = []
    for path in sorted(set(before) | set(after)):
        b, a = before.get(path, False), after.get(path, False)
        if b is False:
            if path not in MAY_CREATE or (path.endswith("lang.dat") and a):
                faults.append("created: %s" % path)
            continue
        if a is False:
            faults.append("removed: %s" % path)
            continue
        if (b is None) != (a is None):
            faults.append("folder became file or back: %s" % path)
            continue
        if b == a:
            continue
        if path.endswith("norvi/pellorin/config.ini"):
            if without_keys(b, OWNED_CONFIG_KEYS) != without_keys(a, OWNED_CONFIG_KEYS):
                faults.append("Config.ini changed beyond the owned keys")
            faults += ["Config.ini " + f for f in owned_config_changes(ini_entries(b), ini_entries(a))]
        elif path == "programdata/norvi/eventpromote.ini" and marker_rule == "keys survive":
            kept = {k: v for k, v in ini_entries(b).items() if k != OWNED_MARKER_KEY}
            now = ini_entries(a)
            lost = {k: v for k, v in kept.items() if now.get(k) != v}
            if lost:
                faults.append("marker file lost %r" % lost)
        else:
            at = next((i for i, (x, y) in enumerate(zip(b, a)) if x != y), min(len(a), len(b)))
            faults.append("changed: %s (%d -> %d bytes, from byte %d: %r)" % (path, len(b), len(a), at,
                                                                             a[at:at + 40]))
    return faults


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

    def apply(self, px):
        for win_path, source in ((INSTALL_DIR + r"\7.0.0.1\Pellorin.exe", VERSIONED_EXE),
                                 (CAPTURE_EXE, URL_CAPTURE_EXE)):
            with open(source, "rb") as f:
                px.write_file(win_path, f.read())
        if self.config is not None:
            px.write_file(px.config_ini, self.config)
        if self.lang is not None:
            px.write_file(LANG_DAT, self.lang)
        if self.marker is not None:
            px.write_file(px.marker_ini, self.marker)
        px.reg_import(self.registry_text())
        for action in self.after:
            action(px)


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
    seed.after.append(lambda px: [px.wine("reg", "delete", r"HKCR\%s\shell\open\command" % s, "/f", check=False)
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
]


class BadInput(E2ECase):
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
        px = self.prefix()
        seed = Seed()
        if setup:
            setup(self, seed)
        seed.holds = [resolve(px, p) for p in seed.holds]
        seed.apply(px)
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
            request = receiver.wait_for_request(0.5 if button is None else 3) if receiver else None
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
