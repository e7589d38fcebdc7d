#!/usr/bin/env bash
# Interface frame rate and state calls per frame under llvmpipe.
set -euo pipefail
"$VELTRIX_SOURCE_DIR/tests/support/with-display" "$VELTRIX_BINARY_DIR/bin/frame_bench"
