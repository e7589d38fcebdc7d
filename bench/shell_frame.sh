#!/usr/bin/env bash
# The shell's frame rate (idle, paced and polling; alert box open) and processor share under llvmpipe.
set -euo pipefail
"$VELTRIX_SOURCE_DIR/tests/support/with-display" "$VELTRIX_BINARY_DIR/bin/shell_frame_bench"
