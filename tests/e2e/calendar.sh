#!/usr/bin/env bash
# The calendar end to end: three sticks of today (the first finished, so hidden),
# the calendar opened from the notification menu, the first listed stick
# double-clicked, its text changed in the stick editor and saved: the new text is
# in record 2 of both tables, records 1 and 3 are untouched, and the calendar
# reads the day again.
set -u
source "$(dirname "$0")/lib.sh"
begin_pinora_test calendar "$1" "$2"
tool=$3

today=$(tdate +%Y%m%d)

"$wine_run" "$tool" seed-user "$(winpath "$P")" anna secret >/dev/null 2>&1
mkdir -p "$P/anna/data/sticks"
sticks_folder="$(winpath "$P/anna/data/sticks")\\"
seed() { "$wine_run" "$tool" seed-stick "$sticks_folder" "$today" "$1" "$2" 2>/dev/null | tr -d '\r'; }
check "a finished stick is record 1" test "$(seed 0 'Finished already')" = "1"
check "a stick to change is record 2" test "$(seed 3 'Water the plants')" = "2"
check "another stick is record 3" test "$(seed 3 'Buy stamps')" = "3"

alarms=$(winpath "$P/anna/data/sticks/alarm.ser")
sticks=$(winpath "$P/anna/data/sticks/sticks.esf")
field() { "$wine_run" "$tool" field "$1" "$2" "$3" 2>/dev/null | tr -d '\r'; }

log=$work/pinora.log
start_pinora "$log"
check "Pinora starts and logs anna in" grep -qa 'Pinora: logged in' "$log"
sleep 1

shown() { grep -a 'Pinora: calendar shows' "$log" | wc -l; }
calendar_up() { [ "$(shown)" -ge 1 ]; }
check "the calendar opens from the notification menu" choose_tray_item in-calendar calendar_up
sleep 1

# Where today's cell lies: the grid's screen position comes with the month, the
# cell by the calendar's layout (7 columns, 6 rows below a 50-pixel band and a
# 17-pixel header; Sunday first, a whole week before a month that begins on a Sunday).
read -r gx gy gw gh < <(grep -a 'Pinora: calendar shows' "$log" | tail -1 |
  sed -E 's/.* at (-?[0-9]+),(-?[0-9]+) size ([0-9]+)x([0-9]+).*/\1 \2 \3 \4/')
first_dow=$(date -d "$(tdate +%Y-%m-01)" +%w)
lead=$(( first_dow == 0 ? 7 : first_dow ))
index=$(( lead + 10#$(tdate +%d) - 1 ))
col_w=$(( gw / 7 )); row_h=$(( (gh - 67) / 6 ))
cell_x=$(( gx + (index % 7) * col_w + 3 )); cell_y=$(( gy + 67 + (index / 7) * row_h + 3 ))
item_x=$(( cell_x + 20 )); item_y=$(( cell_y + 17 + 7 ))   # the first item of its list
screenshot e2e-calendar-before

# The editor sits at the lower right corner: 440 x 397 pixels at (820, 353).
xdotool mousemove "$item_x" "$item_y" click --repeat 2 --delay 80 1
editor_up() { something_at 1000 380; }
check "a double click on the stick opens the editor" wait_for 10 editor_up
sleep 0.5
xdotool mousemove 1040 440 click 1     # into the text
xdotool key ctrl+End ctrl+shift+Home
type_text "Water the plants and the garden"
screenshot e2e-calendar-editor
before=$(shown)
xdotool mousemove 1011 718 click 1     # OK

saved() { [ "$(field "$alarms" 2 4)" = "Water the plants and the garden" ]; }
check "the new text is in record 2 of the alarm table" wait_for 10 saved
check "and in record 2 of the stick index" test "$(field "$sticks" 2 3)" = "Water the plants and the garden"
check "record 1 is untouched" test "$(field "$alarms" 1 4)/$(field "$sticks" 1 3)" = "Finished already/Finished already"
check "record 3 is untouched" test "$(field "$alarms" 3 4)/$(field "$sticks" 3 3)" = "Buy stamps/Buy stamps"
check "no stick was added" test "$("$wine_run" "$tool" records "$alarms" 2>/dev/null | tr -d '\r')" = "3"
reloaded() { [ "$(shown)" -gt "$before" ]; }
check "the calendar reads the month again" wait_for 10 reloaded
sleep 1
screenshot e2e-calendar

# The calendar covers the desktop the menu helpers look at: close it first.
xdotool key alt+F4
sleep 1
check "Exit ends Pinora" choose_tray_item in-exit pinora_gone
pinora_gone || kill "$pinora_pid" 2>/dev/null
wait "$pinora_pid" 2>/dev/null
remove_run_value
finish
