#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program against a private JACK server on the dummy driver, so the
# live MIDI path meets a real MIDI system without any hardware.
# Usage: jack-live-test.sh [--own-server NAME] <test program> [arguments...]
#
# Each run gets a server name of its own, so runs in parallel never meet. The
# test program is stopped before the server, both by process id, and both are
# stopped on any exit of this script.
#
# With --own-server NAME the test program starts, kills and restarts its
# servers itself, always under NAME: a server killed with SIGKILL keeps its
# slot among the machine's eight until a server of the same name starts
# again, so a test that kills one must reuse one fixed name. Runs of such a
# test (from other build folders, other worktrees) take turns on a lock named
# after the server for the whole run; the killed servers' leftover files are
# removed before and after the run, and a server the program left running
# (its pid is in LUMIDOT_JACK_PIDFILE) is stopped by its pid.
set -u

own_server=""
if [ "${1:-}" = "--own-server" ]; then
  own_server=${2:-}
  shift 2
  if [ -z "$own_server" ]; then
    echo "usage: $0 --own-server NAME <test program> [arguments...]" >&2
    exit 2
  fi
fi

if ! command -v jackd >/dev/null 2>&1 || ! command -v jack_wait >/dev/null 2>&1; then
  echo "FAILED: jackd / jack_wait not found: install jackd2 (bash scripts/install-deps.sh)" >&2
  exit 1
fi
if [ $# -lt 1 ]; then
  echo "usage: $0 <test program> [arguments...]" >&2
  exit 2
fi

if [ -n "$own_server" ]; then
  export JACK_DEFAULT_SERVER="$own_server"
else
  export JACK_DEFAULT_SERVER="lumidot-test-$$-${RANDOM}${RANDOM}"
fi
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

# What jackd2 leaves of a server killed outright: its request socket
# jack_<name>_<uid>_0 and its semaphores jack_sem.<uid>_<name>_*, in /dev/shm
# (or the temporary folder), and with older servers a folder jack-<uid>/<name>.
remove_leftovers() {
  local name=$1 dir
  for dir in /dev/shm "${TMPDIR:-/tmp}"; do
    rm -rf "$dir/jack_${name}_"* "$dir/jack_sem."*"_${name}_"* "$dir/jack-$(id -u)/$name" 2>/dev/null
  done
}

pidfile=""
cleanup() {
  stop_process "$test_pid"
  stop_process "$jackd_pid"
  if [ -n "$pidfile" ]; then
    stop_process "$(cat "$pidfile" 2>/dev/null)"
    rm -f "$pidfile"
    remove_leftovers "$own_server"
  fi
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

if [ -n "$own_server" ]; then
  exec 7>"${TMPDIR:-/tmp}/lumidot-jack-server-$own_server.lock"
  if ! flock -w 200 7; then
    echo "FAILED: the JACK server name '$own_server' stayed in use for 200 s" >&2
    exit 1
  fi
  remove_leftovers "$own_server"
  pidfile=$(mktemp)
  export LUMIDOT_JACK_PIDFILE="$pidfile"
  timeout --signal=INT --kill-after=5 240 "$@" &
  test_pid=$!
  wait "$test_pid"
  status=$?
  test_pid=""
  exit "$status"
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
