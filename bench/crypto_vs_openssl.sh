#!/usr/bin/env bash
# Throughput of pncrypto's AES-256-CBC and SHA-256 beside OpenSSL's software
# path (AES-NI and PCLMULQDQ masked off), both on 1 MiB buffers, in MB/s
# (10^6 bytes per second).
#   bench/crypto_vs_openssl.sh [release build folder]   default build/h-crypto-rel
# The folder must hold a Release build of the crypto_bench target.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/h-crypto-rel}
bench=$(find "$build" -name crypto_bench -type f -perm -u+x | head -n1)
[ -n "$bench" ] || { echo "no crypto_bench under $build (build the crypto_bench target)" >&2; exit 1; }
seconds=${SECONDS_PER_RUN:-3}
software_path="~0x200000200000000"

json=$("$bench" --benchmark_format=json --benchmark_min_time="$seconds" 2>/dev/null)
ours() {  # benchmark name -> MB/s
    jq -r --arg n "$1" '.benchmarks[] | select(.name == $n) | .bytes_per_second / 1e6' <<<"$json"
}

openssl_speed() {  # extra speed arguments -> MB/s of the 1 MiB column
    OPENSSL_ia32cap="$software_path" openssl speed -seconds "$seconds" -bytes 1048576 "$@" 2>/dev/null |
        awk 'END { v = $NF; sub(/k$/, "", v); print v / 1000 }'
}

rows=(
    "AES-256-CBC encrypt|$(ours BM_Aes256CbcEncrypt)|$(openssl_speed -evp aes-256-cbc)"
    "AES-256-CBC decrypt|$(ours BM_Aes256CbcDecrypt)|$(openssl_speed -decrypt -evp aes-256-cbc)"
    "SHA-256|$(ours BM_Sha256)|$(openssl_speed -evp sha256)"
)

printf '%-22s %14s %14s %10s\n' "1 MiB buffers" "pncrypto MB/s" "OpenSSL MB/s" "OpenSSL/us"
for row in "${rows[@]}"; do
    IFS='|' read -r name mine theirs <<<"$row"
    awk -v n="$name" -v a="$mine" -v b="$theirs" \
        'BEGIN { printf "%-22s %14.1f %14.1f %9.2fx\n", n, a, b, b / a }'
done
echo "OpenSSL: $(openssl version), OPENSSL_ia32cap=$software_path"
