#!/usr/bin/env bash
# An update whose only mirror serves a damaged archive of a changed file: the installer fetches
# it again a bounded number of times, then shows the extraction alert and ends the install with
# the error text; the user's copy of that file stays as it was, and no other file is harmed.
source "$(dirname "$0")/lib.sh"

installer_setup
e2e_start_xvfb 1024x768
installer_start_services

installer_sample_tree "$T/ref"
installer_publish "$T/ref" "Veltrix 851"
# One download stream: several streams may each hold a copy of the retried file in flight when the
# installer gives up, so only one stream makes the number of fetches exact.
printf 'A\n8500 version\n_stream_count 1\n' > "$XDG_CONFIG_HOME/Veltrix Installer.prf"
installer_open "$T/dest/"
installer_install_and_quit
dest="$T/dest/Veltrix 851"

# Release 852 changes the airfoil, but its archive arrives damaged (bytes inside the data).
echo "NACA 2415" > "$T/ref/All/Airfoils/naca2412.afl"
head -c 200000 /dev/urandom > "$T/ref/All/Resources/bitmaps/panel.bin"
installer_publish "$T/ref" "Veltrix 852" "$T/Veltrix 851.directory.txt"
foil_zip="$T/srv/www/mirror/Veltrix 852/All/Airfoils/naca2412.afl.zip"
# The data follows the 30-byte local header, the name and the extra field (lengths at 26 and 28).
read -r name_length extra_length < <(od -An -tu2 -j26 -N4 "$foil_zip")
printf '\x55' | dd of="$foil_zip" bs=1 seek=$((30 + name_length + extra_length)) conv=notrunc status=none
unzip -tq "$foil_zip" >/dev/null 2>&1 && e2e_fail "the damaged archive still tests sound"
requests_before=$(installer_access_log | wc -l)

installer_open "$dest/" "$dest/"
installer_agree_and_install
installer_wait_log "no server gave a sound copy."
# The alert box (995, 400 x 230 at (312, 269)) with its OK button at (200, 18) inside.
installer_wait_box alert 312 269 400 230
e2e_click 512 287
installer_wait_log "Install ended with an error."
# The alert's lines reach the log once it is answered.
grep -qF "The installer cannot extract a file." "$T/app/Log.txt" || e2e_fail "the extraction alert's text is not in the log"
grep -qF "Destination:$dest/Airfoils/naca2412.afl" "$T/app/Log.txt" || e2e_fail "the alert does not name the file"
grep -qF "Error:We were unable to read from a zip file.  It may be missing or damaged" "$T/app/Log.txt" ||
  e2e_fail "the alert does not say the archive is damaged"
# The status block's three lines in the error colour, instead of the completion text.
installer_wait_pixels failed 140 33 760 34 'r > 150 && g < 90 && b < 90' 50
grep -q "Install ended: INSTALLATION COMPLETE!" "$T/app/Log.txt" && e2e_fail "the failed install reported success"

[ "$(cat "$dest/Airfoils/naca2412.afl")" = "NACA 2412" ] || e2e_fail "a broken copy replaced the user's file"
second_run=$(installer_access_log | tail -n +"$((requests_before + 1))")
foil_requests=$(printf '%s\n' "$second_run" | grep -cF "naca2412.afl.zip" || true)
# Ten damaged copies from the one server, and not one more.
[ "$foil_requests" = 10 ] || e2e_fail "fetched the damaged archive $foil_requests times"
grep -q "^_stream_count 1$" "$XDG_CONFIG_HOME/Veltrix Installer.prf" || e2e_fail "the single stream was not kept"
for f in Resources/plugins/cessna.txt Resources/menus/English/Veltrix.txt Instructions/readme.txt; do
  [ "$(installer_sig "$dest/$f")" = "$(installer_sig "$T/ref/All/$f")" ] || e2e_fail "an untouched file changed: $f"
done
e2e_click $QUIT_X $QUIT_Y
e2e_wait_exit
echo "PASS broken archive"
