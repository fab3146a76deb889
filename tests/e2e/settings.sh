#!/usr/bin/env bash
# The settings dialog in the running program: opened from the notification menu,
# the rest period changed on the alerts page and the note font on the sticks
# page; OK stores both and the quick-note box shows the new font at once.
set -u
source "$(dirname "$0")/lib.sh"
begin_pinora_test settings "$1" "$2"
tool=$3

"$wine_run" "$tool" seed-user "$(winpath "$P")" anna secret >/dev/null 2>&1
printf '[HOTKEY]\r\nhotkey=242\r\n[ALERTS]\r\neach_time=45\r\ncheck_rest=1\r\n' >>"$P/pinora.ini"
setting() { grep -a "^$1=" "$P/pinora.ini" | head -1 | cut -d= -f2- | tr -d '\r'; }
title="Pinora - settings"
window_up() { "$wine_run" "$tool" window - "$1" >/dev/null 2>&1; }
window_gone() { ! window_up "$1"; }
# Centre of a visible control of a window, as "x y".
control_centre() {
  local rect
  rect=$("$wine_run" "$tool" control "$1" "$2" 2>/dev/null | tr -d '\r')
  [ -n "$rect" ] || return 1
  read -r l t r b <<<"$rect"
  echo "$(((l + r) / 2)) $(((t + b) / 2))"
}
shows_control() { control_centre "$title" "$1" >/dev/null; }
click_control() {
  local at
  at=$(control_centre "$1" "$2") || return 1
  read -r x y <<<"$at"
  xdotool mousemove "$x" "$y" click 1
  sleep 0.3
}
# The list's entries are one text line (13 pixels) high, below its 2-pixel
# border: the middle of the n-th (from 0) is clicked.
choose_page() {
  local rect
  rect=$("$wine_run" "$tool" control "$title" 1045 2>/dev/null | tr -d '\r')
  read -r l t _ _ <<<"$rect"
  xdotool mousemove $((l + 20)) $((t + 8 + 13 * $1)) click 1
  sleep 0.5
}

# The height in pixels of the dark text in the quick-note box: rows holding at
# least four pixels darker than mid-grey (the caret gives a row one or two).
text_height() {
  local rect
  rect=$("$wine_run" "$tool" control "Pinora - quick note" 1001 2>/dev/null | tr -d '\r')
  [ -n "$rect" ] || { echo 0; return; }
  read -r l t r b <<<"$rect"
  import -window root -crop "$((r - l - 24))x$((b - t - 4))+$((l + 2))+$((t + 2))" -depth 8 txt:- 2>/dev/null | awk '
    /^#/ { next }
    { split($1, at, /[,:]/); gsub(/[()]/, "", $2); split($2, c, ","); if (c[1] + c[2] + c[3] < 300) dark[at[2]]++ }
    END { n = 0; for (y in dark) if (dark[y] >= 4) n++; print n }'
}
main_up() { window_up "Pinora - quick note"; }
main_hidden() { ! main_up; }
# Shows the quick-note box with a line in it, measures it, hides it (the text stays).
measure_note() {
  activate_desktop
  xdotool key ctrl+b
  wait_for 8 main_up || { echo 0; return; }
  sleep 0.5
  [ "${1:-}" = type ] && { type_text "HHHH"; sleep 0.3; }
  [ -n "${2:-}" ] && screenshot "$2" >/dev/null
  text_height
  xdotool key Escape
  wait_for 8 main_hidden
}

log=$work/pinora.log
start_pinora "$log"
check "Pinora starts and logs anna in" grep -qa 'Pinora: logged in' "$log"
sleep 1
before=$(measure_note type e2e-settings-quick-note-before)
check "the quick note shows its text in the standard font (height $before)" test "$before" -gt 3

check "the settings open from the notification menu" choose_tray_item in-settings window_up "$title"
sleep 0.5
screenshot e2e-settings-general

choose_page 1
check "the alerts page is shown" shows_control 1053
screenshot e2e-settings-alerts
click_control "$title" 1053
xdotool key End BackSpace BackSpace BackSpace
type_text "30"

choose_page 2
check "the sticks page is shown" shows_control 1081
click_control "$title" 1081
xdotool key End BackSpace BackSpace BackSpace
type_text "18"
sleep 0.3
screenshot e2e-settings-sticks

click_control "$title" 1
check "OK closes the settings" wait_for 10 window_gone "$title"
check "the rest period is stored (was '$(setting each_time)')" test "$(setting each_time)" = "30"
check "the note font is stored (was '$(setting note_font)')" test "$(setting note_font)" = "18"

after=$(measure_note "" e2e-settings-quick-note)
check "the quick-note box shows the larger font at once (height $before, now $after)" test "$after" -gt $((before + 3))

check "Exit ends Pinora" choose_tray_item in-exit pinora_gone
pinora_gone || kill "$pinora_pid" 2>/dev/null
wait "$pinora_pid" 2>/dev/null
remove_run_value
finish
