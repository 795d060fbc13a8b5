#!/usr/bin/env bash
# Runs the program's main job: the promotion window of the demo build (campaign
# end in the future, short uptime wait) in a Wine prefix with a simulated
# product install. Usage: scripts/run-demo.sh [LANGUAGE]   (e.g. DE, NL, RU; default EN)
# On $DISPLAY when there is one; otherwise under a private Xvfb, saving a
# screenshot whose path it prints.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh || exit 1
if [ ! -f build/windows/demo/PellorinPromo.exe ]; then
  cmake --preset windows >/dev/null && cmake --build --preset windows --target PellorinPromoDemo FocusHook || exit 1
else
  cmake --build --preset windows --target PellorinPromoDemo FocusHook >/dev/null || exit 1
fi
exec python3 scripts/demo.py "${1:-EN}"
