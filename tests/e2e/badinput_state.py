"""The state a bad-input case must leave as it was: the product's files (by
their bytes, but for the keys the program owns) and every registry value of
the prefix as Wine writes it to its files (the wineserver is stopped for
that), but for keys Wine itself changes while any program runs. OWNED_*
below is the only place the program's own keys are listed."""
import hashlib
import os
import re

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


_PARSED = {}  # a key's block of a registry file -> its values (most blocks never change)


def _parse_block(reg, block):
    """((file, key), {value name: data}) of one key's lines of a Wine registry file."""
    key, values, pending = None, {}, ""
    for raw in block.split("\n"):
        line = pending + raw
        if line.endswith("\\") and not line.startswith("["):
            pending = line[:-1].rstrip() if line.endswith(",\\") else line[:-1]
            continue
        pending = ""
        if line.startswith("["):
            key = (reg, line[1:line.rindex("]")].replace("\\\\", "\\").lower())
        elif key and line and not line.startswith("#time=") and not line.startswith(";;"):
            name = _reg_name(line)
            values[name] = line[len(name):]
    return key, values


def registry_state(px):
    """(file, key) -> {value name: data} of the prefix's registry files, read
    after Wine wrote them out (the wineserver is stopped for that)."""
    px.stop_server()
    state = {}
    for reg in ("system.reg", "user.reg"):
        with open(os.path.join(px.path, reg), encoding="utf-8", errors="surrogateescape") as f:
            text = f.read()
        blocks = text.split("\n[")
        for i, block in enumerate(blocks):
            if i:
                block = "[" + block
            elif not block.startswith("["):
                continue  # the file's header
            digest = hashlib.sha1((reg + "\0" + block).encode("utf-8", "surrogateescape")).digest()
            parsed = _PARSED.get(digest)
            if parsed is None:
                parsed = _PARSED[digest] = _parse_block(reg, block)
            key, values = parsed
            if key:
                state[key] = dict(values)
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

