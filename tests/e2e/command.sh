#!/usr/bin/env bash
# The quick-note box as a command line, end to end: "cmd" and Enter start a
# command window; a dictionary lookup shows its popup docked to the left of the
# main window, following it when it is dragged, and - Wine having no HTML engine
# for the browser control - hands the address to the web browser, here a
# stand-in that writes down what it was given.
set -u
source "$(dirname "$0")/lib.sh"
begin_pinora_test command "$1" "$2"
tool=$3

"$wine_run" "$tool" seed-user "$(winpath "$P")" anna secret >/dev/null 2>&1
# Seeding wrote the settings file, so the first run's hotkey is set here: Ctrl+B.
printf '[HOTKEY]\r\nhotkey=242\r\n' >>"$P/pinora.ini"

# Wine's web browser starter tries the programs listed under WineBrowser; ours
# only writes the address down. The previous list is put back at the end.
browser_log=$work/browser.log
stand_in=$work/browser.sh
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s"\n' "$browser_log" >"$stand_in"
chmod +x "$stand_in"
browsers_key='HKCU\Software\Wine\WineBrowser'
old_browsers=$("$wine_run" reg query "$browsers_key" /v Browsers 2>/dev/null | tr -d '\r' | awk '$1 == "Browsers" {print $3}')
"$wine_run" reg add "$browsers_key" /v Browsers /d "$stand_in" /f >/dev/null 2>&1
restore_browsers() {
  if [ -n "$old_browsers" ]; then
    "$wine_run" reg add "$browsers_key" /v Browsers /d "$old_browsers" /f >/dev/null 2>&1
  else
    "$wine_run" reg delete "$browsers_key" /v Browsers /f >/dev/null 2>&1
  fi
}
trap restore_browsers EXIT

log=$work/pinora.log
check "Pinora starts" start_pinora "$log"
check "Pinora logs anna in" wait_for 10 grep -qa 'Pinora: logged in' "$log"
sleep 1

main_title="Pinora - quick note"
popup_title="Pinora - dictionary"
# The place of a shown window as "left top right bottom"; nothing while it is hidden.
rect_of() { "$wine_run" "$tool" window - "$1" 2>/dev/null | tr -d '\r'; }
shown() { [ -n "$(rect_of "$1")" ]; }
hidden() { ! shown "$1"; }

activate_desktop
xdotool key ctrl+b
check "Ctrl+B shows the quick-note window" wait_for 10 shown "$main_title"
sleep 0.5
type_text "cmd"
xdotool key Return
console_up() { [ "$(count_processes 'cmd\.exe')" -ge 1 ]; }
check "cmd and Enter in the note box start a command window" wait_for 20 console_up
sleep 1
screenshot e2e-command-cmd
# The command window was started by this test's Pinora: end it.
for pid in $(pids_of 'cmd\.exe'); do kill "$pid" 2>/dev/null; done
check "the command window ends" wait_for 10 test "$(count_processes 'cmd\.exe')" -eq 0
check "the quick-note window stays open with the word in it" shown "$main_title"

# "setkey" opens the hotkey dialog for the quick-note hotkey; Escape closes it.
click_item() {
  local l t r b
  read -r l t r b < <("$wine_run" "$tool" item-rect "$main_title" "$1" 2>/dev/null | tr -d '\r')
  activate_desktop
  xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
  sleep 0.5
}
click_item 1001
xdotool key --repeat 8 BackSpace
type_text "setkey"
xdotool key Return
hotkey_title="Pinora - quick-note hotkey"
check "setkey and Enter open the quick-note hotkey dialog" wait_for 10 shown "$hotkey_title"
screenshot e2e-command-setkey
xdotool key Escape
check "Escape closes it" wait_for 5 hidden "$hotkey_title"

# The word box: a click clears its hint, Enter presses the lookup button.
click_item 1075
type_text "two words"
xdotool key Return
# The browser control cannot show pages here: its "Error" box comes first.
check "the browser control reports that it cannot be created" wait_for 15 shown "Error"
screenshot e2e-dictionary-error
for _ in 1 2 3; do
  shown "Error" || break
  xdotool key Return
  wait_for 3 hidden "Error" && break
done
check "the error box goes with Enter" hidden "Error"
check "the dictionary popup is shown" wait_for 10 shown "$popup_title"

docked() {
  local ml mt mr mb pl pt pr pb half
  read -r ml mt mr mb < <(rect_of "$main_title")
  read -r pl pt pr pb < <(rect_of "$popup_title")
  half=$(((mr - ml) / 2))
  [ -n "$ml" ] && [ -n "$pl" ] && [ "$pr" -eq "$ml" ] && [ "$pl" -eq $((ml - half)) ] && [ "$pt" -eq "$mt" ] &&
    [ "$pb" -eq "$mb" ]
}
check "the popup is docked to the left of the main window: half its width, its height" docked
looked_up() { grep -qF 'mini.php?q=two%20words' "$browser_log" 2>/dev/null; }
check "the words went to the web browser with the dictionary address" wait_for 15 looked_up
sleep 0.5
screenshot e2e-dictionary-popup

# Dragging the main window by its caption takes the popup along.
read -r ml mt _ < <(rect_of "$main_title")
xdotool mousemove $((ml + 60)) $((mt + 10)) mousedown 1
for step in 1 2 3 4 5 6; do xdotool mousemove $((ml + 60 - step * 20)) $((mt + 10 - step * 30)); sleep 0.1; done
xdotool mouseup 1
sleep 0.5
moved() { read -r nl _ < <(rect_of "$main_title"); [ -n "$nl" ] && [ "$nl" -ne "$ml" ]; }
check "the main window was dragged" wait_for 5 moved
check "the popup followed it" wait_for 5 docked
screenshot e2e-dictionary-dragged

# Cancel (Escape) hides the main window and the popup with it.
read -r ml mt _ < <(rect_of "$main_title")
xdotool mousemove $((ml + 60)) $((mt + 10)) click 1  # the main window has the keyboard
xdotool key Escape
check "Escape hides the quick-note window" wait_for 5 hidden "$main_title"
check "and the dictionary popup with it" wait_for 5 hidden "$popup_title"

check "Exit ends Pinora" choose_tray_item in-exit pinora_gone
pinora_gone || kill "$pinora_pid" 2>/dev/null
wait "$pinora_pid" 2>/dev/null
remove_run_value
finish
