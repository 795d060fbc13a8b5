#!/usr/bin/env bash
# Starts or stops the virtual X screen of the tests: xvfb.sh start|stop STATE
# start picks a free display, waits until it answers and writes it to
# STATE/display; stop ends that server. 1920x1080, 24 bits, no window manager.
# Changes only STATE (the display's name and the server's pid). Starts in
# about a second.
set -u
case "${1:-}" in -h | --help) sed -n '2,/^set -/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;; esac
cmd=$1 state=$2
mkdir -p "$state"
case $cmd in
start)
  if [ -s "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then exit 0; fi
  fifo="$state/displayfd"
  rm -f "$fifo"; mkfifo "$fifo"
  # -noreset: without it the server resets whenever its last client leaves,
  # and a Wine desktop process that connects during the reset loses its
  # display; every program of that Wine session then gets the null display
  # driver, and its windows never appear.
  setsid Xvfb -displayfd 7 -screen 0 1920x1080x24 -nolisten tcp -ac -noreset 7>"$fifo" >/dev/null 2>&1 </dev/null &
  echo $! >"$state/xvfb.pid"
  read -r -t 20 num <"$fifo" || { echo "Xvfb did not start" >&2; exit 1; }
  rm -f "$fifo"
  echo ":$num" >"$state/display"
  echo "Xvfb on :$num"
  ;;
stop)
  if [ -s "$state/xvfb.pid" ]; then kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true; fi
  rm -f "$state/xvfb.pid" "$state/display"
  ;;
esac
