#!/usr/bin/env bash
# The proxy typed into the preferences window carries every later download: tinyproxy's log and
# nginx's access log both show the archives, and the setting is saved at quit.
source "$(dirname "$0")/lib.sh"

installer_setup
e2e_start_xvfb 1024x768
installer_start_services
installer_sample_tree "$T/ref"
installer_publish "$T/ref" "Veltrix 851"
installer_open "$T/dest/"

e2e_click $PREFS_BUTTON_X $PREFS_BUTTON_Y
installer_wait_box prefs 262 194 500 380
e2e_click $PROXY_HOST_X $PROXY_HOST_Y
e2e_type "127.0.0.1"
e2e_click $PROXY_PORT_X $PROXY_PORT_Y
e2e_type "$INSTALLER_PROXY_PORT"
installer_shot prefs-filled >/dev/null
e2e_click $PREFS_CLOSE_X $PREFS_CLOSE_Y

proxied_before=$(grep -c "GET http://" "$T/srv/tinyproxy.log" || true)
installer_agree_and_install
installer_wait_log "Install ended: INSTALLATION COMPLETE!"
installer_check_listing "$T/Veltrix 851.directory.txt" "$T/dest/Veltrix 851"

proxied=$(grep -c "GET http://127.0.0.1:\?[0-9]*/mirror/Veltrix%20851/.*\.zip" "$T/srv/tinyproxy.log" || true)
[ "$proxied" -ge 5 ] || e2e_fail "the archives did not go through the proxy ($proxied requests, $proxied_before before)"
[ "$(installer_requests "panel.bin.zip")" = 1 ] || e2e_fail "nginx did not serve the proxied archive once"

e2e_click $QUIT_X $QUIT_Y
e2e_wait_exit
prefs="$XDG_CONFIG_HOME/Veltrix Installer.prf"
grep -q "^_proxy_host 127.0.0.1$" "$prefs" || e2e_fail "the proxy host was not saved"
grep -q "^_proxy_port_int $INSTALLER_PROXY_PORT$" "$prefs" || e2e_fail "the proxy port was not saved"
echo "PASS proxy"
