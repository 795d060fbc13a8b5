#!/usr/bin/env bash
# Creates a Wine prefix for tests and demos, once: wine-prefix.sh PREFIX [FROM]
# Windows 10 version, Wine's own Tahoma installed as the system font, no
# Mono/Gecko prompts. With FROM, a prefix this script made and nothing ran in
# since, PREFIX is a full copy of it: a few seconds instead of a wineboot
# (20 s and more where 32-bit code runs under an emulator). Safe to call
# concurrently; later calls return at once.
# Changes only PREFIX (about 1.3 GB; a copy shares nothing with FROM) and
# PREFIX.lock. About 15 s for a wineboot on a 2-core machine.
set -eu
case "${1:-}" in -h | --help) sed -n '2,/^set -/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;; esac
prefix=$1 from=${2:-}
[ -f "$prefix/.promo-ready" ] && exit 0
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.promo-ready" ] && exit 0
if [ -n "$from" ] && [ -f "$from/.promo-ready" ]; then
  rm -rf "$prefix" "$prefix.copy"
  cp -a "$from" "$prefix.copy"
  rm -f "$prefix.copy/.promo-ready"
  mv "$prefix.copy" "$prefix"
  touch "$prefix/.promo-ready"
  exit 0
fi
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
wineboot -i >/dev/null 2>&1
wine winecfg /v win10 >/dev/null 2>&1
fonts=/usr/share/wine/fonts
for f in tahoma.ttf tahomabd.ttf marlett.ttf; do
  [ -f "$fonts/$f" ] && cp "$fonts/$f" "$prefix/drive_c/windows/Fonts/"
done
wineserver -w
touch "$prefix/.promo-ready"
