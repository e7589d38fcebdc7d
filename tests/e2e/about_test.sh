#!/usr/bin/env bash
# The about box asks the update host for its list, calmly while it fails, reads it once it is
# there, offers the newer installer, downloads it when its button is clicked, unpacks it beside
# the program and launches it (a script leaving a marker).
source "$(dirname "$0")/lib.sh"

INSTALLER_PROGRAM=$VELTRIX_BINARY_DIR/bin/veltrix-about-probe
installer_setup
mkdir -p "$T/app/Resources/preferences" "$T/new" "$T/srv/www/updates"
cat > "$T/new/new-installer" <<SH
#!/bin/sh
printf '%s\n' "launched from \$(pwd)" "\$@" > "$T/launched.marker"
SH
chmod 755 "$T/new/new-installer"
(cd "$T/new" && zip -q -X "$T/srv/www/updates/new-installer.zip" new-installer)
{
  printf 'A\n820 version\nSERVERS\n\nFINAL Veltrix 8.51\nFINAL_VERSION 85009\n'
  printf 'FINAL_INSTALLER_MAC 127.0.0.1 /updates/new-installer.zip\nENDOFLIST\n'
} > "$T/serverlist.later"

# The list is published once the box has failed to get it three times.
INSTALLER_FAILING_DOWNLOAD=Resources:preferences:serverlist.txt
e2e_start_program "$T/app/veltrix-installer"
e2e_find_window Main
version_requests_reach() { [ "$(installer_requests 'GET /serverlist.txt')" -ge "$1" ]; }
e2e_wait_for "the version list's third request" "$E2E_WAIT" version_requests_reach 3
mv "$T/serverlist.later" "$T/srv/www/serverlist.txt"

# The update button (442, 17 in the 500 x 300 box at (262, 234)) shows once the list is read: its
# dark caption appears. A click the box missed is repeated every two seconds, from elsewhere, so
# that each one is a fresh press on the button.
installer_wait_pixels update-button 660 244 90 14 "$INSTALLER_DARK_TEXT" 40

# A failing check is asked again after 1 s, then 2 s, 4 s..., not on the next frame. nginx stamps
# its lines to the second, so a request due s seconds after the first shows at least s - 1 later.
first='' due=0 pause=1
while read -r stamp; do
  second=$(date -d "$(sed -E 's#^([0-9]+)/([A-Za-z]+)/([0-9]+):#\1 \2 \3 #' <<<"$stamp")" +%s)
  if [ -z "$first" ]; then
    first=$second
    continue
  fi
  [ $((second - first)) -ge $((due + pause - 1)) ] ||
    e2e_fail "the version list was asked for again $((second - first)) s after the first request, not $((due + pause)) s"
  due=$((due + pause)) pause=$((pause * 2 < 30 ? pause * 2 : 30))
done < <(installer_access_log | grep -F 'GET /serverlist.txt' | sed -E 's/^[^[]*\[([^]]*)\].*/\1/')
[ "$due" -ge 7 ] || e2e_fail "the access log shows the version list asked for fewer than four times"
next_click=0
update_fetched() {
  [ "$(installer_requests /updates/new-installer.zip)" -ge 1 ] && return 0
  if [ "$(date +%s)" -ge "$next_click" ]; then
    e2e_move 600 600
    e2e_click 704 251
    next_click=$(($(date +%s) + 2))
  fi
  return 1
}
e2e_wait_for "the newer installer's download" "$E2E_WAIT" update_fetched
E2E_PROGRAM_PID= e2e_wait_for "the newer installer's launch" "$E2E_WAIT" test -s "$T/launched.marker"
e2e_wait_exit
[ -x "$T/app/new-installer" ] || e2e_fail "the installer was not unpacked executable beside the program"
[ -f "$T/app/Resources/preferences/serverlist.txt" ] || e2e_fail "the version list was not stored"
grep -q "^launched from $T/app\$" "$T/launched.marker" || e2e_fail "launched from the wrong folder: $(cat "$T/launched.marker")"
echo "PASS about"
