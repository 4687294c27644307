#!/usr/bin/env bash
# tools/check-layers.sh on a copy of src/: the tree as it stands passes, and each include
# against the layering, added alone, makes the check fail with that file, line and include.
#
#   check_layers.sh <source dir> [<Qt Widgets include dir>]
set -euo pipefail
root=$1
widgets=${2:-}
check="$root/tools/check-layers.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The copy's own files, even when src/ is a link: the cases edit them.
mkdir "$work/src"
cp -R "$root/src/." "$work/src/"
cd "$work"

run_check() {
  set +e
  "$check" src ${widgets:+"$widgets"} >out 2>&1
  status=$?
  set -e
}

run_check
if [ "$status" -ne 0 ] || [ -s out ]; then
  echo "check_layers: the unchanged tree does not pass:" >&2
  cat out >&2
  exit 1
fi

failures=0
# expect_refused <file> <include line> <part of the reason>
expect_refused() {
  local file=$1 include=$2 reason=$3
  cp "src/$file" saved
  printf '%s\n' "$include" >>"src/$file"
  local line
  line=$(wc -l <"src/$file")
  run_check
  cp saved "src/$file"
  # The reported text starts at "#", as an indented include would not.
  local shown="src/$file:$line: ${include#"${include%%[![:space:]]*}"}"
  if [ "$status" -ne 1 ] || ! grep -qF "$shown" out || ! grep -qF "$reason" out; then
    echo "check_layers: not refused as expected: $file: $include (status $status)" >&2
    cat out >&2
    failures=$((failures + 1))
  fi
}

expect_refused audio/BlockRing.h '#include "ui/front/FrontFace.h"' "a logic folder includes no window"
expect_refused schedule/ScheduleList.cpp '  #  include "skin/SkinFace.h"' \
  "a logic folder includes no window"
expect_refused recorder/RecordStart.cpp '#include "cli/RunCommand.h"' "only cli/ includes cli/"
expect_refused ui/front/FrontFace.cpp '#include "app/RecorderApp.h"' "only app/ includes app/"
expect_refused cli/RunCommand.cpp '#include "ui/front/FrontFace.h"' "cli/ may include"
expect_refused audio/BlockRing.cpp '#include "encoders/Mp3Output.h"' "audio/ may include"
expect_refused archive/HistoryTree.cpp '#include "recorder/OutputNaming.h"' "archive/ may include"
expect_refused config/Text.cpp '#include <QWidget>' "never uses Qt Widgets"
expect_refused skin/layout/SkinStyle.cpp '#include <QtWidgets/QLabel>' "never uses Qt Widgets"

# A new folder must be placed in the table before its includes can be judged.
mkdir src/newlayer
printf '#include "config/Text.h"\n' >src/newlayer/Thing.cpp
run_check
if [ "$status" -ne 1 ] || ! grep -qF "src/newlayer/Thing.cpp: folder newlayer/ is not in the layer table" out; then
  echo "check_layers: a folder missing from the table passes (status $status)" >&2
  cat out >&2
  failures=$((failures + 1))
fi

[ "$failures" -eq 0 ]
