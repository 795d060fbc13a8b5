#!/usr/bin/env bash
# The second runtime: the test command with --second-runtime (GCC 14's
# build, the host layer, the windows and e2e layers under Wine 10) inside a
# Debian 13 root, on this tree's sources. As root.
#
#   scripts/test-debian13.sh [--prepare] [--root DIR] [--src DIR] [-- COMMAND...]
#
# --prepare only makes the root (or brings a kept one up to date) and copies
# the sources, so that it can run beside other work.
#
# The root is kept between runs in /var/cache/pellorin-promo/debian13 (or
# PROMO_DEBIAN13_ROOT, or --root), so a machine makes it once: debootstrap
# from the machine's own mirror configuration, then scripts/install-deps.sh
# inside it, about 10 to 12 minutes; see scripts/debian-root.sh. The tests
# then take about as long as the native ones.
here=$(cd "$(dirname "$0")/.." && pwd)
root=${PROMO_DEBIAN13_ROOT:-/var/cache/pellorin-promo/debian13}
args=()
command=(bash scripts/test-all.sh --second-runtime)
while [ $# -gt 0 ]; do
  case "$1" in
    -h | --help) sed -n '2,/^here=/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    --prepare) command=(true); shift ;;
    --root) root=$2; shift 2 ;;
    --src) args+=(--src "$2"); shift 2 ;;
    --) shift; command=("$@"); break ;;
    *) echo "usage: $0 [--prepare] [--root DIR] [--src DIR] [-- COMMAND...]" >&2; exit 2 ;;
  esac
done
mkdir -p "$(dirname "$root")" || exit 1
exec bash "$here/scripts/debian-root.sh" --release trixie --root "$root" "${args[@]}" -- "${command[@]}"
