#!/usr/bin/env bash
# The animation player on its own: each shipped wink plays in the Wine desktop
# over the desktop's colour, shows its drawing with the background showing
# through, and the player ends by itself about 1.5 s after the last frame. Its
# command line answers "version" with its box and a ".txt" file with the
# non-swf message.
set -u
source "$(dirname "$0")/lib.sh"
dist=$1
work=$2/vekflash
movies=$2/../resources/winks
rm -rf "$work"; mkdir -p "$work"
player=$dist/VekFlash.exe
pattern='VekFlash\.exe'
gone() { [ "$(count_processes "$pattern")" -eq 0 ]; }
wait_for 10 gone || pkill -f "^[^ ]*$pattern"

# Somewhere in the middle of the screen the drawing shows, and around it the
# desktop still shows through the player's transparent window.
# The desktop's colour is read in the same picture, at its top left corner.
drawing_shown() {
  shot_at=$(date +%s.%N)
  import -window root "$work/shot.png" 2>/dev/null || return 1
  local desktop
  desktop=$(convert "$work/shot.png" -crop 1x1+20+20 txt:- | awk '!/^#/ {print $3}')
  convert "$work/shot.png" -crop 400x400+440+200 txt:- | awk -v desktop="$desktop" '
    !/^#/ { if ($3 == desktop) bg++; else fg++ }
    END { exit !(fg > 500 && bg > 500) }'
}

# The lifetime is checked from both ends: at least the movie and its 1.5 s hold
# after the start, and at most that (with some slack) after the drawing was first
# seen, so a slow start of Wine on a busy machine does not count against it.
for wink in bell:2.0 note:1.5 stars:1.67; do
  name=${wink%%:*}; length=${wink#*:}
  cp "$movies/$name.swf" "$work/$name.swf"
  start=$(date +%s.%N)
  "$wine_run" "$player" "$(winpath "$work/$name.swf")" >/dev/null 2>&1 &
  pid=$!
  wait_for 12 drawing_shown; shown=$?
  seen=$shot_at
  cp "$work/shot.png" "$artifacts/e2e-wink-$name.png" 2>/dev/null && echo "screenshot: build/artifacts/e2e-wink-$name.png"
  check "$name: the drawing shows with the desktop around it" test "$shown" -eq 0
  wait_for 15 gone
  wait "$pid"; rc=$?
  ended=$(date +%s.%N)
  lived=$(echo "$ended - $start" | bc)
  after_seen=$(echo "$ended - $seen" | bc)
  echo "$name: movie $length s, player lived $lived s, $after_seen s of it after the drawing was seen"
  check "$name: the player ends by itself 1.5 s after the last frame" \
    test "$(echo "$lived >= $length + 1.0 && $after_seen <= $length + 3.5" | bc)" -eq 1
  check "$name: and ends with code 0 (was $rc)" test "$rc" -eq 0
done

# A message box keeps the player waiting until it is answered.
answer_box() {
  local name=$1; shift
  "$wine_run" "$player" "$@" >/dev/null 2>&1 &
  local pid=$!
  sleep 2
  screenshot "e2e-vekflash-$name"
  check "$name: the player waits on its box" test "$(count_processes "$pattern")" -eq 1
  # A click into the middle of the centred box gives it the keyboard.
  focus_desktop
  xdotool mousemove 640 400 click 1
  sleep 0.3
  xdotool key Return
  wait_for 10 gone || { xdotool key Escape; wait_for 5 gone; }
  check "$name: answering the box ends the player" gone
  gone || kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}
answer_box version version
echo "not a movie" > "$work/readme.txt"
answer_box non-swf "$(winpath "$work/readme.txt")"

finish
