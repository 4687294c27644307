#!/usr/bin/env bash
# The Debian package, built by cpack from the build tree and checked as a user receives it.
#
#   package.sh build    <build dir>              runs cpack into <build dir>/package
#   package.sh contents <build dir> <has orvel>  the package holds what it must and nothing else
#   package.sh install  <build dir> <has orvel>  unpacked into a temporary root, its programs run
#
# <has orvel> is 1 when the project has the windowed program: the package then also holds it,
# its desktop entry and its icons.
set -euo pipefail

command=$1
build=$2
has_orvel=${3:-0}
out="$build/package"
icon_sizes=(16 22 24 32 48 64 128 256)

fail() {
  echo "package: $*" >&2
  exit 1
}

package_file() {
  local debs=("$out"/orvel_*.deb)
  [ -f "${debs[0]}" ] || fail "no package in $out (the build step did not run)"
  echo "${debs[0]}"
}

expected_files() {
  echo ./usr/bin/orvel-rec
  echo ./usr/share/orvel/help/index.html
  if [ "$has_orvel" = 1 ]; then
    echo ./usr/bin/orvel
    echo ./usr/share/applications/orvel.desktop
    for size in "${icon_sizes[@]}"; do
      echo "./usr/share/icons/hicolor/${size}x${size}/apps/orvel.png"
    done
  fi
}

case "$command" in
  build)
    rm -rf "$out"
    cpack --config "$build/CPackConfig.cmake" -B "$out" >"$build/package.log" 2>&1 ||
      { cat "$build/package.log" >&2; fail "cpack failed"; }
    package_file >/dev/null
    ;;

  contents)
    deb=$(package_file)
    [ "$(dpkg-deb -f "$deb" Package)" = orvel ] || fail "the package is not named orvel"
    depends=$(dpkg-deb -f "$deb" Depends)
    for needed in libmp3lame0 libqt6core6 libpulse0 libavformat; do
      [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
    done
    # The desktop entry starts the windowed program by name, as the menu and autostart need.
    entry="${ORVEL_SOURCE_DIR:?}/src/resources/orvel.desktop"
    desktop-file-validate "$entry" || fail "the desktop entry is not valid"
    grep -qx 'Exec=orvel' "$entry" || fail "the desktop entry does not start orvel"
    listing=$(dpkg-deb -c "$deb")
    # Everything lives under /usr; no build files, libraries or tests slip in.
    outside=$(awk '{print $6}' <<<"$listing" | grep -v '^\./usr/' | grep -vx '\./' || true)
    [ -z "$outside" ] || fail "files outside /usr: $outside"
    files=$(awk '$1 !~ /^d/ {print $6}' <<<"$listing" | sort)
    wanted=$(expected_files | sort)
    if [ "$files" != "$wanted" ]; then
      diff <(echo "$wanted") <(echo "$files") >&2 || true
      fail "the package holds other files than expected (- missing, + extra)"
    fi
    for program in ./usr/bin/orvel-rec $([ "$has_orvel" = 1 ] && echo ./usr/bin/orvel); do
      mode=$(awk -v p="$program" '$6 == p {print $1}' <<<"$listing")
      [ "$mode" = "-rwxr-xr-x" ] || fail "$program has mode $mode"
    done
    ;;

  install)
    deb=$(package_file)
    root=$(mktemp -d)
    trap 'rm -rf "$root"' EXIT
    dpkg -x "$deb" "$root"
    export XDG_CONFIG_HOME="$root/config" XDG_DATA_HOME="$root/data"
    help_text=$("$root/usr/bin/orvel-rec" --help) || fail "orvel-rec --help failed"
    grep -q '^Usage:' <<<"$help_text" || fail "orvel-rec --help printed no usage"
    grep -q '<title>Orvel help</title>' "$root/usr/share/orvel/help/index.html" ||
      fail "the help page is not Orvel's"
    if [ "$has_orvel" = 1 ]; then
      desktop-file-validate "$root/usr/share/applications/orvel.desktop" ||
        fail "the desktop entry is not valid"
      for size in "${icon_sizes[@]}"; do
        icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/orvel.png"
        # The PNG header's width and height, big-endian at bytes 16 and 20.
        read -r -a wh <<<"$(od -An -tu1 -j16 -N8 "$icon")"
        width=$(( (wh[0] << 24) | (wh[1] << 16) | (wh[2] << 8) | wh[3] ))
        height=$(( (wh[4] << 24) | (wh[5] << 16) | (wh[6] << 8) | wh[7] ))
        [ "$width" = "$size" ] && [ "$height" = "$size" ] ||
          fail "the ${size}px icon is ${width}x${height}"
      done
    fi
    ;;

  *)
    fail "unknown command $command"
    ;;
esac
