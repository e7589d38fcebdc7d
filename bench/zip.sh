#!/usr/bin/env bash
# zip_to_file against unzip: 1,000 small archives and one 200 MB archive, with peak memory.
set -euo pipefail
"$VELTRIX_BINARY_DIR/bin/zip_bench"
