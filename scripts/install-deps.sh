#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12 or 13 (or a later
# release), as root. Idempotent: with everything present apt is not touched.
# Package names are the ones every release since 12 has; the release itself
# is read from the system (its codename), never written here.
#
# What it changes on the machine, only where something is missing:
#   - dpkg: the i386 architecture (for 32-bit Wine);
#   - apt: /etc/apt/sources.list.d/pellorin-backports.sources (the release's
#     backports) and pellorin-src.sources (deb-src of the release and its
#     -updates and -security suites, for libpng's source), each copied from
#     the system's own Debian entry;
#   - Debian packages (the toolchain, Wine, Xvfb and the test tools; about
#     2.5 GB installed);
#   - where the kernel runs no 32-bit program: qemu-user-static, registered
#     with binfmt_misc as the handler of i386 programs.
# Takes about 1 to 2 minutes on a machine that lacks everything, a second
# when everything is present; behind a mirror in mid-sync up to about three
# minutes more (scripts/apt-install.sh).
set -euo pipefail
case "${1:-}" in -h | --help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;; esac

need_pkgs=(
  cmake ninja-build dpkg-dev patch file
  g++-mingw-w64-i686-posix libz-mingw-w64-dev
  libpng-dev zlib1g-dev googletest libgtest-dev libbenchmark-dev libinih-dev
  clang libclang-rt-dev
  wine wine32:i386 wine64 xvfb xauth xdotool imagemagick x11-utils fonts-wine fonts-dejavu-core strace time
  tesseract-ocr tesseract-ocr-eng
  openssl
  python3 git debootstrap
)
say() { echo "install-deps: $*"; }

# Can this kernel start a 32-bit x86 program, itself or through a registered
# emulator? A 93-byte static ELF that only calls exit(0) answers it before
# anything 32-bit is installed.
runs_i386() {
  local t
  t=$(mktemp /tmp/promo-i386.XXXXXX) || return 1
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\061\333\315\200' > "$t"
  chmod 700 "$t"
  local rc=0
  "$t" 2>/dev/null || rc=1
  rm -f "$t"
  return $rc
}

# The emulator for kernels that run without 32-bit support (ia32_emulation
# off): an amd64 build of qemu-i386, registered with binfmt_misc. qemu 7.2
# makes Wine's address-space reservation take ~50 s per process, qemu 10
# ~0.3 s, so the newest of the release and its backports is taken.
qemu_bin() {
  local b
  for b in /usr/bin/qemu-i386-static /usr/bin/qemu-i386; do
    [ -x "$b" ] && file -L "$b" | grep -q 'x86-64' && { echo "$b"; return 0; }
  done
  return 1
}
qemu_good() {
  local b v
  b=$(qemu_bin) || return 1
  v=$("$b" --version 2>/dev/null | sed -n 's/.*version \([0-9]*\).*/\1/p' | head -n 1)
  [ -n "$v" ] && [ "$v" -ge 8 ]
}
register_i386() {
  runs_i386 && return 0
  local bm=/proc/sys/fs/binfmt_misc b
  b=$(qemu_bin) || { echo "install-deps: this kernel runs no 32-bit programs and no qemu-i386 is installed" >&2; return 1; }
  [ -f $bm/register ] || mount -t binfmt_misc binfmt_misc $bm
  [ -f $bm/qemu-i386 ] && echo -1 > $bm/qemu-i386
  printf '%s' ":qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$b:F" > $bm/register
  runs_i386 || { echo "install-deps: 32-bit programs cannot start, not even through $b" >&2; return 1; }
  say "32-bit programs run through $b (binfmt_misc): this kernel runs none itself"
}

missing=()
need_src=0
for p in "${need_pkgs[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed' || missing+=("$p")
done

. "$(dirname "$0")/debian-entry.sh"
entry=$(debian_entry | head -n 1)
if [ -z "$entry" ]; then
  echo "install-deps: no Debian entry (a 'deb' entry for the release's main component) in /etc/apt/sources.list or /etc/apt/sources.list.d; add the system's Debian entry first" >&2
  exit 1
fi
IFS=$'\t' read -r deb_uris deb_suite deb_signed <<<"$entry"
signed_line=""
[ -n "$deb_signed" ] && signed_line="Signed-By: $deb_signed"

# write_entry FILE TYPE SUITE: (re)writes FILE when its text differs.
write_entry() {
  local text
  text=$(printf 'Types: %s\nURIs: %s\nSuites: %s\nComponents: main\n%s\n' "$2" "$deb_uris" "$3" "$signed_line")
  if [ ! -f "$1" ] || [ "$(cat "$1")" != "$text" ]; then
    printf '%s\n' "$text" > "$1"
    need_src=1
  fi
}

# Backports of the system's own release: a newer qemu where the release's is
# slow (see qemu_good). Written whatever the kernel, so that the entries do
# not change between machines of one kind.
write_entry /etc/apt/sources.list.d/pellorin-backports.sources deb "$deb_suite-backports"
need_qemu=0
if ! runs_i386 && ! qemu_good; then need_qemu=1; fi
# osslsigncode 2.9 or later (Debian 12's 2.5 cannot verify against a given
# authority the way scripts/sign.sh checks), from backports where it is newer.
need_sign=0
v=$(dpkg-query -W -f='${Version}' osslsigncode 2>/dev/null || true)
if [ -z "$v" ] || ! dpkg --compare-versions "$v" ge 2.9; then need_sign=1; fi

# Debian's source list for libpng1.6 (cross-built for Windows from its patched
# source): the release and its -updates and -security suites, each from the
# system's own entry for it, so that the index lists every version the
# mirrors have (the build takes the newest whose files can be fetched).
src_text=$(debian_entry all | awk -F '\t' -v c="$deb_suite" '
  $2 == c || $2 == c "-updates" || $2 == c "-security" {
    printf "%sTypes: deb-src\nURIs: %s\nSuites: %s\nComponents: main\n", sep, $1, $2
    if ($3 != "") printf "Signed-By: %s\n", $3
    sep = "\n"
  }')
src_file=/etc/apt/sources.list.d/pellorin-src.sources
if [ ! -f "$src_file" ] || [ "$(cat "$src_file")" != "$src_text" ]; then
  printf '%s\n' "$src_text" > "$src_file"
  need_src=1
fi

if [ ${#missing[@]} -eq 0 ] && [ $need_src -eq 0 ] && [ $need_qemu -eq 0 ] && [ $need_sign -eq 0 ]; then
  say "packages present"
  register_i386
  exit 0
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
# The update and the installs (scripts/apt-install.sh): an index that fails
# is fetched again for a few minutes, as a mirror's sync ends; where the
# i386 twins still cannot be matched, it stops with one line saying so.
state=$(mktemp /tmp/promo-apt-state.XXXXXX)
trap 'rm -f "$state"' EXIT
apt_install() {
  local opts=()
  while [ "$1" != "--" ]; do opts+=("$1"); shift; done
  shift
  bash "$(dirname "$0")/apt-install.sh" --release "$deb_suite" --state "$state" "${opts[@]}" -- "$@"
}
bash "$(dirname "$0")/apt-install.sh" --release "$deb_suite" --update --state "$state" || exit 1

if [ ${#missing[@]} -gt 0 ]; then
  say "installing ${missing[*]}"
  apt_install -- "${missing[@]}" || exit 1
fi
if [ $need_qemu -eq 1 ]; then
  arch=$(dpkg --print-architecture)
  if apt-cache policy 2>/dev/null | grep -q "a=$deb_suite-backports\|n=$deb_suite-backports"; then
    say "installing qemu-user-static:$arch from $deb_suite-backports where it is newer: this kernel runs no 32-bit programs itself"
    apt_install -t "$deb_suite-backports" -- "qemu-user-static:$arch" || exit 1
  else
    say "installing qemu-user-static:$arch from $deb_suite: this kernel runs no 32-bit programs itself"
    apt_install -- "qemu-user-static:$arch" || exit 1
  fi
fi
if [ $need_sign -eq 1 ]; then
  if apt-cache policy 2>/dev/null | grep -q "a=$deb_suite-backports\|n=$deb_suite-backports"; then
    say "installing osslsigncode from $deb_suite-backports where it is newer: the signing checks need 2.9 or later"
    apt_install -t "$deb_suite-backports" -- osslsigncode || exit 1
  else
    say "installing osslsigncode from $deb_suite"
    apt_install -- osslsigncode || exit 1
  fi
fi
register_i386
say "done"
