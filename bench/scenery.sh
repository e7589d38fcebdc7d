#!/usr/bin/env bash
# Scenery library scan and resource search, against reading the same lines and a plain stat; then
# a Multiple lookup of one long path at the largest weight, each length in a process of its own.
set -euo pipefail
"$VELTRIX_BINARY_DIR/bin/scenery_bench"
for length in 100 4000 10000 30000 50000; do
  "$VELTRIX_BINARY_DIR/bin/scenery_bench" long "$length"
done
