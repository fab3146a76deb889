#!/usr/bin/env bash
# The installer end to end, as a user meets it: a silent install into a folder
# with a space in its name; the installed Pinora starts with its icon; a user and
# a note are made; two installs over the running program (it is asked to exit,
# not killed) keep them; the silent uninstall removes the program, its shortcut,
# its uninstall entry and its start at logon, and keeps the notes.
#   installer.sh SETUP_EXE E2E_ROOT E2E_TOOL VERSION
set -u
source "$(dirname "$0")/lib.sh"
setup=$1 tool=$3 version=$4
work=$2/installer
zip=${setup%-setup.exe}-portable.zip
P="$work/My Programs/Pinora"
pattern='installer/My Programs/Pinora/Pinora\.exe'
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pinora'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
start_menu="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Pinora.lnk"

if [ ! -f "$setup" ] || [ ! -f "$zip" ]; then
  echo "no installer or zip beside $setup: build the target pinora_package (scripts/package)"
  exit 1
fi
if [ "$(count_processes "$pattern")" -ne 0 ]; then
  echo "a Pinora from an earlier run is still there"
  exit 1
fi
rm -rf "$work"
mkdir -p "$work/portable"
"$wine_run" reg delete "$uninstall_key" /f >/dev/null 2>&1
remove_run_value

# What the package holds, from the portable zip: the installer must put exactly
# these files in place.
(cd "$work/portable" && cmake -E tar xf "$zip")
mapfile -t shipped < <(cd "$work/portable/Pinora" && find . -type f | sed 's|^\./||' | sort)
check "the portable zip holds the program (${#shipped[@]} files)" test "${#shipped[@]}" -ge 4 -a -f "$work/portable/Pinora/Pinora.exe"

# value KEY NAME: one registry value as reg prints it.
value() {
  "$wine_run" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | grep -F "    $2    " | sed 's/.*    REG_[A-Z_]*    //'
}
# As typed in a command prompt: /D= comes last and unquoted, spaces and all.
install() { "$wine_run" cmd /c "$(winpath "$setup") /S /D=$(winpath "$P")" >/dev/null 2>&1; }
program_installed() {
  local f
  for f in "${shipped[@]}"; do cmp -s "$work/portable/Pinora/$f" "$P/$f" || return 1; done
}
program_removed() {
  local f
  for f in "${shipped[@]}" uninstall.exe; do [ ! -e "$P/$f" ] || return 1; done
  [ ! -d "$P/skins" ] && [ ! -d "$P/winks" ]
}
no_user_data() { [ ! -e "$P/pinora.ini" ] && ! ls "$P"/*.dat >/dev/null 2>&1; }
# The colour at the notification area's first icon.
tray_pixel() { import -window root -crop 1x1+1270+790 txt:- 2>/dev/null | awk '!/^#/ {print $3}'; }
# The exit code of the Pinora started last, once it has ended (killed when it
# has not after 20 s, which shows as a code other than 0).
ended_pinora_code() {
  wait_for 20 pinora_gone || kill "$pinora_pid" 2>/dev/null
  wait "$pinora_pid" 2>/dev/null
}
# upgrade_over_running WHILE: installs over the Pinora started last, which must be
# asked to exit and end by itself (code 0), not be killed.
upgrade_over_running() {
  install
  local rc=$?
  check "an install while $1 ends with code 0 (was $rc)" test "$rc" -eq 0
  ended_pinora_code
  rc=$?
  check "the running Pinora was asked to exit and ended by itself (code $rc)" test "$rc" -eq 0
}

# --- install
install
rc=$?
check "silent install ends with code 0 (was $rc)" test "$rc" -eq 0
check "every file of the package is installed" program_installed
check "the uninstaller is installed" test -f "$P/uninstall.exe"
check "no settings or tables are shipped" no_user_data
check "a Start menu shortcut opens the installed program" grep -qa 'Pinora\.exe' "$start_menu"
check "the uninstall entry is named Pinora" test "$(value "$uninstall_key" DisplayName)" = "Pinora"
check "the uninstall entry has the version $version" test "$(value "$uninstall_key" DisplayVersion)" = "$version"
check "the uninstall entry names no publisher" test -z "$(value "$uninstall_key" Publisher)"
check "the uninstall entry runs the installed uninstaller" \
  test "$(value "$uninstall_key" UninstallString)" = "\"$(winpath "$P")\\uninstall.exe\""
check "the uninstall entry shows the program's icon" \
  test "$(value "$uninstall_key" DisplayIcon)" = "$(winpath "$P")\\Pinora.exe,0"
size=$(value "$uninstall_key" EstimatedSize)
check "the uninstall entry gives the size ($size KiB)" test "$((size))" -gt 100

# --- first start of the installed program
before=$(tray_pixel)
check "the installed Pinora starts" start_pinora "$work/pinora-1.log"
shows_icon() { [ "$(tray_pixel)" != "$before" ]; }
check "its icon shows in the notification area" wait_for 5 shows_icon
check "its first start registers it to start at logon" \
  test "$(value "$run_key" 'Pinora notes')" = "$(winpath "$P")\\Pinora.exe"
sleep 1
screenshot e2e-installed-first-start

# --- upgrade while the login dialog is open
touch -d 2001-01-01 "$P/Pinora.exe"
upgrade_over_running "Pinora shows its login dialog"
replaced() { [ "$(date -r "$P/Pinora.exe" +%Y)" != 2001 ]; }
check "the program files are replaced" replaced
check "the settings written by the first start are kept" test -f "$P/pinora.ini"

# --- a user and a note
"$wine_run" "$tool" seed-user "$(winpath "$P")" anna secret >/dev/null 2>&1
check "a user who logs in automatically is set up" test -f "$P/user.dat"
start_pinora "$work/pinora-2.log"
logged_in() { grep -qa 'Pinora: logged in' "$1"; }
check "Pinora logs anna in" wait_for 10 logged_in "$work/pinora-2.log"
diary=$P/anna/data/$(tdate +%Y-%m-%d).txt
focus_desktop
xdotool mousemove 640 40 click 1
sleep 0.5
xdotool key ctrl+b
sleep 1
type_text "kept across upgrades"
xdotool key ctrl+b   # saves and hides; Enter in the note box only breaks the line
note_saved() { grep -qa $'^kept across upgrades\r$' "$diary" 2>/dev/null; }
check "a quick note goes into anna's diary" wait_for 10 note_saved

user_data() { (cd "$P" && md5sum pinora.ini user.dat winkcfg.dat anna/data/*.txt 2>&1); }
data_before=$(user_data)

# --- upgrade while anna is logged in
upgrade_over_running "anna is logged in"
check "the settings, the user table, the catalogue and the diary are unchanged" test "$(user_data)" = "$data_before"
check "the upgraded program is complete" program_installed
start_pinora "$work/pinora-3.log"
check "after the upgrade anna is logged in again" wait_for 10 logged_in "$work/pinora-3.log"
screenshot e2e-upgraded

# --- silent uninstall, as the list of installed programs runs it
quiet=$(value "$uninstall_key" QuietUninstallString)
check "the uninstall entry has a silent form" test "$quiet" = "\"$(winpath "$P")\\uninstall.exe\" /S"
# The quoted program and its switch (Wine would escape the quotes for cmd).
program=${quiet#\"}
program=${program%%\"*}
"$wine_run" "$program" ${quiet##*\" } >/dev/null 2>&1
check "the uninstaller removes every program file" wait_for 30 program_removed
ended_pinora_code
rc=$?
check "the uninstaller asked Pinora to exit (code $rc)" test "$rc" -eq 0
entry_gone() { ! "$wine_run" reg query "$uninstall_key" >/dev/null 2>&1; }
check "the uninstall entry is removed" wait_for 10 entry_gone
check "the Start menu shortcut is removed" test ! -e "$start_menu"
check "the start at logon is removed" test -z "$(value "$run_key" 'Pinora notes')"
check "the settings and the user table are kept" test -f "$P/pinora.ini" -a -f "$P/user.dat"
check "anna's diary is kept" note_saved

# --- installed again, and uninstalled as a user does it, asking to remove the notes
install
mkdir -p "$P/My own things"
echo mine >"$P/My own things/list.txt"
pixel() { import -window root -crop "1x1+$1+$2" txt:- 2>/dev/null | awk '!/^#/ {print $3}'; }
desktop=$(pixel 5 400)
"$wine_run" "$P/uninstall.exe" >/dev/null 2>&1
window_up() { [ "$(pixel 640 420)" != "$desktop" ]; }
check "the uninstaller opens its window" wait_for 15 window_up
sleep 1
xdotool key Return                        # the first page: Next
sleep 1
xdotool key Down space                    # tick "Also remove my notes"
sleep 0.5
screenshot e2e-uninstall-notes
xdotool key Return                        # Uninstall
sleep 2
xdotool key y                             # yes, delete the notes
notes_removed() { [ ! -e "$P/pinora.ini" ] && [ ! -e "$P/user.dat" ] && [ ! -e "$P/anna" ]; }
check "ticking 'Also remove my notes' removes the settings, the user table and anna's folder" \
  wait_for 15 notes_removed
check "it removes the program too" program_removed
check "a folder of the user's own is left alone" test -f "$P/My own things/list.txt"
# Close, once its last page is there.
# (The uninstaller runs on as a copy of itself in the temporary folder.)
uninstaller_gone() { [ "$(count_processes 'Un\.exe')" -eq 0 ]; }
close_uninstaller() { xdotool mousemove 771 567 click 1; sleep 1; uninstaller_gone; }
check "the uninstaller closes" wait_for 10 close_uninstaller

remove_run_value
finish
