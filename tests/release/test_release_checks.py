"""The release's own checks, on made-up inputs (no build, no Wine): the libpng
source against its .dsc (cmake/VerifyDsc.cmake), the comparison of two build
folders (scripts/check-reproducible.sh --compare), and the refusals of
scripts/release.sh that come before any build, and the set-up's apt step
behind a mirror in mid-sync (scripts/apt-install.sh over a stub apt-get)."""
import hashlib
import os
import shutil
import struct
import subprocess
import tempfile
import unittest

SOURCE_DIR = os.environ.get("PROMO_SOURCE_DIR",
                            os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
VERIFY_DSC = os.path.join(SOURCE_DIR, "cmake", "VerifyDsc.cmake")
CHECK = os.path.join(SOURCE_DIR, "scripts", "check-reproducible.sh")
RELEASE = os.path.join(SOURCE_DIR, "scripts", "release.sh")
APT_INSTALL = os.path.join(SOURCE_DIR, "scripts", "apt-install.sh")
IMAGE_FLAGS = os.path.join(SOURCE_DIR, "tests", "release", "check_image_flags.py")
SHIPPED = ["PellorinPromo.exe", "PromoCheck.exe", "Focus.dll"]


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


class Folder(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="promo-release-test-")
        self.addCleanup(shutil.rmtree, self.dir, True)


class SourceAgainstDsc(Folder):
    ORIG = "libpng1.6_1.6.39.orig.tar.gz"
    DEBIAN = "libpng1.6_1.6.39-2+deb12u5.debian.tar.xz"

    def make(self, files, sha256_block=True, extra_lines=()):
        """Writes the files and a signed-looking .dsc listing them as they are
        now; returns the .dsc's path."""
        for name, data in files.items():
            write(os.path.join(self.dir, name), data)
        lines = ["-----BEGIN PGP SIGNED MESSAGE-----", "Hash: SHA512", "", "Format: 3.0 (quilt)",
                 "Source: libpng1.6", "Checksums-Sha1:"]
        lines += [" %s %d %s" % (hashlib.sha1(d).hexdigest(), len(d), n) for n, d in files.items()]
        if sha256_block:
            lines.append("Checksums-Sha256:")
            lines += [" %s %d %s" % (hashlib.sha256(d).hexdigest(), len(d), n) for n, d in files.items()]
            lines += list(extra_lines)
        lines.append("Files:")
        lines += [" %s %d %s" % (hashlib.md5(d).hexdigest(), len(d), n) for n, d in files.items()]
        lines += ["", "-----BEGIN PGP SIGNATURE-----", "iQIzBAEBCgAdFiEE", "-----END PGP SIGNATURE-----"]
        dsc = os.path.join(self.dir, "libpng1.6_1.6.39-2+deb12u5.dsc")
        write(dsc, ("\n".join(lines) + "\n").encode())
        return dsc

    def verify(self, dsc):
        r = subprocess.run(["cmake", "-DDSC=" + dsc, "-P", VERIFY_DSC], capture_output=True, text=True)
        return r.returncode, r.stdout + r.stderr

    def test_table(self):
        files = {self.ORIG: os.urandom(5000), self.DEBIAN: os.urandom(700)}

        def flip(name):
            data = bytearray(files[name])
            data[100] ^= 0x20
            write(os.path.join(self.dir, name), bytes(data))

        cases = [
            # (case, change after the .dsc is written, .dsc options, passes, words in the message)
            ("as listed", None, {}, True, "every file matches"),
            ("orig tarball changed, same size", lambda: flip(self.ORIG), {}, False, self.ORIG),
            ("debian tarball changed", lambda: flip(self.DEBIAN), {}, False, self.DEBIAN),
            ("orig tarball longer", lambda: write(os.path.join(self.dir, self.ORIG), files[self.ORIG] + b"x"), {},
             False, "5001 bytes"),
            ("listed file missing", lambda: os.remove(os.path.join(self.dir, self.DEBIAN)), {}, False, "missing"),
            ("no SHA-256 list", None, dict(sha256_block=False), False, "no Checksums-Sha256"),
            ("a name outside the folder", None, dict(extra_lines=[" %s 3 ../x" % ("0" * 64)]), False,
             "unreadable checksum line"),
        ]
        for case, change, options, passes, words in cases:
            with self.subTest(case=case):
                for name in os.listdir(self.dir):
                    os.remove(os.path.join(self.dir, name))
                dsc = self.make(files, **options)
                if change:
                    change()
                rc, out = self.verify(dsc)
                self.assertEqual(rc == 0, passes, out)
                self.assertIn(words, " ".join(out.split()))


class NewestFetchableSource(Folder):
    """The newest offered source whose files can be fetched and verify, with
    apt-get played by a stub whose suites offer made-up versions."""

    STUB = """#!/bin/sh
# apt-get indextargets ... | source --print-uris -qq PKG/SUITE | source --download-only PKG/SUITE
stub=%s
case "$1" in
  indextargets) cat "$stub/suites"; exit 0 ;;
esac
suite=${3#*/}; [ "$2" = --print-uris ] && suite=${4#*/}
[ -f "$stub/$suite.version" ] || { echo "E: Unable to find a source package for libpng1.6" >&2; exit 100; }
v=$(cat "$stub/$suite.version")
if [ "$2" = --print-uris ]; then echo "'http://mirror/$suite/libpng1.6_$v.dsc' libpng1.6_$v.dsc 99 SHA256:00"; exit 0; fi
[ -d "$stub/$suite" ] || { echo "E: Failed to fetch http://mirror/$suite/libpng1.6_$v.dsc  404  Not Found" >&2; exit 100; }
cp "$stub/$suite"/* .
"""
    # apt-helper download-file URI FILE SHA256:SUM, from the stub's pool
    HELPER = """#!/bin/sh
f=%s/pool/$(basename "$2")
[ -f "$f" ] || { echo "E: Failed to fetch $2  404  Not Found" >&2; exit 100; }
[ "$(sha256sum < "$f" | cut -c1-64)" = "${4#SHA256:}" ] || { echo "E: Hash Sum mismatch" >&2; exit 100; }
cp "$f" "$3"
"""

    def source(self, folder, version, broken=False):
        """A made-up source in folder; returns its .dsc's SHA-256."""
        os.makedirs(folder, exist_ok=True)
        orig = os.urandom(800)
        name = "libpng1.6_%s.orig.tar.gz" % version
        dsc = "Format: 3.0 (quilt)\nChecksums-Sha256:\n %s %d %s\n" % (hashlib.sha256(orig).hexdigest(), len(orig),
                                                                        name)
        write(os.path.join(folder, "libpng1.6_%s.dsc" % version), dsc.encode())
        write(os.path.join(folder, name), orig[:-1] if broken else orig)
        return hashlib.sha256(dsc.encode()).hexdigest()

    def fetch(self, offers, pinned=()):
        self.stub_dir = tempfile.mkdtemp(dir=self.dir)
        bin_dir = tempfile.mkdtemp(dir=self.dir)
        # Every suite has a source index; only those in offers list the package.
        write(os.path.join(self.stub_dir, "suites"), b"rel\nrel-updates\nrel-security\n")
        for suite, (version, state) in offers.items():
            write(os.path.join(self.stub_dir, suite + ".version"), version.encode())
            if state != "404":
                self.source(os.path.join(self.stub_dir, suite), version, state == "broken")
        # Pinned versions: (version, state); "in pool" ones are on the mirror,
        # "wrong pin" ones are there but differ from what was pinned.
        pins = []
        for version, state in pinned:
            if state == "gone":
                pins.append("libpng1.6 %s %s" % (version, "1" * 64))
            else:
                sum = self.source(os.path.join(self.stub_dir, "pool"), version)
                pins.append("libpng1.6 %s %s" % (version, sum if state == "in pool" else "2" * 64))
        pin_file = os.path.join(self.stub_dir, "pins.txt")
        write(pin_file, ("# package version dsc-sha256\n" + "\n".join(pins) + "\n").encode())
        for tool, text in (("apt-get", self.STUB), ("apt-helper", self.HELPER)):
            write(os.path.join(bin_dir, tool), (text % self.stub_dir).encode())
            os.chmod(os.path.join(bin_dir, tool), 0o755)
        folder = os.path.join(self.dir, "download")
        env = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ["PATH"])
        r = subprocess.run(["cmake", "-DFETCH=libpng1.6", "-DFOLDER=" + folder, "-DPROMO_DEBIAN_SOURCES=" + pin_file,
                            "-DPROMO_APT_HELPER=" + os.path.join(bin_dir, "apt-helper"), "-P", VERIFY_DSC], env=env,
                           capture_output=True, text=True, cwd=self.dir)
        files = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
        return r.returncode, " ".join((r.stdout + r.stderr).split()), files

    def test_table(self):
        new, old = "1.6.48-1+deb13u10", "1.6.48-1+deb13u9"
        pin_new, pin_old = "1.6.48-1+deb13u5", "1.6.39-2+deb12u5"
        lagging = {"rel": (new, "404"), "rel-security": (new, "404")}
        cases = [
            # (case, {suite: (version, state)}, [(pinned version, state)], version taken, words in the output)
            ("the newest fetches", {"rel": (old, "ok"), "rel-security": (new, "ok")}, [], new,
             "Debian source %s from rel-security" % new),
            ("the newest 404s: an older version", {"rel": (old, "ok"), "rel-security": (new, "404")}, [], old,
             "took Debian source %s from rel, the newest offer whose files could be fetched" % old),
            ("one version in two archives, one of them lagging", {"rel": (new, "ok"), "rel-security": (new, "404")},
             [], new, "took Debian source %s from rel," % new),
            ("the newest fails its .dsc", {"rel": (old, "ok"), "rel-security": (new, "broken")}, [], old,
             "%s from rel-security: libpng1.6_%s.orig" % (new, new)),
            ("every listed one lags: the newest pin", lagging, [(pin_old, "in pool"), (pin_new, "in pool")], pin_new,
             "took Debian source %s, pinned in" % pin_new),
            ("a pin gone from the pool: the next", lagging, [(pin_new, "gone"), (pin_old, "in pool")], pin_old,
             "took Debian source %s, pinned in" % pin_old),
            ("a pool file unlike its pin is refused", lagging, [(pin_new, "wrong pin")], None, "Hash Sum mismatch"),
            ("none can be had", {"rel": (old, "404"), "rel-security": (new, "broken")}, [], None,
             "No listed or pinned source of libpng1.6"),
            ("nothing listed", {}, [(pin_new, "in pool")], None, "apt lists no source of libpng1.6"),
        ]
        for case, offers, pinned, taken, words in cases:
            with self.subTest(case=case):
                rc, out, files = self.fetch(offers, pinned)
                self.assertEqual(rc == 0, taken is not None, out)
                self.assertIn(words, out)
                if taken:
                    self.assertEqual([f for f in files if f.endswith(".dsc")], ["libpng1.6_%s.dsc" % taken], out)
                else:
                    self.assertEqual(files, [])


def pe(stamp, body=b"code"):
    """A minimal file with a PE header whose TimeDateStamp is stamp."""
    head = bytearray(b"MZ" + b"\0" * 0x3A + struct.pack("<I", 0x40))
    head += b"PE\0\0" + struct.pack("<HHI", 0x14C, 1, stamp)
    return bytes(head) + body


def image(magic=0x10B, dll_characteristics=0x0140):
    """A PE header with a full-sized optional header of the given magic and
    DllCharacteristics (0x0140: dynamic base and NX, as our linker sets them)."""
    optional = bytearray(224)
    struct.pack_into("<H", optional, 0, magic)
    struct.pack_into("<H", optional, 70, dll_characteristics)
    head = bytearray(b"MZ" + b"\0" * 0x3A + struct.pack("<I", 0x40))
    head += b"PE\0\0" + struct.pack("<HHIIIHH", 0x14C, 1, 0, 0, 0, len(optional), 0x102)
    return bytes(head + optional)


class ImageFlags(Folder):
    def check(self, *images):
        paths = []
        for i, data in enumerate(images):
            paths.append(os.path.join(self.dir, "image%d.exe" % i))
            write(paths[-1], data)
        r = subprocess.run(["python3", IMAGE_FLAGS] + paths, capture_output=True, text=True)
        return r.returncode, r.stdout + r.stderr

    def test_table(self):
        cases = [
            ("plain", [image()], 0, "no NO_SEH flag"),
            ("NO_SEH alone", [image(dll_characteristics=0x0400)], 1, "NO_SEH"),
            ("NO_SEH among others", [image(), image(dll_characteristics=0x0540)], 1, "0x0540"),
            ("64-bit image", [image(magic=0x20B)], 1, "not a 32-bit image"),
            ("no PE header", [b"MZ" + b"\0" * 100], 1, "no PE header"),
            ("not an image", [b"#!/bin/sh\n"], 1, "not an MZ image"),
        ]
        for name, images, rc, words in cases:
            with self.subTest(name):
                code, out = self.check(*images)
                self.assertEqual(code, rc, out)
                self.assertIn(words, out)


class CompareFolders(Folder):
    def folders(self, a, b):
        for name, files in (("a", a), ("b", b)):
            os.makedirs(os.path.join(self.dir, name))
            for f, data in files.items():
                write(os.path.join(self.dir, name, f), data)
        r = subprocess.run(["bash", CHECK, "--compare", os.path.join(self.dir, "a"), os.path.join(self.dir, "b")],
                           capture_output=True, text=True)
        return r.returncode, r.stdout

    def test_table(self):
        same = {f: pe(0, f.encode()) for f in SHIPPED}
        stamped = dict(same, **{"PellorinPromo.exe": pe(0x6B193832)})
        cases = [
            # (case, folder a's files, folder b's files, exit code, expected line start)
            ("identical", same, dict(same), 0, None),
            ("one differs", same, dict(same, **{"PromoCheck.exe": pe(0, b"other")}), 1, "DIFFERS  PromoCheck.exe"),
            ("one missing", same, {f: d for f, d in same.items() if f != "Focus.dll"}, 1, "MISSING  Focus.dll"),
            ("both with a link time", stamped, stamped, 1, "STAMPED  PellorinPromo.exe: PE Time/Date is %d" % 0x6B193832),
        ]
        for case, a, b, rc, line in cases:
            with self.subTest(case=case):
                shutil.rmtree(self.dir)
                os.makedirs(self.dir)
                got_rc, out = self.folders(a, b)
                self.assertEqual(got_rc, rc, out)
                lines = out.splitlines()
                if line is None:
                    self.assertEqual([l.split()[0] for l in lines], ["same"] * 3, out)
                else:
                    self.assertTrue(any(l.startswith(line) for l in lines), out)
                    # The others are still reported.
                    self.assertEqual(sum(l.startswith("same") for l in lines), 2, out)


class AptInMidSync(Folder):
    """The set-up's update and install over a stub apt-get. The stub's
    security index for i386 arrives short for the first `fails` updates
    (always, for None); the install of an i386 twin resolves when that index
    downloaded at the last update, or, with -t rel, when `release_serves`
    (the installed amd64 package is the release's own version)."""

    INDEX = "/debian-security/dists/rel-security/main/binary-i386/Packages.xz"
    STUB = """#!/bin/sh
stub=%s
echo "$*" >> "$stub/calls"
case "$1" in
  update)
    n=$(cat "$stub/updates" 2>/dev/null || echo 0); echo $((n + 1)) > "$stub/updates"
    if [ "$(cat "$stub/lock")" = 1 ]; then echo "E: Could not get lock /var/lib/apt/lists/lock" >&2; exit 100; fi
    fails=$(cat "$stub/fails")
    if [ "$fails" = always ] || [ "$n" -lt "$fails" ]; then
      rm -f "$stub/fresh"
      echo "E: Failed to fetch http://mirror%s  File has unexpected size (4096 != 4095). Mirror sync in progress?" >&2
      exit 100
    fi
    touch "$stub/fresh"; exit 0 ;;
  install)
    [ -f "$stub/fresh" ] && exit 0
    case " $* " in *" -t rel "*) [ "$(cat "$stub/release_serves")" = 1 ] && exit 0 ;; esac
    echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100 ;;
esac
exit 100
"""

    def run_step(self, fails, release_serves, lock=False):
        stub, bin_dir = tempfile.mkdtemp(dir=self.dir), tempfile.mkdtemp(dir=self.dir)
        for name, value in (("fails", "always" if fails is None else fails), ("release_serves", int(release_serves)),
                            ("lock", int(lock))):
            write(os.path.join(stub, name), str(value).encode())
        write(os.path.join(bin_dir, "apt-get"), (self.STUB % (stub, self.INDEX)).encode())
        os.chmod(os.path.join(bin_dir, "apt-get"), 0o755)
        env = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ["PATH"], PROMO_APT_WAITS="0 0 0 0")
        state = os.path.join(stub, "state")
        out, err, rc = "", "", 0
        for args in (["--update"], ["--", "libssl3:i386", "wine32:i386"]):
            r = subprocess.run(["bash", APT_INSTALL, "--release", "rel", "--state", state] + args, env=env,
                               capture_output=True, text=True, timeout=60)
            out, err, rc = out + r.stdout, err + r.stderr, r.returncode
            if rc:
                break
        with open(os.path.join(stub, "calls")) as f:
            calls = f.read().splitlines()
        return rc, out, err, calls

    def test_table(self):
        cases = [
            # (case, failed updates, -t rel serves, lock held, exit code, updates, installs, words in the output)
            ("every index downloads", 0, False, False, 0, 1, 1, None),
            ("the sync ends at the third try", 2, False, False, 0, 3, 1, "every index downloaded at try 3"),
            ("the sync never ends; the release's versions serve", None, True, False, 0, 5, 2,
             "trying rel's own versions"),
            ("the sync never ends; an installed security update needs the index", None, False, False, 1, 5, 2,
             "mid-sync"),
            ("no index fails but apt cannot run", 0, False, True, 1, 1, 0, "Could not get lock"),
        ]
        for case, fails, release_serves, lock, rc, updates, installs, words in cases:
            with self.subTest(case=case):
                got, out, err, calls = self.run_step(fails, release_serves, lock)
                self.assertEqual(got, rc, out + err)
                self.assertEqual(sum(c.startswith("update") for c in calls), updates, calls)
                self.assertEqual(sum(c.startswith("install") for c in calls), installs, calls)
                # Never a downgrade: no version pins, no permission to go back.
                self.assertFalse(any("downgrade" in c or "=" in c for c in calls if c.startswith("install")), calls)
                if words:
                    self.assertIn(words, out + err)
                if rc and fails is None:
                    # One line that names the index and says what to do.
                    self.assertEqual(len(err.strip().splitlines()), 1, err)
                    self.assertIn(self.INDEX, err)
                    self.assertIn("run the same command again", err)
                    self.assertNotIn("held broken packages", err)


class RefusedBeforeBuilding(unittest.TestCase):
    def run_script(self, cmd, **env):
        full = {k: v for k, v in os.environ.items() if not k.startswith("PROMO_SIGN_")}
        full.update(env)
        return subprocess.run(cmd, env=full, capture_output=True, text=True, timeout=60)

    def test_table(self):
        cases = [
            ("release with a password but no certificate", ["bash", RELEASE],
             dict(PROMO_SIGN_PASSWORD="x", PROMO_RELEASE_ALLOW_DIRTY="1"), 1, "needs both PROMO_SIGN_PFX"),
            ("release with a time-stamp server only", ["bash", RELEASE],
             dict(PROMO_SIGN_TIMESTAMP_URL="http://127.0.0.1:9/", PROMO_RELEASE_ALLOW_DIRTY="1"), 1,
             "needs both PROMO_SIGN_PFX"),
            ("check with an option that is not -D", ["bash", CHECK, "--fast"], {}, 2, "only -D options"),
        ]
        for case, cmd, env, rc, words in cases:
            with self.subTest(case=case):
                r = self.run_script(cmd, **env)
                self.assertEqual(r.returncode, rc, r.stdout + r.stderr)
                self.assertIn(words, r.stderr)
                self.assertNotIn("building in", r.stdout)


if __name__ == "__main__":
    unittest.main()
