#!/usr/bin/env bash
# The file box drawn in OpenGL end to end: opensave_probe in $T/app over a folder tree made here,
# driven with real xdotool clicks and typing (XTEST) under its own Xvfb, checked by the result the
# box returned.
#   opensave_e2e.sh PATH_TO_OPENSAVE_PROBE
set -euo pipefail
PROBE=$1
. "$(dirname "$0")/../support/e2e.sh"

e2e_setup
cp "$PROBE" "$T/app/opensave_probe"
APP="$T/app/opensave_probe"
cd "$T/app"
mkdir -p tree/A/B/C planes Output/movies empty gone many kept "odd/pipe|ü-name"
touch tree/A/a.txt tree/A/B/one.txt tree/A/B/two.txt tree/A/B/C/deep.txt tree/A/B/C/zz.txt \
  planes/x.acf planes/y.txt planes/z.acf Output/movies/reel.smo "odd/pipe|ü-name/in.txt" kept/a many/f{10000..13004}
touch -d '1 minute ago' kept  # a folder that has stood unchanged: the box keeps its listing
cd "$T"

# The box (341 x 484) sits at (342, 142): its name list's middle row at y 180, rows 10 apart, the
# folder pop-up's bar at (170, 440) with its rows 12 apart, Save at (282, 28), Cancel at (42, 28).
BOX_X=342
BOX_Y=142
MIDDLE_ROW=180
# A press takes a frame to be seen; the next one waits so that two never fall in one frame.
STEP_PAUSE=0.3

click_box() {  # click_box X Y: a click at box coordinates
  e2e_click $((BOX_X + $1)) $((BOX_Y + $2))
  sleep "$STEP_PAUSE"
}
click_row() { click_box 100 $((MIDDLE_ROW - 10 * $1)); }  # click_row N: N rows below the middle
open_popup() { click_box 170 440; }
pick_popup() { click_box 170 $((444 + 12 * $1)); }  # pick_popup N: N rows above the chosen folder

run() {  # run BOX PATH_MODE FILE_KIND RESULT: starts the probe and waits for its box
  local i
  e2e_start_program "$APP" "$@"
  e2e_wait_output READY >/dev/null
  e2e_find_window
  # The box covers the screen's background from its first frame; wait until it shows.
  for i in $(seq 100); do
    e2e_running "$E2E_PROGRAM_PID" || e2e_fail "the probe ended before its box showed"
    e2e_screenshot >/dev/null
    [ "$(e2e_pixel 100 100)" != "$(e2e_pixel $((BOX_X + 170)) $((BOX_Y + 18)))" ] && return 0
    sleep 0.1
  done
  e2e_fail "the file box never showed"
}

finish() {  # finish WHAT EXPECTED: the probe's answer once the box has closed
  e2e_wait_exit
  e2e_check_equal "$1" "$(grep RESULT "$T/program.out")" "$2"
}


e2e_start_xvfb 1024x768

# Opens a sub-folder and returns the file clicked there, as a path from the program's folder.
run 998 1 0 tree/A/B/one.txt  # C, one.txt, two.txt: one.txt in the middle
click_row -1                  # C
click_row 0                   # deep.txt, zz.txt: the click made C's row the middle one
finish "open box, into a sub-folder" "RESULT 1 [tree/A/B/C/deep.txt]"

# Goes up through the folder pop-up ("Veltrix Suite folder", tree, A, B chosen) to its first entry,
# the program's folder: Log.txt, Output, empty, opensave_probe, ...
run 998 1 0 tree/A/B/one.txt
open_popup
pick_popup 3
click_row 0  # Output
click_row 0  # movies
click_row 0  # reel.smo
finish "up to the program's folder" "RESULT 1 [Output/movies/reel.smo]"

# Kind 3 lists folders and aircraft only: x.acf, z.acf; y.txt is left out.
run 998 0 3 planes/x.acf
click_row 0
finish "filtered by extension" "RESULT 1 [z.acf]"

# The save box takes a typed name, confirmed by Save or by Return, with the kind's extension.
run 999 1 10 ""
e2e_type 'my clip.mov'
click_box 282 28
finish "save box, Save" "RESULT 1 [Output/movies/my clip.SMO]"
run 999 1 10 ""
e2e_type 'take two'
e2e_key Return
finish "save box, Return" "RESULT 1 [Output/movies/take two.SMO]"

# 3,000 of the 3,005 names are listed, the middle one current; '|' and UTF-8 in names are shown and
# returned; an entry added to a kept listing's folder shows.
run 998 0 0 many/f10000
click_row 0
finish "a folder of 3,005 names" "RESULT 1 [f11500]"
run 998 1 0 "odd/pipe|ü-name/in.txt"
open_popup  # the pop-up would refuse a '|' in its items
click_row 0
finish "a folder named with '|' and UTF-8" "RESULT 1 [odd/pipe|ü-name/in.txt]"
run 998 1 0 kept/a
touch "$T/app/kept/b"
click_row 1
finish "a kept listing" "RESULT 1 [kept/b]"

# An empty folder, and one removed while shown: Return chooses nothing, though the tables still hold
# the folder listed before. Cancel returns 0.
# The program's folder lists Log.txt, Output, empty, gone, kept, many (current), ... and then, without
# gone, Log.txt, Output, empty, kept, many (current), ...: each folder is two rows up.
for folder in gone empty; do
  run 998 1 0 "$folder/"
  click_row -2
  rm -rf "$T/app/gone"
  e2e_key Return
  sleep "$STEP_PAUSE"
  e2e_running "$E2E_PROGRAM_PID" || e2e_fail "Return in the folder $folder closed the box"
  click_box 42 28
  finish "cancelled in the folder $folder" "RESULT 0 [$folder/]"
done

e2e_log "all file box end-to-end checks passed"
