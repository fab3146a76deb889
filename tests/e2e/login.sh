#!/usr/bin/env bash
# A user is created and logs in through the dialogs, logs out and in again, and
# after a restart is logged in automatically: Ctrl+B, a typed note and Enter put
# the note into that user's diary file for today.
set -u
source "$(dirname "$0")/lib.sh"
begin_pinora_test login "$1" "$2"

setting() { grep -a "^$1=" "$P/pinora.ini" | head -1 | cut -d= -f2- | tr -d '\r'; }

check "Pinora starts" start_pinora "$work/pinora-1.log"
sleep 2
screenshot e2e-login-dialog

# Nobody exists yet: the login dialog is up. New user... sits at its left bottom.
focus_desktop
xdotool mousemove 527 482 click 1
sleep 1.5
type_text "Anna"; xdotool key Tab
type_text "pw123"; xdotool key Tab
type_text "pw123"
screenshot e2e-new-user
xdotool key Return
check "the new user is stored" wait_for 10 test -f "$P/user.dat"
sleep 1

xdotool key alt+u; type_text "Anna"
xdotool key alt+p; type_text "pw123"
xdotool key Return
logged_in() { [ "$(setting auto_user)" = "Anna" ] && [ -d "$P/Anna" ]; }
check "Anna logs in and gets her folder" wait_for 10 logged_in

logged_out() { grep -qa 'Pinora: logged out' "$work/pinora-1.log"; }
check "log out from the notification menu" choose_tray_item in-logout logged_out
sleep 1
screenshot e2e-logged-out
# A click on the login dialog's caption gives it the keyboard.
focus_desktop
xdotool mousemove 600 302 click 1
sleep 0.5
xdotool key alt+u; xdotool key ctrl+a; type_text "Anna"
xdotool key alt+p; type_text "pw123"
xdotool key alt+r alt+a
xdotool key Return
remembered() { [ "$(setting auto_login_in)" = "1" ] && [ "$(setting auto_remember_pwd)" = "1" ] && [ -n "$(setting auto_pwd)" ]; }
check "logging in again remembers the password and automatic login" wait_for 10 remembered

check "Exit ends Pinora" choose_tray_item in-exit pinora_gone
wait "$pinora_pid"

check "Pinora starts again" start_pinora "$work/pinora-2.log"
auto_login() { grep -qa 'Pinora: logged in' "$work/pinora-2.log"; }
check "the restart logs Anna in automatically" wait_for 10 auto_login
sleep 1
focus_desktop
xdotool mousemove 640 40 click 1
sleep 0.5
xdotool key ctrl+b
sleep 1
type_text "e2e note"
screenshot e2e-quick-note
# Enter only breaks the line in the note box; the main hotkey saves and hides.
xdotool key ctrl+b
note_saved() { cat "$P"/Anna/data/*.txt 2>/dev/null | grep -qa $'^e2e note\r$'; }
check "automatic login and Ctrl+B twice put the note into today's diary" wait_for 10 note_saved
check "the diary file is named after today" test -f "$P/Anna/data/$(tdate +%Y-%m-%d).txt"

choose_tray_item in-exit pinora_gone || kill "$pinora_pid" 2>/dev/null
wait "$pinora_pid" 2>/dev/null
remove_run_value
finish
