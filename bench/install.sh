#!/usr/bin/env bash
# A full install of a 2,000-file / 500 MB release from nginx on loopback, against curl fetching
# the same archives four at a time plus unzip extracting them; the installer's frame rate during
# the download and its peak memory; then the disk scan (MD5 of every installed file) against
# md5sum over the same files. Sizes: VELTRIX_BENCH_INSTALL_FILES and VELTRIX_BENCH_INSTALL_MB.
set -euo pipefail
source_dir=${VELTRIX_SOURCE_DIR:?}
build=${VELTRIX_BINARY_DIR:?}
files=${VELTRIX_BENCH_INSTALL_FILES:-2000}
megabytes=${VELTRIX_BENCH_INSTALL_MB:-500}
installer=$build/bin/veltrix-installer-e2e
builder=$build/bin/veltrix-release-builder
read -r port proxy_port < <("$source_dir/tests/support/services" ports "$build") || exit 1

B=$(mktemp -d "${TMPDIR:-/tmp}/veltrix-bench-XXXXXX")
xvfb_pid= app_pid=
cleanup() {
  [ -n "$app_pid" ] && { kill "$app_pid" 2>/dev/null || true; wait "$app_pid" 2>/dev/null || true; }
  "$source_dir/tests/support/services" stop "$B/srv" >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
  rm -rf "$B"
}
trap cleanup EXIT
mkdir -p "$B/home/.config" "$B/home/.cache" "$B/tmp" "$B/app" "$B/dest" "$B/peer"
export HOME=$B/home XDG_CONFIG_HOME=$B/home/.config XDG_CACHE_HOME=$B/home/.cache TMPDIR=$B/tmp
export LIBGL_ALWAYS_SOFTWARE=1 SDL_VIDEODRIVER=x11 VELTRIX_HEADLESS=1

now_ms() { echo $(($(date +%s%N) / 1000000)); }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf (b > 0 ? "%.2f" : "n/a"), a / b }'; }

# The release: files of equal size in 20 folders, incompressible like textures and scenery.
r=$B/ref
mkdir -p "$r"/{All,Macintosh,Windows,"Linux Generic x86","Linux Pentium 3","Linux Athlon XP"} \
  "$r/All/"{Airfoils,Aircraft,Instructions,Output,Weapons,"Custom Scenery"} "$r/All/Resources/plugins" \
  "$r/All/Resources/default scenery/820 world terrain" "$r/All/Resources/menus/English" "$r/All/Resources/text/English"
# A file in each of the folders that mark an install, so the second start finds one to scan.
for folder in Airfoils Instructions Output; do echo "$folder" > "$r/All/$folder/ReadMe.txt"; done
echo menu > "$r/All/Resources/menus/English/Veltrix.txt"
echo text > "$r/All/Resources/text/English/Veltrix.txt"
size=$((megabytes * 1000000 / files))
for ((i = 0; i < files; i++)); do
  folder="$r/All/Resources/bench$((i % 20))"
  mkdir -p "$folder"
  head -c "$size" /dev/urandom > "$folder/file$i.bin"
done
"$builder" --name "Veltrix 851" "$r" "$B/out" > "$B/builder.log" 2>&1
mkdir -p "$B/srv/www/mirror"
mv "$B/out/MY CONTAINER FOR Veltrix 851/Veltrix 851" "$B/srv/www/mirror/Veltrix 851"
printf 'A\n820 version\nSERVERS\n\nFINAL Veltrix 851\nSERVER 127.0.0.1\n/mirror/\nLoopback\nENDOFLIST\n' \
  > "$B/srv/www/serverlist.txt"
"$source_dir/tests/support/services" start "$B/srv" "$port" "$proxy_port" >/dev/null

# The peer: curl four at a time, then unzip each archive into place.
(cd "$B/srv/www/mirror/Veltrix 851" && find All -name '*.zip') > "$B/archives.txt"
start=$(now_ms)
sed "s|^|http://127.0.0.1:$port/mirror/Veltrix%20851/|; s| |%20|g" "$B/archives.txt" |
  xargs -P 4 -n 16 curl -s --remote-name-all --create-dirs --output-dir "$B/peer/zips" >/dev/null
while IFS= read -r archive; do
  mkdir -p "$B/peer/tree/$(dirname "$archive")"
  unzip -q -o "$B/peer/zips/${archive##*/}" -d "$B/peer/tree/$(dirname "$archive")"
done < "$B/archives.txt"
peer_ms=$(($(now_ms) - start))

# The installer, using the full processor, in its own display, driven by clicks.
printf 'A\n8500 version\n_use_max_cpu 1\n' > "$XDG_CONFIG_HOME/Veltrix Installer.prf"
cp "$installer" "$B/app/veltrix-installer"
mkfifo "$B/xvfb.fd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$B/xvfb.fd" >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 number < "$B/xvfb.fd"
export DISPLAY=:$number
run_installer() {
  (cd "$B/app" && exec /usr/bin/time -v -o "$B/time.txt" ./veltrix-installer -path "$1") >/dev/null 2>&1 &
  app_pid=$!
  wid=$(timeout 60 xdotool search --sync --name '^Main$' | head -n 1)
  eval "$(xdotool getwindowgeometry --shell "$wid")"
}
click() { xdotool mousemove --sync $((X + $1)) $((Y + 768 - $2)) click 1; }
wait_log() {
  local i
  for ((i = 0; i < 36000; i++)); do
    grep -qF -- "$1" "$B/app/Log.txt" 2>/dev/null && return 0
    sleep 0.05
  done
  return 1
}
quit_installer() {
  click 985 89
  wait "$app_pid" || true
  app_pid=
}

run_installer "$B/dest/"
wait_log "Listing read for "
click 491 89
sleep 1
click 691 255
wait_log "Install took "
line=$(grep "Install took " "$B/app/Log.txt")
install_s=$(echo "$line" | sed -E 's/Install took ([0-9.]+) s.*/\1/')
fps=$(echo "$line" | sed -E 's/.*\(([0-9.]+) frames per second\).*/\1/')
quit_installer
peak_kb=$(sed -n 's/^\s*Maximum resident set size (kbytes): //p' "$B/time.txt")
installed="$B/dest/Veltrix/"
cmp -s "$r/All/Resources/bench0/file0.bin" "$installed/Resources/bench0/file0.bin" || echo "install: WRONG CONTENT" >&2

install_ms=$(awk -v s="$install_s" 'BEGIN { printf "%d", s * 1000 }')
echo "install_full: $(awk -v m="$install_ms" 'BEGIN { printf "%.2f", m / 1000 }') s for $files files, $megabytes MB" \
  "($(ratio "$install_ms" "$peer_ms") to curl x4 + unzip at $(awk -v m="$peer_ms" 'BEGIN { printf "%.2f", m / 1000 }') s)"
echo "install_frame_rate: $fps frames/s (during the download)"
echo "install_peak_memory: $((peak_kb / 1024)) MB (maximum resident set)"

# The disk scan: a second start on the installed tree signs every file before anything else.
# Both sides read from a warm cache: the tree is read once, untimed, before either runs.
sync
find "$installed" -type f -print0 | xargs -0 cat > /dev/null
: > "$B/app/Log.txt"
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
echo "disk_scan: $scan_s s for $files files ($(ratio "$scan_ms" "$md5_ms") to md5sum at" \
  "$(awk -v m="$md5_ms" 'BEGIN { printf "%.2f", m / 1000 }') s)"
