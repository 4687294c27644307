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
# project's private server (tools/soundserver.sh) is started for the run and stopped after it
# (scripts/run-recorder.sh). The script says so before every build that has work to do, passes
# one Ctrl+C, SIGTERM or SIGHUP on to the recorder once, and exits with the recorder's status.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)

"$root/scripts/install-deps.sh"

build="$root/build/release"
log="$root/build/release-build.log"
mkdir -p "$root/build"
configure() {
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ \
    -DORVEL_TESTS=OFF -DORVEL_BENCH=OFF -DORVEL_SANITIZE=OFF -DORVEL_FUZZ=OFF
}
# Said before every build that has work to do, not only the first: a rebuild after a change
# takes a while too. Whether there is work shows in the build's own lines as they come (a dry
# run cannot tell: it always sees the check of the source folders as work).
first_build=""
if [ ! -x "$build/src/orvel" ]; then
  echo "run.sh: building the recorder in $build (the first build takes a few minutes)" >&2
  first_build=yes
fi
log_build() {
  local said=$first_build line
  while IFS= read -r line; do
    printf '%s\n' "$line" >>"$log"
    if [ -z "$said" ] && [[ "$line" == *" Building "* || "$line" == *" Linking "* ]]; then
      echo "run.sh: rebuilding the recorder in $build (the sources changed)" >&2
      said=yes
    fi
  done
}
build_failed() {
  tail -n 40 "$log" >&2
  echo "run.sh: the build failed (whole log: $log)" >&2
  exit 1
}
configure >"$log" 2>&1 || build_failed
cmake --build "$build" --target orvel orvel-rec 2>&1 | log_build || build_failed

# The window needs a display; without one the headless recorder runs the same command line.
program=("$build/src/orvel")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display is available; running the headless recorder (orvel-rec run) with" \
    "the same arguments" >&2
  program=("$build/src/orvel-rec" run)
fi

# The recorder's own exit status is this script's; one Ctrl+C (or SIGTERM, SIGHUP) reaches it
# once, and it completes its file before it ends.
exec "$root/scripts/run-recorder.sh" "${program[@]}" "$@"
