#!/usr/bin/env bash
# How an install grows with the number of files: 100, 1,000 and 10,000 files of 2 KB, up to 2,500
# in one folder as scenery tiles are (the release builder takes at most 3,000 names a folder),
# from nginx on loopback, default preference, each the installer's own install time; the
# figure is the time per file at 10,000 against the time per file at 1,000 (1.00 is linear).
. "$(dirname "$0")/install_common"

preference
start_display
start_services
for count in ${VELTRIX_BENCH_GROWTH_COUNTS:-100 1000 10000}; do
  rm -rf "$B/ref"
  reference_tree "$B/ref"
  small_files "$B/ref" "$count" 2000 2500
  publish "$B/ref" "mirror$count"
  find "$B/srv/www/mirror$count" -type f -print0 | xargs -0 cat > /dev/null
  install_release "$B/dest"
  per_file_us=$((install_ms * 1000 / count))
  eval "per_file_$count=\$per_file_us"
  echo "install_growth_$count: $(seconds_of "$install_ms") s, $per_file_us us per file"
  rm -rf "$B/srv/www/mirror$count" "$B/dest"
done
echo "install_growth: time per file at 10,000 files $(ratio "$per_file_10000" "$per_file_1000") of that at 1,000" \
  "(same installer, same layout)"
