#!/usr/bin/env bash
# Refreshes docs/screenshots/: builds the skin gallery and runs it on a private Xvfb (a real X
# server, so each grab shows the face's shape against the window behind it): every face at
# scale 1, and the front face at scale 2, where the double-size pictures are used. The front
# face is the program's own, recording from the sound server: where none answers, the project's
# private one is started for the run (its steady tone moves the meter).
#
#   tools/screenshots.sh [build folder]    default build/screens, a release build
#
# The files the windows name stand in /home/ann/Music, as on a user's machine: the gallery runs
# in a private mount namespace with an empty /home of its own (the machine's /home is never
# touched), so the pictures show the same paths on every machine and every refresh. Where no
# such namespace can be made, the sample home is build/screens-home/ann and the paths show it.
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

# The gallery with a home of its own: /home/ann in a private mount namespace where one can be
# made (as root, or in a user namespace), else a folder of the build tree.
private_home='mount -t tmpfs -o mode=755 orvel-home /home && exec "$@"'
if [ "$(id -u)" -eq 0 ] && unshare --mount true 2>/dev/null; then
  gallery_run=(unshare --mount sh -c "$private_home" sh "$gallery" --home /home/ann)
elif unshare --user --map-root-user --mount true 2>/dev/null; then
  gallery_run=(unshare --user --map-root-user --mount sh -c "$private_home" sh
    "$gallery" --home /home/ann)
else
  echo "screenshots.sh: no private /home can be made here; the sample files stand in" \
    "$build/screens-home/ann" >&2
  gallery_run=("$gallery" --home "$build/screens-home/ann")
fi

xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "${gallery_run[@]}" --shots "$out"
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 2560x2048x24 -nolisten tcp" \
  "${gallery_run[@]}" --shots "$out" --suffix @2x front
