#!/usr/bin/env bash
# A full install of 1,000 files of 20 KB and files of 20, 50 and 100 MB from nginx on loopback,
# with the default preference, against curl fetching the same archives four at a time plus unzip
# extracting each: whole processes on both sides, the archives served from a warm cache to both.
# Then the disk scan (MD5 of every installed file, the second start's listing check) against
# md5sum over the same warm files.
. "$(dirname "$0")/install_common"

r=$B/ref
reference_tree "$r"
small_files "$r" 1000 20000 500
mkdir -p "$r/All/Resources/large"
for mb in 20 50 100; do head -c $((mb * 1000000)) /dev/urandom > "$r/All/Resources/large/file$mb.bin"; done
publish "$r" mirror
start_services
mirror="$B/srv/www/mirror/Veltrix 851"
find "$mirror" -type f -print0 | xargs -0 cat > /dev/null

# The peer: curl four at a time, then unzip each archive into place.
mkdir -p "$B/peer"
(cd "$mirror" && find All -name '*.zip') > "$B/archives.txt"
start=$(now_ms)
sed "s|^|http://127.0.0.1:$port/mirror/Veltrix%20851/|; s| |%20|g" "$B/archives.txt" |
  xargs -P 4 -n 16 curl -s --remote-name-all --create-dirs --output-dir "$B/peer/zips" >/dev/null
while IFS= read -r archive; do
  mkdir -p "$B/peer/tree/$(dirname "$archive")"
  unzip -q -o "$B/peer/zips/${archive##*/}" -d "$B/peer/tree/$(dirname "$archive")"
done < "$B/archives.txt"
peer_ms=$(($(now_ms) - start))
rm -rf "$B/peer"

preference
start_display
install_release "$B/dest"
installed="$B/dest/Veltrix/"
for file in bench0/file0.bin large/file100.bin; do
  cmp -s "$r/All/Resources/$file" "$installed/Resources/$file" || echo "install: WRONG CONTENT in $file" >&2
done
echo "install_full: $(seconds_of "$install_ms") s for 1000 x 20 KB + 20/50/100 MB, default preference" \
  "($(ratio "$install_ms" "$peer_ms") to curl -P4 + unzip at $(seconds_of "$peer_ms") s; whole processes)"
echo "install_frame_rate: $install_fps frames/s (during the install)"
echo "install_peak_memory: $(peak_mb "$B/time.txt") MB (maximum resident set)"

# The disk scan: a second start on the installed tree signs every file before anything else.
# Both sides read from a warm cache: the tree is read once, untimed, before either runs.
sync
find "$installed" -type f -print0 | xargs -0 cat > /dev/null
run_installer "$installed"
wait_log "Listing read for "
scan_line=$(grep "Listing read for " "$B/app/Log.txt")
scan_s=$(echo "$scan_line" | sed -E 's/.*read and compared in ([0-9.]+) s.*/\1/')
# Every file signed must have been found in place, or the scan timed failed opens.
scan_left=$(echo "$scan_line" | sed -E 's/.* files, ([0-9.]+) kB to download.*/\1/')
awk -v k="$scan_left" 'BEGIN { exit !(k == 0) }' || echo "disk_scan: THE INSTALLED TREE WAS NOT FOUND ($scan_line)" >&2
quit_installer
start=$(now_ms)
find "$installed" -type f -print0 | xargs -0 md5sum > /dev/null
md5_ms=$(($(now_ms) - start))
scan_ms=$(awk -v s="$scan_s" 'BEGIN { printf "%d", s * 1000 }')
echo "disk_scan: $scan_s s for 1,003 files ($(ratio "$scan_ms" "$md5_ms") to md5sum at $(seconds_of "$md5_ms") s;" \
  "the installer's timed scan against the md5sum process, warm cache)"
