#!/usr/bin/env bash
# One installer at a time for a user: a second start while the first runs says so and ends,
# leaving the first one's log, the preferences, the private folder and the install folder as they
# were, and the first installs on to the exact release tree. Once the first is killed (-9), the
# next start runs as usual: no lock outlives its process.
source "$(dirname "$0")/lib.sh"

installer_setup
installer_sample_tree "$T/ref"
installer_publish "$T/ref" "Veltrix 851"
printf 'A\n8500 version\n' >"$XDG_CONFIG_HOME/Veltrix Installer.prf"

installer_open "$T/dest/"
first=$E2E_PROGRAM_PID

# Every file and folder of ours a start could touch, with its size, time and content (the graphics
# driver's own cache beside ours is not: the first one's drawing may add to it at any time).
footprint() {
  local place
  for place in "$T/app" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME/veltrix-installer" "$T/dest"; do
    find "$place" -printf '%p %y %s %T@\n' | sort
    find "$place" -type f -exec md5sum {} + | sort
  done
}
before=$(footprint)

# The second start, beside the first: its own output files, and the harness's waits on it.
( cd "$T" && exec "$T/app/veltrix-installer" -path "$T/dest/" ) >"$T/second.out" 2>"$T/second.err" &
E2E_PROGRAM_PID=$!
E2E_PIDS+=($E2E_PROGRAM_PID)
e2e_wait_exit 20
e2e_check_equal "the second start's status" "$E2E_STATUS" 0
e2e_check_equal "the second start's alert" "$(cat "$T/second.err")" \
  "ALERT: The installer is already running.  | Only one copy can run at a time, so I am quitting and leaving everything as it is. "
changed=$(diff <(echo "$before") <(footprint)) || e2e_fail "the second start changed: $changed"

E2E_PROGRAM_PID=$first
e2e_running "$first" || e2e_fail "the first installer ended with the second"
installer_agree_and_install
installer_wait_log "Install ended: INSTALLATION COMPLETE!"
dest="$T/dest/Veltrix 851"
[ -d "$dest" ] || dest="$T/dest/Veltrix"
installer_check_tree "$T/ref" "$dest"

kill -9 "$first"
wait "$first" 2>/dev/null || true
installer_open "$dest/" "$dest/"
grep -q "ALERT" "$T/program.err" && e2e_fail "the start after the kill raised: $(grep -m1 ALERT "$T/program.err")"
installer_quit
echo "PASS single run"
