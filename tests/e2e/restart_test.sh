#!/usr/bin/env bash
# The installer killed while it writes a large file, and started again: the killed run leaves no
# cut-short file in place (only its part file beside it), and the second run asks about nothing,
# fetches only what is missing, removes the part file and ends with the exact release tree.
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
echo "PASS restart"
