#!/usr/bin/env bash
# Signs Windows programs in place with an Authenticode SHA-256 signature
# (osslsigncode), time-stamped by an RFC 3161 server when one is given:
#
#   PROMO_SIGN_PFX=cert.pfx PROMO_SIGN_PASSWORD=... \
#   [PROMO_SIGN_TIMESTAMP_URL=http://...] [PROMO_SIGN_CAFILE=roots.pem] \
#   scripts/sign.sh FILE...
#   scripts/sign.sh -h|--help         (this text)
#
# PROMO_SIGN_PFX is a PKCS#12 file with the certificate and its private key,
# kept outside this repository (a key inside it is refused: one `git add -A`
# would publish it). The password reaches osslsigncode on its standard input,
# never on a command line, and no copy of the key is made. Each file is signed
# into a private temporary folder, checked (the signature's digest must match
# the file; with PROMO_SIGN_CAFILE the certificate chain must verify against
# those roots), and only then replaces the original: a file is either signed
# or left as it was. Signing appends to the file; the image before the
# signature stays the reproducible build's (remove-signature gives it back).
#
# Exit code 0: every file signed; 1: a file could not be signed (named, later
# files untouched); 2: missing settings or bad arguments (nothing touched).
#
# Changes only the files given (and a private temporary folder, removed at
# the end).
# Time, 2-core machine: half a second for the three shipped files without a
# time stamp (2026-12-10); a time stamp adds a call to its server per file.
if [ "${1:-}" = -h ] || [ "${1:-}" = --help ]; then
  awk 'NR == 1 && /^#!/ { next } /^#/ { sub(/^# ?/, ""); print; next } { exit }' "$0"
  exit 0
fi
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd -P)"
DESCRIPTION="Pellorin upgrade promotion"

fail_settings() {
  echo "sign: $*" >&2
  echo "sign: nothing was signed" >&2
  exit 2
}

[ $# -gt 0 ] || fail_settings "no files given (usage: scripts/sign.sh FILE...)"
command -v osslsigncode >/dev/null || fail_settings "osslsigncode is not installed (apt-get install osslsigncode)"
[ -n "${PROMO_SIGN_PFX:-}" ] ||
  fail_settings "PROMO_SIGN_PFX is not set: the PKCS#12 file (.pfx) with the signing certificate and key"
[ -f "$PROMO_SIGN_PFX" ] && [ -r "$PROMO_SIGN_PFX" ] ||
  fail_settings "PROMO_SIGN_PFX ($PROMO_SIGN_PFX) is not a readable file"
[ -n "${PROMO_SIGN_PASSWORD+set}" ] ||
  fail_settings "PROMO_SIGN_PASSWORD is not set: the password of $PROMO_SIGN_PFX (set it empty for none)"
pfx="$(cd "$(dirname "$PROMO_SIGN_PFX")" && pwd -P)/$(basename "$PROMO_SIGN_PFX")"
case "$pfx" in
  "$root"/*) fail_settings "the key $pfx lies inside the repository ($root); keep it outside" ;;
esac
if [ -n "${PROMO_SIGN_CAFILE:-}" ] && [ ! -r "$PROMO_SIGN_CAFILE" ]; then
  fail_settings "PROMO_SIGN_CAFILE ($PROMO_SIGN_CAFILE) is not a readable file"
fi
for f in "$@"; do
  [ -f "$f" ] || fail_settings "$f is not a file"
done

timestamp=()
if [ -n "${PROMO_SIGN_TIMESTAMP_URL:-}" ]; then
  timestamp=(-ts "$PROMO_SIGN_TIMESTAMP_URL")
else
  echo "sign: PROMO_SIGN_TIMESTAMP_URL is not set: the signatures carry no time stamp" \
    "(they stop verifying when the certificate expires)" >&2
fi

private=$(mktemp -d "${TMPDIR:-/tmp}/promo-sign.XXXXXX")
trap 'rm -rf "$private"' EXIT
chmod 700 "$private"

# check_signed FILE: the embedded signature covers the file's bytes (and,
# with PROMO_SIGN_CAFILE, its chain verifies against those roots).
check_signed() {
  local out current calculated
  if [ -n "${PROMO_SIGN_CAFILE:-}" ]; then
    local roots=(-CAfile "$PROMO_SIGN_CAFILE")
    [ ${#timestamp[@]} -eq 0 ] || roots+=(-TSA-CAfile "$PROMO_SIGN_CAFILE")
    osslsigncode verify "${roots[@]}" -in "$1" >"$private/verify.log" 2>&1 || return 1
  else
    osslsigncode verify -in "$1" >"$private/verify.log" 2>&1
  fi
  out=$(cat "$private/verify.log")
  current=$(sed -n 's/^Current message digest *: *\([0-9A-F]*\).*/\1/p' <<<"$out" | head -n 1)
  calculated=$(sed -n 's/^Calculated message digest *: *\([0-9A-F]*\).*/\1/p' <<<"$out" | head -n 1)
  [ -n "$current" ] && [ "$current" = "$calculated" ] || return 1
  grep -q "^Message digest algorithm *: *SHA256" <<<"$out" || return 1
  if [ ${#timestamp[@]} -gt 0 ]; then
    grep -q "Timestamp time:" <<<"$out" || return 1
  fi
}

n=0
for f in "$@"; do
  n=$((n + 1))
  out="$private/$n.signed"
  # The password on stdin (printf is a shell builtin, so it is on no
  # command line), and not in osslsigncode's environment either.
  if ! printf '%s' "$PROMO_SIGN_PASSWORD" | env -u PROMO_SIGN_PASSWORD osslsigncode sign \
      -pkcs12 "$pfx" -readpass - -h sha256 -n "$DESCRIPTION" "${timestamp[@]}" \
      -in "$f" -out "$out" >"$private/sign.log" 2>&1; then
    echo "sign: could not sign $f:" >&2
    sed 's/^/  /' "$private/sign.log" >&2
    exit 1
  fi
  if ! check_signed "$out"; then
    echo "sign: the signature made for $f does not verify:" >&2
    sed 's/^/  /' "$private/verify.log" >&2
    exit 1
  fi
  # Beside the original first, so that the replacement is one rename.
  chmod --reference="$f" "$out"
  cp -p "$out" "$f.signing" && mv -f "$f.signing" "$f" || {
    rm -f "$f.signing"
    echo "sign: could not replace $f" >&2
    exit 1
  }
  echo "sign: $f signed ($(stat -c %s "$f") bytes)"
done
