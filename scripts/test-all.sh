#!/usr/bin/env bash
# Installs what is missing, builds both presets, checks that the shipped files
# build byte-identical in two other folders, and runs the three test layers
# (host, windows under Wine, e2e under Wine + Xvfb, including signed copies of
# the shipped files), ending with CTest's summary.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh || exit 1
set -e
cmake --preset host >/dev/null
cmake --build --preset host
cmake --preset windows >/dev/null
cmake --build --preset windows
set +e
rc=0
echo "== reproducible build: the shipped files built twice in two folders =="
bash scripts/check-reproducible.sh || rc=1
echo "== host layer =="
ctest --preset host -j2 || rc=1
echo "== windows and e2e layers =="
ctest --preset windows || rc=1
exit $rc
