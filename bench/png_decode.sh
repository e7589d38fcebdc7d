#!/usr/bin/env bash
# PNG decode of a 1024x1024 image with the edge bleed, against ImageMagick's convert.
set -euo pipefail
"$VELTRIX_BINARY_DIR/bin/png_decode_bench"
