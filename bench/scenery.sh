#!/usr/bin/env bash
# Scenery library scan and resource search, against reading the same lines and a plain stat.
set -euo pipefail
"$VELTRIX_BINARY_DIR/bin/scenery_bench"
