#!/usr/bin/env bash
# The shell end to end: a copy of shell_probe in $T/app, started from $T under its own Xvfb,
# driven with real xdotool clicks and keys (XTEST), checked by its output, Log.txt and pixels.
#   shell_e2e.sh PATH_TO_SHELL_PROBE
set -euo pipefail
PROBE=$1
. "$(dirname "$0")/../support/e2e.sh"

e2e_setup
cp "$PROBE" "$T/app/shell_probe"
APP="$T/app/shell_probe"
LOG="$T/app/Log.txt"

# Palette entries of the test atlas (see app_hook_recorder.cpp): background 33, panel 35, face 37.
BACKGROUND="159 7 46"
PANEL="159 183 94"

run() {  # run SCENARIO: start the probe and wait until it drew its first frames
  e2e_start_program "$APP" "$1"
  e2e_wait_output READY >/dev/null
  e2e_find_window
}

# --- Start-up and shut-down, windowed on a large screen -------------------------------------
e2e_start_xvfb 1280x1024
e2e_start_program "$APP" startup
e2e_wait_exit
e2e_check_equal "startup exit status" "$E2E_STATUS" 0
out=$(cat "$T/program.out")
e2e_check_contains "windowed at (0, 40)" "$out" "WINDOW 0 40 1024 768 borderless=0"
e2e_check_contains "compatibility context" "$out" "(Compatibility Profile)"
e2e_check_contains "default state" "$out" "STATE multisample=0 cull=1 depth_lequal=1 front_cw=1 depth_writes=0"
e2e_check_contains "background colour from the atlas" "$out" "PALETTE 33 159 7 46"
e2e_check_contains "entry 38 is the mean of 34 and 37" "$out" "PALETTE 38 159 163 106"
e2e_check_contains "swatch at x 395" "$out" "PALETTE 43 197 63 166"
e2e_check_contains "running state" "$out" "STATUS cur_win=-1 lang=0 ogl_inited=1 textures=1"
e2e_check_contains "main screen hook ran every frame" "$out" "UPDATES 10"
log=$(cat "$LOG")
e2e_check_equal "log first line" "$(head -n1 "$LOG")" \
  "log.txt for Veltrix 8.50 Beta 8 - Installer/Updater build 85008 compiled on Aug 20 2006 22:25:43"
release=$(uname -r)
major=${release%%.*}; rest=${release#*.}; minor=${rest%%.*}; rest=${rest#*.}; patch=${rest%%[!0-9]*}
e2e_check_equal "system line" "$(sed -n 8p "$LOG")" "Mac OS X $major.$minor.$patch"
e2e_check_contains "machine line" "$(sed -n 9p "$LOG")" "CPU type: ? CPU speed (mhz): "
e2e_check_equal "folder line" "$(sed -n 10p "$LOG")" "Veltrix Suite folder=  case sensitive=1"
e2e_check_contains "processor count" "$log" "CPU count = $(getconf _NPROCESSORS_ONLN)"
e2e_check_equal "seven format lines" "$(grep -c '^AGL_[A-Z_]* *:[0-9]*$' "$LOG")" 7
e2e_check_contains "double buffered" "$log" "AGL_DOUBLEBUFFER :1"
e2e_check_equal "log ends with the pool's exit" "$(tail -n1 "$LOG")" "Clean exit from threads."
e2e_stop "${E2E_PIDS[0]}"
E2E_PIDS=()

# --- Everything else on a 1024x768 screen, where the window covers it borderless -------------
e2e_start_xvfb 1024x768
e2e_start_program "$APP" startup
e2e_wait_exit
e2e_check_contains "borderless at (0, 0)" "$(cat "$T/program.out")" "WINDOW 0 0 1024 768 borderless=1"

# The alert box drawn in OpenGL and answered by a real click on OK at virtual (512, 287).
run alert
e2e_screenshot >/dev/null
e2e_pixel_near "$(e2e_pixel 100 100)" "$BACKGROUND" || e2e_fail "background outside the box: $(e2e_pixel 100 100)"
e2e_pixel_near "$(e2e_pixel 330 480)" "$PANEL" || e2e_fail "alert panel: $(e2e_pixel 330 480)"
e2e_click 512 287
e2e_wait_exit
e2e_check_equal "alert answered by a click" "$(grep ANSWERED "$T/program.out")" "ANSWERED cur_win=0 return_hit=0"
e2e_check_contains "alert logged" "$(cat "$LOG")" $'The probe raised this alert.\nIt waits for its button.\nLine three.\nLine four.\n(probe line 7)'

# A click beside the button leaves the box open; Return answers it.
run alert
e2e_click 700 287
e2e_key Return
e2e_wait_exit
e2e_check_equal "alert answered by Return" "$(grep ANSWERED "$T/program.out")" "ANSWERED cur_win=0 return_hit=0"

# A fatal alert ends the process with status 1 once answered, its lines logged.
run fatal
e2e_key Return
e2e_wait_exit
e2e_check_equal "fatal alert status" "$E2E_STATUS" 1
e2e_check_equal "fatal alert log tail" "$(tail -n5 "$LOG")" $'The probe ends here.\n\nFatal by request.\n\n(probe line 9)'
e2e_check_equal "nothing after the fatal alert" "$(grep -c 'NOT REACHED' "$T/program.out" || true)" 0

# Typed text through XTEST reaches stl_input; BackSpace erases, Return ends without typing.
run type
e2e_type 'Hello, W0rld? worx'
e2e_key BackSpace
e2e_type 'ld'
e2e_key Return
e2e_wait_exit
e2e_check_equal "typed text" "$(grep TYPED "$T/program.out")" "TYPED[Hello, W0rld? world]"

# SDL installs no signal handlers of its own: SIGTERM ends the program by its default action,
# rather than becoming a quit request that a frame loop may never read.
e2e_start_program env -u SDL_NO_SIGNAL_HANDLERS "$APP" type
e2e_wait_output READY >/dev/null
kill -TERM "$E2E_PROGRAM_PID"
e2e_wait_exit 10
e2e_check_equal "SIGTERM keeps its default action" "$E2E_STATUS" 143

# Function keys reach the key hook only.
run keys
e2e_key shift+F5 F1
e2e_key Return
e2e_wait_exit
e2e_check_equal "key hook calls" "$(grep KEY "$T/program.out" | tr '\n' ';')" "KEY 3 66;KEY 3 50;KEY 0 13;"

# Wheel buttons 4 and 5 step the wheel by one each.
run wheel
e2e_move 500 400
e2e_wheel up 3
e2e_wheel down 1
e2e_key Return
e2e_wait_exit
e2e_check_equal "wheel" "$(grep WHEEL "$T/program.out")" "WHEEL 2"

# A click lands at the virtual point it was aimed at.
run click
e2e_click 100 200
e2e_wait_exit
e2e_check_equal "click position" "$(grep CLICK "$T/program.out")" "CLICK 100.0 200.0"

# A modal box runs its own loop, without the main screen's hook, until its close corner is hit:
# box 2 (500 x 380) sits at (262, 194); its top-left corner area spans y 360..380 of the box.
run modal
e2e_click $((262 + 10)) $((194 + 370))
e2e_wait_exit
e2e_check_equal "modal box closed by its corner" "$(grep CLOSED "$T/program.out")" \
  "CLOSED cur_win=0 updates_in_box=0 frames_positive=1"

# The progress window of its own: 500 x 250, titled with the text, its bar half full.
e2e_start_program env -u VELTRIX_HEADLESS "$APP" progress
e2e_wait_output READY >/dev/null
progress=$(timeout 10 xwininfo -root -children | awk '$2 == "\"Copying" {print $1; exit}')
[ -n "$progress" ] || e2e_fail "no progress window"
e2e_check_contains "progress window size" "$(timeout 10 xwininfo -id "$progress")" "Width: 500"
timeout 10 xwd -id "$progress" -silent | timeout 20 convert xwd:- "png:$T/progress.png"
# Red tells the bar's fill (dark blue) from its track (light grey).
bar_red() { timeout 20 convert "$T/progress.png" -format "%[fx:int(255*p{$1,220}.r+0.5)]" info:; }
filled=$(bar_red 100)
empty=$(bar_red 400)
[ "$filled" -lt 100 ] && [ "$empty" -gt 150 ] || e2e_fail "progress bar: red $filled left of half, $empty right of it"
e2e_log "ok: progress bar half full"
touch "$T/done"
e2e_wait_exit
e2e_check_equal "progress window status" "$E2E_STATUS" 0

# The system box before OpenGL, found by its title and answered with Return.
e2e_start_program env -u VELTRIX_HEADLESS "$APP" system-box
e2e_answer_system_box
e2e_wait_exit
e2e_check_equal "system box answered" "$(cat "$T/program.out")" "ANSWERED system box"

# Without a display: the start-up's fatal alert on stderr, status 1, the lines in Log.txt.
e2e_start_program env -u DISPLAY "$APP" startup
e2e_wait_exit
e2e_check_equal "no display status" "$E2E_STATUS" 1
e2e_check_contains "no display alert line" "$(cat "$T/program.err")" \
  "ALERT: I could not set up the graphics for Veltrix! I hope your monitor is at 1024x768 or higher! It must be! You do not meet"
e2e_check_equal "no display log tail" "$(tail -n1 "$LOG")" "(hl_init line 1198)"
e2e_check_equal "no display first fatal line" "$(tail -n5 "$LOG" | head -n1)" \
  "I could not set up the graphics for Veltrix! I hope your monitor is at 1024x768 or higher! It must be!"
# The fatal exit with the worker pool running and its workers waiting: always status 1, never
# an abort from threads torn down at exit.
for run in $(seq 20); do
  e2e_start_program env -u DISPLAY "$APP" startup
  e2e_wait_exit 10
  [ "$E2E_STATUS" = 1 ] || e2e_fail "fatal exit run $run: status $E2E_STATUS"
done
e2e_log "ok: twenty fatal exits with the pool running, all status 1"
e2e_log "all shell end-to-end checks passed"
