#!/usr/bin/env bash
# Proves the set-up's answer to a mirror in mid-sync, once, by hand (not part
# of CI; about 15 minutes; as root). A throw-away Debian 12 root made with
# debootstrap, with the release's security updates installed as on any kept
# machine, whose apt entries point at a loopback stand-in for the machine's
# own mirrors (tests/setup/lagging_mirror.py). The stand-in serves the
# security suite's i386 index one byte short, as a half-synced mirror does.
# Then scripts/install-deps.sh must:
#   1. fetch the index again a few times, and stop with one line that names
#      the index, says the mirror is in mid-sync and asks for the same
#      command again later (never apt's "held broken packages"), having
#      downgraded nothing;
#   2. once the stand-in's sync has ended, install everything, and find
#      everything present on the run after.
# Changes nothing outside a temporary folder, which goes at the end.
#
#   scripts/prove-mirror-fallback.sh [--keep]     (--keep leaves the root)
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
case "${1:-}" in -h | --help) sed -n '2,/^set -uo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;; esac
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
  --break='-security/.*binary-i386/' --heal-file "$work/healed" --seconds 3000 &
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
in_root() { bash "$here/scripts/debian-root.sh" --release bookworm --root "$work/root" "${maps[@]}" --bare -- "$@"; }

# A kept machine: the release's security updates installed (amd64 only: the
# i386 architecture comes with the set-up).
in_root bash -c 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get -y -qq upgrade' >"$work/upgrade.log" 2>&1 ||
  fail "the root's security updates did not install; see $work/upgrade.log"
versions() { in_root dpkg-query -W -f='${Package}:${Architecture} ${Version}\n' 2>/dev/null | grep -v '^debian-root:' | sort; }
versions >"$work/before"

started=$(date +%s)
in_root env PROMO_APT_WAITS="10 20 30" bash scripts/install-deps.sh >"$work/cut.log" 2>&1
rc=$?
took=$(($(date +%s) - started))
cat "$work/cut.log"
if [ $rc -eq 0 ]; then
  fail "install-deps got through behind the cut index: this release's security updates touch no i386 twin today, so there is nothing to prove"
fi
grep -q "held broken packages" "$work/cut.log" && fail "apt's own 'held broken packages' reached the user"
grep -q "binary-i386/.* the mirror is in mid-sync.*run the same command again" "$work/cut.log" ||
  fail "install-deps did not stop with its own line"
broken=$(grep -c '^299 .*-security/.*binary-i386/' "$work/requests.log")
[ "$broken" -ge 4 ] || fail "the broken index was asked for $broken times, not once a try"
versions >"$work/after"
# Nothing installed before may have gone back (new i386 packages aside).
join "$work/before" "$work/after" | awk '$2 != $3 { print; bad = 1 } END { exit bad }' ||
  fail "an installed package changed version"

touch "$work/healed"
in_root bash -c 'bash scripts/install-deps.sh && bash scripts/install-deps.sh && wine --version' 2>&1 | tee "$work/healed.log"
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "the set-up did not get through once the sync had ended"
grep -q "install-deps: packages present" "$work/healed.log" ||
  fail "the second install-deps run did not find everything present"
echo "prove-mirror-fallback: passed (stopped after $took s with its own line, the broken index asked for $broken times; went through once the sync ended)"
