#!/usr/bin/env bash
# tests/support/services when a test goes without stopping its servers, as one that CTest ends
# at its timeout does (SIGKILL): the servers go with it, or the next start ends them. A listener
# that is not ours, or ours for a test still running, is never touched: that start fails saying
# the port is taken. Runs on the build's own loopback ports, under their lock.
set -euo pipefail
. "$VELTRIX_SOURCE_DIR/tests/support/e2e.sh"
SERVICES=$VELTRIX_SOURCE_DIR/tests/support/services
read -r PORT PROXY_PORT < <("$SERVICES" ports "$VELTRIX_BINARY_DIR")
e2e_setup

port_free() { ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
ports_free() { port_free "$PORT" && port_free "$PROXY_PORT"; }
# What the server on PORT answers for /who, or "none".
who_serves() { curl -sf --max-time 2 --noproxy '*' "http://127.0.0.1:$1/who" 2>/dev/null || echo none; }
serves() { [ "$(who_serves "$1")" = "$2" ]; }
state_of() { if e2e_running "$1"; then echo running; else echo ended; fi; }

# [SECTION] What an earlier test left

# A test that starts servers in $T/earlier, then waits: OWNER is its pid, EARLIER_NGINX and
# WATCHDOG the pids its start left running.
start_earlier_test() {
  mkdir -p "$T/earlier/www"
  echo earlier >"$T/earlier/www/who"
  bash -c '"$1" start "$2" "$3" "$4" || exit 1; touch "$2/started"; exec sleep 600' _ \
    "$SERVICES" "$T/earlier" "$PORT" "$PROXY_PORT" >"$T/earlier.out" 2>&1 &
  OWNER=$!
  E2E_PIDS+=("$OWNER")
  E2E_PROGRAM_PID=$OWNER e2e_wait_for "the earlier test's servers" "$E2E_WAIT" test -e "$T/earlier/started"
  EARLIER_NGINX=$(cat "$T/earlier/nginx.service-pid")
  E2E_PIDS+=("$EARLIER_NGINX" "$(cat "$T/earlier/tinyproxy.service-pid")")
  read -r WATCHDOG _ <"$T/earlier/watchdog.service-pid" 2>/dev/null || WATCHDOG=
}

# A listener of someone else's on PORT.
start_stranger() {
  mkdir -p "$T/stranger"
  echo stranger >"$T/stranger/who"
  python3 -m http.server "$1" --bind 127.0.0.1 --directory "$T/stranger" >"$T/stranger.out" 2>&1 &
  STRANGER=$!
  E2E_PIDS+=("$STRANGER")
  E2E_PROGRAM_PID=$STRANGER e2e_wait_for "the stranger on port $1" "$E2E_WAIT" serves "$1" stranger
}

# Each may set LEFTOVER to a process of ours that must have ended once the later start returns,
# and SURVIVOR to "PORT WHO" of a listener that must still answer then.
killed_test() {
  start_earlier_test
  kill -9 "$OWNER"
  e2e_wait_for "both ports freed once their test was killed" "$E2E_WAIT" ports_free
}
killed_test_and_watchdog() {
  start_earlier_test
  kill -9 "${WATCHDOG:?no watchdog}" "$OWNER"
  e2e_check_equal "with the watchdog killed too, the earlier nginx" "$(who_serves "$PORT")" earlier
  LEFTOVER=$EARLIER_NGINX
}
running_test() {
  start_earlier_test
  SURVIVOR="$PORT earlier"
}
stranger_on_http_port() {
  start_stranger "$PORT"
  SURVIVOR="$PORT stranger"
}
stranger_on_proxy_port() {
  start_stranger "$PROXY_PORT"
  SURVIVOR="$PROXY_PORT stranger"
}
# Our server's record outlives it, and a stranger takes its port.
stranger_after_killed_test() {
  start_earlier_test
  kill -9 "${WATCHDOG:?no watchdog}" "$OWNER" "$EARLIER_NGINX"
  e2e_wait_for "the earlier nginx's port freed" "$E2E_WAIT" port_free "$PORT"
  start_stranger "$PORT"
  SURVIVOR="$PORT stranger"
}

# [SECTION] The later start

end_case() {
  "$SERVICES" stop "$T/later"
  "$SERVICES" stop "$T/earlier"
  [ -z "$STRANGER" ] || e2e_stop "$STRANGER"
  [ -z "$OWNER" ] || e2e_stop "$OWNER"
  e2e_wait_for "both ports free after the case" "$E2E_WAIT" ports_free
  rm -rf "$T/earlier" "$T/later"
}

e2e_wait_for "both ports free before the test" "$E2E_WAIT" ports_free
cases=(
  # what came before           | the later start
  "killed_test                 | started"
  "killed_test_and_watchdog    | started"
  "running_test                | nginx: port $PORT is already taken"
  "stranger_on_http_port       | nginx: port $PORT is already taken"
  "stranger_on_proxy_port      | tinyproxy: port $PROXY_PORT is already taken"
  "stranger_after_killed_test  | nginx: port $PORT is already taken"
)
for line in "${cases[@]}"; do
  IFS='|' read -r setup expected <<<"$line"
  read -r setup <<<"$setup"  # without the blanks that align the table
  read -r expected <<<"$expected"
  OWNER='' STRANGER='' LEFTOVER='' SURVIVOR=''
  "$setup"
  mkdir -p "$T/later/www"
  echo later >"$T/later/www/who"
  if "$SERVICES" start "$T/later" "$PORT" "$PROXY_PORT" 2>"$T/later.err"; then
    outcome=started
    e2e_check_equal "$setup: the later nginx answers" "$(who_serves "$PORT")" later
  else
    outcome=$(grep -o '[a-z]*: port [0-9]* is already taken' "$T/later.err" || cat "$T/later.err")
  fi
  e2e_check_equal "$setup: the later start" "$outcome" "$expected"
  [ -z "$LEFTOVER" ] || e2e_check_equal "$setup: the server left over" "$(state_of "$LEFTOVER")" ended
  if [ -n "$SURVIVOR" ]; then
    read -r port who <<<"$SURVIVOR"
    e2e_check_equal "$setup: what was on port $port before" "$(who_serves "$port")" "$who"
  fi
  end_case
done

e2e_log "all services checks passed"
