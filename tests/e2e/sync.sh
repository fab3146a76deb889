#!/usr/bin/env bash
# Two computers and a phone in step through a real CalDAV server (Radicale,
# started by tests/support/with_radicale.sh): PC A makes a stick with an alarm
# and writes a diary line, and syncs; the phone (python3-caldav) rewords the
# stick and adds "Dentist" with an alarm; A syncs again; PC B, set up for the
# same calendar, gets all of it at its login, reminds both sticks at their time
# and shows the diary line in its notes manager. Two program folders are the
# two computers; they run one after the other (one Pinora per Windows session).
set -u
source "$(dirname "$0")/lib.sh"
dist=$1
root=$2
tool=$3
url=${PINORA_RADICALE_URL:?run through tests/support/with_radicale.sh}
phone="$top/tests/e2e/clocked /usr/bin/python3 $top/tests/e2e/phone.py"

work=$root/sync
rm -rf "$work"
PA=$work/A/P
PB=$work/B/P
stage_program_folder "$dist" "$PA"
stage_program_folder "$dist" "$PB"
for P in "$PA" "$PB"; do
  "$wine_run" "$tool" seed-user "$(winpath "$P")" anna secret >/dev/null 2>&1
  # As a script sets sync up: the password in plain, protected at the first reading.
  printf '\r\n[SYNC]\r\nsync_url=%s\r\nsync_user=alice\r\nsync_password=secret\r\nsync_minutes=15\r\n' "$url" >>"$P/pinora.ini"
done
check "two computers with the same user are set up" test -f "$PA/user.dat" -a -f "$PB/user.dat"

gone() { [ "$(count_processes "sync/$1/P/Pinora\\.exe")" -eq 0 ]; }
tasks() { $phone list "$url" 2>/dev/null; }
has_task() { tasks | grep -q "$1"; }
field() { "$wine_run" "$tool" field "$(winpath "$1/anna/data/sticks/alarm.ser")" "$2" "$3" 2>/dev/null | tr -d '\r'; }
stick_is() { [ "$(field "$1" "$2" 4)" = "$3" ]; }
# record_of P TEXT: the record holding that stick (in the order it arrived).
record_of() {
  local n
  for n in 1 2 3 4; do stick_is "$1" "$n" "$2" && { echo "$n"; return 0; }; done
  return 1
}
has_stick() { record_of "$1" "$2" >/dev/null; }
exit_pinora() {  # P pid
  "$wine_run" "$tool" command 32773 >/dev/null 2>&1
  wait_for 20 gone "$1"
  wait "$2" 2>/dev/null
}

# PC A: a stick with an alarm 20 minutes ahead, and a line in today's diary.
mkdir -p "$PA/anna/data/sticks"
read -r day year month dom hour minute weekday < <(tdate -d '+20 min' '+%Y%m%d %Y %m %d %-H %-M %w')
"$wine_run" "$tool" add-alarm "$(winpath "$PA/anna/data/sticks/")" \
  "$day|$year|$month|$dom|$hour|$minute|$weekday|1|$day" "Call the plumber" >/dev/null 2>&1
diary="$(tdate +%Y-%m-%d).txt"
printf 'Lunch with Ann at the harbour\r\n' >"$PA/anna/data/$diary"

P=$PA
start_pinora "$work/A.log"
pid_a=$pinora_pid
check "PC A starts and logs anna in" grep -qa 'Pinora: logged in' "$work/A.log"
check "A's stick reaches the server at A's login" wait_for 40 has_task "Call the plumber"
due_utc=$(date -u -d "$year-$month-$dom $hour:$minute" '+%Y-%m-%dT%H:%M:00+00:00')
check "with its alarm time as DUE ($due_utc)" bash -c "$phone list '$url' | grep -q 'Call the plumber|$due_utc'"
check "the plain password was replaced by its protected form" grep -q '^sync_password=dpapi1:' "$PA/pinora.ini"

# The phone rewords A's stick and adds one of its own, due in 25 minutes.
check "the phone rewords the stick" $phone edit "$url" "Call the plumber" "Call the plumber about the tap"
check "the phone adds Dentist with an alarm" $phone add "$url" phone-dentist "Dentist" 25
"$wine_run" "$tool" command 32810 >/dev/null 2>&1   # Sync now
check "A gets the phone's wording" wait_for 30 stick_is "$PA" 1 "Call the plumber about the tap"
check "A gets the phone's Dentist" wait_for 30 stick_is "$PA" 2 "Dentist"
check "the phone's Dentist is a live alarm on A" test "$(field "$PA" 2 7)" = "1"
check "PC A exits" exit_pinora "$PA" "$pid_a"

# PC B: everything arrives at its login, and its reminders ring.
P=$PB
start_pinora "$work/B.log"
pid_b=$pinora_pid
check "PC B starts and logs anna in" grep -qa 'Pinora: logged in' "$work/B.log"
check "B gets A's stick as the phone left it" wait_for 40 has_stick "$PB" "Call the plumber about the tap"
check "B gets the phone's Dentist" wait_for 20 has_stick "$PB" "Dentist"
plumber=$(record_of "$PB" "Call the plumber about the tap")
check "B's copy has A's alarm time" test "$(field "$PB" "${plumber:-1}" 1 | cut -d'|' -f5-6)" = "$hour|$minute"
check "B gets A's diary line" wait_for 20 grep -q "Lunch with Ann at the harbour" "$PB/anna/data/$diary"
reminded() { [ "$(field "$PB" 1 3)$(field "$PB" 2 3)" = "11" ]; }
check "B reminds both at their time (the advance reminders of one timer tick)" wait_for 45 reminded
corner_up() { something_at 1100 700; }
check "the reminder pops up on B" wait_for 10 corner_up
sleep 2
screenshot e2e-sync-reminder
xdotool mousemove 1072 524 click 1
xdotool mousemove 1072 738 click 1

# The diary line in B's notes manager.
notes_up() { "$wine_run" "$tool" window - "Notes Manager" 2>/dev/null | grep -q .; }
activate_desktop
xdotool key ctrl+q
check "B's notes manager opens on today" wait_for 10 notes_up
sleep 1
screenshot e2e-sync-notes

# The sync page says what the last sync did.
title="Pinora - settings"
"$wine_run" "$tool" command 32777 >/dev/null 2>&1
settings_up() { "$wine_run" "$tool" window - "$title" 2>/dev/null | grep -q .; }
check "the settings open" wait_for 10 settings_up
rect=$("$wine_run" "$tool" control "$title" 1045 2>/dev/null | tr -d '\r')
read -r l t _ _ <<<"$rect"
xdotool mousemove $((l + 20)) $((t + 8 + 13 * 3)) click 1
page_up() { "$wine_run" "$tool" control "$title" 1206 2>/dev/null | grep -q .; }
check "the sync page is shown" wait_for 10 page_up
sleep 1
screenshot e2e-sync-page
check "PC B exits" exit_pinora "$PB" "$pid_b"

count=$(tasks | wc -l)
check "the server holds two tasks, none twice ($count)" test "$count" -eq 2
remove_run_value
finish
