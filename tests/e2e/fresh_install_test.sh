#!/usr/bin/env bash
# A fresh install into an empty destination, on a screen larger than the window (the windowed
# case), through the proxy typed into the preferences window: a declined agreement fetches
# nothing and the next INSTALL asks again; then the release's files for this platform are in the
# folder renamed to the release, "INSTALLATION COMPLETE!" is on the screen and the archives came
# through tinyproxy. Another destination picked with the chooser is read and installed without a
# second agreement, and the last destination and the proxy are saved at quit.
source "$(dirname "$0")/lib.sh"

installer_setup 1280x1024
installer_sample_tree "$T/ref"
installer_publish "$T/ref" "Veltrix 851"
installer_open "$T/dest/"
# A whole main screen (the INSTALL control tinted usable): the release panel's long status line about
# updating an earlier version stays inside the panel's right border (x 925).
installer_wait_pixels ready 452 80 80 18 "$INSTALLER_USABLE_TINT" 200
installer_wait_pixels ready 154 600 700 25 "$INSTALLER_DARK_TEXT" 1000
[ "$(installer_count_pixels ready 926 600 9 25 "$INSTALLER_DARK_TEXT")" = 0 ] ||
  e2e_fail "the release panel's status line runs past the panel"

e2e_click $PREFS_BUTTON_X $PREFS_BUTTON_Y
installer_wait_box prefs 262 194 500 380
e2e_click $PROXY_HOST_X $PROXY_HOST_Y
e2e_type "127.0.0.1"
e2e_click $PROXY_PORT_X $PROXY_PORT_Y
e2e_type "$INSTALLER_PROXY_PORT"
e2e_click $PREFS_CLOSE_X $PREFS_CLOSE_Y

e2e_click $INSTALL_X $INSTALL_Y
installer_wait_agreement
e2e_click $DECLINE_X $DECLINE_Y
# Declined: back on the main screen (its usable INSTALL control shows again), nothing fetched.
declined() {
  ! installer_log_has "Install ended" || e2e_fail "the declined agreement let the install run"
  installer_shows declined 452 80 80 18 "$INSTALLER_USABLE_TINT" 200
}
e2e_wait_for "the main screen after the decline" "$E2E_WAIT" declined
[ "$(installer_requests .zip)" = "$(installer_requests directory.txt.zip)" ] || e2e_fail "a declined agreement fetched files"
installer_agree_and_install
installer_wait_log "Install ended: INSTALLATION COMPLETE!"
# The release panel's status line (at 154, 615) shows the completion text in the success green.
installer_wait_pixels complete 150 610 200 16 'g > 60 && r < 40 && b < 40' 20

dest="$T/dest/Veltrix 851"
installer_check_tree "$T/ref" "$dest"
proxied=$(grep -c "GET http://127.0.0.1:\?[0-9]*/mirror/Veltrix%20851/.*\.zip" "$T/srv/tinyproxy.log" || true)
[ "$proxied" -ge 5 ] || e2e_fail "the archives did not go through the proxy ($proxied requests)"
[ "$(installer_requests "panel.bin.zip")" = 1 ] || e2e_fail "nginx did not serve the proxied archive once"

# The shop control opens the shop page in the browser (the xdg-open stand-in records it).
e2e_click 758 89
e2e_wait_for "the shop page" 5 test -s "$T/xdg-open.args"
e2e_check_equal "the shop page" "$(cat "$T/xdg-open.args")" "http://127.0.0.1/cart.php?m=product_list&c=3"

mkdir -p "$T/dest2" && echo "$T/dest2" >"$T/zenity.answer"
e2e_click $DESTINATION_X $DESTINATION_Y
installer_wait_log "Listing read for $T/dest2/Veltrix/: "
e2e_click $INSTALL_X $INSTALL_Y
installer_wait_log "Install ended: INSTALLATION COMPLETE!" 2
installer_check_tree "$T/ref" "$T/dest2/Veltrix 851"

installer_quit
prefs="$XDG_CONFIG_HOME/Veltrix Installer.prf"
grep -q "^_dest_dir_path $T/dest2/Veltrix 851/\$" "$prefs" || e2e_fail "the destination was not remembered"
grep -q "^_proxy_host 127.0.0.1$" "$prefs" && grep -q "^_proxy_port_int $INSTALLER_PROXY_PORT$" "$prefs" ||
  e2e_fail "the proxy was not saved"
echo "PASS fresh install"
