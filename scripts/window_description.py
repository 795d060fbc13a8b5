#!/usr/bin/env python3
"""Build step of a window description: puts every picture the description
names (picture('file.png')) into the stream form the program reads (the
class name "TPngImage" as a length-prefixed string, then the PNG file), and
writes a resource script embedding the description and those pictures, each
in every set: the design picture and the one drawn for each larger scale
(file@125.png, ...: scripts/make-pictures.sh).

usage: window_description.py [--design-set-only] DESCRIPTION PICTURE_DIR OUT_DIR RESOURCE_NAME RC_FILE
       window_description.py -h|--help      (this text)
--design-set-only embeds the design pictures alone (test forms whose
pictures come in one size; the program then draws them at any scale).
A picture (of any set) that is missing or not a PNG file fails the build.

The build runs it (cmake/WindowDescription.cmake). It writes one .pic file
per picture into OUT_DIR and RC_FILE, each only when its bytes change (so an
unchanged description rebuilds nothing), and nothing else.
Time: 0.4 s for the shared description (2-core machine, 2026-12-10)."""
import hashlib
import os
import re
import sys

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
# The larger sets; must match kPictureSetPercents in ui/PictureSets.h.
SET_PERCENTS = (125, 150, 200, 300)


def resource_name(file_name):
    # Must match PictureResourceName() in ui/FormReader.cpp.
    return "".join(c if c.isascii() and c.isalnum() else "_" for c in file_name.upper())


def set_file(file_name, percent):
    # Must match PictureSetFile() in ui/PictureSets.cpp.
    stem, dot, ext = file_name.rpartition(".")
    if not dot or not stem or "/" in ext or "\\" in ext or stem.endswith(("/", "\\")):
        return "%s@%d" % (file_name, percent)
    return "%s@%d.%s" % (stem, percent, ext)


def picture_files(file_name):
    """The design picture and its set pictures, in the order embedded."""
    return [file_name] + [set_file(file_name, p) for p in SET_PERCENTS]


def rc_path(path):
    return path.replace("\\", "/").replace('"', '""')


def main(argv):
    if len(argv) == 2 and argv[1] in ("-h", "--help"):
        print(__doc__)
        return
    design_only = len(argv) > 1 and argv[1] == "--design-set-only"
    if design_only:
        argv = argv[:1] + argv[2:]
    if len(argv) != 6:
        sys.exit(__doc__)
    desc, picture_dir, out_dir, res_name, rc_file = argv[1:]
    with open(desc, encoding="utf-8") as f:
        text = f.read()
    # Strings inside comments are ignored.
    text_no_comments = re.sub(r"//[^\n]*", "", text)
    files = sorted(set(re.findall(r"picture\s*\(\s*'([^']+)'\s*\)", text_no_comments)))
    os.makedirs(out_dir, exist_ok=True)
    digest = hashlib.sha256()
    lines = [
        "// Generated from %s; do not edit." % os.path.basename(desc),
        '%s RCDATA "%s"' % (res_name, rc_path(os.path.abspath(desc))),
    ]
    names = {}
    for design in files:
        for name in [design] if design_only else picture_files(design):
            src = os.path.join(picture_dir, name)
            try:
                with open(src, "rb") as f:
                    data = f.read()
            except OSError as e:
                hint = "" if name == design else " (scripts/make-pictures.sh draws every set)"
                sys.exit("%s: picture '%s' named in the description: %s%s" % (desc, name, e, hint))
            if not data.startswith(PNG_SIGNATURE):
                sys.exit("%s: picture '%s' is not a PNG file" % (desc, name))
            rname = resource_name(name)
            if rname[0].isdigit():
                sys.exit("%s: picture '%s' gives the resource name %s, which begins with a digit" % (desc, name, rname))
            if rname in names:
                sys.exit("%s: pictures '%s' and '%s' share the resource name %s" % (desc, names[rname], name, rname))
            names[rname] = name
            out = os.path.join(out_dir, rname + ".pic")
            stream = bytes([len("TPngImage")]) + b"TPngImage" + data
            digest.update(rname.encode() + b"\0" + stream)
            if not os.path.exists(out) or open(out, "rb").read() != stream:
                with open(out, "wb") as f:
                    f.write(stream)
            lines.append('%s RCDATA "%s"' % (rname, rc_path(os.path.abspath(out))))
    # The resource compiler does not see the pictures change (only this
    # script is known to read them): a digest of them in the script does.
    lines.insert(1, "// Pictures: sha256 %s" % digest.hexdigest())
    content = "\n".join(lines) + "\n"
    if not os.path.exists(rc_file) or open(rc_file).read() != content:
        with open(rc_file, "w") as f:
            f.write(content)


if __name__ == "__main__":
    main(sys.argv)
