"""Signed files: scripts/sign.sh with a throw-away certificate authority, a
code-signing certificate in a password-protected PKCS#12 file and a loopback
RFC 3161 time-stamp server (openssl ts), all in a temporary folder removed
at the end. Each signed file verifies against that authority and no other,
fails once a byte changes, and gives back the built bytes when the signature
is removed; the signed program runs the typical case under Wine. sign.sh
refuses what is missing or wrong without touching a file, and the password
appears on no command line."""
import http.server
import os
import shutil
import subprocess
import tempfile
import threading
import unittest

import test_typical_run
from harness import BUILD_DIR, PROGRAM_DIR, SOURCE_DIR, E2ECase, PrefixCase

SIGN = os.path.join(SOURCE_DIR, "scripts", "sign.sh")
SHIPPED = ["PellorinPromo.exe", "PromoCheck.exe", "Focus.dll"]
PASSWORD = "throw-away pass 7"
T = {}  # the module's temporary folder and what is in it


def read(path):
    with open(path, "rb") as f:
        return f.read()


def openssl(*args, cwd=None, stdin=None):
    subprocess.run(["openssl"] + list(args), cwd=cwd or T["dir"], check=True, input=stdin,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_authority(name):
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", name + ".key", "-out", name + ".pem",
            "-days", "2", "-subj", "/CN=Throw-away %s" % name, "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")


def issue(name, usage):
    ext = os.path.join(T["dir"], name + ".ext")
    with open(ext, "w") as f:
        f.write("basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=%s\n" % usage)
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", name + ".key", "-out", name + ".csr",
            "-subj", "/CN=Norvi %s/O=Norvi" % name)
    openssl("x509", "-req", "-in", name + ".csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
            "-out", name + ".pem", "-days", "2", "-extfile", ext)


class TimeStampServer:
    """RFC 3161 over HTTP on a loopback port, answered by `openssl ts -reply`."""

    def __init__(self, folder):
        with open(os.path.join(folder, "ts.cnf"), "w") as f:
            f.write("[tsa]\ndefault_tsa = tsa_config\n[tsa_config]\nserial = %s/tsaserial\n"
                    "crypto_device = builtin\nsigner_digest = sha256\ndefault_policy = 1.2.3.4.1\n"
                    "other_policies = 1.2.3.4.2\ndigests = sha256, sha384, sha512\naccuracy = secs:1\n"
                    "ordering = yes\ntsa_name = no\ness_cert_id_chain = no\ness_cert_id_alg = sha256\n" % folder)
        with open(os.path.join(folder, "tsaserial"), "w") as f:
            f.write("01\n")
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_POST(self):
                query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
                server.requests += 1
                with tempfile.TemporaryDirectory(dir=folder) as t:
                    with open(os.path.join(t, "q"), "wb") as f:
                        f.write(query)
                    r = subprocess.run(["openssl", "ts", "-reply", "-config", "ts.cnf", "-queryfile", t + "/q",
                                        "-signer", "tsa.pem", "-inkey", "tsa.key", "-chain", "ca.pem",
                                        "-out", t + "/r"], cwd=folder, capture_output=True)
                    body = read(t + "/r") if r.returncode == 0 else b""
                self.send_response(200 if body else 500)
                self.send_header("Content-Type", "application/timestamp-reply")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.requests = 0
        self.httpd = http.server.HTTPServer(("127.0.0.1", 0), Handler)
        self.url = "http://127.0.0.1:%d/" % self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def sign_env(**changes):
    env = {k: v for k, v in os.environ.items() if not k.startswith("PROMO_SIGN_")}
    env.update(PROMO_SIGN_PFX=T["pfx"], PROMO_SIGN_PASSWORD=PASSWORD, TMPDIR=T["tmp"])
    for k, v in changes.items():
        if v is None:
            env.pop(k, None)
        else:
            env[k] = v
    return env


def run_sign(files, env, trace=None):
    cmd = ["bash", SIGN] + files
    if trace:
        cmd = ["strace", "-f", "-qq", "-e", "trace=execve", "-s", "4096", "-o", trace] + cmd
    return subprocess.run(cmd, env=env, capture_output=True, text=True, timeout=300)


def copy_files(folder, src_dir):
    os.makedirs(folder)
    for name in SHIPPED:
        s = os.path.join(src_dir, name)
        if os.path.exists(s):
            shutil.copy2(s, folder)
    return [os.path.join(folder, n) for n in SHIPPED if os.path.exists(os.path.join(folder, n))]


def verify(path, authority="ca.pem"):
    ca = os.path.join(T["dir"], authority)
    return subprocess.run(["osslsigncode", "verify", "-CAfile", ca, "-TSA-CAfile", ca, "-in", path],
                          capture_output=True, text=True)


def setUpModule():
    T["dir"] = tempfile.mkdtemp(prefix="promo-signing-")
    T["tmp"] = os.path.join(T["dir"], "tmp")
    os.makedirs(T["tmp"])
    make_authority("ca")
    make_authority("other-ca")
    issue("signer", "codeSigning")
    issue("tsa", "critical,timeStamping")
    T["pfx"] = os.path.join(T["dir"], "signer.pfx")
    pw = os.path.join(T["dir"], "pw")
    fd = os.open(pw, os.O_WRONLY | os.O_CREAT, 0o600)
    os.write(fd, PASSWORD.encode())
    os.close(fd)
    openssl("pkcs12", "-export", "-inkey", "signer.key", "-in", "signer.pem", "-certfile", "ca.pem",
            "-out", T["pfx"], "-passout", "file:" + pw)
    os.remove(pw)
    T["tsa"] = TimeStampServer(T["dir"])
    # The shipping files time-stamped, the demo variant (the one the typical
    # run needs) without a time stamp.
    T["shipping"] = os.path.join(T["dir"], "shipping")
    T["demo"] = os.path.join(T["dir"], "demo")
    for folder, src, url in ((T["shipping"], BUILD_DIR, T["tsa"].url), (T["demo"], os.path.join(BUILD_DIR, "demo"), None)):
        files = copy_files(folder, src)
        r = run_sign(files, sign_env(PROMO_SIGN_TIMESTAMP_URL=url))
        if r.returncode != 0:
            raise RuntimeError("sign.sh failed: %s%s" % (r.stdout, r.stderr))
    SignedTypicalRun.program_dir = T["demo"]
    SignedShippingFilesRun.program_dir = T["shipping"]


def tearDownModule():
    if "tsa" in T:
        T["tsa"].close()
    shutil.rmtree(T.get("dir", ""), ignore_errors=True)


class SignedFiles(unittest.TestCase):
    def test_each_file_verifies_against_the_authority_and_unsigned_is_the_build(self):
        for folder, stamped in ((T["shipping"], True), (T["demo"], False)):
            for name in SHIPPED:
                with self.subTest(folder=os.path.basename(folder), file=name):
                    path = os.path.join(folder, name)
                    r = verify(path)
                    self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
                    self.assertIn("Signature verification: ok", r.stdout)
                    self.assertRegex(r.stdout, r"Message digest algorithm *: SHA256")
                    self.assertIn("Subject: /CN=Norvi signer/O=Norvi", r.stdout)
                    if stamped:
                        self.assertIn("Timestamp Server Signature verification: ok", r.stdout)
                    else:
                        self.assertIn("Timestamp is not available", r.stdout)
                    self.assertGreater(os.path.getsize(path), os.path.getsize(os.path.join(BUILD_DIR, name)))
                    # ... and against no other authority.
                    self.assertNotEqual(verify(path, "other-ca.pem").returncode, 0)
                    if stamped:
                        # Without its signature it is the build's file again, so
                        # a shipped file can be checked against a rebuild.
                        out = os.path.join(T["dir"], "unsigned-" + name)
                        subprocess.run(["osslsigncode", "remove-signature", "-in", path, "-out", out],
                                       check=True, capture_output=True)
                        self.assertTrue(read(out) == read(os.path.join(BUILD_DIR, name)),
                                        "%s differs from the build's" % name)
        self.assertGreaterEqual(T["tsa"].requests, len(SHIPPED))

    def test_a_file_changed_after_signing_fails(self):
        for name in SHIPPED:
            for where in ("code", "last byte before the signature"):
                with self.subTest(file=name, where=where):
                    signed = os.path.join(T["shipping"], name)
                    data = bytearray(read(signed))
                    at = 0x400 + 7 if where == "code" else os.path.getsize(os.path.join(BUILD_DIR, name)) - 1
                    data[at] ^= 0x01
                    changed = os.path.join(T["dir"], "changed-" + name)
                    with open(changed, "wb") as f:
                        f.write(data)
                    r = verify(changed)
                    self.assertNotEqual(r.returncode, 0, r.stdout)
                    self.assertNotIn("Signature verification: ok", r.stdout)

    def test_missing_or_wrong_settings_leave_the_file_as_it_was(self):
        inside = os.path.join(BUILD_DIR, "sign-test-key.pfx")
        shutil.copy(T["pfx"], inside)
        self.addCleanup(os.remove, inside)
        closed_port = "http://127.0.0.1:9/"
        cases = [
            # (case, env changes, files, exit code, message)
            ("no certificate", dict(PROMO_SIGN_PFX=None), None, 2, "PROMO_SIGN_PFX is not set"),
            ("certificate file missing", dict(PROMO_SIGN_PFX=T["pfx"] + ".gone"), None, 2, "not a readable file"),
            ("no password", dict(PROMO_SIGN_PASSWORD=None), None, 2, "PROMO_SIGN_PASSWORD is not set"),
            ("key inside the repository", dict(PROMO_SIGN_PFX=inside), None, 2, "inside the repository"),
            ("no files", {}, [], 2, "no files given"),
            ("wrong password", dict(PROMO_SIGN_PASSWORD="wrong"), None, 1, "could not sign"),
            ("time-stamp server unreachable", dict(PROMO_SIGN_TIMESTAMP_URL=closed_port), None, 1, "could not sign"),
            ("roots that do not issue it", dict(PROMO_SIGN_CAFILE=os.path.join(T["dir"], "other-ca.pem")), None, 1,
             "does not verify"),
        ]
        for case, changes, files, rc, message in cases:
            with self.subTest(case=case):
                folder = os.path.join(T["dir"], "refused-" + case.replace(" ", "-"))
                copied = copy_files(folder, BUILD_DIR)
                before = {p: read(p) for p in copied}
                r = run_sign(copied if files is None else files, sign_env(**changes))
                self.assertEqual(r.returncode, rc, r.stdout + r.stderr)
                self.assertIn(message, r.stderr)
                self.assertNotIn("signed (", r.stdout)
                self.assertEqual(sorted(os.listdir(folder)), sorted(SHIPPED))
                for p, data in before.items():
                    self.assertTrue(read(p) == data, "%s changed" % p)

    def test_the_password_is_on_no_command_line_and_nothing_is_left_behind(self):
        folder = os.path.join(T["dir"], "traced")
        files = copy_files(folder, BUILD_DIR)[-1:]
        trace = os.path.join(T["dir"], "execve.log")
        r = run_sign(files, sign_env(), trace=trace)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        log = read(trace).decode("utf-8", "replace")
        self.assertIn('"osslsigncode", "sign"', log)
        self.assertNotIn(PASSWORD, log)
        self.assertEqual(verify(files[0]).returncode, 0)
        # Nothing beside the files, nothing in the temporary folder.
        self.assertEqual(sorted(os.listdir(folder)), sorted(SHIPPED))
        self.assertEqual(os.listdir(T["tmp"]), [])


class SignedTypicalRun(PrefixCase):
    """The typical run's buy case, on the signed program and Focus.dll."""

    prepare = classmethod(test_typical_run.TypicalRun.prepare.__func__)

    def setUp(self):
        super().setUp()
        for name in ("PellorinPromo.exe", "Focus.dll"):
            self.assertTrue(read(self.px.unix_path(PROGRAM_DIR + "\\" + name)) == read(os.path.join(T["demo"], name)),
                            "the signed %s is not the one installed" % name)

    install = test_typical_run.TypicalRun.install
    press = test_typical_run.TypicalRun.press
    test_buy_on_the_signed_program = test_typical_run.TypicalRun.test_buy_button_opens_the_purchase_page_and_reports_the_click


class SignedShippingFilesRun(E2ECase):
    def test_signed_check_tool_loads_the_signed_hook(self):
        px = self.prefix("shipping")
        px.seed_product(200, lang="DE")
        shutil.copy2(os.path.join(T["shipping"], "PromoCheck.exe"), px.unix_path(PROGRAM_DIR + r"\PromoCheck.exe"))
        r = px.wine(PROGRAM_DIR + r"\PromoCheck.exe", check=False, timeout=180)
        out = r.stdout.decode("utf-8", "replace")
        self.assertEqual(r.returncode, 1, out)  # the shipping campaign is over
        self.assertRegex(out, r"(?m)^campaign-end: .*end 2020-9-22 00:00 \(build setting\): blocks$")
        self.assertIn(r"\Focus.dll found, PopConditionMet found", out)


if __name__ == "__main__":
    unittest.main()
