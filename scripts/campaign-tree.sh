# Sourced by the scripts that show a campaign (run-demo.sh, proof-sheet.sh):
# the build tree of a campaign folder. The default campaign's is build/windows;
# another's is build/windows-<folder name>, configured with -DPROMO_CAMPAIGN,
# so that trying a new campaign leaves the shipping tree alone.
#   campaign_tree ROOT [CAMPAIGN]   prints the tree's folder
#   campaign_configure ROOT TREE [CAMPAIGN]   configures it unless it already
#                                   is for that campaign
# campaign_tree changes nothing; campaign_configure writes the tree's CMake
# configuration (cmake --preset windows -B TREE): 25 s for a new tree on a
# 2-core machine, which fetches libpng's source (2026-12-10), none when the
# tree is already configured for the campaign.
# Run on its own (bash scripts/campaign-tree.sh --help) it prints this text.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  case "${1:-}" in
  -h | --help)
    awk 'NR == 1 && /^#!/ { next } /^#/ { sub(/^# ?/, ""); print; next } { exit }' "$0"
    exit 0
    ;;
  esac
fi

campaign_tree() {
  local root=$1 campaign=${2:-}
  if [ -z "$campaign" ] || [ "$campaign" = kv8-2020 ]; then
    echo "$root/build/windows"
  else
    echo "$root/build/windows-$(basename "$campaign")"
  fi
}

campaign_configure() {
  local root=$1 tree=$2 campaign=${3:-}
  local cached=
  [ -f "$tree/CMakeCache.txt" ] && cached=$(sed -n 's/^PROMO_CAMPAIGN:[A-Z]*=//p' "$tree/CMakeCache.txt")
  if [ -n "$cached" ] && { [ -z "$campaign" ] || [ "$cached" = "$campaign" ]; }; then
    return 0
  fi
  (cd "$root" && cmake --preset windows -B "$tree" ${campaign:+"-DPROMO_CAMPAIGN=$campaign"} >/dev/null)
}
