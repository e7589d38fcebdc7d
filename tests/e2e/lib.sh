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

# The harness's private world, plus the web root, a chooser stub that can change its answer
# while the program runs ($T/zenity.answer), and the program copied into its own folder.
installer_setup() {
  e2e_setup
  mkdir -p "$T/srv/www"
  cat > "$T/bin/zenity" <<'SH'
#!/bin/sh
printf '%s\n' "$@" >> "$T/zenity.args"
[ -f "$T/zenity.answer" ] && ZENITY_ANSWER=$(cat "$T/zenity.answer")
[ -n "$ZENITY_ANSWER" ] || exit 1
printf '%s\n' "$ZENITY_ANSWER"
SH
  chmod 755 "$T/bin/zenity"
  [ -x "$INSTALLER_PROGRAM" ] || e2e_fail "no program at $INSTALLER_PROGRAM"
  cp "$INSTALLER_PROGRAM" "$T/app/veltrix-installer"
}

# nginx serving $T/srv/www and tinyproxy, stopped with the harness's other processes.
installer_start_services() {
  "$INSTALLER_SOURCE_DIR/tests/support/services" start "$T/srv" "$INSTALLER_PORT" "$INSTALLER_PROXY_PORT" ||
    e2e_fail "nginx/tinyproxy did not start"
  E2E_PIDS+=("$(cat "$T/srv/nginx.service-pid")" "$(cat "$T/srv/tinyproxy.service-pid")")
}

# The server list naming the given mirrors ("host path description" triples, one per argument).
installer_server_list() {
  local release=$1
  shift
  {
    printf 'A\n820 version\nSERVERS\n\nFINAL %s\n' "$release"
    local entry
    for entry in "$@"; do
      set -- $entry
      local host=$1 path=$2
      shift 2
      printf '\nSERVER %s\n%s\n%s\n' "$host" "$path" "$*"
    done
    printf '\nENDOFLIST\n'
  } > "$T/srv/www/serverlist.txt"
}

# Signature as the listing gives it: MD5 of the content, or of a link's target text.
installer_sig() {
  if [ -L "$1" ]; then printf '%s' "$(readlink "$1")" | md5sum | cut -c1-32; else md5sum < "$1" | cut -c1-32; fi
}

# A small reference tree with the folders the release builder insists on, a few files in them, a
# link, a program file and a file of another platform.
installer_sample_tree() {
  local r=$1
  mkdir -p "$r"/{All,Macintosh,Windows,"Linux Generic x86","Linux Pentium 3","Linux Athlon XP"} \
    "$r/All/"{Airfoils,Aircraft,Instructions,Output,Weapons,"Custom Scenery"} "$r/All/Resources/plugins" \
    "$r/All/Resources/default scenery/820 world terrain" "$r/All/Resources/menus/English" \
    "$r/All/Resources/text/English" "$r/Macintosh/Veltrix.app/Contents/MacOS"
  echo "menu bar" > "$r/All/Resources/menus/English/Veltrix.txt"
  echo "interface text" > "$r/All/Resources/text/English/Veltrix.txt"
  ln -s Veltrix.txt "$r/All/Resources/text/English/current"
  echo "NACA 2412" > "$r/All/Airfoils/naca2412.afl"
  echo "read me first" > "$r/All/Instructions/readme.txt"
  echo "wing span 36" > "$r/All/Resources/plugins/cessna.txt"
  mkdir -p "$r/All/Resources/bitmaps"
  head -c 400000 /dev/urandom > "$r/All/Resources/bitmaps/panel.bin"
  printf '#!/bin/sh\necho flying\n' > "$r/Macintosh/Veltrix.app/Contents/MacOS/Veltrix"
  echo "MZ not for this machine" > "$r/Windows/Veltrix.exe"
}

# Builds a release with the release builder and publishes it under www/mirror/<name>/; a previous
# release's listing gives the files their version history. Keeps this release's listing as
# $T/<name>.directory.txt for the next one.
installer_build_release() {
  local tree=$1 name=$2 previous=${3:-} out=$T/build-out
  rm -rf "$out"
  local args=(--name "$name")
  if [ -n "$previous" ]; then
    # Every build writes its own build number into its records, and the builder refuses to add
    # a second version under the same number: the previous release was made by the build before.
    sed -E 's/^(FILE [0-9]+ [0-9]+) 85008 /\1 85007 /' "$previous" > "$T/previous.directory.txt"
    args+=(--previous "$T/previous.directory.txt")
  fi
  "$INSTALLER_BINARY_DIR/bin/veltrix-release-builder" "${args[@]}" "$tree" "$out" >"$T/builder.log" 2>&1 ||
    e2e_fail "the release builder failed: $(tail -n 3 "$T/builder.log")"
  mkdir -p "$T/srv/www/mirror"
  rm -rf "$T/srv/www/mirror/$name"
  mv "$out/MY CONTAINER FOR $name/$name" "$T/srv/www/mirror/$name"
  unzip -p "$T/srv/www/mirror/$name/directory.txt.zip" directory.txt > "$T/$name.directory.txt"
}

# Builds a release (as installer_build_release) and lists it on the one loopback mirror.
installer_publish() {
  installer_build_release "$@"
  installer_server_list "$2" "127.0.0.1 /mirror/ Loopback mirror"
}

# Starts the installer on a destination folder and waits until it has read the listing for the
# install folder it settled on: "Veltrix/" inside a folder that holds no install, or the one given.
installer_open() {
  local dest=$1 install=${2:-$1Veltrix/}
  mkdir -p "$dest"
  installer_run "$dest"
  installer_wait_log "Listing read for $install: "
}

# Starts the installer on a destination and waits for its window. The program makes its own
# folder the working one, so its Log.txt is $T/app/Log.txt.
installer_run() {
  e2e_start_program "$T/app/veltrix-installer" -path "$1"
  e2e_find_window Main
}

# Waits until the log holds the text (a fixed string).
installer_wait_log() {
  local text=$1 i
  for ((i = 0; i < E2E_WAIT * 10; i++)); do
    grep -qF -- "$text" "$T/app/Log.txt" 2>/dev/null && return 0
    e2e_running "$E2E_PROGRAM_PID" || e2e_fail "the installer ended before the log said: $text"
    sleep 0.1
  done
  e2e_fail "the log never said: $text"
}

# Waits until the log holds the text (a fixed string) on at least `count` lines: the end of a
# second install in the same run, whose line the first install already wrote once.
installer_wait_log_count() {
  local text=$1 count=$2 i
  for ((i = 0; i < E2E_WAIT * 10; i++)); do
    [ "$(grep -cF -- "$text" "$T/app/Log.txt" 2>/dev/null)" -ge "$count" ] && return 0
    e2e_running "$E2E_PROGRAM_PID" || e2e_fail "the installer ended before the log said $count times: $text"
    sleep 0.1
  done
  e2e_fail "the log never said $count times: $text"
}

# A screenshot of the window as $T/<name>.png.
installer_shot() {
  e2e_screenshot "$T/$1.png" >/dev/null
}

# Pixels of the last screenshot inside a virtual rectangle (x, y of its lower-left corner, width,
# height) for which the awk condition on r, g, b (0-255) holds.
installer_count_pixels() {
  local shot=$1 x=$2 y=$3 w=$4 h=$5 condition=$6
  timeout 30 convert "$T/$shot.png" -crop "${w}x${h}+${x}+$((768 - y - h))" +repage -depth 8 txt:- |
    awk -F'[(),]' 'NR > 1 { r = $3 + 0; g = $4 + 0; b = $5 + 0; if ('"$condition"') n++ } END { print n + 0 }'
}

# Takes screenshots until at least `min` pixels of the rectangle meet the condition.
installer_wait_pixels() {
  local shot=$1 x=$2 y=$3 w=$4 h=$5 condition=$6 min=$7 i
  for ((i = 0; i < E2E_WAIT * 4; i++)); do
    installer_shot "$shot" >/dev/null
    [ "$(installer_count_pixels "$shot" "$x" "$y" "$w" "$h" "$condition")" -ge "$min" ] && return 0
    sleep 0.25
  done
  e2e_fail "the screen never showed what $shot waits for"
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

# The agreement box is up once its agree control shows, with the usable tint.
installer_wait_agreement() {
  installer_wait_pixels agreement 662 244 58 22 "$INSTALLER_USABLE_TINT" 100
}

# The current version of every path of a listing, one "platform<TAB>signature<TAB>path" line each.
installer_listing_current() {
  awk '/^DIR / { dir = substr($0, 5); next }
       /^FILE / { name = $0; for (i = 1; i <= 7; i++) sub(/^[^ ]* /, "", name); split($0, f, " ")
                  path = dir name; if (!(path in last)) order[++n] = path; last[path] = f[3] "\t" f[7] "\t" path }
       END { for (i = 1; i <= n; i++) print last[order[i]] }' "$1"
}

# Every current file of the listing for the wanted platforms present below the destination with
# its listed signature; every removed one absent.
installer_check_listing() {
  local listing=$1 dest=$2 wanted=${3:-" 0 1 "} platform sig path local count=0
  while IFS=$'\t' read -r platform sig path; do
    case "$wanted" in *" $platform "*) ;; *) continue ;; esac
    local=$dest/${path#*/}
    if [ "$sig" = GONE ]; then
      [ ! -e "$local" ] && [ ! -L "$local" ] || e2e_fail "a removed file is still there: $local"
      continue
    fi
    [ -e "$local" ] || [ -L "$local" ] || e2e_fail "missing $local"
    [ "$(installer_sig "$local")" = "$sig" ] || e2e_fail "wrong content: $local"
    count=$((count + 1))
  done < <(installer_listing_current "$listing")
  [ "$count" -gt 0 ] || e2e_fail "the listing named no file to check"
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
# Radio button i of the server list.
server_radio_y() { echo $((578 - 20 * $1)); }
SERVER_RADIO_X=142
# The agreement box (500 x 300) sits at (262, 234); its agree control at (400, 10), 59 x 22.
AGREE_X=691 AGREE_Y=255
DECLINE_X=604 DECLINE_Y=255

# The changed-file prompt (box 997, 700 x 146 at (162, 311)): its buttons, centred, in virtual units.
PROMPT_OVERWRITE_X=258 PROMPT_OVERWRITE_Y=364
PROMPT_KEEP_X=258 PROMPT_KEEP_Y=339

# Installs a release with the clicks a user makes (INSTALL, agree) and waits for the end.
installer_agree_and_install() {
  e2e_click $INSTALL_X $INSTALL_Y
  installer_wait_agreement
  e2e_click $AGREE_X $AGREE_Y
}

# Waits for the install to end in success, then QUITs and waits for the program's exit.
installer_quit_when_complete() {
  installer_wait_log "Install ended: INSTALLATION COMPLETE!"
  e2e_click $QUIT_X $QUIT_Y
  installer_wait_clean_exit
}

# Waits for the program's end and fails unless it ended with status 0. Under AddressSanitizer a
# leak of ours ends it with another status, and its report is in $T/program.err.
installer_wait_clean_exit() {
  e2e_wait_exit
  [ "$E2E_STATUS" = 0 ] || e2e_fail "the installer ended with status $E2E_STATUS: $(grep -m3 -A12 'ERROR: ' "$T/program.err")"
}

# A whole install with the user's clicks, to its successful end, then QUIT.
installer_install_and_quit() {
  installer_agree_and_install
  installer_quit_when_complete
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
