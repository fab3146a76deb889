#!/usr/bin/env bash
# Pinora waiting in the notification area, logged in with nothing shown, has not
# loaded the common controls' library (about 3 MB resident under Wine for the
# whole day); the stick editor loads it when it opens, with its date pickers.
set -u
source "$(dirname "$0")/lib.sh"
begin_pinora_test idle "$1" "$2"
tool=$3

"$wine_run" "$tool" seed-user "$(winpath "$P")" anna secret >/dev/null 2>&1
log=$work/pinora.log
check "Pinora starts" start_pinora "$log"
check "anna is logged in automatically" wait_for 10 grep -qa 'Pinora: logged in' "$log"

# The Wine process of this test's Pinora.
pinora_process() {
  local pid
  for pid in $(pgrep -f "^[^ ]*$pattern" 2>/dev/null); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && { echo "$pid"; return 0; }
  done
  return 1
}
process=$(pinora_process)
check "its process is found" test -n "$process"
common_controls_loaded() { grep -qi 'comctl32\.dll' "/proc/$process/maps" 2>/dev/null; }
nothing_loaded_them() { grep -q . "/proc/$process/maps" 2>/dev/null && ! common_controls_loaded; }
sleep 2
check "nothing has loaded the common controls (comctl32.dll)" nothing_loaded_them

# The editor sits at the lower right corner: 440 x 397 pixels at (820, 353).
activate_desktop
xdotool key alt+shift+s
editor_up() { something_at 1000 380; }
check "Alt+Shift+S opens the stick editor" wait_for 10 editor_up
check "the editor loaded the common controls" common_controls_loaded
xdotool key alt+r
sleep 0.5
screenshot e2e-idle-editor
xdotool key Escape

choose_tray_item in-exit pinora_gone || kill "$pinora_pid" 2>/dev/null
wait "$pinora_pid" 2>/dev/null
remove_run_value
finish
