#!/usr/bin/env bash
# A dead mirror (nothing listens on 127.0.0.2) and a mirror whose archives are damaged or climb
# out of their folder, beside a good one: each install, started on the bad server picked with
# its radio button, still completes with the exact release, and nothing outside the destination
# is touched.
source "$(dirname "$0")/lib.sh"

installer_setup
e2e_start_xvfb 1024x768
installer_start_services
installer_sample_tree "$T/ref"
installer_build_release "$T/ref" "Veltrix 851"

# The bad mirror: the same listing, every archive damaged, one of them naming ../../escape.txt.
cp -r "$T/srv/www/mirror/Veltrix 851" "$T/srv/www/bad"
mkdir -p "$T/srv/www/badroot" && mv "$T/srv/www/bad" "$T/srv/www/badroot/Veltrix 851"
while IFS= read -r archive; do
  [ "${archive##*/}" = directory.txt.zip ] && continue
  printf '\x55\x55\x55\x55' | dd of="$archive" bs=1 seek=50 conv=notrunc status=none
done < <(find "$T/srv/www/badroot" -name '*.zip')
mkdir -p "$T/plant/a/b" && echo "planted" > "$T/plant/escape.txt"
readme_zip="$T/srv/www/badroot/Veltrix 851/All/Instructions/readme.txt.zip"
rm -f "$readme_zip" && (cd "$T/plant/a/b" && zip -q "$readme_zip" ../../escape.txt)
echo "outside" > "$T/canary.txt"

installer_server_list "Veltrix 851" "127.0.0.2 /mirror/ Dead mirror" "127.0.0.1 /badroot/ Bad mirror" \
  "127.0.0.1 /mirror/ Good mirror"
mkdir -p "$T/dest2"
installer_open "$T/dest1/"

# First install starts on the dead mirror.
e2e_click $SERVER_RADIO_X "$(server_radio_y 0)"
installer_agree_and_install
installer_wait_log "Install ended: INSTALLATION COMPLETE!"
grep -q "^   server     =127.0.0.2" "$T/app/Log.txt" || e2e_fail "the dead mirror was never tried"
installer_check_listing "$T/Veltrix 851.directory.txt" "$T/dest1/Veltrix 851"

# Second install, into another folder, starts on the bad mirror; agreed already, so no box.
echo "$T/dest2" > "$T/zenity.answer"
e2e_click $DESTINATION_X $DESTINATION_Y
installer_wait_log "Listing read for $T/dest2/Veltrix/: "
e2e_click $SERVER_RADIO_X "$(server_radio_y 1)"
e2e_click $INSTALL_X $INSTALL_Y
installer_wait_log_count "Install ended" 2
[ "$(grep -c "Install ended: INSTALLATION COMPLETE!" "$T/app/Log.txt")" = 2 ] || e2e_fail "the second install did not complete"
grep -q "from 127.0.0.1 is damaged or names a file outside its folder" "$T/app/Log.txt" ||
  e2e_fail "no damaged archive was met"
[ "$(installer_requests /badroot/Veltrix%20851/All)" -ge 1 ] || [ "$(installer_requests "/badroot/Veltrix 851/All")" -ge 1 ] ||
  e2e_fail "the bad mirror served no archive"
installer_check_listing "$T/Veltrix 851.directory.txt" "$T/dest2/Veltrix 851"
cmp -s "$T/ref/All/Resources/bitmaps/panel.bin" "$T/dest2/Veltrix 851/Resources/bitmaps/panel.bin" ||
  e2e_fail "a broken copy of the large file was left"

[ "$(cat "$T/canary.txt")" = outside ] || e2e_fail "a file outside the destination changed"
found=$(find "$T" -name escape.txt ! -path "$T/plant/*" | head -n 1)
[ -z "$found" ] || e2e_fail "an archive wrote outside its folder: $found"
e2e_click $QUIT_X $QUIT_Y
e2e_wait_exit
echo "PASS mirrors"
