#!/usr/bin/env bash
# Moving into the password box from KeePassXC and back out, with the real
# keepassxc-cli on the other side. A database it made (titles beyond ASCII, a
# group path, a password with " and ",", an entry without user name) is
# exported to CSV and to XML. The box imports the CSV through File, Import
# passwords… (the file dialog, the preview, then all records at once); the XML
# of the same database then offers nothing new. The box's XML export (after
# the warning; a file only the user can open) is imported by keepassxc-cli and
# read back out of it: field by field the database it all came from.
set -u
source "$(dirname "$0")/lib.sh"
begin_pinora_test keepass "$1" "$2"
tool=$3

# keepassxc-cli needs no display, and must not go looking for one.
export QT_QPA_PLATFORM=offscreen
kx=$work/kx
rm -rf "$kx"
mkdir -p "$kx"
kx_master='kx master'
# kx INPUT ARGS...: keepassxc-cli with INPUT (the passwords it asks for) on its standard input.
kx() { local input=$1; shift; printf '%s' "$input" | keepassxc-cli "$@" 2>>"$kx/cli.log"; }
kx_add() {
  local path=$1 password=$2; shift 2
  kx "$kx_master"$'\n'"$password"$'\n' add -q -p "$@" "$kx/a.kdbx" "$path"
}
make_database() {
  kx "$kx_master"$'\n'"$kx_master"$'\n' db-create -q -p -t 100 "$kx/a.kdbx" &&
    kx "$kx_master"$'\n' mkdir -q "$kx/a.kdbx" 'Wörk' &&
    kx "$kx_master"$'\n' mkdir -q "$kx/a.kdbx" 'Wörk/Mail' &&
    kx_add 'Café Zürich' 'se"cr,et' -u 'jörg' --url https://cafe.example --notes $'line 1\nline 2' &&
    kx_add 'Wörk/Mail/Ein "Konto", zwei' 'p,w"x' --url imap://mail.example &&
    kx_add 'Wörk/Grüße' ' 5 € ' -u anna --url https://work.example/login --notes "& <b> 'q'" &&
    kx "$kx_master"$'\n' export -q -f csv "$kx/a.kdbx" >"$kx/a.csv" &&
    kx "$kx_master"$'\n' export -q -f xml "$kx/a.kdbx" >"$kx/a.xml"
}
check "keepassxc-cli makes a database and exports it as CSV and XML" make_database

"$wine_run" "$tool" seed-user "$(winpath "$P")" anna secret >/dev/null 2>&1
log=$work/pinora.log
start_pinora "$log"
check "Pinora starts and logs anna in" wait_for 10 grep -qa 'Pinora: logged in' "$log"
sleep 1

# The box, with its master password chosen and given.
check "the notification menu opens the first-use wizard" \
  choose_tray_item in-pwdbox window_named 'Password box - master password'
give_keys 'Password box - master password'
xdotool key alt+m; type_text "Sesame-42"
xdotool key alt+a; type_text "Sesame-42"
xdotool key Return
check "the box comes up" wait_for 10 window_named 'Pinora password box'
sleep 1
give_keys 'Pinora password box'
type_text "Sesame-42"
xdotool key Return
check "the master password opens the box" wait_for 10 grep -qa 'PnPwdBox: logged in' "$log"
sleep 0.5

# file_command LETTER DIALOG PATH: the File menu's item LETTER, then PATH typed
# into the file dialog titled DIALOG.
file_command() {
  give_keys 'Pinora password box'
  xdotool key alt+f; sleep 0.5; xdotool key "$1"
  wait_for 10 window_named "$2" || return 1
  sleep 0.5
  give_keys "$2"
  xdotool type --delay 30 "$(winpath "$3")"
  xdotool key Return
}
# The box's text as UTF-8: it is in the ANSI code page, Windows-1252 here
# unless the process runs with UTF-8 as its code page.
as_utf8() {
  local text
  text=$(tr -d '\r')
  if printf '%s' "$text" | iconv -f utf-8 -t utf-8 >/dev/null 2>&1; then printf '%s\n' "$text"
  else printf '%s\n' "$text" | iconv -f cp1252 -t utf-8; fi
}
preview_text() { "$wine_run" "$tool" control-text 'Import passwords' "$1" 2>/dev/null | as_utf8; }
# The box's records as id|user|url|group|state.
records() { "$wine_run" "$tool" pwd-records "$(winpath "$P/anna/pnpb.dat")" 2>/dev/null | as_utf8; }
# Answers the box's message box with a key.
answer_message() {
  wait_for 10 window_named 'Password box' || return 1
  give_keys 'Password box'
  xdotool key "$1"
  sleep 0.5
}

check "File, Import passwords… asks for a file" file_command i Open "$kx/a.csv"
check "the preview comes up before anything is written" wait_for 10 window_named 'Import passwords'
sleep 0.5
screenshot e2e-keepass-preview
check "it offers all three entries, in their groups" \
  test "$(preview_text 1050)" = \
  "3 records will be added to the box, in these groups: Passwords, Wörk, Wörk/Mail"
check "nothing is in the box yet" test -z "$(records)"
give_keys 'Import passwords'
xdotool key Return
check "Import adds them" wait_for 10 grep -qa 'PnPwdBox: records imported' "$log"
answer_message Return
check "the three records are in the database, under their groups, one without user name" \
  test "$(records)" = "$(printf '%s\n' '1|jörg|https://cafe.example|Passwords|1' \
    '2|anna|https://work.example/login|Wörk|1' '3||imap://mail.example|Wörk/Mail|1')"
screenshot e2e-keepass-imported

check "the XML of the same database is read" file_command i Open "$kx/a.xml"
check "its preview comes up" wait_for 10 window_named 'Import passwords'
sleep 0.5
check "it has nothing to add" test "$(preview_text 1050)" = "No record of this file can be added to the box."
all_skipped() { [[ "$(preview_text 1052)" == 'Skipped: 3 already in the box'* ]]; }
check "every entry is counted as already in the box" all_skipped
screenshot e2e-keepass-nothing-new
give_keys 'Import passwords'
xdotool key Escape
sleep 0.5
check "and nothing was added" test "$(records | wc -l)" -eq 3

give_keys 'Pinora password box'
xdotool key alt+f; sleep 0.5; xdotool key w
check "File, Export passwords… warns first" wait_for 10 window_named 'Password box'
screenshot e2e-keepass-warning
answer_message y
check "then asks for a file" wait_for 10 window_named 'Save As'
sleep 0.5
give_keys 'Save As'
xdotool type --delay 30 "$(winpath "$kx/box.xml")"
xdotool key Return
check "the records are exported" wait_for 10 grep -qa 'PnPwdBox: records exported' "$log"
answer_message Return
others_shut_out() { [ "$(stat -c %a "$kx/box.xml" | cut -c3)" = 0 ]; }
check "others may not read the file (Wine keeps a DACL as the file's mode)" others_shut_out

# keepassxc-cli imports what the box wrote; its CSV must hold what the first
# database held, field by field. The box has no root entries: those come back
# in a group named after that database's root.
kx "$kx_master"$'\n'"$kx_master"$'\n' import -q -p -t 100 "$kx/box.xml" "$kx/back.kdbx" >/dev/null 2>&1
check "keepassxc-cli imports the box's XML" test -s "$kx/back.kdbx"
kx "$kx_master"$'\n' export -q -f csv "$kx/back.kdbx" >"$kx/back.csv" 2>/dev/null
same_fields() {
  python3 - "$kx/a.csv" "$kx/back.csv" <<'PY'
import csv, sys

def entries(path):
    rows = list(csv.DictReader(open(path, encoding="utf-8", newline="")))
    root = rows[0]["Group"].split("/")[0]
    out = {}
    for r in rows:
        group = "/".join(r["Group"].split("/")[1:]) or root
        out[r["Title"]] = (group, r["Username"], r["Password"], r["URL"], r["Notes"])
    return out

a, back = entries(sys.argv[1]), entries(sys.argv[2])
if a != back:
    print("made:", a)
    print("back:", back)
    sys.exit(1)
print("same fields:", len(a), "entries")
PY
}
check "its export holds every entry with the same group, title, user name, password, URL and notes" same_fields

check "Exit ends Pinora" choose_tray_item in-exit pinora_gone
pinora_gone || kill "$pinora_pid" 2>/dev/null
wait "$pinora_pid" 2>/dev/null
check "nothing crashed on the way" bash -c "! grep -qa 'Unhandled' '$log'"
remove_run_value
finish
