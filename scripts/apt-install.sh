#!/usr/bin/env bash
# The apt step of scripts/install-deps.sh: updates the indexes and installs
# packages, and when it cannot, says why in one line.
#
#   scripts/apt-install.sh --release CODENAME --update [--state FILE]
#   scripts/apt-install.sh --release CODENAME [--state FILE] [-t SUITE] -- PACKAGE...
#
# The first form updates the indexes, the second installs. FILE carries the
# indexes that failed from an update to the installs after it.
#
# A mirror in mid-sync serves an index with the wrong size for a few
# minutes. apt does not fetch such a file again by itself (its retries are
# for transient failures), so the update is run again, a bounded number of
# times with growing pauses (PROMO_APT_WAITS, seconds between tries; default
# "15 30 45 60": five tries over two and a half minutes). An index that still
# fails is left out and the install goes on with what did download.
#
# The i386 twins of installed packages must carry the installed versions.
# When the index that lists them failed, apt cannot resolve. The install is
# then tried once with the release's own versions (-t CODENAME), which serves
# a machine whose packages all come from the release; it never downgrades
# (no --allow-downgrades, no version pins), so where an installed package
# came from a suite whose index failed, it stops with one line that names
# the index and asks for the same command again later.
#
# Exit codes: 0 installed; 1 not installed (the line says why); 2 bad
# arguments. Changes nothing but what apt-get update and install change.
set -uo pipefail
usage() { sed -n '2,27p' "$0" | sed 's/^# \{0,1\}//'; }
release=
update=0
state=
target=()
while [ $# -gt 0 ]; do
  case "$1" in
    -h | --help) usage; exit 0 ;;
    --release) release=$2; shift 2 ;;
    --update) update=1; shift ;;
    --state) state=$2; shift 2 ;;
    -t) target=(-t "$2"); shift 2 ;;
    --) shift; break ;;
    *) bad=1; break ;;
  esac
done
if [ -n "${bad:-}" ] || [ -z "$release" ] || { [ $update -eq 0 ] && [ $# -eq 0 ]; }; then
  echo "usage: $0 --release CODENAME --update [--state FILE] | --release CODENAME [--state FILE] [-t SUITE] -- PACKAGE..." >&2
  exit 2
fi
say() { echo "install-deps: $*"; }
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp /tmp/promo-apt.XXXXXX)
trap 'rm -f "$log"' EXIT

# failed_indexes: the paths (without scheme and host) of the files the last
# apt-get run could not fetch, on one line.
failed_indexes() {
  sed -n 's/^[EW]: Failed to fetch \([^ ]*\).*/\1/p' "$log" | sed 's|^[a-z]*://[^/]*||' | sort -u | tr '\n' ' ' |
    sed 's/ $//'
}

failed=""
if [ $update -eq 1 ]; then
  read -r -a waits <<<"${PROMO_APT_WAITS-15 30 45 60}"
  tries=$((${#waits[@]} + 1))
  for ((i = 0; i < tries; i++)); do
    if apt-get update -qq -o Acquire::Retries=3 >"$log" 2>&1; then
      failed=""
      [ $i -gt 0 ] && say "apt-get update: every index downloaded at try $((i + 1))"
      break
    fi
    failed=$(failed_indexes)
    [ -n "$failed" ] || { cat "$log" >&2; exit 1; }
    if ((i + 1 < tries)); then
      say "apt-get update: $failed failed (a mirror in mid-sync?); trying again in ${waits[i]} s ($((i + 2)) of $tries)"
      sleep "${waits[i]}"
    fi
  done
  [ -z "$failed" ] ||
    say "apt-get update: $failed still failed after $tries tries; going on with the indexes that did download"
  [ -z "$state" ] || printf '%s\n%s\n' "$failed" "$tries" >"$state"
  exit 0
fi
if [ -n "$state" ] && [ -f "$state" ]; then
  { read -r failed; read -r tries; } <"$state"
fi

install() { apt-get install -y -qq --no-install-recommends "$@" >"$log" 2>&1; }
if install "${target[@]}" "$@"; then exit 0; fi
unresolved() { grep -q 'broken packages\|unmet dependencies\|Unable to correct' "$log"; }
if [ ${#target[@]} -eq 0 ] && unresolved; then
  say "apt could not match the packages' versions across amd64 and i386 with what downloaded; trying $release's own versions (-t $release)"
  if install -t "$release" "$@"; then exit 0; fi
fi
if unresolved && [ -n "$failed" ]; then
  echo "install-deps: stopped: $failed failed to download $tries times: the mirror is in mid-sync, and without that index the i386 packages cannot be matched to the installed ones; nothing was downgraded; run the same command again in a few minutes" >&2
  exit 1
fi
cat "$log" >&2
exit 1
