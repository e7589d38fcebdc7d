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
e2e_check_contains "entry 38 is the mean of 34 and 37" "$out" "PALETTE 38 159 163 106"
e2e_check_contains "swatch at x 395" "$out" "PALETTE 43 197 63 166"
e2e_check_contains "running state" "$out" "STATUS cur_win=-1 lang=0 ogl_inited=1 textures=1"
log=$(cat "$LOG")
e2e_check_equal "system line" "$(sed -n 8p "$LOG")" "Mac OS X $(uname -r | sed -E 's/^([0-9]+\.[0-9]+\.[0-9]+).*/\1/')"
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

# The alert box drawn in OpenGL over the background and answered by a real click on OK at
# virtual (512, 287); a fatal one ends the process with status 1 once answered by Return.
ALERT_LINES=$'The probe raised this alert.\nIt waits for its button.\nLine three.\nLine four.\n(probe line 7)'
run alert
e2e_screenshot >/dev/null
# Colours of the test atlas's palette entries (see app_hook_recorder.cpp): background 33, panel 35.
e2e_pixel_near "$(e2e_pixel 100 100)" "159 7 46" || e2e_fail "background outside the box: $(e2e_pixel 100 100)"
e2e_pixel_near "$(e2e_pixel 330 480)" "159 183 94" || e2e_fail "alert panel: $(e2e_pixel 330 480)"
e2e_click 512 287
e2e_wait_exit
e2e_check_equal "alert answered by a click" "$(grep ANSWERED "$T/program.out")" "ANSWERED cur_win=0 return_hit=0"
e2e_check_contains "alert logged" "$(cat "$LOG")" "$ALERT_LINES"
run fatal
e2e_key Return
e2e_wait_exit
e2e_check_equal "fatal alert status" "$E2E_STATUS" 1
e2e_check_equal "fatal alert log tail" "$(tail -n5 "$LOG")" "$ALERT_LINES"

# Typed text, keys, the wheel and a click through XTEST: BackSpace erases, function keys and
# Return reach the key hook without typing, wheel buttons 4 and 5 step by one, and the click
# lands at the virtual point it was aimed at.
run input
e2e_type 'Hello, W0rld? worx'
e2e_key BackSpace
e2e_type 'ld'
e2e_key shift+F5 F1 Return
e2e_move 500 400
e2e_wheel up 3
e2e_wheel down 1
e2e_click 100 200
e2e_wait_exit
out=$(cat "$T/program.out")
e2e_check_contains "typed text" "$out" "TYPED[Hello, W0rld? world]"
e2e_check_equal "last key hook calls" "$(grep KEY "$T/program.out" | tail -n3 | tr '\n' ';')" "KEY 3 66;KEY 3 50;KEY 0 13;"
e2e_check_contains "wheel and click" "$out" "WHEEL 2 CLICK 100.0 200.0"

# SDL installs no signal handlers of its own: SIGTERM ends the program by its default action,
# rather than becoming a quit request that a frame loop may never read.
e2e_start_program env -u SDL_NO_SIGNAL_HANDLERS "$APP" input
e2e_wait_output READY >/dev/null
kill -TERM "$E2E_PROGRAM_PID"
e2e_wait_exit 10
e2e_check_equal "SIGTERM keeps its default action" "$E2E_STATUS" 143

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
e2e_check_contains "no display reason" "$(cat "$LOG")" "Graphics set-up failed: no video (x11 not available)"
# The fatal exit with the worker pool running and its workers waiting: always status 1, never
# an abort from threads torn down at exit.
for run in $(seq 20); do
  e2e_start_program env -u DISPLAY "$APP" startup
  e2e_wait_exit 10
  [ "$E2E_STATUS" = 1 ] || e2e_fail "fatal exit run $run: status $E2E_STATUS"
done
e2e_log "ok: twenty fatal exits with the pool running, all status 1"
e2e_log "all shell end-to-end checks passed"
