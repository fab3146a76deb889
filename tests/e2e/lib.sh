# Helpers for the end-to-end tests: the real programs in the Wine desktop, driven
# with xdotool, checked on disk and in the process list, with screenshots kept.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
wine_run="$top/scripts/wine"
export WINEPREFIX=${PINORA_WINEPREFIX:-$top/build/wineprefix}
artifacts="$top/build/artifacts"
mkdir -p "$artifacts"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }

# wait_for SECONDS command...: polls until the command succeeds.
wait_for() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  while [ $SECONDS -lt $end ]; do "$@" && return 0; sleep 0.2; done
  "$@"
}

# Processes of a program: the Wine process's command line starts with its path
# (the wrapper's starts with bash, so it is not counted).
count_processes() { pgrep -fc "^[^ ]*$1" 2>/dev/null || true; }

screenshot() { import -window root "$artifacts/$1.png" 2>/dev/null && echo "screenshot: build/artifacts/$1.png"; }

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
click_tray_icon() { focus_desktop; xdotool mousemove 1270 790 click 1; }

# The notification menu opens above the taskbar (which starts at y = 780); its
# items are 17 pixels high. Clicks the n-th item counted from the bottom.
click_tray_menu_item_from_bottom() { xdotool mousemove 1140 $((780 - 9 - ($1 - 1) * 17)) click 1; }

remove_run_value() {
  "$wine_run" reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v 'Pinora notes' /f >/dev/null 2>&1 || true
}

finish() {
  if [ "$failures" -eq 0 ]; then echo "e2e: all checks passed"; exit 0; fi
  echo "e2e: $failures check(s) failed"; exit 1
}
