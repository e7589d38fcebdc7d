# The installer's steps for its end-to-end runs, on top of the shell's harness
# (tests/support/e2e.sh: private $T and home, Xvfb, clicks, keys, screenshots, bounded waits):
# nginx and tinyproxy on loopback, releases made by the release builder, the installer started
# from its own folder (its Log.txt lands there), and checks on files, logs and pixels.
# Sourced by each tests/e2e/*_test.sh; every process started here is stopped by its PID.

set -euo pipefail

INSTALLER_SOURCE_DIR=${VELTRIX_SOURCE_DIR:?VELTRIX_SOURCE_DIR must name the source tree}
INSTALLER_BINARY_DIR=${VELTRIX_BINARY_DIR:?VELTRIX_BINARY_DIR must name the build tree}
INSTALLER_PROGRAM=${INSTALLER_PROGRAM:-$INSTALLER_BINARY_DIR/bin/veltrix-installer-e2e}
# The loopback build's HTTP port and the proxy port beside it (the services script says why when
# the build names none).
read -r INSTALLER_PORT INSTALLER_PROXY_PORT < <("$INSTALLER_SOURCE_DIR/tests/support/services" ports "$INSTALLER_BINARY_DIR") ||
  exit 1
# Seconds any single wait may take: an install of a few files takes well under one.
E2E_WAIT=${E2E_WAIT:-120}

. "$INSTALLER_SOURCE_DIR/tests/support/e2e.sh"

# The harness's private world with its own X server (of the given size), nginx serving
# $T/srv/www and tinyproxy, and the program copied into its own folder. The chooser stand-in
# answers what $T/zenity.answer holds when it is asked.
installer_setup() {
  e2e_setup
  e2e_start_xvfb "${1:-1024x768}"
  mkdir -p "$T/srv/www"
  "$INSTALLER_SOURCE_DIR/tests/support/services" start "$T/srv" "$INSTALLER_PORT" "$INSTALLER_PROXY_PORT" ||
    e2e_fail "nginx/tinyproxy did not start"
  E2E_PIDS+=("$(cat "$T/srv/nginx.service-pid")" "$(cat "$T/srv/tinyproxy.service-pid")")
  [ -x "$INSTALLER_PROGRAM" ] || e2e_fail "no program at $INSTALLER_PROGRAM"
  cp "$INSTALLER_PROGRAM" "$T/app/veltrix-installer"
}

# Alerts the test answered on purpose; any other alert in the log is a dead end.
INSTALLER_ALERTS_ANSWERED=0
# The destination of a download the test lets fail on purpose, as the log's "HTTP Error for" line
# names it; a failed request for anything else is a dead end.
INSTALLER_FAILING_DOWNLOAD=

# The installer gets no further once its log shows an alert the test did not answer (one raised
# while no window could show it ends with the place it was raised), or a request to our own
# loopback server that failed: every wait fails at once then.
e2e_dead_end() {
  local log=$T/app/Log.txt failed
  [ -f "$log" ] || return 1
  if [ "$(grep -cE '^\(.* line [0-9]+\)$' "$log")" -gt "$INSTALLER_ALERTS_ANSWERED" ]; then
    echo "the log shows an alert: $(grep -m1 -B4 -E '^\(.* line [0-9]+\)$' "$log" | tr '\n' ' ')"
  elif failed=$(installer_loopback_failure "$log"); then
    echo "a request to the loopback server failed: $(tr '\n' ' ' <<<"$failed")"
  else
    return 1
  fi
}

# The first nine lines of the log's first failure block of a request to the loopback server, other
# than those the test lets fail; false when there is none.
installer_loopback_failure() {
  awk -v allowed="HTTP Error for $INSTALLER_FAILING_DOWNLOAD" '
    shown { print; if (++shown == 8) exit; next }
    /^HTTP Error for / { head = $0; candidate = $0 != allowed; next }
    candidate && /^   server     =127\.0\.0\.1$/ { print head; print; shown = 1; next }
    { candidate = 0 }
    END { exit !shown }' "$1"
}

# Signature as the listing gives it: MD5 of the content, or of a link's target text.
installer_sig() {
  if [ -L "$1" ]; then printf '%s' "$(readlink "$1")" | md5sum | cut -c1-32; else md5sum <"$1" | cut -c1-32; fi
}

# A small reference tree with the folders the release builder insists on, a few files in them, a
# link, a program file and a file of another platform.
installer_sample_tree() {
  local r=$1
  mkdir -p "$r"/{All,Macintosh,Windows,"Linux Generic x86","Linux Pentium 3","Linux Athlon XP"} \
    "$r/All/"{Airfoils,Aircraft,Instructions,Output,Weapons,"Custom Scenery"} "$r/All/Resources/"{plugins,bitmaps} \
    "$r/All/Resources/default scenery/820 world terrain" "$r/All/Resources/menus/English" \
    "$r/All/Resources/text/English" "$r/Macintosh/Veltrix.app/Contents/MacOS"
  echo "menu bar" >"$r/All/Resources/menus/English/Veltrix.txt"
  echo "interface text" >"$r/All/Resources/text/English/Veltrix.txt"
  ln -s Veltrix.txt "$r/All/Resources/text/English/current"
  echo "NACA 2412" >"$r/All/Airfoils/naca2412.afl"
  echo "read me first" >"$r/All/Instructions/readme.txt"
  echo "wing span 36" >"$r/All/Resources/plugins/cessna.txt"
  head -c 400000 /dev/urandom >"$r/All/Resources/bitmaps/panel.bin"
  printf '#!/bin/sh\necho flying\n' >"$r/Macintosh/Veltrix.app/Contents/MacOS/Veltrix"
  echo "MZ not for this machine" >"$r/Windows/Veltrix.exe"
}

# Builds a release with the release builder, publishes it under www/mirror/<name>/ and lists it on
# the one loopback mirror; a previous release's listing gives the files their version history.
# Keeps this release's listing as $T/<name>.directory.txt for the next one.
installer_publish() {
  local tree=$1 name=$2 previous=${3:-} out=$T/build-out
  rm -rf "$out"
  local args=(--name "$name")
  if [ -n "$previous" ]; then
    # Every build writes its own build number into its records, and the builder refuses to add
    # a second version under the same number: the previous release was made by the build before.
    sed -E 's/^(FILE [0-9]+ [0-9]+) 85008 /\1 85007 /' "$previous" >"$T/previous.directory.txt"
    args+=(--previous "$T/previous.directory.txt")
  fi
  "$INSTALLER_BINARY_DIR/bin/veltrix-release-builder" "${args[@]}" "$tree" "$out" >"$T/builder.log" 2>&1 ||
    e2e_fail "the release builder failed: $(tail -n 3 "$T/builder.log")"
  mkdir -p "$T/srv/www/mirror"
  rm -rf "$T/srv/www/mirror/$name"
  mv "$out/MY CONTAINER FOR $name/$name" "$T/srv/www/mirror/$name"
  unzip -p "$T/srv/www/mirror/$name/directory.txt.zip" directory.txt >"$T/$name.directory.txt"
  printf 'A\n820 version\nSERVERS\n\nFINAL %s\n\nSERVER 127.0.0.1\n/mirror/\nLoopback mirror\n\nENDOFLIST\n' "$name" \
    >"$T/srv/www/serverlist.txt"
}

# Starts the installer on a destination and waits for its window. The program makes its own
# folder the working one, so its Log.txt is $T/app/Log.txt.
installer_run() {
  mkdir -p "$1"
  e2e_start_program "$T/app/veltrix-installer" -path "$1"
  e2e_find_window Main
}

# Starts the installer on a destination folder and waits until it has read the listing for the
# install folder it settled on: "Veltrix/" inside a folder that holds no install, or the one given.
installer_open() {
  installer_run "$1"
  installer_wait_log "Listing read for ${2:-$1Veltrix/}: "
}

# The log holds the text (a fixed string) on at least `count` lines.
installer_log_has() {
  [ "$(grep -cF -- "$1" "$T/app/Log.txt" 2>/dev/null)" -ge "${2:-1}" ]
}

# Waits until the log holds the text on at least `count` (1) lines: a second count is the end of a
# second install in the same run, whose line the first install already wrote once.
installer_wait_log() {
  e2e_wait_for "the log saying ${2:-1} times: $1" "$E2E_WAIT" installer_log_has "$@"
}

# Pixels of the screenshot inside a virtual rectangle (x, y of its lower-left corner, width,
# height) for which the awk condition on r, g, b (0-255) holds.
installer_count_pixels() {
  local shot=$1 x=$2 y=$3 w=$4 h=$5 condition=$6
  timeout 30 convert "$T/$shot.png" -crop "${w}x${h}+${x}+$((768 - y - h))" +repage -depth 8 txt:- |
    awk -F'[(),]' 'NR > 1 { r = $3 + 0; g = $4 + 0; b = $5 + 0; if ('"$condition"') n++ } END { print n + 0 }'
}

# A fresh screenshot ($T/<name>.png) shows at least `min` pixels of the rectangle meeting the condition.
installer_shows() {
  e2e_screenshot "$T/$1.png" >/dev/null
  [ "$(installer_count_pixels "$@")" -ge "$7" ]
}

# Takes screenshots until at least `min` pixels of the rectangle meet the condition.
installer_wait_pixels() {
  e2e_wait_for "the screen showing what $1 waits for" "$E2E_WAIT" installer_shows "$@"
}

# Conditions on the art: a control drawn with the usable tint shows green (its light grey face keeps
# green and loses a fifth of red and blue, which the sky behind the controls never does); the dark
# text colours; a box's dark title band, which nothing on the light main screen matches.
INSTALLER_USABLE_TINT='g > r + 30 && g > b + 30'
INSTALLER_DARK_TEXT='r < 90 && g < 90 && b < 90'
INSTALLER_TITLE_BAND='r >= 50 && r <= 72 && g >= 58 && g <= 80 && b >= 74 && b <= 95'

# Takes screenshots until the box in the rectangle shows its title band.
installer_wait_box() {
  installer_wait_pixels "$1" "$2" "$3" "$4" "$5" "$INSTALLER_TITLE_BAND" 1000
}

# The alert box (995, 400 x 230 at (312, 269)): waits for it and answers it with its OK button
# at (200, 18) inside.
installer_answer_alert() {
  installer_wait_box alert 312 269 400 230
  e2e_click 512 287
  INSTALLER_ALERTS_ANSWERED=$((INSTALLER_ALERTS_ANSWERED + 1))
}

# Every file and link of the reference tree's All and Macintosh folders is in the install folder with
# its content (a link pointing to the same name), and none of its Windows folder.
installer_check_tree() {
  local ref=$1 dest=$2 platform file
  for platform in All Macintosh Windows; do
    while IFS= read -r file; do
      if [ $platform = Windows ]; then
        [ ! -e "$dest/$file" ] || e2e_fail "another platform's file came: $file"
      elif [ ! -e "$dest/$file" ] || [ "$(installer_sig "$dest/$file")" != "$(installer_sig "$ref/$platform/$file")" ]; then
        e2e_fail "missing or different: $dest/$file"
      fi
    done < <(cd "$ref/$platform" && find . \( -type f -o -type l \) -printf '%P\n')
  done
}

# nginx's access log holding every request answered so far. nginx writes a request's line only
# once the answer's last byte has gone out, and its one worker serves requests in turn: once it
# has answered one more request, the lines of all before it are written.
installer_access_log() {
  curl -s -o /dev/null --max-time 10 --noproxy '*' "http://127.0.0.1:$INSTALLER_PORT/" || true
  cat "$T/srv/access.log"
}

# Requests in nginx's access log whose line holds the text.
installer_requests() {
  installer_access_log | grep -cF -- "$1" || true
}

# Screen coordinates of the main screen's controls and the agreement box (virtual units).
INSTALL_X=491 INSTALL_Y=89
QUIT_X=985 QUIT_Y=89
DESTINATION_X=73 DESTINATION_Y=89
# The agreement box (500 x 300) sits at (262, 234); its agree control at (400, 10), 59 x 22.
AGREE_X=691 AGREE_Y=255
DECLINE_X=604 DECLINE_Y=255

# The changed-file prompt (box 997, 700 x 146 at (162, 311)): its buttons, centred, in virtual units.
PROMPT_OVERWRITE_X=258 PROMPT_OVERWRITE_Y=364
PROMPT_KEEP_X=258 PROMPT_KEEP_Y=339

# The agreement box is up once its agree control shows, with the usable tint.
installer_wait_agreement() {
  installer_wait_pixels agreement 662 244 58 22 "$INSTALLER_USABLE_TINT" 100
}

# Installs a release with the clicks a user makes (INSTALL, agree).
installer_agree_and_install() {
  e2e_click $INSTALL_X $INSTALL_Y
  installer_wait_agreement
  e2e_click $AGREE_X $AGREE_Y
}

# QUITs and waits for the program's end; fails unless it ended with status 0. Under
# AddressSanitizer a leak of ours ends it with another status, and its report is in
# $T/program.err.
installer_quit() {
  e2e_click $QUIT_X $QUIT_Y
  e2e_wait_exit
  [ "$E2E_STATUS" = 0 ] || e2e_fail "the installer ended with status $E2E_STATUS: $(grep -m3 -A12 'ERROR: ' "$T/program.err")"
}

# Waits for the install to end in success, then QUITs.
installer_quit_when_complete() {
  installer_wait_log "Install ended: INSTALLATION COMPLETE!"
  installer_quit
}

# Waits for the prompt about one file (its log line), then answers it with a click.
installer_answer_prompt() {
  local file=$1 x=$2 y=$3
  installer_wait_log "File: $file  sig_want="
  installer_wait_box prompt 162 311 700 146
  e2e_click "$x" "$y"
}

# The preferences box (500 x 380 at (262, 194)): its button on the main screen, the proxy fields
# and the close corner, in virtual units.
PREFS_BUTTON_X=50 PREFS_BUTTON_Y=750
PROXY_HOST_X=367 PROXY_HOST_Y=238
PROXY_PORT_X=367 PROXY_PORT_Y=214
PREFS_CLOSE_X=274 PREFS_CLOSE_Y=564
