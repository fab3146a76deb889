#!/usr/bin/env bash
# Pinora on a 144-DPI screen (150 %): the programs declare themselves DPI-aware,
# so their dialogs and the today window must grow with the screen's DPI instead
# of being drawn at 96-DPI size. Runs in a Wine prefix and on an X display of its
# own, so the shared test prefix keeps 96 DPI.
set -u
source "$(dirname "$0")/lib.sh"
dist=$1 root=$2 tool=$3
work=$root/dpi144
P=$work/P
pattern='dpi144/P/Pinora\.exe'

export PINORA_WINEPREFIX=$work/prefix
export WINEPREFIX=$PINORA_WINEPREFIX
start_private_xvfb 141 || { echo "could not start Xvfb"; exit 1; }
cleanup() { wineserver -k >/dev/null 2>&1; kill "$xvfb_pid" 2>/dev/null; }
trap cleanup EXIT

stage_program_folder "$dist" "$P"
# The prefix is kept between runs (making one takes a while); its DPI is set each time.
"$wine_run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1
"$wine_run" "$tool" seed-user "$(winpath "$P")" anna secret >/dev/null 2>&1
# Today's sticks are shown at start-up.
sed -i 's/^\[SETTINGS\]\r$/[SETTINGS]\r\nauto_start_dk=1\r/' "$P/pinora.ini"

check "Pinora starts at 144 DPI" start_pinora "$work/pinora.log"
logged_in() { grep -qa 'Pinora: logged in' "$work/pinora.log"; }
check "anna is logged in" wait_for 10 logged_in

# something_in X Y W H: the rectangle shows something other than the desktop.
something_in() {
  local desktop
  desktop=$(import -window root -crop "1x1+640+300" txt:- 2>/dev/null | awk '!/^#/ {print $3}')
  import -window root -crop "$3x$4+$1+$2" txt:- 2>/dev/null |
    awk -v d="$desktop" '!/^#/ && $3 != d { found = 1 } END { exit !found }'
}
# At 96 DPI the today window is 300 pixels wide at the right edge (x from 970);
# at 144 DPI it is 450 wide, so its frame and picture reach x = 840.
today_scaled() { something_in 840 20 1 180; }
check "the today window is drawn 1.5 times as large" wait_for 10 today_scaled

# The stick editor sits at the lower right corner: at 96 DPI its top left corner
# is at (820, 353); at 144 DPI the dialog is half as large again.
activate_desktop
xdotool key alt+shift+s
editor_scaled() { something_at 700 250; }
check "the stick editor dialog is drawn 1.5 times as large" wait_for 10 editor_scaled
sleep 0.5
type_text "Scaled at 144 DPI"
xdotool key alt+q
sleep 0.5
screenshot e2e-dpi144-editor
xdotool mousemove 906 706 click 1     # OK
alarms=$(winpath "$P/anna/data/sticks/alarm.ser")
saved() { [ "$("$wine_run" "$tool" field "$alarms" 1 4 2>/dev/null | tr -d '\r')" = "Scaled at 144 DPI" ]; }
check "the stick is saved" wait_for 10 saved
# Its text: in the first row under the picture, from x = 820 + 1.5 x (15 + 25).
row_shown() { something_in 880 143 210 15; }
check "the today window lists it in its scaled row" wait_for 10 row_shown
sleep 1
screenshot e2e-dpi144
finish
