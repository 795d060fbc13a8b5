#!/usr/bin/env bash
# Builds the shipping programs twice from this tree's files, in two folders
# whose paths differ in length, at different times, with a different time
# zone, locale and umask, without a compiler cache (a cache would hide a
# compiler that is not deterministic), and compares the SHA-256 of every
# shipped file. Also checks that no build folder is named inside them and
# that their PE headers carry no link time.
#
#   scripts/check-reproducible.sh [--keep DIR] [-DNAME=VALUE ...]
#       -D options go to both configures (the build settings of a release);
#       --keep DIR moves the first build folder to DIR when all is well.
#   scripts/check-reproducible.sh --against DIR
#       builds once, in another folder at another time, and compares with
#       DIR, a finished build of this tree with the default settings (the
#       test command passes build/windows): one build instead of two.
#   scripts/check-reproducible.sh --compare DIR_A DIR_B
#       only compares the shipped files of two build folders.
#
# Changes nothing outside a temporary folder (and DIR of --keep). Takes
# about a minute a build on a 2-core machine.
#
# Exit code 0: identical; 1: a file differs, is missing or carries a build
# path or a link time (each named); 2: a build failed or bad arguments.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
case "${1:-}" in -h | --help) sed -n '2,/^set -uo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;; esac
SHIPPED=(PellorinPromo.exe PromoCheck.exe Focus.dll)
TARGETS=(PellorinPromo PromoCheck FocusHook)

# The PE header's TimeDateStamp of a file, or "not-pe".
pe_stamp() {
  python3 - "$1" <<'EOF'
import struct, sys
d = open(sys.argv[1], "rb").read(4096)
try:
    pe = struct.unpack_from("<I", d, 0x3C)[0]
    ok = d[:2] == b"MZ" and d[pe:pe + 4] == b"PE\0\0"
    print(struct.unpack_from("<I", d, pe + 8)[0] if ok else "not-pe")
except struct.error:
    print("not-pe")
EOF
}

# compare DIR_A DIR_B: one line per shipped file; 1 when any is not the same.
compare() {
  local bad=0 f a b
  for f in "${SHIPPED[@]}"; do
    if [ ! -f "$1/$f" ] || [ ! -f "$2/$f" ]; then
      echo "MISSING  $f (in $([ -f "$1/$f" ] && echo "$2" || echo "$1"))"
      bad=1
      continue
    fi
    a=$(sha256sum <"$1/$f" | cut -d' ' -f1)
    b=$(sha256sum <"$2/$f" | cut -d' ' -f1)
    if [ "$a" != "$b" ]; then
      echo "DIFFERS  $f: $a ($1) vs $b ($2)"
      bad=1
      continue
    fi
    local stamp
    stamp=$(pe_stamp "$1/$f")
    if [ "$stamp" != 0 ]; then
      echo "STAMPED  $f: PE Time/Date is $stamp, not 0"
      bad=1
      continue
    fi
    echo "same     $a  $f ($(stat -c %s "$1/$f") bytes)"
  done
  return $bad
}

if [ "${1:-}" = "--compare" ]; then
  [ $# -eq 3 ] || { echo "usage: $0 --compare DIR_A DIR_B" >&2; exit 2; }
  compare "$2" "$3"
  exit $?
fi

keep=""
against=""
if [ "${1:-}" = "--against" ]; then
  [ $# -eq 2 ] && [ -d "$2" ] || { echo "usage: $0 --against BUILD_DIR" >&2; exit 2; }
  against=$(cd "$2" && pwd)
  shift 2
fi
if [ "${1:-}" = "--keep" ]; then
  [ $# -ge 2 ] || { echo "usage: $0 [--keep DIR] [-DNAME=VALUE ...]" >&2; exit 2; }
  keep="$2"
  shift 2
  [ ! -e "$keep" ] || { echo "check-reproducible: $keep exists already" >&2; exit 2; }
fi
for arg in "$@"; do
  case "$arg" in -D*) ;; *) echo "check-reproducible: only -D options are passed on, not '$arg'" >&2; exit 2 ;; esac
done

# No compiler cache in any form.
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
export CCACHE_DISABLE=1
PATH=$(printf '%s' "$PATH" | tr ':' '\n' | grep -v ccache | paste -sd: -)

work=$(mktemp -d "${TMPDIR:-/tmp}/promo-repro.XXXXXX")
trap 'rm -rf "$work"' EXIT
started=$(date +%s)

# This tree's files as git sees them (tracked and new, not ignored), so that
# neither a build folder nor anything else lying around takes part.
copy_sources() {
  mkdir -p "$1"
  if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    (cd "$root" && git ls-files -z -co --exclude-standard |
      while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
      tar --null -T - -cf -) | tar -xf - -C "$1"
  else
    (cd "$root" && tar --exclude=./build --exclude=./dist -cf - .) | tar -xf - -C "$1"
  fi
  # The libpng source, when this tree has fetched it: saves a download; the
  # build checks it against its .dsc all the same.
  local dl="$root/build/windows/_deps-cache/download"
  if compgen -G "$dl/libpng1.6_*.dsc" >/dev/null; then
    mkdir -p "$1/build/windows/_deps-cache/download"
    cp "$dl"/libpng1.6_* "$1/build/windows/_deps-cache/download/"
  fi
}

# build NAME: configures and builds the shipped targets in $work/NAME/src.
build() {
  local src="$work/$1/src" log="$work/$1.log"
  copy_sources "$src"
  echo "check-reproducible: building in $src"
  if ! (cd "$src" && cmake --preset windows "${configure_args[@]}" &&
        cmake --build build/windows --target "${TARGETS[@]}") >"$log" 2>&1; then
    echo "check-reproducible: the build in $src failed:" >&2
    tail -n 30 "$log" >&2
    return 1
  fi
}

configure_args=("$@")
if [ -n "$against" ]; then
  first="$against"
  firstroot="$root"
else
  build a || exit 2
  first="$work/a/src/build/windows"
  firstroot="$work"
  sleep 1
fi
# The other build: another path length, another time (at least a second
# later), time zone, locale and umask.
(TZ=Pacific/Kiritimati LC_ALL=C.UTF-8 LANG=C.UTF-8 && export TZ LC_ALL LANG && umask 0027 &&
  build bb-longer-folder-name) || exit 2
second="$work/bb-longer-folder-name/src/build/windows"

rc=0
compare "$first" "$second" || rc=1
for f in "${SHIPPED[@]}"; do
  for pair in "$first|$firstroot" "$second|$work"; do
    p="${pair%%|*}/$f"
    [ -f "$p" ] || continue
    leak=$(strings -a "$p" | grep -F "${pair#*|}" | head -n 1)
    if [ -n "$leak" ]; then
      echo "BUILDPATH $f names its build folder: $leak"
      rc=1
    fi
  done
done
echo "check-reproducible: $(($(date +%s) - started)) s"
if [ $rc -eq 0 ]; then
  echo "check-reproducible: identical in both folders"
  if [ -n "$keep" ] && [ -z "$against" ]; then
    mv "$work/a/src/build/windows" "$keep"
  fi
else
  echo "check-reproducible: NOT reproducible" >&2
fi
exit $rc
