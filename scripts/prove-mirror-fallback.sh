#!/usr/bin/env bash
# Proves the set-up's answer to a mirror in mid-sync, once, by hand (not part
# of CI; about 10 minutes): a throw-away Debian 12 root made with debootstrap
# whose apt entries point at a loopback stand-in for the machine's own
# mirrors (tests/setup/lagging_mirror.py). That stand-in serves the security
# suite's i386 index one byte short, as a half-synced mirror does. Then
# scripts/install-deps.sh must say that the index failed after apt's
# retries, go on, install everything, and find everything present on a
# second run without touching apt. As root.
#
#   scripts/prove-mirror-fallback.sh [--keep]     (--keep leaves the root)
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
keep=0; [ "${1:-}" = --keep ] && keep=1
work=$(mktemp -d /tmp/promo-mirror-proof.XXXXXX)
fail() { echo "prove-mirror-fallback: FAILED: $*" >&2; exit 1; }
cleanup() {
  [ -n "${proxy:-}" ] && kill "$proxy" 2>/dev/null
  if [ $keep -eq 0 ]; then
    # Nothing is mounted there: the root's mounts live in debian-root.sh's own namespace.
    [ -z "$(awk -v d="$work" 'index($5, d) == 1' /proc/self/mountinfo)" ] && rm -rf "$work" "$work/root.lock"
  else
    echo "prove-mirror-fallback: root kept in $work/root"
  fi
}
trap cleanup EXIT

python3 "$here/tests/setup/lagging_mirror.py" --port-file "$work/port" --log "$work/requests.log" \
  --break='-security/.*binary-i386/' --seconds 3000 &
proxy=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port") || fail "the stand-in mirror did not start"

# Every mirror of the machine's Debian entries, through the stand-in.
. "$here/scripts/debian-entry.sh"
maps=()
for origin in $(debian_entry all | cut -f1 | tr ' ' '\n' | sed -E 's|^([a-z]+://[^/]+).*|\1|' | sort -u); do
  maps+=(--mirror-map "$origin=http://127.0.0.1:$port/${origin#*://}")
done
[ ${#maps[@]} -gt 0 ] || fail "no Debian entry in the system's apt configuration"

bash "$here/scripts/debian-root.sh" --release bookworm --root "$work/root" "${maps[@]}" \
  -- bash -c 'bash scripts/install-deps.sh && wine --version && i686-w64-mingw32-g++-posix --version | head -n 1' \
  2>&1 | tee "$work/run.log"
rc=${PIPESTATUS[0]}
[ "$rc" -eq 0 ] || fail "the set-up did not get through (exit $rc)"
grep -q "binary-i386/.*failed after apt's retries; going on" "$work/run.log" ||
  fail "install-deps did not report the broken index"
# apt's retries (Acquire::Retries) are for transient failures; a file of the
# wrong size is not retried by apt itself, so once is enough here.
broken=$(grep -c '^299 .*-security/.*binary-i386/' "$work/requests.log")
[ "$broken" -ge 1 ] || fail "the stand-in never served the broken index"
grep -q "install-deps: packages present" "$work/run.log" ||
  fail "the second install-deps run did not find everything present"
echo "prove-mirror-fallback: passed (the broken index was asked for $broken times; see $work/run.log)"
