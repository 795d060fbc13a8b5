#!/usr/bin/env bash
# The proof sheet of the promotion window for the product team: renders the
# window in all eleven languages with the program's own code, pictures and
# fonts under Wine, one PNG per language, plus one overview image labelled by
# language, and lists every label cut with an ellipsis (and each control's
# bounds) in OUTDIR/proof.txt. Then the window on scaled displays: Russian
# (the longest texts) at 150 % and German at 200 %, outside the overview.
#
#   scripts/proof-sheet.sh [--campaign FOLDER] [OUTDIR]   (default: <build>/proof)
#   scripts/proof-sheet.sh -h|--help                       (this text)
#
# The sheet is of the build tree's campaign, named on its first line and in
# the overview's title. --campaign takes another campaign folder (a name
# under resources/campaigns/ or a path), built in build/windows-<name>.
# Environment: PROMO_BUILD_DIR (default build/windows, configured with the
# windows preset when missing); PROMO_PROOF_SKIP_BUILD=1 uses the tool as
# built (CTest builds it beforehand). Without $DISPLAY and without the test
# display of the build, a private Xvfb runs for the duration.
# Exit code 0 when every language rendered and the overview was made.
#
# Writes OUTDIR/proof-<language>.png, proof-RU-150.png, proof-de-200.png,
# proof-overview.png and proof.txt (the old ones go first); in the build tree, the windows configuration when
# missing, the promo_proof_sheet tool and the Wine prefix <build>/wineprefix
# when missing. A private Xvfb keeps its state in a temporary folder,
# removed at the end.
# Time, 2-core machine: 40 s the first time after the demo program's build
# (the tool's build and a new Wine prefix included), 3 s after that
# (2026-12-10, 32-bit code run natively).
if [ "${1:-}" = -h ] || [ "${1:-}" = --help ]; then
  awk 'NR == 1 && /^#!/ { next } /^#/ { sub(/^# ?/, ""); print; next } { exit }' "$0"
  exit 0
fi
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/campaign-tree.sh"
campaign=
if [ "${1:-}" = --campaign ]; then
  [ $# -ge 2 ] || { echo "usage: $0 [--campaign FOLDER] [OUTDIR]" >&2; exit 2; }
  campaign=$2
  shift 2
fi
build=${PROMO_BUILD_DIR:-$(campaign_tree "$root" "$campaign")}
case $build in /*) ;; *) build=$root/$build ;; esac
out=${1:-$build/proof}
mkdir -p "$out" || exit 1
out=$(cd "$out" && pwd)
prefix=$build/wineprefix
state=$build/test-state
tool=$build/tests/promo/promo_proof_sheet.exe

if [ "${PROMO_PROOF_SKIP_BUILD:-0}" != 1 ]; then
  campaign_configure "$root" "$build" "$campaign" || exit 1
  cmake --build "$build" --target promo_proof_sheet >/dev/null || {
    echo "proof-sheet: building promo_proof_sheet failed" >&2
    exit 1
  }
fi
[ -f "$tool" ] || { echo "proof-sheet: $tool is missing" >&2; exit 1; }

# A display: ours, the build's test Xvfb, or a private one stopped at the end.
private_state=
if [ -z "${DISPLAY:-}" ] && ! [ -s "$state/display" ]; then
  private_state=$(mktemp -d)
  "$root/scripts/xvfb.sh" start "$private_state" >/dev/null || exit 1
  export DISPLAY=$(cat "$private_state/display")
fi
cleanup() {
  if [ -n "$private_state" ]; then
    "$root/scripts/xvfb.sh" stop "$private_state"
    rm -rf "$private_state"
  fi
}
trap cleanup EXIT

rm -f "$out"/proof-*.png "$out/proof.txt"
# Wine sees the host's root as drive Z:.
winout="Z:${out//\//\\}"
"$root/scripts/wine-run.sh" "$prefix" "$state" "$tool" "$winout" >"$out/proof.txt"
rc=$?
cat "$out/proof.txt"
if [ $rc -ne 0 ]; then
  echo "proof-sheet: a language did not render (exit code $rc)" >&2
  exit 1
fi

# The overview: the languages in the table's order, each labelled.
args=()
for code in de DK ES FR IT NL PL PT RU SV EN; do
  png=$out/proof-$code.png
  [ -s "$png" ] || { echo "proof-sheet: $png is missing" >&2; exit 1; }
  args+=(-label "$code" "$png")
done
name=$(sed -n 's/^campaign: //p' "$out/proof.txt" | head -n 1)
/usr/bin/montage "${args[@]}" -title "campaign $name" -tile 3x -geometry +8+8 -font /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf -pointsize 18 -background '#D8D8D8' \
  "PNG32:$out/proof-overview.png" || {
  echo "proof-sheet: montage failed" >&2
  exit 1
}
echo "overview: $out/proof-overview.png"
for png in "$out/proof-RU-150.png" "$out/proof-de-200.png"; do
  [ -s "$png" ] || { echo "proof-sheet: $png is missing" >&2; exit 1; }
  echo "scaled: $png"
done
