#!/usr/bin/env bash
# Activity anywhere on the desktop drives the rest reminder: pnhook.dll's shared
# record, read by a third process, follows the mouse over the desktop; with a
# period of 0 minutes the next timer tick slides the taskbar notifier in above
# the taskbar and shows the bitmap message window, which a double click closes.
set -u
source "$(dirname "$0")/lib.sh"
begin_pinora_test rest "$1" "$2"
tool=$3

"$wine_run" "$tool" seed-user "$(winpath "$P")" anna secret >/dev/null 2>&1
printf '[ALERTS]\r\neach_time=0\r\ncheck_rest=1\r\ncheck_each_time=0\r\ncheck_tip_wnd=1\r\ncheck_rest_draw=1\r\n' \
  >>"$P/pinora.ini"

last_active() { "$wine_run" "$tool" last-active "$(winpath "$P/pnhook.dll")" 2>/dev/null | tr -d '\r'; }
window_rect() { "$wine_run" "$tool" window "$1" - 2>/dev/null | tr -d '\r'; }
notifier_up() { [ -n "$(window_rect Halvard_PN_TASKBAR_NOTIFIER)" ]; }
message_up() { [ -n "$(window_rect PNTRSWND)" ]; }

log=$work/pinora.log
start_pinora "$log"
check "Pinora starts and logs anna in" grep -qa 'Pinora: logged in' "$log"
check "the input hooks are installed" grep -qa 'Pinora: input hooks installed' "$log"

before=$(last_active)
check "another process sees the install time in the shared record (was '$before')" test "${before:-0}" -gt 0
sleep 1
activate_desktop
xdotool mousemove 300 300 sleep 0.2 mousemove 340 320
moved() { local now; now=$(last_active); [ -n "$now" ] && [ "$now" != "$before" ]; }
check "a mouse move over the desktop moves the last-activity tick" wait_for 10 moved

# Timer 10 ticks 30 s after the login; "each_time" 0 reminds on every tick.
check "the notifier slides in at the next tick" wait_for 45 notifier_up
sleep 1.5
rect=$(window_rect Halvard_PN_TASKBAR_NOTIFIER)
read -r left top right bottom <<<"$rect"
read -r _ bar_top _ _ <<<"$(window_rect Shell_TrayWnd)"
check "the notifier stands fully shown at the right, on the taskbar's top edge ($rect)" \
  test "$right" -eq 1280 -a "$((bottom - top))" -eq 130 -a "$bottom" -eq "${bar_top:-800}"
rect=$(window_rect PNTRSWND)
check "the bitmap message window stands at the screen centre ($rect)" test "$rect" = "640 400 1020 620"
screenshot e2e-rest-reminder

xdotool mousemove 830 510 click --repeat 2 --delay 80 1
message_gone() { ! message_up; }
check "a double click closes the bitmap message window" wait_for 5 message_gone
notifier_gone() { ! notifier_up; }
check "the notifier slides back out after ten seconds" wait_for 20 notifier_gone

check "Exit ends Pinora" choose_tray_item in-exit pinora_gone
pinora_gone || kill "$pinora_pid" 2>/dev/null
wait "$pinora_pid" 2>/dev/null
check "the hooks are removed at exit" test "$(last_active)" = "0"
remove_run_value
finish
