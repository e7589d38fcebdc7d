#!/usr/bin/env bash
# An update from one release to the next in the window: each file the user changed brings up the
# prompt and is kept (never fetched) or replaced as clicked, a changed file is fetched once and
# untouched files not again. The engine tests prove added, dropped and emptied-folder cases.
source "$(dirname "$0")/lib.sh"

installer_setup
# Release 851, installed as a user would.
installer_sample_tree "$T/ref"
installer_publish "$T/ref" "Veltrix 851"
installer_open "$T/dest/"
installer_agree_and_install
installer_quit_when_complete
dest="$T/dest/Veltrix 851"

# The user edits two files; release 852 changes one of them and the airfoil.
echo "my own menu" >"$dest/Resources/menus/English/Veltrix.txt"
echo "my notes in the manual" >"$dest/Instructions/readme.txt"
echo "NACA 2415" >"$T/ref/All/Airfoils/naca2412.afl"
echo "new menu bar" >"$T/ref/All/Resources/menus/English/Veltrix.txt"
installer_publish "$T/ref" "Veltrix 852" "$T/Veltrix 851.directory.txt"
requests_before=$(installer_access_log | wc -l)

installer_open "$dest/" "$dest/"
installer_agree_and_install
# Prompts come in listing order; each is answered for the file its log line names.
for answer in 1 2; do
  installer_wait_log "  sig_want=" "$answer"
  asked=$(grep -o "^File: [^ ]*\( [^ ]*\)*  sig_want=" "$T/app/Log.txt" | sed -n "${answer}p" | sed 's/^File: //; s/  sig_want=$//')
  case "$asked" in
    */Veltrix.txt) installer_answer_prompt "$asked" $PROMPT_KEEP_X $PROMPT_KEEP_Y ;;
    */readme.txt) installer_answer_prompt "$asked" $PROMPT_OVERWRITE_X $PROMPT_OVERWRITE_Y ;;
    *) e2e_fail "unexpected prompt about '$asked'" ;;
  esac
done
installer_quit_when_complete

# Only platform files rename the folder; this update brought none.
[ ! -e "$T/dest/Veltrix 852" ] || e2e_fail "an update without platform files renamed the folder"
[ "$(grep -c '^File: ' "$T/app/Log.txt")" = 2 ] || e2e_fail "expected exactly two prompts"
[ "$(cat "$dest/Resources/menus/English/Veltrix.txt")" = "my own menu" ] || e2e_fail "KEEP did not keep the user's file"
[ "$(cat "$dest/Instructions/readme.txt")" = "read me first" ] || e2e_fail "OVERWRITE did not replace the user's file"
[ "$(cat "$dest/Airfoils/naca2412.afl")" = "NACA 2415" ] || e2e_fail "a changed file was not updated"
[ -f "$dest/Resources/plugins/cessna.txt" ] || e2e_fail "an untouched file went missing"

# Requests of the second run: only what changed came, once each; the kept file never came.
second_run=$(installer_access_log | tail -n +"$((requests_before + 1))")
for expected in panel.bin.zip=0 cessna.txt.zip=0 naca2412.afl.zip=1 English/Veltrix.txt.zip=0 readme.txt.zip=1; do
  [ "$(printf '%s\n' "$second_run" | grep -cF -- "${expected%=*}" || true)" = "${expected#*=}" ] ||
    e2e_fail "${expected%=*} was not fetched ${expected#*=} times"
done
echo "PASS update"
