#!/usr/bin/env bash
# Reminders that must not be lost: a quick-reminder stick followed by a plain note
# leaves the note plain in "alarm.ser", and two sticks due in the same minute
# slide up two pop-ups, one above the other, each with its own text.
set -u
source "$(dirname "$0")/lib.sh"
begin_pinora_test reminders "$1" "$2"
tool=$3

"$wine_run" "$tool" seed-user "$(winpath "$P")" anna secret >/dev/null 2>&1
check "a user who logs in automatically is set up" test -f "$P/user.dat"

log=$work/pinora.log
start_pinora "$log"
check "Pinora starts and logs anna in" grep -qa 'Pinora: logged in' "$log"
sleep 1

sticks_folder=$(winpath "$P/anna/data/sticks/")
alarms=$(winpath "$P/anna/data/sticks/alarm.ser")
field() { "$wine_run" "$tool" field "$alarms" "$1" "$2" 2>/dev/null | tr -d '\r'; }
editor_up() { something_at 1000 380; }
editor_gone() { ! editor_up; }
# new_stick TEXT KEYS...: opens the editor, types the text, presses the keys
# (check boxes by their letters) and OK.
new_stick() {
  local text=$1; shift
  activate_desktop
  xdotool key alt+shift+s
  wait_for 10 editor_up || return 1
  sleep 0.5
  type_text "$text"
  local key
  for key in "$@"; do xdotool key "$key"; sleep 0.3; done
  xdotool mousemove 1011 718 click 1     # OK
  wait_for 10 editor_gone
}

new_stick "Tea is ready" alt+q
saved() { [ "$(field "$1" 4)" = "$2" ]; }
check "the quick reminder is saved" wait_for 10 saved 1 "Tea is ready"
check "the quick reminder is live" test "$(field 1 7)" = "1"
check "it gives only the reminder at its time" test "$(field 1 3)" = "1"

new_stick "Just a note"
check "the note after it is saved" wait_for 10 saved 2 "Just a note"
check "the note is a plain stick, not a second quick reminder" test "$(field 2 7)" = "3"
check "the note has no reminder to give" test "$(field 2 2)$(field 2 3)" = "11"
check "the note's code has no repeat kind" test "$(field 2 1 | cut -d'|' -f8)" = "0"

# Two sticks due in the same minute, added while Pinora runs.
read -r day year month dom hour minute weekday < <(tdate -d '+10 min' '+%Y%m%d %Y %m %d %-H %-M %w')
code="$day|$year|$month|$dom|$hour|$minute|$weekday|1|$day"
"$wine_run" "$tool" add-alarm "$sticks_folder" "$code" "Call the bank" >/dev/null 2>&1
"$wine_run" "$tool" add-alarm "$sticks_folder" "$code" "Water the plants" >/dev/null 2>&1
check "two sticks are due at $hour:$minute" test "$(field 4 4)" = "Water the plants"

both_reminded() { [ "$(field 3 3)$(field 4 3)" = "11" ]; }
check "within one timer tick both advance reminders are given" wait_for 45 both_reminded
# The lower pop-up rests at the corner, the other one above it.
lower_up() { something_at 1100 700; }
upper_up() { something_at 1100 480; }
check "the first pop-up slides in at the corner" wait_for 10 lower_up
check "the second pop-up rests above it" wait_for 10 upper_up
sleep 2
screenshot e2e-two-reminders

# Each closes by its own button; the notification menu is free again.
xdotool mousemove 1072 524 click 1
xdotool mousemove 1072 738 click 1
popups_gone() { ! lower_up && ! upper_up; }
check "both pop-ups close" wait_for 10 popups_gone

check "Exit ends Pinora" choose_tray_item in-exit pinora_gone
pinora_gone || kill "$pinora_pid" 2>/dev/null
wait "$pinora_pid" 2>/dev/null
remove_run_value
finish
