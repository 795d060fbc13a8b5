#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, as root. Idempotent:
# packages already present are left alone and apt is not touched at all then.
set -euo pipefail

need_pkgs=(
  cmake ninja-build dpkg-dev patch file
  g++-mingw-w64-i686-posix libz-mingw-w64-dev
  libpng-dev zlib1g-dev googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  wine wine32:i386 wine64 xvfb xauth xdotool imagemagick x11-utils fonts-wine fonts-dejavu-core
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

# Backports: qemu-user-static 10 (see below).
bpo_list=/etc/apt/sources.list.d/pellorin-backports.sources
if [ ! -f "$bpo_list" ]; then
  cat > "$bpo_list" <<'SRC'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_src=1
fi
if ! dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null | grep -q bpo; then
  need_qemu=1
else
  need_qemu=0
fi

# Debian's source list for libpng1.6 (cross-built for Windows from its patched source).
src_list=/etc/apt/sources.list.d/pellorin-src.sources
if [ ! -f "$src_list" ]; then
  cat > "$src_list" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_src=1
fi

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
