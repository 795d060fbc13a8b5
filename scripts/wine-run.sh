#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest: wine-run.sh PREFIX STATE EXE [ARGS...]
# Wine's helper processes (services.exe, winedevice.exe) keep the first client's
# stdout/stderr open until wineserver exits, which would make CTest wait for
# every test; so wine writes to temp files that are printed afterwards.
# The prefix is created on first use (under a lock); the X display of the test
# Xvfb, when one runs, is read from STATE/display, or from
# $PROMO_DISPLAY_STATE/display when that is set (a display of their own for
# tests that run beside others).
# Changes nothing but the prefix the program itself changes. Takes as long
# as the program, plus the prefix's creation the first time.
set -u
case "${1:-}" in -h | --help) sed -n '2,/^set -/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;; esac
prefix=$1 state=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
"$here/wine-prefix.sh" "$prefix" >&2 || exit 1
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
display_state=${PROMO_DISPLAY_STATE:-$state}
if [ -z "${DISPLAY:-}" ] && [ -s "$display_state/display" ]; then
  export DISPLAY=$(cat "$display_state/display")
fi
out=$(mktemp) err=$(mktemp)
wine "$@" >"$out" 2>"$err" </dev/null
rc=$?
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
exit $rc
