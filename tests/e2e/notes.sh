#!/usr/bin/env bash
# The diary end to end: Ctrl+Q opens the notes manager on today's note, a search
# finds the day, and the export (no Word here) writes an RTF document that the
# shell opens in WordPad.
set -u
source "$(dirname "$0")/lib.sh"
begin_pinora_test notes "$1" "$2"
tool=$3

today=$(tdate +%Y-%m-%d).txt

"$wine_run" "$tool" seed-user "$(winpath "$P")" anna secret >/dev/null 2>&1
data=$P/anna/data
mkdir -p "$data"
printf 'Picnic by the lake with Marta\r\n' >"$data/$today"
printf 'Dentist at nine\r\n' >"$data/2001-05-06.txt"

log=$work/pinora.log
start_pinora "$log"
check "Pinora starts and logs anna in" wait_for 10 grep -qa 'Pinora: logged in' "$log"
sleep 1

activate_desktop
xdotool key ctrl+q
opened() { grep -qa "Pinora: notes manager shows $today" "$log"; }
check "Ctrl+Q opens the notes manager on today's note" wait_for 10 opened
sleep 1
screenshot e2e-notes-manager

# Alt+K goes to the keyword box; Enter searches.
xdotool key alt+k
type_text "marta"
xdotool key Return
found() { grep -qa 'Pinora: notes search found 1' "$log"; }
check "a search for a word of today's note finds that day alone" wait_for 10 found
sleep 0.5
screenshot e2e-notes-search

# Alt+Y goes to the list: the first result is chosen and ticked, then exported.
xdotool key alt+y
sleep 0.3
xdotool key Down space
sleep 0.3
xdotool key alt+e
exported() { grep -qa 'Pinora: notes exported to .*\.rtf' "$log"; }
check "the export writes an RTF document" wait_for 10 exported
document=$(ls "$data"/*.rtf 2>/dev/null | head -1)
check "the document is in anna's data folder" test -n "$document"
check "the document holds today's note" grep -q 'Picnic by the lake with Marta' "${document:-/nonexistent}"
# WordPad's command line starts with "C:\Program Files\...", so count_processes
# (which matches up to the first space) does not see it.
wordpad_pids() {
  local pid
  for pid in $(pgrep -f 'Accessories.wordpad\.exe' 2>/dev/null); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$pid"
  done
}
wordpad_up() { [ -n "$(wordpad_pids)" ]; }
check "the shell opens the document in WordPad" wait_for 20 wordpad_up
sleep 3
screenshot e2e-notes-wordpad

# WordPad was started for this test: end it by its process id.
for pid in $(wordpad_pids); do kill "$pid"; done
check "Exit ends Pinora" choose_tray_item in-exit pinora_gone
pinora_gone || kill "$pinora_pid" 2>/dev/null
wait "$pinora_pid" 2>/dev/null
remove_run_value
finish
