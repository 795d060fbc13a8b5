#!/usr/bin/env bash
# The test command. Installs what is missing (scripts/install-deps.sh, as
# root: the i386 architecture, apt entries for the release's backports and
# libpng's source, Debian packages, and where the kernel runs no 32-bit code
# qemu-user-static with a binfmt_misc handler), builds both presets, checks
# that the shipped files build byte-identical in another folder, and runs
# the three test layers: host, windows under Wine, e2e under Wine + Xvfb
# (signed copies of the shipped files among them). Ends with the tests'
# count and one line with the time of each phase.
#
#   scripts/test-all.sh [--second-runtime]
#
# --second-runtime: what a second Debian release has to prove on its own
# compiler and Wine (the builds and the three layers); the reproducibility
# and signing checks prove the same for every release and are left out.
#
# About 15 minutes on a 2-core machine with the packages present.
set -uo pipefail
cd "$(dirname "$0")/.."
second=0
case "${1:-}" in
  -h | --help) sed -n '2,/^set -uo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
  --second-runtime) second=1 ;;
  "") ;;
  *) echo "usage: $0 [--second-runtime]" >&2; exit 2 ;;
esac

phases=()
phase_start=$(date +%s)
all_start=$phase_start
# phase NAME: closes the phase that ran since the last call.
phase() {
  local now
  now=$(date +%s)
  phases+=("$1 $((now - phase_start)) s")
  phase_start=$now
}
passed=0
failed=0
out=$(mktemp /tmp/promo-ctest.XXXXXX)
trap 'rm -f "$out"' EXIT
# run_ctest ARGS...: CTest with its output shown, its counts added up.
run_ctest() {
  ctest "$@" 2>&1 | tee "$out"
  local rc=${PIPESTATUS[0]} line total bad
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$out" | tail -n 1)
  if [ -n "$line" ]; then
    bad=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  elif [ "$rc" -ne 0 ]; then
    failed=$((failed + 1))
  fi
  return "$rc"
}
finish() {
  echo "tests: $passed passed, $failed failed"
  phase_line="phases: $(IFS=,; echo "${phases[*]}" | sed 's/,/, /g'), total $(($(date +%s) - all_start)) s"
  echo "$phase_line"
  exit "$1"
}

bash scripts/install-deps.sh || exit 1
phase install
if ! { cmake --preset host >/dev/null && cmake --build --preset host &&
       cmake --preset windows >/dev/null && cmake --build --preset windows; }; then
  phase builds
  echo "test-all: the build failed" >&2
  failed=1
  finish 1
fi
phase builds
rc=0
if [ $second -eq 0 ]; then
  echo "== reproducible build: the shipped files built once more in another folder =="
  bash scripts/check-reproducible.sh --against build/windows || { rc=1; failed=$((failed + 1)); }
  phase reproducibility
fi
echo "== host layer =="
run_ctest --preset host -j2 || rc=1
phase host
skip=()
[ $second -eq 1 ] && skip=(-E '^e2e_signing$')
echo "== windows layer =="
run_ctest --preset windows -LE e2e "${skip[@]}" || rc=1
phase windows
echo "== e2e layer =="
run_ctest --preset windows -L e2e "${skip[@]}" || rc=1
phase e2e
finish $rc
