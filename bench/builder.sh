#!/usr/bin/env bash
# Release builder against zip + md5sum on 2,000 files / 500 MB; read_directory on 50,000 records.
set -euo pipefail
VELTRIX_HEADLESS=1 "$VELTRIX_BINARY_DIR/bin/builder_bench"
