#!/usr/bin/env bash
# Runs a built recorder program for run.sh: the window `orvel`, or the headless `orvel-rec run`,
# with the arguments given, and exits with its status.
#
#   scripts/run-recorder.sh PROGRAM [ARGUMENTS...]
#
# When no sound server answers, the project's private server (tools/soundserver.sh) is started
# for the run and stopped after it; a server that was already there is left alone.
#
# The recorder runs in a session of its own, and every SIGINT, SIGTERM or SIGHUP this script
# receives is passed on to it exactly once. In a terminal, Ctrl+C signals the whole foreground
# process group: were the recorder in this script's group, it would get the terminal's SIGINT
# and then the one passed on, and a second SIGINT before the first is handled ends the recorder
# at once (so that a stuck one can still be stopped), cutting its file short.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "$#" -lt 1 ]; then
  echo "usage: $0 PROGRAM [ARGUMENTS...]" >&2
  exit 2
fi

started_server=""
server_dir="$root/build/run-soundserver"
stop_server() {
  if [ -n "$started_server" ]; then
    "$root/tools/soundserver.sh" stop "$server_dir" >/dev/null 2>&1 || true
  fi
}
trap stop_server EXIT
if ! pactl info >/dev/null 2>&1; then
  echo "run.sh: no sound server answers; starting the private one in $server_dir" >&2
  server_env=$("$root/tools/soundserver.sh" start "$server_dir")
  started_server=yes
  export "${server_env?}"
fi

# A script's background job is not a process group leader, so setsid starts a new session in
# the job itself and $! is the recorder's own process.
setsid "$@" &
child=$!
passed=""
pass_on() {
  kill -"$1" "$child" 2>/dev/null || true
  passed=yes
}
trap 'pass_on INT' INT
trap 'pass_on TERM' TERM
trap 'pass_on HUP' HUP

# A signal passed on interrupts the wait while the recorder completes its file: wait again,
# until a wait ends without one. Bash keeps the status of a child it has already reaped.
status=0
while :; do
  passed=""
  if wait "$child"; then status=0; else status=$?; fi
  [ -n "$passed" ] || break
done
exit "$status"
