#!/usr/bin/env bash
# Runs the program's main job: the promotion window of the demo build (campaign
# end in the future, short uptime wait) in a Wine prefix with a simulated
# product install.
#   scripts/run-demo.sh [--campaign FOLDER] [LANGUAGE]   (e.g. DE, NL, RU; default EN)
# --campaign shows another campaign folder (a name under resources/campaigns/
# or a path), built in build/windows-<name>; default: the tree's campaign.
# On $DISPLAY when there is one; otherwise under a private Xvfb, saving a
# screenshot whose path it prints.
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
