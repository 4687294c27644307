#!/usr/bin/env bash
# Installs what is missing, builds the recorder in release mode (build/release) and starts it
# with the arguments given: the window `orvel` on a desktop, or, where there is no display, the
# headless recorder `orvel-rec run` with the same arguments, so that the same command line
# records on a machine without a screen.
#
#   ./run.sh                                the recorder's window
#   ./run.sh /r -filename take.wav          recording at once into take.wav
#   ./run.sh /rs /hide                      signal recording, the window hidden
#
# When no sound server answers (a machine without a sound card or desktop session), the
# project's private server (tools/soundserver.sh) is started for the run and stopped after it.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)

"$root/scripts/install-deps.sh"

build="$root/build/release"
log="$root/build/release-build.log"
mkdir -p "$root/build"
if [ ! -x "$build/src/orvel" ]; then
  echo "run.sh: building the recorder in $build (the first build takes a few minutes)" >&2
fi
if ! { cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
         -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ \
         -DORVEL_TESTS=OFF -DORVEL_BENCH=OFF -DORVEL_SANITIZE=OFF -DORVEL_FUZZ=OFF &&
       cmake --build "$build" --target orvel orvel-rec; } >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "run.sh: the build failed (whole log: $log)" >&2
  exit 1
fi

# A private sound server only when none answers; only a server this run started is stopped.
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

# The window needs a display; without one the headless recorder runs the same command line.
program=("$build/src/orvel")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display is available; running the headless recorder (orvel-rec run) with" \
    "the same arguments" >&2
  program=("$build/src/orvel-rec" run)
fi

# The recorder runs as a child so that the server can be stopped after it; SIGINT, SIGTERM and
# SIGHUP sent to this script are passed on, and the recorder completes its file before it exits.
"${program[@]}" "$@" &
child=$!
trap 'kill -INT "$child" 2>/dev/null || true' INT
trap 'kill -TERM "$child" 2>/dev/null || true' TERM
trap 'kill -HUP "$child" 2>/dev/null || true' HUP
status=0
while kill -0 "$child" 2>/dev/null; do
  if wait "$child"; then status=0; else status=$?; fi
done
exit "$status"
