#!/usr/bin/env bash
# The main job end to end: Alt+Shift+S opens the stick editor, a stick with an
# alarm ten minutes ahead is saved, the next timer tick slides the alarm pop-up in
# and records the advance reminder, and the today window lists the stick.
set -u
source "$(dirname "$0")/lib.sh"
begin_pinora_test sticks "$1" "$2"
tool=$3

"$wine_run" "$tool" seed-user "$(winpath "$P")" anna secret >/dev/null 2>&1
check "a user who logs in automatically is set up" test -f "$P/user.dat"
# Alarms play the bell wink.
printf '[ALERTS]\r\ncheck_winks=1\r\nstick_wink=%s\r\n' "$(winpath "$P/winks/bell.ewf")" >>"$P/pinora.ini"
temp_movie=$WINEPREFIX/drive_c/users/$(id -un)/Temp/Temp1.swf
rm -f "$temp_movie"

log=$work/pinora.log
start_pinora "$log"
check "Pinora starts and logs anna in" grep -qa 'Pinora: logged in' "$log"
sleep 1

# The editor sits at the lower right corner: 440 x 397 pixels at (820, 353).
activate_desktop
xdotool key alt+shift+s
editor_up() { something_at 1000 380; }
check "Alt+Shift+S opens the stick editor" wait_for 10 editor_up
sleep 0.5
type_text "Call the dentist"
xdotool key alt+r
sleep 0.3
read -r hour minute half < <(tdate -d '+10 min' '+%-I %M %p')
xdotool mousemove 1106 486 click 1     # the hour of the alarm time
sleep 0.3
type_text "$hour"; xdotool key Right
type_text "$minute"; xdotool key Right
type_text "00"; xdotool key Right
type_text "${half:0:1}"
# The date too: ticked at 23:xx, the editor proposes tomorrow (it presets the
# next hour's time, and 00:xx is tomorrow's).
read -r month day year < <(tdate -d '+10 min' '+%-m %-d %Y')
xdotool mousemove 955 486 click 1      # the month of the alarm date
sleep 0.3
type_text "$month"; xdotool key Right
type_text "$day"; xdotool key Right
type_text "$year"
screenshot e2e-stick-editor
xdotool mousemove 1011 718 click 1     # OK

alarms=$(winpath "$P/anna/data/sticks/alarm.ser")
sticks=$(winpath "$P/anna/data/sticks/sticks.esf")
field() { "$wine_run" "$tool" field "$alarms" 1 "$1" 2>/dev/null | tr -d '\r'; }
saved() { [ "$(field 4)" = "Call the dentist" ]; }
check "the stick is saved with its alarm" wait_for 10 saved
check "the stick is live" test "$(field 7)" = "1"
check "its advance reminder is still to come" test "$(field 3)" = "0"
check "stick index and alarm table hold one record each" \
  test "$("$wine_run" "$tool" records "$sticks" 2>/dev/null | tr -d '\r')" = "1"

advance_given() { [ "$(field 3)" = "1" ]; }
check "within one timer tick the advance reminder is given" wait_for 45 advance_given
popup_up() { something_at 1100 700; }
check "the alarm pop-up slides in" wait_for 10 popup_up
player_started() { [ -f "$temp_movie" ] && [ "$(count_processes 'VekFlash\.exe')" -ge 1 ]; }
check "the alarm plays the stick wink in the animation player" wait_for 5 player_started
sleep 1
screenshot e2e-alarm-popup
# A player that could not open the movie would wait on its error box instead.
player_done() { [ "$(count_processes 'VekFlash\.exe')" -eq 0 ]; }
check "the wink plays through and the player ends by itself" wait_for 10 player_done

# The state bar of the first row of the today window.
today_up() { something_at 994 99; }
check "the today window opens from the notification menu" choose_tray_item in-today today_up
sleep 1
screenshot e2e-today-window

check "Exit ends Pinora" choose_tray_item in-exit pinora_gone
pinora_gone || kill "$pinora_pid" 2>/dev/null
wait "$pinora_pid" 2>/dev/null
check "exit deletes the temporary animation file" test ! -f "$temp_movie"
remove_run_value
finish
