#!/usr/bin/env bash
# Reading and converting one old aircraft file against copying its bytes.
set -euo pipefail
"$VELTRIX_BINARY_DIR/bin/old_aircraft_bench"
