#!/usr/bin/env bash
# The password box end to end: from the notification menu it opens, the
# master password is chosen and given, two records go into two groups, a
# search by web address finds one, the box locks and opens again; the
# database holds no password in plain text. An attacker with copies of
# pnpb.dat, user.dat and pinora.ini and the constants of the shipped library
# recovers no record's password, not the master password and not the login
# password (user.dat, the remembered one in pinora.ini); an address
# changed in the file shows the record as damaged, and the old cipher's text
# of "x" put in place of the master row opens nothing. Logging out takes the
# box along. The key derivation runs with the parameters new boxes get.
set -u
source "$(dirname "$0")/lib.sh"
begin_pinora_test pwdbox "$1" "$2"
tool=$3

"$wine_run" "$tool" seed-user "$(winpath "$P")" anna secret >/dev/null 2>&1
check "a user who logs in automatically is set up" test -f "$P/user.dat"

log=$work/pinora.log
start_pinora "$log"
check "Pinora starts and logs anna in" wait_for 10 grep -qa 'Pinora: logged in' "$log"
sleep 1

count_lines() { grep -ac "$1" "$log"; }
db=$P/anna/pnpb.dat
setting() { grep -a "^$1=" "$P/pnpb.ini" 2>/dev/null | head -1 | cut -d= -f2- | tr -d '\r'; }

wizard() { window_named 'Password box - master password'; }
check "the notification menu opens the password box's first-use wizard" choose_tray_item in-pwdbox wizard
screenshot e2e-pwdbox-wizard
give_keys 'Password box - master password'
xdotool key alt+m; type_text "Sesame-42"
xdotool key alt+a; type_text "Sesame-42"
xdotool key Return
frame() { window_named 'Pinora password box'; }
check "the master password is stored and the box comes up" wait_for 10 frame
check "pnpb.ini says the first use is behind" test "$(setting HAVE_USED)" = 1
sleep 1
screenshot e2e-pwdbox-login

give_keys 'Pinora password box'
type_text "Sesame-42"
xdotool key Return
check "the master password opens the box" wait_for 10 grep -qa 'PnPwdBox: logged in' "$log"
sleep 0.5

one_more_added() { [ "$(count_lines 'PnPwdBox: record added')" -gt "$added_before" ]; }
# add_record URL USER PASSWORD GROUP: through the Record menu of the command bar.
add_record() {
  give_keys 'Pinora password box'
  xdotool key alt+r; sleep 0.5; xdotool key a
  wait_for 5 window_named 'New record' || return 1
  give_keys 'New record'
  xdotool key alt+w; type_text "$1"
  xdotool key alt+u; type_text "$2"
  xdotool key alt+p; type_text "$3"
  xdotool key alt+a; type_text "$3"
  xdotool key alt+g; type_text "$4"
  added_before=$(count_lines 'PnPwdBox: record added')
  xdotool key Return
  wait_for 5 one_more_added || return 1
  screenshot "e2e-pwdbox-record-$2"
  xdotool key Escape
  sleep 0.5
}
check "a record for the mail account is added" add_record "https://mail.example.com" "anna.b" "Mail-pass-7" "Mail"
check "a record for the bank is added in another group" add_record "https://bank.example.org/login" "ab1984" "B4nk!secret" "Banks"
two_records() {
  [ "$("$wine_run" "$tool" pwd-records "$(winpath "$db")" 2>/dev/null | tr -d '\r' | sort)" = \
    "$(printf '1|anna.b|https://mail.example.com|Mail|1\n2|ab1984|https://bank.example.org/login|Banks|1')" ]
}
check "both records are in the database under their groups" two_records
sleep 0.5
screenshot e2e-pwdbox-list

give_keys 'Pinora password box'
xdotool key ctrl+f
check "Ctrl+F opens the search" wait_for 5 window_named 'Search'
give_keys 'Search'
type_text "bank.example"
xdotool key Return
check "the search by web address finds the bank" wait_for 5 window_named 'Search:1 found'
screenshot e2e-pwdbox-search
xdotool key Escape
sleep 0.3

give_keys 'Pinora password box'
xdotool key alt+f; sleep 0.5; xdotool key l
check "File, Lock locks the box" wait_for 5 grep -qa 'PnPwdBox: locked' "$log"
sleep 0.5
screenshot e2e-pwdbox-locked
# Meanwhile someone with the file gives the bank record another address, and
# puts the old cipher's text of "x" where the master password used to be.
evil_master=$("$wine_run" "$tool" old-cipher x 2>/dev/null | tr -d '\r')
python3 - "$db" "$evil_master" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.execute("update pn_pwd set pwd_url='https://evil.example/login' where pwd_user='ab1984'")
db.execute("update pn_user set user_pwd=?", (sys.argv[2],))
db.commit()
PY
give_keys 'Pinora password box'
type_text "x"
xdotool key Return
check "\"x\" does not open the box" wait_for 15 grep -qa 'PnPwdBox: wrong master password' "$log"
sleep 0.5
give_keys 'Password box'
xdotool key Return
sleep 0.5
give_keys 'Pinora password box'
type_text "Sesame-42"
xdotool key Return
unlocked() { [ "$(count_lines 'PnPwdBox: logged in')" -ge 2 ]; }
check "the master password opens it again" wait_for 15 unlocked
check "the record whose address was changed in the file is shown as damaged" \
  wait_for 10 grep -qa 'PnPwdBox: damaged record 2' "$log"
check "the other record is not" bash -c "! grep -qa 'PnPwdBox: damaged record 1' '$log'"
sleep 0.5
screenshot e2e-pwdbox-unlocked

no_plain_passwords() {
  local found
  found=$(strings -a "$db" | grep -E 'Sesame-42|Mail-pass-7|B4nk!secret')
  [ -z "$found" ]
}
check "pnpb.dat holds no password in plain text" no_plain_passwords
check "pnpb.dat holds the user names in plain text (so strings reads the file)" grep -qa 'ab1984' "$db"

# The attacker's copies, and a control file in the old cipher that shows the
# attack would have found what that cipher guards.
stolen=$work/stolen
mkdir -p "$stolen"
cp "$db" "$P/user.dat" "$P/pinora.ini" "$stolen/"
"$wine_run" "$tool" old-cipher "control-phrase" 2>/dev/null | tr -d '\r' > "$stolen/control.txt"
python3 "$(dirname "$0")/pwdbox_attacker.py" "$P/PnPwdBox.dll" "$stolen"/* > "$work/recovered.txt" 2>&1
check "the attack breaks the old cipher (its control text is recovered)" grep -qx 'control-phrase' "$work/recovered.txt"
check "the attack recovers no record password, not the master password, not anna's login password" \
  bash -c "! grep -qxE 'Sesame-42|Mail-pass-7|B4nk!secret|secret' '$work/recovered.txt'"

box_gone() { ! window_named 'Pinora password box'; }
check "logging out takes the box along" choose_tray_item in-logout box_gone
screenshot e2e-pwdbox-logged-out
# Anna again (her password is remembered): her box opens locked.
give_keys 'Pinora - log in'
xdotool key Return
relogged() { [ "$(count_lines 'Pinora: logged in')" -ge 2 ]; }
check "anna logs in again" wait_for 10 relogged
check "her box opens again, locked" choose_tray_item in-pwdbox frame
check "Exit ends Pinora with the box open, and frees it cleanly" choose_tray_item in-exit pinora_gone
pinora_gone || kill "$pinora_pid" 2>/dev/null
wait "$pinora_pid" 2>/dev/null
check "nothing crashed on the way" bash -c "! grep -qa 'Unhandled' '$log'"
remove_run_value
finish
