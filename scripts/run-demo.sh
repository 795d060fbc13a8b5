#!/usr/bin/env bash
# Runs the program's main job: the promotion window of the demo build (campaign
# end in the future, short uptime wait) in a Wine prefix with a simulated
# product install.
#
#   scripts/run-demo.sh [--campaign FOLDER] [LANGUAGE]   (e.g. DE, NL, RU; default EN)
#   scripts/run-demo.sh -h|--help                         (this text)
#
# --campaign shows another campaign folder (a name under resources/campaigns/
# or a path), built in build/windows-<name>; default: the tree's campaign.
# On $DISPLAY when there is one; otherwise under a private Xvfb, saving a
# screenshot whose path it prints.
#
# On the machine, as root: scripts/install-deps.sh (apt entries
# /etc/apt/sources.list.d/pellorin-backports.sources and pellorin-src.sources,
# the i386 architecture in dpkg, the packages that are missing, and where the
# kernel runs no 32-bit code qemu-user-static with a binfmt_misc handler).
# In the tree, under <build> (build/windows or build/windows-<name>): the
# configured build and the demo program, the Wine prefixes e2e/template-prefix
# and e2e/case-demo (removed after a screenshot, kept after a run on
# $DISPLAY), demo-state/ and the screenshot demo-<language>.png.
#
# Time, 2-core machine: about 3 minutes from a fresh clone, most of it the
# build, and 12 s once built (2026-12-10: 2 min 53 s and 11.5 s, Debian 12,
# 32-bit code run natively, load 7 to 10).
if [ "${1:-}" = -h ] || [ "${1:-}" = --help ]; then
  awk 'NR == 1 && /^#!/ { next } /^#/ { sub(/^# ?/, ""); print; next } { exit }' "$0"
  exit 0
fi
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
campaign=
if [ "${1:-}" = --campaign ]; then
  [ $# -ge 2 ] || { echo "usage: $0 [--campaign FOLDER] [LANGUAGE]" >&2; exit 2; }
  campaign=$2
  shift 2
fi
. scripts/campaign-tree.sh
tree=$(campaign_tree "$root" "$campaign")
bash scripts/install-deps.sh || exit 1
campaign_configure "$root" "$tree" "$campaign" || exit 1
if [ ! -f "$tree/demo/PellorinPromo.exe" ]; then
  cmake --build "$tree" --target PellorinPromoDemo FocusHook || exit 1
else
  cmake --build "$tree" --target PellorinPromoDemo FocusHook >/dev/null || exit 1
fi
PROMO_BUILD_DIR=$tree exec python3 scripts/demo.py "${1:-EN}"
