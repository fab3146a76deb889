# Helpers for the end-to-end tests: the real programs in the Wine desktop, driven
# with xdotool, checked on disk and in the process list, with screenshots kept.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# The tests' clock. The programs under test (everything started through
# $wine_run) and the scripts' own reckoning (tdate) see today's date at noon
# plus the minutes of the real hour, so alarms some minutes ahead and today's
# diary file never cross midnight, whatever the hour the tests run at. Only the
# wall clock moves: tick counts stay real, since the input hooks record them in
# other processes.
if [ -z "${PINORA_E2E_CLOCK:-}" ]; then
  shift_seconds=$(( (12 - 10#$(date +%H)) * 3600 ))
  if [ "$shift_seconds" -lt 0 ]; then PINORA_E2E_CLOCK="${shift_seconds}s"; else PINORA_E2E_CLOCK="+${shift_seconds}s"; fi
  export PINORA_E2E_CLOCK
fi
export FAKETIME_DONT_FAKE_MONOTONIC=1
tdate() { "$top/tests/e2e/clocked" date "$@"; }
wine_run="$top/tests/e2e/clocked_wine"
export WINEPREFIX=${PINORA_WINEPREFIX:-$top/build/wineprefix}
# Wine takes its locale from these: the scripts type dates and times the way the
# C locale writes them (12-hour clock with AM/PM).
export LC_ALL=C.UTF-8 LANG=C.UTF-8
artifacts="$top/build/artifacts"
mkdir -p "$artifacts"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }
# no_crash_in LOG: Wine reported no unhandled exception. Its own fixme lines say
# "Unhandled" too (the HID driver at a Wine session's start), so the message of
# the crash handler is what counts.
no_crash_in() { ! grep -qa 'wine: Unhandled' "$1"; }

# wait_for SECONDS command...: polls until the command succeeds.
wait_for() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  while [ $SECONDS -lt $end ]; do "$@" && return 0; sleep 0.2; done
  "$@"
}

# Processes of a program in this run's Wine prefix: the Wine process's command
# line starts with its path (the wrapper's starts with bash, so it is not
# counted), and its environment names our prefix (other clones of the project may
# run the same programs under Wine at the same time).
pids_of() {
  local pid
  for pid in $(pgrep -f "^[^ ]*$1" 2>/dev/null); do
    tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$pid"
  done
}
count_processes() { pids_of "$1" | wc -l; }

# start_private_xvfb FIRST: an Xvfb of this run's own on the first free display
# from FIRST on (50 tried); sets DISPLAY and xvfb_pid, false when none started.
start_private_xvfb() {
  local n
  xvfb_pid=
  for n in $(seq "$1" $(($1 + 49))); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    if kill -0 "$xvfb_pid" 2>/dev/null; then export DISPLAY=":$n"; return 0; fi
    xvfb_pid=
  done
  return 1
}

screenshot() { import -window root "$artifacts/$1.png" 2>/dev/null && echo "screenshot: build/artifacts/$1.png"; }

# The Windows form of a path on this machine (Wine maps / to drive Z:).
winpath() { echo "Z:${1//\//\\}"; }

# A fresh copy of the program folder, so the real one is never touched.
stage_program_folder() {
  local dist=$1 target=$2
  rm -rf "$target"
  mkdir -p "$target"
  cp -r "$dist/." "$target/"
  rm -f "$target/pinora.ini" "$target"/*.dat
}

# Without a window manager the Wine desktop gets the keyboard only when given it.
focus_desktop() {
  local w
  w=$(xdotool search --name 'Wine desktop' 2>/dev/null | head -1)
  [ -n "$w" ] && xdotool windowfocus "$w" 2>/dev/null
}

# The notification area sits at the right end of the desktop's taskbar.
# A click on the empty desktop first gives the Wine desktop the keyboard, so the
# menu then answers to its underlined letters.
click_tray_icon() { focus_desktop; xdotool mousemove 640 40 click 1; sleep 0.3; xdotool mousemove 1270 790 click 1; }

# The notification menu opens at the icon, but Wine places it a little higher or
# lower from one time to the next, so its top edge is found on the screen: the
# first pixel below y = 380 in column x = 1140 that is not the desktop's colour.
# Items are then at fixed offsets from the top (keyboard letters are not used:
# after another window took the foreground, Wine does not always route the keys
# to the menu).
menu_top() {
  import -window root -crop 1x420+1140+380 txt:- 2>/dev/null | awk '
    /^#/ { next }
    { split($1, at, /[,:]/); colour = $3 }
    !seen { desktop = colour; seen = 1; next }
    colour != desktop { print 380 + at[2]; exit }'
}
item_offset() {
  case $1 in
    out-login) echo 11 ;;
    out-exit) echo 88 ;;
    in-calendar) echo 45 ;;
    in-today) echo 79 ;;
    in-settings) echo 199 ;;
    in-sync) echo 216 ;;
    in-logout) echo 258 ;;
    in-pwdbox) echo 97 ;;
    in-exit) echo 318 ;;
  esac
}

# Opens the notification menu, clicks an item and waits for what it should bring
# about; tries again a few times in case the menu was slow to open.
choose_tray_item() {
  local item=$1; shift
  for _ in 1 2 3; do
    click_tray_icon
    sleep 1
    local top
    top=$(menu_top)
    if [ -n "$top" ]; then
      xdotool mousemove 1140 $((top + $(item_offset "$item"))) click 1
    fi
    wait_for 8 "$@" && return 0
    xdotool key Escape
  done
  return 1
}

# Whether the screen at (x, y) shows something other than the empty desktop.
something_at() {
  local here desktop
  here=$(import -window root -crop "1x1+$1+$2" txt:- 2>/dev/null | awk '!/^#/ {print $3}')
  desktop=$(import -window root -crop "1x1+640+300" txt:- 2>/dev/null | awk '!/^#/ {print $3}')
  [ -n "$here" ] && [ "$here" != "$desktop" ]
}

# A click on the empty desktop gives the Wine desktop the keyboard.
activate_desktop() { focus_desktop; xdotool mousemove 640 40 click 1; sleep 0.3; }

# Types text into whatever has the keyboard, slowly enough for Wine.
type_text() { xdotool type --delay 100 "$1"; }

# Whether a window of exactly this title is there.
window_named() { xdotool search --name "^$1\$" >/dev/null 2>&1; }
# Each top-level window of the Wine desktop is an X window of its own: the
# keys go to the one that has the X focus.
give_keys() {
  local w
  w=$(xdotool search --name "^$1\$" 2>/dev/null | head -1)
  [ -n "$w" ] && xdotool windowfocus "$w" 2>/dev/null
  sleep 0.3
}

remove_run_value() {
  "$wine_run" reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v 'Pinora notes' /f >/dev/null 2>&1 || true
}

# begin_pinora_test NAME DIST ROOT: an empty work folder ROOT/NAME (no file of an
# earlier run can pass for this one's) with a fresh program folder P in it;
# refuses to run while a Pinora of an earlier run of it is still there.
begin_pinora_test() {
  work=$3/$1
  P=$work/P
  pattern="$1/P/Pinora\\.exe"
  if [ "$(count_processes "$pattern")" -ne 0 ]; then
    echo "a Pinora from an earlier run is still there"
    exit 1
  fi
  rm -rf "$work"
  stage_program_folder "$2" "$P"
}
pinora_gone() { [ "$(count_processes "$pattern")" -eq 0 ]; }

# start_pinora LOG: starts the test's Pinora with its debug lines in LOG, sets
# pinora_pid and waits until the notification icon is there.
start_pinora() {
  local log=$1
  : >"$log"  # emptied now, so no line of an earlier run is mistaken for this one's
  PINORA_WINEDEBUG=+debugstr "$wine_run" "$P/Pinora.exe" >"$log" 2>&1 &
  pinora_pid=$!
  wait_for 40 grep -qa 'Pinora: notification icon added' "$log"
}

finish() {
  # A Pinora that would not exit holds the single-instance mutex of the shared
  # Wine server, and every later test's Pinora would hand over to it: end this
  # test's own one ($pinora_pid is only the wrapper script).
  if [ -n "${pattern:-}" ] && ! pinora_gone; then
    echo "e2e: this test's Pinora is still running; ending it"
    for pid in $(pids_of "$pattern"); do kill "$pid" 2>/dev/null; done
  fi
  if [ "$failures" -eq 0 ]; then echo "e2e: all checks passed"; exit 0; fi
  echo "e2e: $failures check(s) failed"; exit 1
}
