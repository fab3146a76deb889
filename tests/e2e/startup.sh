#!/usr/bin/env bash
# Pinora starts in the desktop with its notification icon, a second start hands
# over and ends with 0, and Exit from the notification menu ends the program.
set -u
source "$(dirname "$0")/lib.sh"
begin_pinora_test startup "$1" "$2"
log=$work/pinora.log
check "the first copy adds its notification icon" start_pinora "$log"
check "first run wrote the settings file" wait_for 10 test -f "$P/pinora.ini"
check "the first run hotkey is Ctrl+B" grep -q '^hotkey=242' "$P/pinora.ini"
sleep 1
screenshot e2e-started
check "one Pinora runs" test "$(count_processes "$pattern")" -eq 1
# Libraries only a rarely used window needs are loaded by its first call, not at
# start-up (the file dialogs pull in Wine's printing and network libraries).
not_mapped() { ! grep -qi "/$1\$" "/proc/$(pids_of "$pattern" | head -1)/maps"; }
# Nor sync (PnSync.dll, WinHTTP, DPAPI) while it is not set up.
for lib in comdlg32.dll oleaut32.dll winspool.drv pnsync.dll winhttp.dll crypt32.dll; do
  check "$lib is not loaded at start-up" not_mapped "$lib"
done

"$wine_run" "$P/Pinora.exe" >/dev/null 2>&1
second=$?
check "a second start ends with code 0 (was $second)" test "$second" -eq 0
check "still one Pinora after the second start" test "$(count_processes "$pattern")" -eq 1

click_tray_icon
sleep 1
screenshot e2e-tray-menu
xdotool key Escape
check "Exit from the notification menu ends Pinora" choose_tray_item out-exit pinora_gone
if ! pinora_gone; then kill "$pinora_pid" 2>/dev/null; fi
wait "$pinora_pid"
rc=$?
check "the program ended with code 0 (was $rc)" test "$rc" -eq 0

remove_run_value
finish
