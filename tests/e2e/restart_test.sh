#!/usr/bin/env bash
# The installer killed in the middle of an install and started again: the second run fetches
# only what is missing or broken and ends with the exact release tree.
source "$(dirname "$0")/lib.sh"

installer_setup
e2e_start_xvfb 1024x768
installer_start_services
installer_sample_tree "$T/ref"
# Large files keep downloads in flight when the first small file is already in place.
for i in 1 2 3; do head -c 30000000 /dev/urandom > "$T/ref/All/Resources/bitmaps/large$i.bin"; done
installer_publish "$T/ref" "Veltrix 851"
# Log every file action, so the run can be stopped right after the first file lands.
printf 'A\n8500 version\n_log_actions 1\n' > "$XDG_CONFIG_HOME/Veltrix Installer.prf"

installer_open "$T/dest/"
installer_agree_and_install
installer_wait_log "EXPANDING file "
kill -9 "$E2E_PROGRAM_PID"
wait "$E2E_PROGRAM_PID" 2>/dev/null || true
first=$(grep -m 1 -o "EXPANDING file .*, with result=0" "$T/app/Log.txt" | sed 's/^EXPANDING file //; s/, with result=0$//')
grep -q "Install ended" "$T/app/Log.txt" && e2e_fail "the install finished before it could be interrupted"
[ -n "$first" ] || e2e_fail "no file was installed before the kill"

# The second run on the same folder: it is an install now (its folders were made first).
installer_open "$T/dest/Veltrix/" "$T/dest/Veltrix/"
installer_agree_and_install
# A file cut short by the kill reads as changed by the user: overwrite it if asked.
for ((i = 0; i < E2E_WAIT * 10; i++)); do
  grep -q "Install ended" "$T/app/Log.txt" && break
  if grep -q "^File: " "$T/app/Log.txt" && [ "$(grep -c '^File: ' "$T/app/Log.txt")" -gt "${answered:-0}" ]; then
    answered=$(grep -c '^File: ' "$T/app/Log.txt")
    installer_wait_box prompt 162 311 700 146
    e2e_click $PROMPT_OVERWRITE_X $PROMPT_OVERWRITE_Y
  fi
  sleep 0.1
done
installer_quit_when_complete

dest="$T/dest/Veltrix 851"
[ -d "$dest" ] || dest="$T/dest/Veltrix"
installer_check_listing "$T/Veltrix 851.directory.txt" "$dest"
for i in 1 2 3; do
  cmp -s "$T/ref/All/Resources/bitmaps/large$i.bin" "$dest/Resources/bitmaps/large$i.bin" || e2e_fail "large$i.bin differs"
done
first_zip=${first#"$T/dest/Veltrix/"}
# The whole path: two listed files may share a name.
[ "$(installer_requests "/${first_zip// /%20}.zip HTTP")" = 1 ] || e2e_fail "the file installed before the kill was fetched again"
echo "PASS restart"
