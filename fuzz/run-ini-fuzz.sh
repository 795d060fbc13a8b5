#!/bin/sh
# Builds the INI fuzz target with clang (libFuzzer, ASan, UBSan) and runs it on
# a copy of the committed seed corpus for a bounded time.
#   fuzz/run-ini-fuzz.sh [seconds] [build folder] [extra libFuzzer options...]
# Defaults: 60 seconds, build/fuzz-ini. Findings (crash-*, leak-*) are written
# into the build folder; the exit code is libFuzzer's (0 when nothing was found).
# Changes only the build folder. Takes the given seconds plus about 30 s to
# build the first time.
set -eu
case "${1:-}" in -h | --help) sed -n '2,/^set -eu/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;; esac
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
out=${2:-$root/build/fuzz-ini}
[ $# -gt 0 ] && shift
[ $# -gt 0 ] && shift
CXX=${CXX_FUZZ:-clang++-14}
command -v "$CXX" >/dev/null 2>&1 || CXX=clang++
mkdir -p "$out"
out=$(cd "$out" && pwd)
exe=$out/ini_fuzz
srcs="$root/fuzz/ini_fuzz.cpp $root/support/TextCodec.cpp"
headers="$root/support/TextCodec.h"
for f in IniNames IniDocument IniText IniValues; do
  srcs="$srcs $root/support/$f.cpp"
  headers="$headers $root/support/$f.h"
done
# Rebuild only when a source is newer than the target.
rebuild=1
if [ -x "$exe" ]; then
  rebuild=0
  for s in $srcs $headers; do
    [ "$s" -nt "$exe" ] && rebuild=1
  done
fi
if [ $rebuild = 1 ]; then
  "$CXX" -std=c++20 -O2 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root" $srcs -o "$exe.tmp"
  mv "$exe.tmp" "$exe"
fi
rm -rf "$out/corpus"
cp -r "$root/fuzz/corpus/ini" "$out/corpus"
cd "$out"
# Short allocation stacks: ASan otherwise unwinds the stack on every allocation,
# which is most of the cost of this allocation-heavy target.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=2}
exec "$exe" -max_total_time="$seconds" -max_len=512 -timeout=10 -print_final_stats=1 "$@" corpus
