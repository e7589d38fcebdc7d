# e2e.sh: bash functions for end-to-end runs of a real program in a real window.
# Source it from a test script (bash, set -u is fine):
#
#   . "$VELTRIX_SOURCE_DIR/tests/support/e2e.sh"
#   e2e_setup                         # $T: private HOME, XDG_*, TMPDIR, stubs first on PATH
#   e2e_start_xvfb 1024x768           # own X server, DISPLAY exported
#   e2e_start_program "$T/app/prog" args...   # stdout/stderr in $T/program.out / .err
#   e2e_find_window                   # WID, X, Y of the window "Main"
#   e2e_click 512 287                 # virtual coordinates, y counted up from the bottom
#   e2e_key Return ; e2e_type 'text'  # through XTEST, to the focused window
#   e2e_screenshot ; e2e_pixel 10 10  # "r g b" of a virtual pixel of the last shot
#   e2e_wait_exit 20                  # E2E_STATUS: the exit status, bounded wait
#   e2e_wait_for "what" 30 command... # polls the command until it succeeds
#
# Every wait is bounded, and one that can no longer succeed fails at once: when the program
# ended, or when e2e_dead_end (a function the test may define) prints why. Processes are stopped
# by the PIDs recorded here, never by name. On a failed run (e2e_fail, or a non-zero exit of the
# script) $T is kept with shot.png and Log.txt and its path printed; a passing run removes it.

E2E_PIDS=()
E2E_KEEP=0
E2E_PROGRAM_PID=
E2E_VIRTUAL_HEIGHT=768

# Seconds a window or a line of output may take to appear.
E2E_WAIT=${E2E_WAIT:-30}

e2e_log() { echo "e2e: $*" >&2; }

e2e_fail() {
  e2e_log "FAIL: $*"
  E2E_KEEP=1
  # A last screenshot for the inspection, taken directly: a failing capture must not fail again.
  if [ -n "${WID:-}" ] && [ -z "${E2E_FAILING:-}" ]; then
    E2E_FAILING=1
    timeout 10 xwd -id "$WID" -silent 2>/dev/null | timeout 20 convert xwd:- "png:$T/shot.png" 2>/dev/null || true
  fi
  exit 1
}

# check "what" actual expected
e2e_check_equal() {
  if [ "$2" != "$3" ]; then
    e2e_fail "$1: got [$2], expected [$3]"
  fi
  e2e_log "ok: $1"
}

e2e_check_contains() {
  case "$2" in
    *"$3"*) e2e_log "ok: $1" ;;
    *) e2e_fail "$1: [$3] not found in [$2]" ;;
  esac
}

e2e_cleanup() {
  local status=$? i
  for (( i=${#E2E_PIDS[@]}-1; i>=0; i-- )); do
    e2e_stop "${E2E_PIDS[$i]}"
  done
  if [ $status -ne 0 ] || [ "$E2E_KEEP" = 1 ]; then
    e2e_log "kept $T for inspection"
    [ -f "$T/program.err" ] && tail -n 20 "$T/program.err" >&2
  else
    rm -rf "$T"
  fi
}

# A private world for the program: home, configuration, cache and temporary folders inside $T,
# and stand-ins for zenity and xdg-open first on PATH (tests/support/answering-tool: they record
# their arguments in $T/<name>.args and answer $ZENITY_ANSWER).
e2e_setup() {
  T=$(mktemp -d "${TMPDIR:-/tmp}/veltrix-e2e-XXXXXX")
  export T
  mkdir -p "$T/home/.config" "$T/home/.cache" "$T/tmp" "$T/bin" "$T/app"
  export HOME="$T/home" XDG_CONFIG_HOME="$T/home/.config" XDG_CACHE_HOME="$T/home/.cache" TMPDIR="$T/tmp"
  export PATH="$T/bin:$PATH"
  export LIBGL_ALWAYS_SOFTWARE=1 SDL_VIDEODRIVER=x11 SDL_NO_SIGNAL_HANDLERS=1
  export VELTRIX_HEADLESS=${VELTRIX_HEADLESS:-1}
  cp "$(dirname "${BASH_SOURCE[0]}")/answering-tool" "$T/bin/zenity"
  cp "$(dirname "${BASH_SOURCE[0]}")/answering-tool" "$T/bin/xdg-open"
  trap e2e_cleanup EXIT
  # Under set -e a failing command ends the script; say which one, also inside functions.
  set -o errtrace
  trap 'e2e_log "command failed (status $?): $BASH_COMMAND"; E2E_KEEP=1' ERR
}

# e2e_start_xvfb [WIDTHxHEIGHT]: an X server of our own; its display number comes back on a
# descriptor, so no number is guessed and parallel runs never collide. Clients reach it by its
# abstract socket only, so it makes no socket folder in /tmp.
e2e_start_xvfb() {
  local size=${1:-1024x768} i
  rm -f "$T/display"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -nolisten unix 3>"$T/display" 2>"$T/xvfb.err" &
  E2E_PIDS+=($!)
  for i in $(seq 200); do
    [ -s "$T/display" ] && break
    sleep 0.05
  done
  [ -s "$T/display" ] || e2e_fail "Xvfb gave no display number"
  export DISPLAY=":$(head -n1 "$T/display")"
  unset WAYLAND_DISPLAY
}

# e2e_start_program PATH [ARGS...]: runs in the background from $T (so the working folder is
# not the program's folder); E2E_PROGRAM_PID is its PID.
e2e_start_program() {
  ( cd "$T" && exec "$@" ) >"$T/program.out" 2>"$T/program.err" &
  E2E_PROGRAM_PID=$!
  E2E_PIDS+=($E2E_PROGRAM_PID)
}

# e2e_wait_for WHAT SECONDS COMMAND...: runs the command every $E2E_POLL (0.05) seconds until it
# succeeds (in this shell, so it may set variables). Fails, naming WHAT, when the seconds run out, and at once when
# the program ended first or e2e_dead_end prints a reason. Run as `E2E_PROGRAM_PID= e2e_wait_for`
# for something that may come after the program's end.
e2e_wait_for() {
  local what=$1 seconds=$2 end reason
  shift 2
  end=$(($(date +%s) + seconds))
  until "$@"; do
    if [ -n "$E2E_PROGRAM_PID" ] && ! e2e_running "$E2E_PROGRAM_PID"; then
      "$@" && return 0  # what it did last may be what was waited for
      e2e_fail "$what: the program ended first"
    fi
    if declare -F e2e_dead_end >/dev/null && reason=$(e2e_dead_end); then
      e2e_fail "$what: it cannot come any more, $reason"
    fi
    [ "$(date +%s)" -lt "$end" ] || e2e_fail "$what: not within ${seconds}s"
    sleep "${E2E_POLL:-0.05}"
  done
}

# e2e_wait_output TEXT [SECONDS]: waits until the program's stdout holds a line starting with
# TEXT; prints that line.
e2e_wait_output() {
  e2e_wait_for "an output line starting with '$1'" "${2:-$E2E_WAIT}" grep -m1 "^$1" "$T/program.out"
}

# WID of the visible window with the name, if there is one.
e2e_window_named() {
  WID=$(timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
  [ -n "$WID" ]
}

# e2e_find_window [NAME]: sets WID and the window's screen position X, Y (and WIDTH, HEIGHT).
e2e_find_window() {
  local name=${1:-Main} geometry
  e2e_wait_for "window '$name'" "$E2E_WAIT" e2e_window_named "$name"
  geometry=$(timeout 10 xdotool getwindowgeometry --shell "$WID") || e2e_fail "no geometry for window $WID"
  eval "$geometry"
  export WID X Y WIDTH HEIGHT
  e2e_focus
}

# Screen pixel of a virtual point: (X + vx, Y + 768 - vy).
e2e_screen_x() { echo $(( X + ${1%.*} )); }
e2e_screen_y() { echo $(( Y + E2E_VIRTUAL_HEIGHT - ${1%.*} )); }

# xdotool's own --sync waits without end for a pointer that does not seem to move (a loaded
# server, or a pointer already there); so the move is sent plainly and the position polled.
e2e_move() {
  local sx sy attempt i where
  sx=$(e2e_screen_x "$1")
  sy=$(e2e_screen_y "$2")
  for attempt in 1 2 3; do
    timeout 5 xdotool mousemove "$sx" "$sy" || continue
    for i in $(seq 40); do
      where=$(timeout 5 xdotool getmouselocation 2>/dev/null) || true
      case "$where" in "x:$sx y:$sy "*) return 0 ;; esac
      sleep 0.05
    done
  done
  e2e_fail "mouse move to $1,$2 (pointer at ${where:-unknown})"
}

# e2e_click VX VY: a left click at virtual coordinates (inside a box, add its offset first).
e2e_click() {
  e2e_move "$1" "$2"
  timeout 10 xdotool click 1 || e2e_fail "click at $1,$2"
}

# e2e_wheel up|down [COUNT]
e2e_wheel() {
  local button=4
  [ "$1" = down ] && button=5
  timeout 10 xdotool click --repeat "${2:-1}" "$button" || e2e_fail "wheel $1"
}

# SDL takes a new keyboard focus only some 200 ms after the window system gives it, and drops
# keys meanwhile; so a focus change is followed by a settling pause, and kept focus is left alone.
E2E_FOCUS_SETTLE=${E2E_FOCUS_SETTLE:-0.5}
e2e_focus() {
  [ "$(timeout 10 xdotool getwindowfocus 2>/dev/null)" = "$WID" ] && return 0
  timeout 10 xdotool windowfocus --sync "$WID" || e2e_fail "focus window $WID"
  sleep "$E2E_FOCUS_SETTLE"
}

# The program takes keys in once a frame, and a click that lands in the same frame as the last key
# can move the focus before that key reaches its field; so typing ends with a pause of several
# frames, as a person's hand takes to reach the mouse.
E2E_INPUT_SETTLE=${E2E_INPUT_SETTLE:-0.3}

# e2e_key KEY...: key names as xdotool knows them (Return, shift+F5, BackSpace...).
e2e_key() {
  e2e_focus
  timeout 10 xdotool key "$@" || e2e_fail "key $*"
  sleep "$E2E_INPUT_SETTLE"
}

e2e_type() {
  e2e_focus
  timeout 20 xdotool type --delay 20 "$1" || e2e_fail "type $1"
  sleep "$E2E_INPUT_SETTLE"
}

# e2e_answer_system_box: finds the system message box "Veltrix" and answers it with Return.
# SDL titles the box with a UTF-8 name that xdotool's name search does not read, so the box is
# looked up among the root window's children.
e2e_system_box() {
  BOX=$(timeout 10 xwininfo -root -children 2>/dev/null | awk '$2 == "\"Veltrix\":" {print $1; exit}')
  [ -n "$BOX" ]
}
e2e_answer_system_box() {
  e2e_wait_for "the system box" "$E2E_WAIT" e2e_system_box
  timeout 10 xdotool windowfocus --sync "$BOX" || e2e_fail "focus system box"
  sleep "$E2E_FOCUS_SETTLE"
  timeout 10 xdotool key Return || e2e_fail "answer system box"
}

# e2e_screenshot [FILE]: the program's window as PNG (default $T/shot.png).
e2e_screenshot() {
  local file=${1:-$T/shot.png}
  timeout 10 xwd -id "$WID" -silent | timeout 20 convert xwd:- "png:$file" || e2e_fail "screenshot"
  echo "$file"
}

# e2e_pixel VX VY [FILE]: "r g b" (0-255) of a virtual point in a screenshot of the window.
e2e_pixel() {
  local file=${3:-$T/shot.png} x=${1%.*} y
  y=$(( E2E_VIRTUAL_HEIGHT - ${2%.*} ))
  timeout 20 convert "$file" -format "%[fx:int(255*p{$x,$y}.r+0.5)] %[fx:int(255*p{$x,$y}.g+0.5)] %[fx:int(255*p{$x,$y}.b+0.5)]" info: ||
    e2e_fail "pixel $1,$2"
}

# e2e_pixel_near "r g b" "r g b" [TOLERANCE]: true when every channel is within the tolerance.
e2e_pixel_near() {
  local a=($1) b=($2) tol=${3:-8} i d
  for i in 0 1 2; do
    d=$(( a[i] - b[i] ))
    [ ${d#-} -le "$tol" ] || return 1
  done
}

# e2e_wait_exit [SECONDS]: waits for the program to end and sets E2E_STATUS to its exit
# status; when it outlives the wait the run fails (and the clean-up stops it). Call it directly,
# not in $( ): only this shell can collect the status of its own child.
e2e_wait_exit() {
  local pid=$E2E_PROGRAM_PID
  E2E_PROGRAM_PID= e2e_wait_for "the end of process $pid" "${1:-$E2E_WAIT}" e2e_ended "$pid"
  E2E_STATUS=0
  wait "$pid" 2>/dev/null || E2E_STATUS=$?
}

e2e_ended() { ! e2e_running "$1"; }

# True while the process runs: an ended child waits as a zombie until collected, and one being
# torn down may already have no readable state.
e2e_running() {
  local state
  kill -0 "$1" 2>/dev/null || return 1
  state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

# e2e_stop PID: TERM, then KILL after a bounded wait.
e2e_stop() {
  local pid=$1 i
  e2e_running "$pid" || { wait "$pid" 2>/dev/null || true; return 0; }
  kill "$pid" 2>/dev/null || return 0
  for i in $(seq 100); do
    e2e_running "$pid" || break
    sleep 0.05
  done
  e2e_running "$pid" && kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null || true
}
