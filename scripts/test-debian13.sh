#!/usr/bin/env bash
# The second runtime: the README's test command inside a Debian 13 root (GCC 14
# mingw, Wine 10) kept in build/debian13, on this tree's sources. As root.
#
#   scripts/test-debian13.sh [--root DIR] [--src DIR] [-- COMMAND...]
#
# The root is made with debootstrap from the machine's own mirror
# configuration when it is missing; see scripts/debian-root.sh.
here=$(cd "$(dirname "$0")/.." && pwd)
exec bash "$here/scripts/debian-root.sh" --release trixie --root "$here/build/debian13" "$@"
