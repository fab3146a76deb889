#!/usr/bin/env bash
# At home on a real desktop. A today window remembered at x = 5000, where no
# monitor is, comes up on the screen. With a full-screen window in front (a
# presentation), the rest reminder that falls due waits, and comes once the
# window is closed; the break record has it.
set -u
source "$(dirname "$0")/lib.sh"
begin_pinora_test desktop "$1" "$2"
tool=$3

"$wine_run" "$tool" seed-user "$(winpath "$P")" anna secret >/dev/null 2>&1
# A period of 0 minutes: due at the first tick of timer 10, 30 s after the login.
printf '[ALERTS]\r\neach_time=0\r\ncheck_rest=1\r\ncheck_each_time=0\r\ncheck_tip_wnd=1\r\nrest_log=1\r\n' >>"$P/pinora.ini"
sed -i 's/^\[SETTINGS\]\r$/[SETTINGS]\r\nauto_start_dk=1\r\ntoday_x=5000\r\ntoday_y=50\r/' "$P/pinora.ini"

window_rect() { "$wine_run" "$tool" window "$1" "$2" 2>/dev/null | tr -d '\r'; }
notifier_up() { [ -n "$(window_rect Halvard_PN_TASKBAR_NOTIFIER -)" ]; }
notifier_gone() { ! notifier_up; }
full_screen_up() { [ -n "$(window_rect - 'pinora e2e full screen')" ]; }
full_screen_gone() { ! full_screen_up; }
today_rect() { "$wine_run" "$tool" window-of-class-prefix ATL: 2>/dev/null | tr -d '\r'; }

release=$work/release-full-screen
rm -f "$release"
"$wine_run" "$tool" hold-full-screen "$(winpath "$release")" >/dev/null 2>&1 &
slides_pid=$!
check "a full-screen window is up" wait_for 30 full_screen_up

log=$work/pinora.log
start_pinora "$log"
check "Pinora starts and logs anna in" grep -qa 'Pinora: logged in' "$log"

today_shown() { [ -n "$(today_rect)" ]; }
check "the today window is shown at start" wait_for 10 today_shown
read -r left top right bottom <<<"$(today_rect)"
check "the today window saved at x = 5000 stands on the screen ($left $top $right $bottom)" \
  test "${left:-9999}" -ge 0 -a "${right:-9999}" -le 1280 -a "${top:-9999}" -eq 50 -a "${bottom:-9999}" -le 800

# The user is back in the presentation: a click on it gives it the foreground.
xdotool mousemove 300 400 click 1
waits() { grep -qa 'Pinora: rest reminder waits' "$log"; }
check "the due reminder waits while the full-screen window is in front" wait_for 45 waits
check "no notifier over the presentation" notifier_gone
screenshot e2e-desktop-busy

touch "$release"
wait "$slides_pid" 2>/dev/null
check "the full-screen window is closed" full_screen_gone
check "the reminder comes at the next tick after it closed" wait_for 40 notifier_up
sleep 1
screenshot e2e-desktop-after
record=$P/anna/rest.log
check "the break record has the reminder" grep -qa ' reminder worked=' "$record"
check "and only one" test "$(grep -ca ' reminder ' "$record")" -eq 1

check "Exit ends Pinora" choose_tray_item in-exit pinora_gone
pinora_gone || kill "$pinora_pid" 2>/dev/null
wait "$pinora_pid" 2>/dev/null
remove_run_value
finish
