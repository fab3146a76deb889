#!/usr/bin/env bash
# The diary search beside grep: ten years of day files (3,650 files of 2 KB,
# written by notes_search_bench), searched for "harbour festival" in any case.
# Prints the median time of grep -ril over the folder, of NoteContainsKeywords
# over every file and of the folder search (host, Release build), and, when the
# Windows build is there, the whole search of the notes manager under Wine.
#   bench/notes_vs_grep.sh [release build folder]   default build/h-notes-rel
# The release build folder is configured and built here when it is missing.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/h-notes-rel}
runs=${RUNS:-21}

if [ ! -x "$build/bench/notes_search_bench" ]; then
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" --target notes_search_bench -j 2 >/dev/null
fi
bench=$build/bench/notes_search_bench

corpus=$(mktemp -d /tmp/pinora-notes-corpus.XXXXXX)
trap 'rm -rf "$corpus"' EXIT
"$bench" generate "$corpus"
files=$(find "$corpus" -name '*.txt' | wc -l)

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# grep: the same folder, any case, file names only; page cache warm as for ours.
grep -ril 'harbour festival' "$corpus" >/dev/null
grep_hits=$(grep -ril 'harbour festival' "$corpus" | wc -l)
grep_ms=$(for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    grep -ril 'harbour festival' "$corpus" >/dev/null
    echo $(( ($(date +%s%N) - start) / 1000 ))
done | median | awk '{ printf "%.2f", $1 / 1000 }')

json=$(NOTES_BENCH_DIR=$corpus "$bench" --benchmark_format=json --benchmark_repetitions="$runs" \
    --benchmark_report_aggregates_only=true 2>/dev/null)
ours() { jq -r --arg n "$1_median" '.benchmarks[] | select(.name == $n) | .real_time' <<<"$json"; }
contains_ms=$(ours BM_NoteContainsKeywords)
search_ms=$(ours BM_SearchFolder)

printf '%s files of 2 KB, %s match; median of %s runs\n' "$files" "$grep_hits" "$runs"
printf '%-44s %9s %9s\n' "" "ms" "x grep"
row() { awk -v n="$1" -v t="$2" -v g="$grep_ms" 'BEGIN { printf "%-44s %9.2f %8.2fx\n", n, t, t / g }'; }
row "grep -ril (host)" "$grep_ms"
row "NoteContainsKeywords over every file (host)" "$contains_ms"
row "folder search (host)" "$search_ms"

wine_bench=$top/build/windows/bench/notes_wine_bench.exe
if [ -f "$wine_bench" ] && [ -f "$top/build/windows/dist/DoRoRaz.dll" ]; then
    out=$("$top/scripts/wine" "$wine_bench" "Z:${top//\//\\}\\build\\windows\\dist" "Z:${corpus//\//\\}" 2>/dev/null | tr -d '\r')
    echo "$out" | sed -n 1p | sed 's/^/Wine: /'
    row "NoteContainsKeywords over every file (Wine)" "$(echo "$out" | sed -n 's/^NoteContainsKeywords.*: \(.*\) ms$/\1/p')"
    row "whole search, Search button (Wine)" "$(echo "$out" | sed -n 's/^whole search.*: \(.*\) ms$/\1/p')"
fi
