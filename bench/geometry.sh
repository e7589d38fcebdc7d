#!/usr/bin/env bash
# Insets and half-plane clipping of a 1,000,000-point outline, beside copying the points.
set -euo pipefail
"$VELTRIX_BINARY_DIR/bin/geometry_bench"
