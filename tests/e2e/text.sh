#!/usr/bin/env bash
# A program folder of an earlier version, its text in code page 1252 (a user
# "Zoë" with the password "café", a stick and a diary line with "Café"), starts
# under this version: the folder is converted once, the files kept beside
# themselves as they were, the user logs in and the today window shows the
# stick as it was written; a second start converts nothing.
set -u
source "$(dirname "$0")/lib.sh"
begin_pinora_test text "$1" "$2"
tool=$3

today=$(date +%Y%m%d)
"$wine_run" "$tool" legacy-folder "$(winpath "$P")" "$today" >/dev/null 2>&1
user="$P/Zoë"
sticks="$user/data/sticks"
diary="$user/data/$(date +%Y-%m-%d).txt"
check "the earlier version's folder is there, in code page 1252" \
  grep -qa $'auto_user=Zo\xeb' "$P/pinora.ini"

log=$work/pinora.log
start_pinora "$log"
check "Pinora starts and logs Zoë in with her password" grep -qa 'Pinora: logged in' "$log"
for f in "$P/pinora.ini" "$P/user.dat" "$sticks/sticks.esf" "$sticks/alarm.ser" "$diary"; do
  check "$(basename "$f") is kept as it was ($(basename "$f").1252.bak)" test -f "$f.1252.bak"
done
check "the settings name the folder's text UTF-8" grep -qa '^text_encoding=utf-8' "$P/pinora.ini"
check "the settings hold the user's name in UTF-8" grep -qa '^auto_user=Zoë' "$P/pinora.ini"
check "her login password, typed in UTF-8 now, is kept as a hash from then on" grep -qa 'Zoë.*\$argon2id\$' "$P/user.dat"
check "and the remembered one protected for the Windows user" grep -qa '^auto_pwd=dpapi1:' "$P/pinora.ini"
field() { "$wine_run" "$tool" field "$(winpath "$1")" "$2" "$3" 2>/dev/null | tr -d '\r'; }
check "the stick reads as it was written" test "$(field "$sticks/alarm.ser" 1 4)" = "Café au lait € 5"
check "the stick index too" test "$(field "$sticks/sticks.esf" 1 3)" = "Café au lait € 5"
check "the diary line too" test "$(cat "$diary")" = $'Café mit Zoë\r'
check "the backup is the file as the earlier version wrote it" grep -qa $'Caf\xe9 mit Zo\xeb' "$diary.1252.bak"
records() { "$wine_run" "$tool" pwd-records "$(winpath "$user/pnpb.dat")" 2>/dev/null | tr -d '\r'; }
check "the password database reads as it was written" test "$(records)" = "1|Zoë|https://café.example|Cafés|1"
check "and is kept as it was" test -f "$user/pnpb.dat.1252.bak"
today_up() { something_at 994 99; }
check "the today window is up" wait_for 10 today_up
sleep 1
screenshot e2e-text-converted

check "Exit ends Pinora" choose_tray_item in-exit pinora_gone
pinora_gone || kill "$pinora_pid" 2>/dev/null
wait "$pinora_pid" 2>/dev/null

# The second start: nothing is left to convert.
backups_before=$(find "$P" -name '*.bak' | sort | md5sum)
data_before=$(cat "$P/user.dat" "$sticks/sticks.esf" "$diary" "$user/pnpb.dat" | md5sum)
start_pinora "$log"
check "the second start logs Zoë in again" grep -qa 'Pinora: logged in' "$log"
check "the second start makes no backup" test "$(find "$P" -name '*.bak' | sort | md5sum)" = "$backups_before"
check "and changes no converted file" test "$(cat "$P/user.dat" "$sticks/sticks.esf" "$diary" "$user/pnpb.dat" | md5sum)" = "$data_before"
check "nothing was shortened" test ! -f "$P/text-conversion.txt"
check "Exit ends Pinora" choose_tray_item in-exit pinora_gone
pinora_gone || kill "$pinora_pid" 2>/dev/null
wait "$pinora_pid" 2>/dev/null
remove_run_value
finish
