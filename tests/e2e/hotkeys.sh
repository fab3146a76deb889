#!/usr/bin/env bash
# The hotkey dialog in the running program: a combination another program holds
# is refused with a message, the dialog stays open and Ctrl+B keeps working;
# once it is free, the change is stored and the new combination works at once.
set -u
source "$(dirname "$0")/lib.sh"
begin_pinora_test hotkeys "$1" "$2"
tool=$3

"$wine_run" "$tool" seed-user "$(winpath "$P")" anna secret >/dev/null 2>&1
printf '[HOTKEY]\r\nhotkey=242\r\n' >>"$P/pinora.ini"
setting() { grep -a "^$1=" "$P/pinora.ini" | head -1 | cut -d= -f2- | tr -d '\r'; }
window_up() { "$wine_run" "$tool" window - "$1" >/dev/null 2>&1; }
window_gone() { ! window_up "$1"; }
dialog="Pinora - quick-note hotkey"

log=$work/pinora.log
start_pinora "$log"
check "Pinora starts and logs anna in" grep -qa 'Pinora: logged in' "$log"
sleep 1

# The quick-note box shows at the lower right corner on its hotkey, Escape hides it.
main_up() { something_at 1100 700; }
main_hidden() { ! main_up; }
# A loaded machine can drop a modifier of a synthesised key chord, so the chord
# is sent again (up to three times) while the box has not come up.
press_main_hotkey() {
  local try
  for try in 1 2 3; do
    activate_desktop
    xdotool key "$1"
    wait_for 5 main_up && break
    [ "$try" = 3 ] && return 1
  done
  hide_main
}
# Escape hides the box. Wine can show it active while the X focus, which the
# keys follow, stayed elsewhere: then a click on its caption gives it the keys.
hide_main() {
  local try
  for try in 1 2 3; do
    xdotool key Escape
    wait_for 4 main_hidden && return 0
    xdotool mousemove 1000 588 click 1
    sleep 0.3
  done
  return 1
}
check "Ctrl+B shows the quick-note box" press_main_hotkey ctrl+b

# The dialog stands at the screen centre; a click on its caption gives it the
# keyboard, a click on the hotkey control the focus.
open_dialog() {
  "$wine_run" "$tool" hotkey-dialog 0 >/dev/null 2>&1
  wait_for 10 window_up "$dialog" || return 1
  sleep 0.5
  focus_desktop
  xdotool mousemove 560 312 click 1
  sleep 0.3
  xdotool mousemove 695 377 click 1
  sleep 0.3
}

# Types a combination into the hotkey control (1073) until the control holds it:
# on a busy machine a modifier can go missing between xdotool and Wine.
type_hotkey() {
  local keys=$1 value=$2
  for _ in 1 2 3; do
    xdotool key "$keys"
    sleep 0.3
    [ "$("$wine_run" "$tool" hotkey-of "$dialog" 1073 2>/dev/null | tr -d '\r')" = "$value" ] && return 0
    focus_desktop
    xdotool mousemove 695 377 click 1
    sleep 0.3
  done
  return 1
}

# Another program takes Ctrl+Alt+K once it is typed into the dialog (before, the
# keys would go to that program instead of the hotkey control).
release=$work/release
rm -f "$release"
check "the hotkey dialog opens" open_dialog
check "Ctrl+Alt+K is typed into the dialog" type_hotkey ctrl+alt+k 64b
"$wine_run" "$tool" hold-hotkey 64b "$(winpath "$release")" >"$work/holder.out" 2>&1 &
holder=$!
check "another program holds Ctrl+Alt+K" wait_for 10 grep -q held "$work/holder.out"
screenshot e2e-hotkey-dialog
xdotool key Tab Return     # OK
check "the refusal is explained in a message box" wait_for 10 window_up Pinora
xdotool key Return
check "the message box closes" wait_for 10 window_gone Pinora
check "the dialog stays open" window_up "$dialog"
check "nothing is stored" test "$(setting hotkey)" = "242"
xdotool key Escape
check "Cancel closes the dialog" wait_for 10 window_gone "$dialog"
check "Ctrl+B still works" press_main_hotkey ctrl+b

touch "$release"
wait "$holder"
check "the dialog opens again" open_dialog
check "Ctrl+Alt+K is typed into the dialog again" type_hotkey ctrl+alt+k 64b
xdotool key Tab Return
check "the change is confirmed in a message box" wait_for 10 window_up Pinora
xdotool key Return
check "the dialog closes after the change" wait_for 10 window_gone "$dialog"
check "the new hotkey is stored (was '$(setting hotkey)')" test "$(setting hotkey)" = "64b"
check "Ctrl+Alt+K works at once" press_main_hotkey ctrl+alt+k
rm -f "$release"
"$wine_run" "$tool" hold-hotkey 242 "$(winpath "$release")" >"$work/holder2.out" 2>&1 &
touch "$release"
wait $!
check "Ctrl+B is free for other programs again" grep -q held "$work/holder2.out"

check "Exit ends Pinora" choose_tray_item in-exit pinora_gone
pinora_gone || kill "$pinora_pid" 2>/dev/null
wait "$pinora_pid" 2>/dev/null
remove_run_value
finish
