#!/usr/bin/env bash
# scripts/run-recorder.sh, which ./run.sh starts the recorder with, as a terminal runs it, with
# the headless recorder of the build against the private sound server.
#
#   run_recorder.sh <source dir> <orvel-rec>
#
# Ctrl+C signals the terminal's whole foreground process group: the recorder must get one
# SIGINT, complete its file and end normally, and the script must end with its status.
set -euo pipefail
root=$1
recorder=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
launcher="$root/scripts/run-recorder.sh"

fail() {
  echo "run_recorder: $*" >&2
  echo "--- stdout" >&2
  cat "$work/out" >&2 || true
  echo "--- stderr" >&2
  cat "$work/err" >&2 || true
  exit 1
}

# Starts the launcher as a terminal's foreground job: a process group of its own, and SIGINT
# not ignored (as this script's background jobs would have it).
start() {
  setsid env --default-signal "$launcher" "$recorder" run "$@" >"$work/out" 2>"$work/err" &
  group=$!
}

# Waits (at most 20 s) for the launcher to end; its status in $status.
finish() {
  local waited=0
  while kill -0 "$group" 2>/dev/null && [ "$waited" -lt 200 ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  kill -0 "$group" 2>/dev/null && { kill -KILL -- -"$group" 2>/dev/null; fail "still running"; }
  status=0
  wait "$group" || status=$?
}

# Waits until the file holds a second of sound (16-bit stereo at 44100 Hz).
recording_started() {
  local waited=0
  until [ "$(stat -c %s "$1" 2>/dev/null || echo 0)" -gt 176400 ]; do
    [ "$waited" -lt 200 ] || fail "the recording did not start"
    sleep 0.1
    waited=$((waited + 1))
  done
}

log_lines() {
  cat "$work"/data/orvel/Log/*/*.txt 2>/dev/null | grep -c . || true
}

# Ctrl+C and a closed terminal: one signal reaches the recorder, which completes its file.
for signal in INT HUP; do
  rm -rf "$work/data"
  start /r -frequency 44 -bit 16 -channels 2 -filename "$work/$signal take.wav"
  recording_started "$work/$signal take.wav"
  kill -"$signal" -- -"$group"
  finish
  [ "$status" = 0 ] || fail "SIG$signal to the group: status $status, not 0"
  received=$(grep -c "SIG$signal received" "$work/err" || true)
  [ "$received" = 1 ] || fail "SIG$signal reached the recorder $received times, not once"
  grep -q "^finished: $work/$signal take.wav (0:0" "$work/out" || fail "SIG$signal: no file finished"
  [ "$(log_lines)" = 1 ] || fail "SIG$signal: $(log_lines) log lines, not 1"
done

# The recorder's own status comes through: a file that exists is not replaced (status 1).
start /r -filename "$work/INT take.wav"
finish
[ "$status" = 1 ] || fail "an existing file: status $status, not the recorder's 1"
grep -q 'exists: not overwritten' "$work/err" || fail "an existing file: no refusal"
echo "run_recorder: passed"
