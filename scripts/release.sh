#!/usr/bin/env bash
# What ships, in one step: builds the shipping configuration twice from this
# commit's files in fresh folders (scripts/check-reproducible.sh: the two must
# be byte-identical), signs the files when the signing settings are present
# (scripts/sign.sh), and writes dist/PellorinPromo-<version>-<campaign>/ with the three
# files, SHA256SUMS and BUILD.txt (commit, settings, tool versions, the
# unsigned SHA-256 that anyone can rebuild).
#
#   [PROMO_SIGN_PFX=... PROMO_SIGN_PASSWORD=... [PROMO_SIGN_TIMESTAMP_URL=...]] \
#   scripts/release.sh [-DPROMO_CAMPAIGN=<folder> -DPROMO_CAMPAIGN_END=yyyy-M-d ...]
#   scripts/release.sh -h|--help      (this text)
#
# -D options set the build settings (cmake/PromoSettings.cmake). A tree with
# uncommitted changes is refused (its files could not be traced to a commit)
# unless PROMO_RELEASE_ALLOW_DIRTY=1, which BUILD.txt then records. Signing
# settings: scripts/sign.sh --help; without them the files stay unsigned.
#
# Writes dist/PellorinPromo-<version>-<campaign>/ (replacing one of that
# name); builds in build/release.* and a temporary folder, both removed at
# the end. Installs nothing.
# Time, 2-core machine: about 1 minute (measured 2026-12-09; longer on a
# loaded machine).
if [ "${1:-}" = -h ] || [ "${1:-}" = --help ]; then
  awk 'NR == 1 && /^#!/ { next } /^#/ { sub(/^# ?/, ""); print; next } { exit }' "$0"
  exit 0
fi
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
SHIPPED=(PellorinPromo.exe PromoCheck.exe Focus.dll)

die() {
  echo "release: $*" >&2
  exit 1
}

command -v git >/dev/null && git rev-parse --is-inside-work-tree >/dev/null 2>&1 ||
  die "not a git checkout: a release names the commit it was built from"
commit=$(git rev-parse HEAD)
commit_date=$(git log -1 --format=%cI HEAD)
dirty=""
if [ -n "$(git status --porcelain)" ]; then
  [ "${PROMO_RELEASE_ALLOW_DIRTY:-}" = 1 ] ||
    die "the tree has uncommitted changes (git status); commit them, or set PROMO_RELEASE_ALLOW_DIRTY=1"
  dirty=" with uncommitted changes"
fi

# Signing: all of it or none of it. A half-given setting is a mistake, not a
# wish for an unsigned release.
sign=0
if [ -n "${PROMO_SIGN_PFX:-}${PROMO_SIGN_PASSWORD+set}${PROMO_SIGN_TIMESTAMP_URL:-}" ]; then
  [ -n "${PROMO_SIGN_PFX:-}" ] && [ -n "${PROMO_SIGN_PASSWORD+set}" ] ||
    die "signing needs both PROMO_SIGN_PFX and PROMO_SIGN_PASSWORD (PROMO_SIGN_TIMESTAMP_URL is optional)"
  sign=1
else
  echo "release: no signing settings (PROMO_SIGN_PFX, PROMO_SIGN_PASSWORD): the files stay UNSIGNED" >&2
fi

mkdir -p build
work=$(mktemp -d "$root/build/release.XXXXXX")
trap 'rm -rf "$work"' EXIT
tree="$work/windows"
bash scripts/check-reproducible.sh --keep "$tree" "$@" || die "the build is not reproducible or failed"

cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$tree/CMakeCache.txt" | head -n 1; }

# The version as the program's version record carries it, which must be the
# build's own number (project(... VERSION)).
version=$(python3 - "$tree/PellorinPromo.exe" <<'EOF'
import struct, sys
d = open(sys.argv[1], "rb").read()
i = d.find(struct.pack("<I", 0xFEEF04BD))
if i < 0:
    sys.exit("no version record")
ms, ls = struct.unpack_from("<II", d, i + 8)
print("%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF))
EOF
) || die "PellorinPromo.exe has no version record"
project_version=$(cache_value CMAKE_PROJECT_VERSION)
case "$version" in
  "$project_version" | "$project_version".0) ;;
  *) die "the version record says $version, the build $project_version" ;;
esac

# The campaign's name in the folder's: two campaigns of one version are two releases.
campaign=$(cache_value PROMO_CAMPAIGN_NAME)
[ -n "$campaign" ] || die "the build names no campaign (PROMO_CAMPAIGN_NAME)"
campaign_folder=$(cache_value PROMO_CAMPAIGN_FOLDER)
tree_source=$(cache_value CMAKE_HOME_DIRECTORY)
name="PellorinPromo-$version-$campaign"
stage="$work/$name"
mkdir -p "$stage"
for f in "${SHIPPED[@]}"; do cp "$tree/$f" "$stage/$f"; done
unsigned_sums=$(cd "$stage" && sha256sum "${SHIPPED[@]}")
unsigned_sizes=$(cd "$stage" && stat -c '%s %n' "${SHIPPED[@]}")

signature="none: the files are unsigned"
if [ $sign -eq 1 ]; then
  bash scripts/sign.sh "${SHIPPED[@]/#/$stage/}" || die "signing failed; nothing was written to dist/"
  subject=$(osslsigncode verify -in "$stage/PellorinPromo.exe" 2>/dev/null |
    sed -n 's/^[[:space:]]*Subject: //p' | head -n 1 || true)
  signature="Authenticode SHA-256, signer ${subject:-?}"
  if [ -n "${PROMO_SIGN_TIMESTAMP_URL:-}" ]; then
    signature+=", time-stamped by $PROMO_SIGN_TIMESTAMP_URL"
  else
    signature+=", no time stamp"
  fi
fi
(cd "$stage" && sha256sum "${SHIPPED[@]}" >SHA256SUMS)

pkg_version() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || echo "not installed"; }
first_line() { "$@" 2>&1 | head -n 1; }
dsc=$(ls "$tree"/_deps-cache/download/libpng1.6_*.dsc)
{
  echo "PellorinPromo $version"
  echo "commit: $commit ($commit_date)$dirty"
  echo "built: $(date -u +%Y-%m-%dT%H:%M:%SZ) (the time is in no file: the build is reproducible)"
  echo
  echo "build settings:"
  echo "  campaign: $campaign (${campaign_folder#"$tree_source"/})"
  echo "  campaign end: $(cache_value PROMO_CAMPAIGN_END) (local time)"
  echo "  minimum uptime: $(cache_value PROMO_MIN_UPTIME_MS) ms"
  echo "  statistics host: $(cache_value PROMO_STATS_HOST)"
  echo "  purchase hosts: $(cache_value PROMO_PURCHASE_HOST), $(cache_value PROMO_PURCHASE_HOST_RU)"
  echo "  configuration: $(cache_value CMAKE_BUILD_TYPE), mingw-w64 i686, static runtime"
  echo "  cmake options: ${*:-(none)}"
  echo
  echo "tools:"
  echo "  compiler: $(first_line i686-w64-mingw32-g++-posix --version)"
  echo "  linker: $(first_line i686-w64-mingw32-ld --version)"
  echo "  resource compiler: $(first_line i686-w64-mingw32-windres --version)"
  echo "  $(first_line cmake --version); ninja $(first_line ninja --version)"
  echo "  osslsigncode: $(first_line osslsigncode --version)"
  for p in g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev libz-mingw-w64-dev; do
    echo "  Debian package $p: $(pkg_version "$p")"
  done
  echo "  libpng: Debian source $(sed -n 's/^Version: //p' "$dsc" | head -n 1)" \
    "($(basename "$dsc"), SHA-256 $(sha256sum <"$dsc" | cut -d' ' -f1))"
  echo
  echo "unsigned files (rebuild with the settings above and compare; from a signed"
  echo "file, 'osslsigncode remove-signature' gives back these bytes):"
  sed 's/^/  /' <<<"$unsigned_sums"
  sed 's/^/  size: /' <<<"$unsigned_sizes"
  echo
  echo "signature: $signature"
} >"$stage/BUILD.txt"

mkdir -p dist
rm -rf "dist/$name"
mv "$stage" "dist/$name"
echo "release: dist/$name"
(cd "dist/$name" && ls -l && cat SHA256SUMS)
