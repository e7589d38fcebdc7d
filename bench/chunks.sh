#!/usr/bin/env bash
# A 100,000-vertex mesh drawn from vertex-buffer chunks in a buffer object against immediate mode.
set -euo pipefail
"$VELTRIX_SOURCE_DIR/tests/support/with-display" "$VELTRIX_BINARY_DIR/bin/chunks_bench"
