#!/usr/bin/env bash
# A server list in a newer format than this installer reads: the alert explains it, the
# download page opens in the browser, and the program ends after the alert is answered.
source "$(dirname "$0")/lib.sh"

installer_setup
printf 'A\n900 version\nSERVERS\n\nFINAL Veltrix 9\n' >"$T/srv/www/serverlist.txt"
installer_run "$T/dest/"
installer_answer_alert
e2e_wait_exit
grep -qF "OK I am checking the Halcyra Works servers and I am finding file formats that are newer than I can understand!" \
  "$T/app/Log.txt" || e2e_fail "the alert's text is not in the log"
grep -qF "No problem... grab it at the download section of 127.0.0.1." "$T/app/Log.txt" ||
  e2e_fail "the alert does not name the web host"
E2E_PROGRAM_PID= e2e_wait_for "the download page" 5 test -s "$T/xdg-open.args"
e2e_check_equal "page opened" "$(cat "$T/xdg-open.args" 2>/dev/null)" "http://127.0.0.1/demo.html"
[ "$(installer_requests directory.txt.zip)" = 0 ] || e2e_fail "a listing was fetched after the list was refused"
echo "PASS new format"
