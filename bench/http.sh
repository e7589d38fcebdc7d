#!/usr/bin/env bash
# HTTP client against curl: a 100 MB file from nginx on loopback, one slot and four slots.
set -euo pipefail
bench=$VELTRIX_BINARY_DIR/bin/http_bench
dir=$VELTRIX_BINARY_DIR/http-bench
port=$("$bench" --port)
read -r _ proxy_port < <("$VELTRIX_SOURCE_DIR/tests/support/services" ports "$VELTRIX_BINARY_DIR") || exit 1
mkdir -p "$dir/www" "$dir/out"
[ "$(stat -c %s "$dir/www/big.bin" 2>/dev/null || echo 0)" = 104857600 ] ||
  head -c 104857600 /dev/urandom > "$dir/www/big.bin"
"$VELTRIX_SOURCE_DIR/tests/support/services" start "$dir" "$port" "$proxy_port" >/dev/null
trap '"$VELTRIX_SOURCE_DIR/tests/support/services" stop "$dir"; rm -rf "$dir/out"' EXIT
"$bench" "$dir/out" /big.bin
cmp -s "$dir/www/big.bin" "$dir/out/client0.bin" || { echo "http_bench: the client's copy differs" >&2; exit 1; }
