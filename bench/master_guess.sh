#!/usr/bin/env bash
# What one guess at a master password costs an attacker with a copied
# pnpb.dat, and what one unlock costs its owner, in one run:
#  - guesses per second on one core (CPU time), with the old text cipher
#    (one AES block and a compare) and with the sealed format's Argon2id at
#    the parameters new databases get (crypto_bench, host Release build);
#  - the unlock under Wine with those parameters (pwdbox_wine_bench).
#   bench/master_guess.sh [release build folder]   default build/h-crypto-rel
# The release folder is configured and built here when it is missing.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/h-crypto-rel}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target crypto_bench -j 2 >/dev/null
echo "== guesses per second on one core (CPU time)"
"$build/bench/crypto_bench" --benchmark_filter='MasterGuess' --benchmark_format=json 2>/dev/null |
  jq -r '.benchmarks[] | "\(.name): \(.items_per_second | tostring | .[0:12]) guesses/s per core, \(.cpu_time | tostring | .[0:8]) \(.time_unit) CPU per guess \(.label // "")"'
echo "== unlock under Wine"
cmake --build --preset windows --target pwdbox_wine_bench -j 2 >/dev/null
"$top/scripts/wine" "$top/build/windows/bench/pwdbox_wine_bench.exe" 2>/dev/null | grep -iE 'unlock|derivation'
