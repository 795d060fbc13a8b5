#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, as root. Idempotent:
# packages already present are left alone and apt is not touched at all then.
set -euo pipefail

need_pkgs=(
  cmake ninja-build dpkg-dev patch file
  g++-mingw-w64-i686-posix libz-mingw-w64-dev
  libpng-dev zlib1g-dev googletest libgtest-dev libbenchmark-dev libinih-dev
  clang libclang-rt-14-dev
  wine wine32:i386 wine64 xvfb xauth xdotool imagemagick x11-utils fonts-wine fonts-dejavu-core strace
  osslsigncode openssl
  python3
)

# Some kernels run without 32-bit emulation (ia32_emulation=off), so the
# 32-bit Wine loader cannot start. Then it runs through qemu-user, registered
# with binfmt_misc. qemu 7.2 (bookworm) makes Wine's address-space
# reservation take ~50 s per process; qemu 10 (bookworm-backports) ~0.3 s.
register_i386() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then return 0; fi
  local bm=/proc/sys/fs/binfmt_misc
  [ -f $bm/register ] || mount -t binfmt_misc binfmt_misc $bm
  [ -f $bm/qemu-i386 ] && echo -1 > $bm/qemu-i386
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' > $bm/register
  /usr/lib/wine/wine --version >/dev/null 2>&1 || { echo "install-deps: 32-bit Wine cannot start" >&2; return 1; }
  echo "install-deps: 32-bit programs run through qemu-i386 (binfmt_misc)"
}

missing=()
need_src=0
for p in "${need_pkgs[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed' || missing+=("$p")
done

# The system's own Debian entry: its URIs, keyring and suite base (the
# codename). The backports and deb-src entries below copy them, so this
# script works behind whatever mirror the machine is configured with and
# names no package host itself. Both the deb822 (*.sources) and the one-line
# (sources.list) formats are read; the first enabled binary entry with a
# plain codename suite and the "main" component wins.
debian_entry() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    case "$f" in */pellorin-*) continue ;; esac
    awk '
      function flush() {
        if (types ~ /(^| )deb( |$)/ && comps ~ /(^| )main( |$)/ && enabled !~ /^[Nn]o/ && !done) {
          n = split(suites, s, " ")
          for (i = 1; i <= n; i++) if (s[i] ~ /^[a-z]+$/) {
            printf "%s\t%s\t%s\n", uris, s[i], signed; done = 1; break
          }
        }
        types = uris = suites = comps = signed = enabled = ""
      }
      /^[ \t]*#/ { next }
      /^[ \t]*$/ { flush(); next }
      { key = $1; sub(/:$/, "", key); $1 = ""; sub(/^ +/, ""); val = $0 }
      tolower(key) == "types" { types = val }
      tolower(key) == "uris" { uris = val }
      tolower(key) == "suites" { suites = val }
      tolower(key) == "components" { comps = val }
      tolower(key) == "signed-by" { signed = val }
      tolower(key) == "enabled" { enabled = val }
      END { flush() }' "$f"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk '
      /^[ \t]*deb[ \t]/ {
        signed = ""; i = 2
        if ($2 ~ /^\[/) {
          opts = ""
          while (i <= NF) { opts = opts " " $i; if ($i ~ /\]$/) { i++; break } i++ }
          if (match(opts, /signed-by=[^] ]+/)) signed = substr(opts, RSTART + 10, RLENGTH - 10)
        }
        uri = $i; suite = $(i + 1); comps = ""
        for (j = i + 2; j <= NF; j++) comps = comps " " $j
        if (suite ~ /^[a-z]+$/ && comps ~ / main( |$)/) { printf "%s\t%s\t%s\n", uri, suite, signed; exit }
      }' "$f"
  done
}

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

# Backports: qemu-user-static 10 (see below).
write_entry /etc/apt/sources.list.d/pellorin-backports.sources deb "$deb_suite-backports"
if ! dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null | grep -q bpo; then
  need_qemu=1
else
  need_qemu=0
fi

# Debian's source list for libpng1.6 (cross-built for Windows from its patched
# source). Only the release itself: the security suite's source files 404.
write_entry /etc/apt/sources.list.d/pellorin-src.sources deb-src "$deb_suite"

if [ ${#missing[@]} -eq 0 ] && [ $need_src -eq 0 ] && [ $need_qemu -eq 0 ]; then
  echo "install-deps: packages present"
  register_i386
  exit 0
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if [ $need_qemu -eq 1 ]; then
  echo "install-deps: installing qemu-user-static from bookworm-backports"
  apt-get install -y -qq --no-install-recommends -t bookworm-backports qemu-user-static >/dev/null
fi
register_i386
echo "install-deps: done"
