#!/usr/bin/env bash
# Reminders typed in plain words, end to end: in the stick editor the line under
# the text names the alarm read from it and Tab sets it; "remind tea in 1 min"
# and Enter in the quick-note box make a stick with that alarm (no diary line),
# a balloon at the notification icon says when it rings, and the reminder pops
# up at the next check of alarms.
set -u
source "$(dirname "$0")/lib.sh"
begin_pinora_test phrases "$1" "$2"
tool=$3

"$wine_run" "$tool" seed-user "$(winpath "$P")" anna secret >/dev/null 2>&1
# Seeding wrote the settings file, so the first run's hotkey is set here: Ctrl+B.
printf '[HOTKEY]\r\nhotkey=242\r\n' >>"$P/pinora.ini"

log=$work/pinora.log
check "Pinora starts" start_pinora "$log"
check "Pinora logs anna in" wait_for 10 grep -qa 'Pinora: logged in' "$log"

shown() { [ -n "$("$wine_run" "$tool" window - "$1" 2>/dev/null | tr -d '\r')" ]; }
hidden() { ! shown "$1"; }
alarms=$(winpath "$P/anna/data/sticks/alarm.ser")
field() { "$wine_run" "$tool" field "$alarms" "$1" "$2" 2>/dev/null | tr -d '\r'; }

# The stick editor: the hint, then Tab in the text sets the alarm.
hint_shown() { [ -n "$("$wine_run" "$tool" control "Pinora - stick" 1090 2>/dev/null | tr -d '\r')" ]; }
activate_desktop
xdotool key alt+shift+s
check "Alt+Shift+S opens the stick editor" wait_for 10 shown "Pinora - stick"
sleep 0.5
type_text "dentist tomorrow 9:30"
check "the hint names the alarm" wait_for 5 hint_shown
screenshot e2e-phrases-editor-hint
xdotool key Tab
hint_gone() { ! hint_shown; }
check "Tab takes the hint" wait_for 5 hint_gone
screenshot e2e-phrases-editor-set
xdotool mousemove 1011 718 click 1     # OK
check "OK saves the stick" wait_for 10 hidden "Pinora - stick"
tomorrow=$(tdate -d tomorrow '+%Y%m%d')
check "with the alarm Tab set: tomorrow at 9:30" \
  test "$(field 1 1 | cut -d'|' -f1,5,6)" = "$tomorrow|9|30"

activate_desktop
xdotool key ctrl+b
check "Ctrl+B shows the quick-note window" wait_for 10 shown "Pinora - quick note"
# A click into the note box makes sure it has the keyboard, also on a busy machine.
read -r l t r b < <("$wine_run" "$tool" item-rect "Pinora - quick note" 1001 2>/dev/null | tr -d '\r')
[ -n "${b:-}" ] && xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
sleep 0.5
type_text "remind tea in 1 min"
due_before=$(tdate -d '+1 min' '+%H:%M')
xdotool key Return
check "Enter takes the line and hides the window" wait_for 10 hidden "Pinora - quick note"
saved() { [ "$(field 2 4)" = "tea" ]; }
check "the stick is saved with the text left of the phrase" wait_for 10 saved
due_after=$(tdate -d '+1 min' '+%H:%M')
check "its alarm is live" test "$(field 2 7)" = "1"
alarm_time=$(field 2 1 | awk -F'|' '{printf "%02d:%02d", $5, $6}')
check "its alarm is a minute from now ($alarm_time)" test "$alarm_time" = "$due_before" -o "$alarm_time" = "$due_after"
check "no diary line was written" bash -c "! grep -qs tea '$P/anna/data/'*.txt"
check "the balloon names the time and the text" \
  wait_for 5 grep -qa "Pinora: balloon shown: Reminder at $alarm_time: tea" "$log"
balloon_up() { [ -n "$("$wine_run" "$tool" window tooltips_class32 - 2>/dev/null | tr -d '\r')" ]; }
wait_for 5 balloon_up
screenshot e2e-phrases-balloon

popup_up() { shown "Pinora - reminder"; }
# The check of alarms runs every 30 seconds and reminds from five minutes
# before the time on, so the pop-up comes at the next check.
check "the reminder pops up" wait_for 45 popup_up
check "the reminder at its time was recorded as given" test "$(field 2 2)" = "1"
sleep 2
screenshot e2e-phrases-reminder

check "Exit ends Pinora" choose_tray_item in-exit pinora_gone
pinora_gone || kill "$pinora_pid" 2>/dev/null
wait "$pinora_pid" 2>/dev/null
remove_run_value
finish
