#!/usr/bin/env bash
# One frame of the file box on a 3,000-entry folder (case finding off and on) against one frame of
# the installer screen, under llvmpipe.
set -euo pipefail
"$VELTRIX_SOURCE_DIR/tests/support/with-display" "$VELTRIX_BINARY_DIR/bin/opensave_bench"
