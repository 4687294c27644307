#!/usr/bin/env bash
# Refreshes docs/screenshots/: builds the skin gallery and runs it on a private Xvfb (a real X
# server, so each grab shows the face's shape against the window behind it): every face at
# scale 1, and the front face at scale 2, where the double-size pictures are used. The front
# face is the program's own, recording from the sound server: where none answers, the project's
# private one is started for the run (its steady tone moves the meter).
#
#   tools/screenshots.sh [build folder]    default build/screens, a release build
#
# Look at every picture before the change lands.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/screens}
out="$root/docs/screenshots"

"$root/scripts/install-deps.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DORVEL_TESTS=OFF -DORVEL_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target orvel-skin-gallery >/dev/null
gallery="$build/tools/skin/orvel-skin-gallery"

started_server=""
server_dir="$build/screens-soundserver"
stop_server() {
  if [ -n "$started_server" ]; then
    "$root/tools/soundserver.sh" stop "$server_dir" >/dev/null 2>&1 || true
  fi
}
trap stop_server EXIT
if ! pactl info >/dev/null 2>&1; then
  server_env=$("$root/tools/soundserver.sh" start "$server_dir")
  started_server=yes
  export "${server_env?}"
fi

# A sanitized build may be handed in: leaks of the X libraries at exit are not ours.
export ASAN_OPTIONS=detect_leaks=0
unset QT_QPA_PLATFORM QT_SCALE_FACTOR
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$gallery" --shots "$out"
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 2560x2048x24 -nolisten tcp" \
  "$gallery" --shots "$out" --suffix @2x front
