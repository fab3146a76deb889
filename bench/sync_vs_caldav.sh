#!/usr/bin/env bash
# Initial upload of COUNT sticks (1000 unless given) to one local Radicale, side
# by side in one run: Pinora's PnSync.dll under Wine (bench/sync_wine_bench.cpp)
# into /alice/tasks/, and the same number of PUTs by python3-caldav (the phone
# of the end-to-end tests) into /alice/phone/. Then Pinora's sync with nothing
# changed, and its memory. Builds the windows preset first.
#   bench/sync_vs_caldav.sh [count]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
count=${1:-1000}
if [ -z "${PINORA_RADICALE_URL:-}" ]; then
  cmake --build --preset windows -j2 --target sync_wine_bench PnSync >/dev/null || exit 1
  exec "$top/tests/support/with_radicale.sh" "$0" "$@"
fi
base=${PINORA_RADICALE_URL%tasks/}
curl -s -o /dev/null -u alice:secret -X MKCALENDAR "${base}phone/"
dist=$top/build/windows/dist
echo "== Pinora (PnSync.dll under Wine), $count sticks"
"$top/scripts/wine" "$top/build/windows/bench/sync_wine_bench.exe" "Z:${dist//\//\\}\\PnSync.dll" \
  "$PINORA_RADICALE_URL" "$count" 2>/dev/null | tr -d '\r' | tee /tmp/pinora-sync-bench.$$
echo "== python3-caldav, $count PUTs"
phone=$(/usr/bin/python3 "$top/tests/e2e/phone.py" put "${base}phone/" "$count")
echo "upload: $count tasks in $phone s"
pinora=$(sed -n 's/^upload: [0-9]* sticks in \([0-9.]*\) s.*/\1/p' /tmp/pinora-sync-bench.$$)
rm -f /tmp/pinora-sync-bench.$$
[ -n "$pinora" ] && awk -v p="$pinora" -v c="$phone" 'BEGIN { printf "Pinora / python3-caldav: %.2fx\n", p / c }'
