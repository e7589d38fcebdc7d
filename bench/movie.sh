#!/usr/bin/env bash
# The installer's screen recorded as a movie at 20 frames a second against not recording.
set -euo pipefail
VELTRIX_HEADLESS=1 "$VELTRIX_SOURCE_DIR/tests/support/with-display" "$VELTRIX_BINARY_DIR/bin/movie_bench"
