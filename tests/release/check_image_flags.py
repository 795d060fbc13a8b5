"""Fails unless every image given is a 32-bit PE file whose optional header
does not carry IMAGE_DLLCHARACTERISTICS_NO_SEH (0x0400). With that flag set,
Windows dispatches no exception to a handler of the image's own, and the
guarded call of the product's Focus.dll hook would not be guarded.

    check_image_flags.py IMAGE...
"""
import struct
import sys

NO_SEH = 0x0400
PE32_MAGIC = 0x10B


def problem(data):
    """What is wrong with the image's bytes, or None."""
    if len(data) < 0x40 or data[:2] != b"MZ":
        return "not an MZ image"
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    if pe + 24 + 72 > len(data) or data[pe:pe + 4] != b"PE\0\0":
        return "no PE header"
    optional = pe + 24
    (magic,) = struct.unpack_from("<H", data, optional)
    if magic != PE32_MAGIC:
        return "not a 32-bit image (optional header magic 0x%x)" % magic
    (characteristics,) = struct.unpack_from("<H", data, optional + 70)
    if characteristics & NO_SEH:
        return "carries IMAGE_DLLCHARACTERISTICS_NO_SEH (DllCharacteristics 0x%04x)" % characteristics
    return None


def main(paths):
    if not paths:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    failed = 0
    for path in paths:
        with open(path, "rb") as f:
            found = problem(f.read())
        print("%s: %s" % (path, found or "no NO_SEH flag"))
        failed += found is not None
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
