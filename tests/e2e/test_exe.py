"""The shipped program file: a 32-bit GUI executable with the manifest and the
version record, self-contained (no runtime libraries beside it)."""
import os
import re
import struct
import unittest

from harness import BUILD_DIR

EXE = os.path.join(BUILD_DIR, "PellorinPromo.exe")
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
               "oleaut32.dll", "comctl32.dll", "msimg32.dll", "version.dll", "psapi.dll", "wininet.dll",
               "uxtheme.dll", "msvcrt.dll", "shlwapi.dll", "ws2_32.dll", "comdlg32.dll"}


class PeFile:
    def __init__(self, path):
        self.data = open(path, "rb").read()
        d = self.data
        assert d[:2] == b"MZ"
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        assert d[pe:pe + 4] == b"PE\0\0"
        self.machine, nsect, _, _, _, opt_size, self.characteristics = struct.unpack_from("<HHIIIHH", d, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", d, opt)[0]
        self.subsystem = struct.unpack_from("<H", d, opt + 68)[0]
        ndirs = struct.unpack_from("<I", d, opt + 92)[0]
        self.dirs = [struct.unpack_from("<II", d, opt + 96 + 8 * i) for i in range(ndirs)]
        self.sections = []
        sec = opt + opt_size
        for i in range(nsect):
            name, vsize, va, rsize, raw = struct.unpack_from("<8sIIII", d, sec + 40 * i)
            self.sections.append((name.rstrip(b"\0"), va, max(vsize, rsize), raw))

    def off(self, rva):
        for _, va, size, raw in self.sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError("rva %x" % rva)

    def imports(self):
        rva, _ = self.dirs[1]
        names, o = [], self.off(rva)
        while True:
            ilt, _, _, name_rva, iat = struct.unpack_from("<IIIII", self.data, o)
            if name_rva == 0:
                return names
            n = self.off(name_rva)
            names.append(self.data[n:self.data.index(b"\0", n)].decode().lower())
            o += 20

    def resources(self):
        """{type id: [bytes of each resource of that type]}"""
        base_rva, _ = self.dirs[2]
        base = self.off(base_rva)

        def entries(o):
            named, ids = struct.unpack_from("<HH", self.data, o + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, o + 16 + 8 * i)
                yield name, target

        out = {}
        for type_id, t in entries(base):
            for _, n in entries(base + (t & 0x7FFFFFFF)):
                for _, l in entries(base + (n & 0x7FFFFFFF)):
                    rva, size = struct.unpack_from("<II", self.data, base + l)
                    o = self.off(rva)
                    out.setdefault(type_id, []).append(self.data[o:o + size])
        return out


class ShippedExe(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe = PeFile(EXE)

    def test_is_a_32bit_windows_gui_program(self):
        self.assertEqual(self.pe.machine, 0x14C)       # i386
        self.assertEqual(self.pe.magic, 0x10B)         # PE32
        self.assertEqual(self.pe.subsystem, 2)         # Windows GUI

    def test_imports_only_system_libraries(self):
        imports = set(self.pe.imports())
        self.assertTrue(imports)
        self.assertLessEqual(imports, SYSTEM_DLLS, imports - SYSTEM_DLLS)

    def test_binds_what_start_up_does_not_need_on_first_use(self):
        # The loader maps every imported library before the window can appear;
        # these serve only a folder question, the dismissal, the tooltip or a
        # screen reader, and are bound when first asked for.
        late = {"shell32.dll", "shlwapi.dll", "wininet.dll", "ole32.dll", "oleaut32.dll", "oleacc.dll",
                "comctl32.dll", "version.dll", "psapi.dll"}
        self.assertEqual(set(self.pe.imports()) & late, set())

    def test_carries_the_manifest(self):
        manifests = self.pe.resources().get(24)
        self.assertTrue(manifests)
        text = manifests[0].decode("utf-8")
        self.assertIn('level="requireAdministrator"', text)
        self.assertIn('name="Microsoft.Windows.Common-Controls" version="6.0.0.0"', text)
        ids = re.findall(r'supportedOS Id="\{([0-9a-f-]+)\}"', text)
        self.assertEqual(ids, ["e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                               "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                               "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"])
        self.assertNotIn("dpiAware", text)
        self.assertNotIn("dpiAwareness", text)

    def test_carries_a_version_record(self):
        versions = self.pe.resources().get(16)
        self.assertTrue(versions)
        v = versions[0]
        i = v.find(struct.pack("<I", 0xFEEF04BD))
        self.assertGreater(i, 0)
        # The build's one version number, in the fixed part (file and
        # product) and in the texts.
        version = os.environ.get("PROMO_VERSION", "1.0.0.0")
        want = tuple(int(n) for n in version.split("."))
        file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIII", v, i + 8)
        for ms, ls in ((file_ms, file_ls), (product_ms, product_ls)):
            self.assertEqual((ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF), want)
        for key in ("FileVersion", "ProductVersion"):
            # The key, its terminator, the padding to 32 bits, the value.
            m = re.search(re.escape((key + "\0").encode("utf-16-le")) + rb"(?:\0\0)*((?:[^\0].|\0[^\0])*?)\0\0",
                          v, re.S)
            self.assertIsNotNone(m, key)
            self.assertEqual(m.group(1).decode("utf-16-le"), version, key)
        self.assertIn("PellorinPromo.exe".encode("utf-16-le"), v)

    def test_stays_small(self):
        # The program before it carried its pictures for five scales (944,128
        # bytes from GCC 14, 903,168 from GCC 12) and the 200 KB they may add.
        self.assertLessEqual(os.path.getsize(EXE), 944128 + 200 * 1024)


if __name__ == "__main__":
    unittest.main()
