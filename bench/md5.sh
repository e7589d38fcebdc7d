#!/usr/bin/env bash
# MD5 file signatures against md5sum: 1 GiB file, 20,000 small files, a sparse file past 4 GiB.
set -euo pipefail
"$VELTRIX_BINARY_DIR/bin/md5_bench"
