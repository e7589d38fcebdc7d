#!/usr/bin/env bash
# An update whose only mirror serves a damaged archive of a changed file: the installer shows the
# extraction alert once it has given up on the file, and ends the install with the error text;
# the user's copy of that file stays as it was, and no other file is harmed.
source "$(dirname "$0")/lib.sh"

installer_setup
installer_sample_tree "$T/ref"
installer_publish "$T/ref" "Veltrix 851"
installer_open "$T/dest/"
installer_agree_and_install
installer_quit_when_complete
dest="$T/dest/Veltrix 851"

# Release 852 changes the airfoil, but its archive arrives damaged (bytes inside the data).
echo "NACA 2415" >"$T/ref/All/Airfoils/naca2412.afl"
head -c 200000 /dev/urandom >"$T/ref/All/Resources/bitmaps/panel.bin"
installer_publish "$T/ref" "Veltrix 852" "$T/Veltrix 851.directory.txt"
foil_zip="$T/srv/www/mirror/Veltrix 852/All/Airfoils/naca2412.afl.zip"
# The data follows the 30-byte local header, the name and the extra field (lengths at 26 and 28).
read -r name_length extra_length < <(od -An -tu2 -j26 -N4 "$foil_zip")
printf '\x55' | dd of="$foil_zip" bs=1 seek=$((30 + name_length + extra_length)) conv=notrunc status=none
unzip -tq "$foil_zip" >/dev/null 2>&1 && e2e_fail "the damaged archive still tests sound"

installer_open "$dest/" "$dest/"
installer_agree_and_install
installer_wait_log "no server gave a sound copy."
installer_answer_alert
installer_wait_log "Install ended with an error."
# The alert's lines reach the log once it is answered.
for line in "The installer cannot extract a file." "Destination:$dest/Airfoils/naca2412.afl" \
  "Error:We were unable to read from a zip file.  It may be missing or damaged"; do
  grep -qF "$line" "$T/app/Log.txt" || e2e_fail "the alert does not say: $line"
done
# The status block's three lines in the error colour, instead of the completion text.
installer_wait_pixels failed 140 33 760 34 'r > 150 && g < 90 && b < 90' 50
grep -q "Install ended: INSTALLATION COMPLETE!" "$T/app/Log.txt" && e2e_fail "the failed install reported success"

[ "$(cat "$dest/Airfoils/naca2412.afl")" = "NACA 2412" ] || e2e_fail "a broken copy replaced the user's file"
for f in Resources/plugins/cessna.txt Resources/menus/English/Veltrix.txt Instructions/readme.txt; do
  cmp -s "$dest/$f" "$T/ref/All/$f" || e2e_fail "an untouched file changed: $f"
done
installer_quit
echo "PASS broken archive"
