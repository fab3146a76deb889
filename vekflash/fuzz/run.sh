#!/usr/bin/env bash
# Builds the movie-reader fuzzer with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it for a bounded time.
#   vekflash/fuzz/run.sh [seconds=60] [build-dir=build/fuzz-swf]
# The committed corpus is only read; new inputs go to the build folder, and any
# crash is written there as crash-*.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
seconds=${1:-60}
out=${2:-$top/build/fuzz-swf}
mkdir -p "$out/corpus"
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$here/../swf" "$here"/../swf/swf_{bits,types,parser,player,raster}.cpp \
  "$here/swf_fuzzer.cpp" -lz -o "$out/swf_fuzzer"
cd "$out"
exec ./swf_fuzzer -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 corpus "$here/corpus"
