#!/usr/bin/env bash
# Runs a test program against a private JACK server on the dummy driver, so the
# live MIDI path meets a real MIDI system without any hardware.
# Usage: jack-live-test.sh <test program> [arguments...]
#
# Each run gets a server name of its own, so runs in parallel never meet. The
# test program is stopped before the server, both by process id, and both are
# stopped on any exit of this script.
set -u

if ! command -v jackd >/dev/null 2>&1 || ! command -v jack_wait >/dev/null 2>&1; then
  echo "FAILED: jackd / jack_wait not found: install jackd2 (bash scripts/install-deps.sh)" >&2
  exit 1
fi
if [ $# -lt 1 ]; then
  echo "usage: $0 <test program> [arguments...]" >&2
  exit 2
fi

export JACK_DEFAULT_SERVER="lumidot-test-$$-${RANDOM}${RANDOM}"
export JACK_NO_AUDIO_RESERVATION=1
export JACK_NO_START_SERVER=1

log=$(mktemp)
jackd_pid=""
test_pid=""

stop_process() {
  local pid=$1
  [ -n "$pid" ] || return 0
  kill -0 "$pid" 2>/dev/null || return 0
  kill -INT "$pid" 2>/dev/null
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

cleanup() {
  stop_process "$test_pid"
  stop_process "$jackd_pid"
  rm -f "$log"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Servers share one registry in shared memory; two of them starting at the
# same moment can spoil each other's start, so starts take turns.
start_server() {
  jackd --no-realtime -d dummy -r 48000 -p 1024 >"$log" 2>&1 &
  jackd_pid=$!
  timeout 15 jack_wait -w -t 10 >/dev/null 2>&1
}

# A machine has only eight JACK server slots, and several test runs (other
# build folders, other users of the machine) may be under way at once: each
# run takes one of three places first and keeps it until it ends.
take_place() {
  local deadline=$((SECONDS + 120))
  while [ "$SECONDS" -lt "$deadline" ]; do
    for place in 1 2 3; do
      exec 8>"${TMPDIR:-/tmp}/lumidot-jack-place-$place.lock"
      if flock -n 8; then
        return 0
      fi
      exec 8>&-
    done
    sleep 0.2
  done
  return 1
}
if ! take_place; then
  echo "FAILED: no JACK server place came free within 120 s" >&2
  exit 1
fi

exec 9>"${TMPDIR:-/tmp}/lumidot-jack-start.lock"
flock -w 60 9
started=0
for _ in 1 2 3; do
  if start_server; then
    started=1
    break
  fi
  stop_process "$jackd_pid"
  jackd_pid=""
done
flock -u 9
exec 9>&-

if [ "$started" -ne 1 ]; then
  echo "FAILED: the JACK server '$JACK_DEFAULT_SERVER' did not start:" >&2
  cat "$log" >&2
  exit 1
fi

timeout --signal=INT --kill-after=5 90 "$@" &
test_pid=$!
wait "$test_pid"
status=$?
test_pid=""
exit "$status"
