#!/usr/bin/env bash
# Large entries: the installer's frame rate while it installs one 1 GiB file against its idle
# main screen, and its peak memory (maximum resident set) for a 60 MB and a 1 GiB entry against
# the idle program's, all the same whole installer process with the default preference; and the
# release builder's peak memory packing the 1 GiB file against packing a 20 KB one.
. "$(dirname "$0")/install_common"

preference
start_display
start_services
declare -A peak
for size in 60000000 1073741824; do
  rm -rf "$B/ref"
  reference_tree "$B/ref"
  mkdir -p "$B/ref/All/Resources/large"
  # Half-compressible content keeps both the packer and the extraction busy.
  head -c $((size / 2)) /dev/urandom > "$B/ref/All/Resources/large/file.bin"
  head -c $((size - size / 2)) /dev/zero >> "$B/ref/All/Resources/large/file.bin"
  publish "$B/ref" mirror
  peak[builder$size]=$(peak_mb "$B/builder-time.txt")
  rm -rf "$B/ref"
  install_release "$B/dest"
  peak[$size]=$(peak_mb "$B/time.txt")
  [ "$size" = 1073741824 ] && heavy_fps=$install_fps
  [ "$(stat -c %s "$B/dest/Veltrix/Resources/large/file.bin")" = "$size" ] || echo "install_heavy: WRONG SIZE" >&2
  rm -rf "$B/srv/www/mirror"
done
reference_tree "$B/ref"
head -c 20000 /dev/urandom > "$B/ref/All/Resources/small.bin"
publish "$B/ref" mirror
builder_idle=$(peak_mb "$B/builder-time.txt")
# The idle program: its listing read, nothing on the disk to sign, its main screen left alone.
rm -rf "$B/dest"
mkdir -p "$B/dest"
idle_installer "$B/dest"
idle=$(peak_mb "$B/time.txt")

echo "install_frame_rate_1gib: $heavy_fps frames/s while a 1 GiB file installs ($(ratio "$heavy_fps" "$idle_fps")" \
  "of the idle screen at $idle_fps frames/s)"
echo "install_peak_memory_60mb: ${peak[60000000]} MB (idle program $idle MB, +$((peak[60000000] - idle)) MB)"
echo "install_peak_memory_1gib: ${peak[1073741824]} MB (idle program $idle MB, +$((peak[1073741824] - idle)) MB)"
echo "builder_peak_memory_1gib: ${peak[builder1073741824]} MB (packing a 20 KB file $builder_idle MB," \
  "+$((peak[builder1073741824] - builder_idle)) MB)"
