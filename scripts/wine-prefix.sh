#!/usr/bin/env bash
# Creates a Wine prefix for tests and demos, once: wine-prefix.sh PREFIX
# Windows 10 version, Wine's own Tahoma installed as the system font, no
# Mono/Gecko prompts. Safe to call concurrently; later calls return at once.
set -eu
prefix=$1
[ -f "$prefix/.promo-ready" ] && exit 0
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.promo-ready" ] && exit 0
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
