#!/usr/bin/env bash
# A fresh install into an empty destination: every wanted file in place with the listed
# signature, the link a link, the program executable, another platform's file left out, the
# folder renamed to the release, and "INSTALLATION COMPLETE!" on the screen.
source "$(dirname "$0")/lib.sh"

e2e_setup
e2e_start_display
e2e_start_services
e2e_sample_tree "$T/ref"
e2e_build_release "$T/ref" "Veltrix 851"
e2e_server_list "Veltrix 851" "127.0.0.1 /mirror/ Loopback mirror"
mkdir -p "$T/dest"

e2e_run_installer "$T/dest/"
e2e_wait_log "Listing read for $T/dest/Veltrix/: "
e2e_click $INSTALL_X $INSTALL_Y
e2e_wait_agreement
e2e_click $AGREE_X $AGREE_Y
e2e_wait_log "Install ended: INSTALLATION COMPLETE!"
# The release panel's status line (at 154, 615) shows the completion text in the success green.
e2e_wait_pixels complete 150 610 200 16 'g > 60 && r < 40 && b < 40' 20

dest="$T/dest/Veltrix 851"
[ -d "$dest" ] || e2e_fail "the install folder was not renamed to the release"
[ ! -e "$T/dest/Veltrix" ] || e2e_fail "the old folder name is still there"
e2e_check_listing "$T/Veltrix 851.directory.txt" "$dest"
cmp -s "$T/ref/All/Resources/bitmaps/panel.bin" "$dest/Resources/bitmaps/panel.bin" || e2e_fail "the large file differs"
[ -L "$dest/Resources/text/English/current" ] || e2e_fail "the link was not restored as a link"
[ "$(stat -c %a "$dest/Veltrix.app/Contents/MacOS/Veltrix")" = 755 ] || e2e_fail "the program is not executable"
[ ! -e "$dest/Veltrix.exe" ] || e2e_fail "another platform's file was installed"
[ "$(e2e_requests Veltrix.exe)" = 0 ] || e2e_fail "another platform's file was downloaded"
for folder in Output/logbooks Resources/preferences; do
  [ -d "$dest/$folder" ] || e2e_fail "fixed folder $folder missing"
done

e2e_click $QUIT_X $QUIT_Y
e2e_wait_exit
grep -q "^_dest_dir_path $dest/\$" "$XDG_CONFIG_HOME/Veltrix Installer.prf" || e2e_fail "the destination was not remembered"
echo "PASS fresh install"
