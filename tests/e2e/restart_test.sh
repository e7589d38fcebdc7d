#!/usr/bin/env bash
# The installer killed while it writes a large file, and started again: the killed run leaves no
# cut-short file in place (only its part file beside it), and the second run asks about nothing,
# fetches only what is missing, removes the part file and ends with the exact release tree. An
# update to a release whose changed file arrives damaged then ends in the error, harming nothing.
source "$(dirname "$0")/lib.sh"

installer_setup
installer_sample_tree "$T/ref"
# Large enough that its extraction takes a while: the kill lands in the middle of it.
head -c 200000000 /dev/urandom > "$T/ref/All/Resources/bitmaps/large.bin"
installer_publish "$T/ref" "Veltrix 851"
# Log every file action, so the run shows which files it finished before the kill.
printf 'A\n8500 version\n_log_actions 1\n' > "$XDG_CONFIG_HOME/Veltrix Installer.prf"

installer_open "$T/dest/"
installer_agree_and_install
bitmaps="$T/dest/Veltrix/Resources/bitmaps"
part_file_written() {
  ! grep -q "Install ended" "$T/app/Log.txt" || e2e_fail "the install finished before it could be interrupted"
  compgen -G "$bitmaps/.veltrix-part-*" >/dev/null
}
E2E_POLL=0.002 e2e_wait_for "the large file's part file" "$E2E_WAIT" part_file_written
kill -9 "$E2E_PROGRAM_PID"
wait "$E2E_PROGRAM_PID" 2>/dev/null || true
compgen -G "$bitmaps/.veltrix-part-*" >/dev/null || e2e_fail "the kill came after the large file was written"
[ ! -e "$bitmaps/large.bin" ] || e2e_fail "the killed run left a cut-short large.bin in place"
first=$(grep -m 1 -o "EXPANDING file .*, with result=0" "$T/app/Log.txt" | sed 's/^EXPANDING file //; s/, with result=0$//')
[ -n "$first" ] || e2e_fail "no file was installed before the kill"

# The second run on the same folder: it is an install now (its folders were made first).
installer_open "$T/dest/Veltrix/" "$T/dest/Veltrix/"
installer_agree_and_install
installer_quit_when_complete
grep -q "^File: " "$T/app/Log.txt" && e2e_fail "the second run asked about a file: $(grep -m1 '^File: ' "$T/app/Log.txt")"

# The folder takes the release name only when this run brought a platform file.
dest="$T/dest/Veltrix 851"
[ -d "$dest" ] || dest="$T/dest/Veltrix"
installer_check_tree "$T/ref" "$dest"
left=$(find "$dest" -name '.veltrix-part-*')
[ -z "$left" ] || e2e_fail "part files outlived their run: $left"
first_zip=${first#"$T/dest/Veltrix/"}
# The whole path: two listed files may share a name.
[ "$(installer_requests "/${first_zip// /%20}.zip HTTP")" = 1 ] || e2e_fail "the file installed before the kill was fetched again"

# Release 852 drops the large file and changes the airfoil, whose archive arrives damaged (bytes
# inside the data) from the only mirror: the installer shows the extraction alert once it has given
# up on the file and ends the install with the error text; the user's copy of that file stays as it
# was, and no other file is harmed.
rm "$T/ref/All/Resources/bitmaps/large.bin"
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
echo "PASS restart"
