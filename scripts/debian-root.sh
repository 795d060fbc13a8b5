#!/usr/bin/env bash
# A command in a Debian root of a given release, on this tree's sources. As
# root. scripts/test-debian13.sh is its use for the second runtime.
#
#   scripts/debian-root.sh --release CODENAME --root DIR [--src DIR]
#                          [--mirror-map FROM=TO]... [--bare] [-- COMMAND...]
#
# The root is made with debootstrap from the machine's own mirror
# configuration when it is missing (a --mirror-map rewrites an address prefix
# of that configuration, for a proxy in front of it), and its packages are
# installed by scripts/install-deps.sh inside it. Every call copies the
# sources (the files git sees, with .git) into the root's /promo/<name>,
# keeping that copy's build/ folder, and runs COMMAND there (default
# `bash scripts/test-all.sh`). The mounts the root needs are made in a mount
# namespace of this script's own, so they vanish with it whatever happens and
# no other mount is ever touched. --bare leaves install-deps.sh out (the root
# as debootstrap made it, with the machine's apt entries), for COMMANDs that
# prove the set-up itself.
#
# Changes: DIR (about 1.5 GB), DIR.lock and DIR.debootstrap.log. A new root
# takes about 10 to 12 minutes (debootstrap, then the packages); a kept one
# a few seconds before COMMAND.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
case "${1:-}" in -h | --help) sed -n '2,/^set -uo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;; esac
release=
root=
src="$here"
maps=()
bare=0
while [ $# -gt 0 ]; do
  case "$1" in
    --release) release=$2; shift 2 ;;
    --root) root=$2; shift 2 ;;
    --mirror-map) maps+=("$2"); shift 2 ;;
    --src) src=$(cd "$2" && pwd); shift 2 ;;
    --bare) bare=1; shift ;;
    --) shift; break ;;
    *) echo "usage: $0 --release CODENAME --root DIR [--src DIR] [--mirror-map FROM=TO]... [--bare] [-- COMMAND...]" >&2; exit 2 ;;
  esac
done
[ -n "$release" ] && [ -n "$root" ] || { echo "$0: --release and --root are needed" >&2; exit 2; }
[ $# -gt 0 ] || set -- bash scripts/test-all.sh
say() { echo "debian-root: $*"; }
die() { echo "debian-root: $*" >&2; exit 1; }
[ "$(id -u)" = 0 ] || die "run as root (debootstrap, chroot and mounts)"
mkdir -p "$root" || die "cannot make $root"
root=$(cd "$root" && pwd)
ready="$root/.promo-root-ready"

# mounts_under DIR: the mount points at or below DIR in this namespace.
mounts_under() { awk -v d="$1" '$5 == d || index($5, d "/") == 1 { print $5 }' /proc/self/mountinfo; }

# remap TEXT: TEXT with each --mirror-map prefix replaced.
remap() {
  local t=$1 m
  for m in "${maps[@]}"; do t=${t//"${m%%=*}"/"${m#*=}"}; done
  printf '%s' "$t"
}

# The apt entries of the root: the system's own Debian entries (the files
# that name this release's codename, pellorin-* aside), with the codename
# replaced by the root's. So the root uses whatever mirror the machine does.
host_codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
write_sources() {
  local f n=0 dest="$1/etc/apt"
  [ -n "$host_codename" ] || return 1
  rm -f "$dest/sources.list" "$dest"/sources.list.d/*
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    case "$f" in */pellorin-*) continue ;; esac
    grep -v '^[[:space:]]*#' "$f" | grep -qw "$host_codename" || continue
    remap "$(sed "s/\b$host_codename\b/$release/g" "$f")" > "$dest/${f#/etc/apt/}"
    n=$((n + 1))
  done
  [ $n -gt 0 ]
}
# The release's main archive, for debootstrap: the first plain URI of an
# entry that names the codename with the main component.
mirror_uri() {
  . "$here/scripts/debian-entry.sh"
  remap "$(debian_entry | head -n 1 | cut -f1 | awk '{ print $1 }')"
}

# in_root CMD...: runs CMD in the root with /proc, /sys, /dev, /dev/pts and
# /dev/shm mounted, in a private mount namespace.
in_root() {
  unshare --mount --propagation private -- bash -c '
    r=$1; shift
    mount -t proc proc "$r/proc" && mount -t sysfs sysfs "$r/sys" &&
    mount --bind /dev "$r/dev" && mount --bind /dev/pts "$r/dev/pts" &&
    mount -t tmpfs -o mode=1777 shm "$r/dev/shm" || exit 1
    cp -L /etc/resolv.conf "$r/etc/resolv.conf" 2>/dev/null
    trap "umount \"$r/dev/shm\" \"$r/dev/pts\" \"$r/dev\" \"$r/sys\" \"$r/proc\" 2>/dev/null" EXIT
    chroot "$r" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" LANG=C.UTF-8 CI="${CI:-}" \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
  ' in_root "$root" "$@"
}

# copy_sources: the tree as git sees it (tracked and new, not ignored) and its
# .git, into /promo/<name> of the root; what the copy had besides build/ goes.
name="$(basename "$src")-$(printf '%s' "$src" | sha256sum | cut -c1-8)"
copy="$root/promo/$name"
copy_sources() {
  mkdir -p "$copy" || return 1
  find "$copy" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} + || return 1
  (cd "$src" && { git ls-files -z -co --exclude-standard; find .git -print0; } |
     tar --null --no-recursion -T - -cf -) | tar -C "$copy" -xf - || return 1
  chown -R 0:0 "$copy"
}

start=$(date +%s)
exec 9>"$root.lock"
flock 9
if [ $bare -eq 1 ]; then
  [ ! -f "$ready" ] || die "--bare needs a root that install-deps.sh has not set up"
  if [ ! -x "$root/usr/bin/apt-get" ]; then
    [ -z "$(mounts_under "$root")" ] || die "something is mounted under $root; unmount it first"
    uri=$(mirror_uri) && [ -n "$uri" ] || die "no Debian entry in the system's apt configuration"
    say "making a bare $release root in $root with debootstrap (the system's Debian mirror)"
    debootstrap --variant=minbase --include=ca-certificates,git,python3 "$release" "$root" "$uri" \
      >"$root.debootstrap.log" 2>&1 || die "debootstrap failed; see $root.debootstrap.log"
    write_sources "$root" || die "found no apt entry naming '$host_codename' to copy into the root"
  fi
  copy_sources || die "cannot copy the sources into $copy"
elif [ ! -f "$ready" ]; then
  [ -z "$(mounts_under "$root")" ] || die "something is mounted under $root; unmount it first"
  if [ ! -x "$root/usr/bin/apt-get" ]; then
    uri=$(mirror_uri) || die "no Debian entry in the system's apt configuration"
    [ -n "$uri" ] || die "no Debian entry in the system's apt configuration"
    command -v debootstrap >/dev/null || die "debootstrap is missing (scripts/install-deps.sh installs it)"
    say "making a $release root in $root with debootstrap (the system's Debian mirror)"
    find "$root" -mindepth 1 -maxdepth 1 -exec rm -rf {} +
    debootstrap --variant=minbase --include=ca-certificates,git,python3 "$release" "$root" "$uri" \
      >"$root.debootstrap.log" 2>&1 || die "debootstrap failed; see $root.debootstrap.log"
  fi
  write_sources "$root" || die "found no apt entry naming '$host_codename' to copy into the root"
  copy_sources || die "cannot copy the sources into $copy"
  say "installing the root's packages (scripts/install-deps.sh inside it)"
  in_root bash -c "cd /promo/$name && bash scripts/install-deps.sh" || die "install-deps.sh failed inside the root"
  touch "$ready"
  say "root ready after $(( $(date +%s) - start )) s"
else
  # A kept root: what this tree's set-up adds since is installed too (a
  # second of dpkg queries when nothing is missing).
  copy_sources || die "cannot copy the sources into $copy"
  in_root bash -c "cd /promo/$name && bash scripts/install-deps.sh" || die "install-deps.sh failed inside the root"
fi
flock -u 9

say "running '$*' in $copy (Debian $(chroot "$root" sh -c '. /etc/os-release; echo $VERSION' 2>/dev/null))"
in_root bash -c 'cd "$1" && shift && exec "$@"' run "/promo/$name" "$@"
rc=$?
say "ended with $rc after $(( $(date +%s) - start )) s"
exit $rc
