#!/usr/bin/env bash
# A fresh install into an empty destination, on a screen larger than the window (the windowed
# case): a declined agreement fetches nothing and the next INSTALL asks again; then every wanted
# file is in place with the listed signature, the link a link, the program executable, another
# platform's file left out, the folder renamed to the release, and "INSTALLATION COMPLETE!" on
# the screen.
source "$(dirname "$0")/lib.sh"

installer_setup
e2e_start_xvfb 1280x1024
installer_start_services
installer_sample_tree "$T/ref"
installer_publish "$T/ref" "Veltrix 851"

installer_open "$T/dest/"
# A whole main screen (the INSTALL control tinted usable): the release panel's long status line about
# updating an earlier version stays inside the panel's right border (x 925).
installer_wait_pixels ready 452 80 80 18 "$INSTALLER_USABLE_TINT" 200
installer_wait_pixels ready 154 600 700 25 "$INSTALLER_DARK_TEXT" 1000
[ "$(installer_count_pixels ready 926 600 9 25 "$INSTALLER_DARK_TEXT")" = 0 ] ||
  e2e_fail "the release panel's status line runs past the panel"
e2e_click $INSTALL_X $INSTALL_Y
installer_wait_agreement
e2e_click $DECLINE_X $DECLINE_Y
# Declined: back on the main screen (its usable INSTALL control shows again), nothing fetched.
installer_wait_pixels declined 452 80 80 18 "$INSTALLER_USABLE_TINT" 200
[ "$(installer_requests .zip)" = "$(installer_requests directory.txt.zip)" ] || e2e_fail "a declined agreement fetched files"
installer_agree_and_install
installer_wait_log "Install ended: INSTALLATION COMPLETE!"
# The release panel's status line (at 154, 615) shows the completion text in the success green.
installer_wait_pixels complete 150 610 200 16 'g > 60 && r < 40 && b < 40' 20

dest="$T/dest/Veltrix 851"
[ -d "$dest" ] || e2e_fail "the install folder was not renamed to the release"
[ ! -e "$T/dest/Veltrix" ] || e2e_fail "the old folder name is still there"
installer_check_listing "$T/Veltrix 851.directory.txt" "$dest"
cmp -s "$T/ref/All/Resources/bitmaps/panel.bin" "$dest/Resources/bitmaps/panel.bin" || e2e_fail "the large file differs"
[ -L "$dest/Resources/text/English/current" ] || e2e_fail "the link was not restored as a link"
[ "$(stat -c %a "$dest/Veltrix.app/Contents/MacOS/Veltrix")" = 755 ] || e2e_fail "the program is not executable"
[ ! -e "$dest/Veltrix.exe" ] || e2e_fail "another platform's file was installed"
[ "$(installer_requests Veltrix.exe)" = 0 ] || e2e_fail "another platform's file was downloaded"
for folder in Output/logbooks Resources/preferences; do
  [ -d "$dest/$folder" ] || e2e_fail "fixed folder $folder missing"
done

# The shop control opens the shop page in the browser (the xdg-open stub records it).
e2e_click 758 89
for ((i = 0; i < 50; i++)); do [ -s "$T/xdg-open.args" ] && break; sleep 0.1; done
[ "$(cat "$T/xdg-open.args" 2>/dev/null)" = "http://127.0.0.1/cart.php?m=product_list&c=3" ] ||
  e2e_fail "the shop page was not opened: $(cat "$T/xdg-open.args" 2>/dev/null)"

e2e_click $QUIT_X $QUIT_Y
installer_wait_clean_exit
grep -q "^_dest_dir_path $dest/\$" "$XDG_CONFIG_HOME/Veltrix Installer.prf" || e2e_fail "the destination was not remembered"
echo "PASS fresh install"
