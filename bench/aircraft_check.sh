#!/usr/bin/env bash
# Clearing and checking one full aircraft design against copying the record.
set -euo pipefail
"$VELTRIX_BINARY_DIR/bin/aircraft_check_bench"
