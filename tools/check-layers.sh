#!/usr/bin/env bash
# Checks that every #include under src/ follows the layering: each folder includes only the
# folders its library links (the table below, bottom up, as src/CMakeLists.txt links them), the
# logic folders never include a window or Qt Widgets, and only the two programs' own folders
# include app/ and cli/. Prints every offending line as "file:line: #include ..." with what its
# folder may include, and fails; prints nothing and succeeds when all is well.
#
#   check-layers.sh <src dir> [<Qt Widgets include dir>]
#
# The Qt Widgets folder (where <QWidget> lives) names every widgets header; without it a short
# list of the common ones is used.
set -euo pipefail

if [ $# -lt 1 ] || [ ! -d "$1" ]; then
  echo "usage: $0 <src dir> [<Qt Widgets include dir>]" >&2
  exit 2
fi
src=$1
widgets_dir=${2:-}

# folder | folders it may include besides itself ("logic" stands for every logic folder).
# Logic folders come first, bottom up; a new folder under src/ needs a line here.
layers='
config      |
audio       | config
encoders    | config audio
platform    | config audio
playback    | config audio platform
devices     | config audio platform
archive     | config audio encoders platform
schedule    | config archive platform
recorder    | config audio encoders platform playback devices archive schedule
skin/layout | config
skin        | logic skin/layout
ui          | logic skin skin/layout
cli         | logic
app         | logic skin skin/layout ui
'
logic='config audio encoders platform playback devices archive schedule recorder'
# Folders without code.
ignored='resources'

if [ -n "$widgets_dir" ]; then
  [ -d "$widgets_dir" ] || { echo "no such folder: $widgets_dir" >&2; exit 2; }
  widgets=$(ls "$widgets_dir")
else
  widgets='QAbstractButton QApplication QBoxLayout QCheckBox QComboBox QDialog QDialogButtonBox
QFileDialog QFrame QHBoxLayout QHeaderView QLabel QLayout QLineEdit QListWidget QMainWindow
QMenu QMessageBox QPushButton QScrollArea QSlider QStyle QSystemTrayIcon QTableView QToolTip
QTreeView QTreeWidget QVBoxLayout QWidget'
fi

cd "$src"
files=$(find . -path ./build -prune -o -type f \( -name '*.h' -o -name '*.cpp' \) -print |
        sed 's|^\./||' | LC_ALL=C sort)
[ -n "$files" ] || { echo "no sources under $src" >&2; exit 2; }

# shellcheck disable=SC2086
awk -v prefix="${src%/}/" -v layers="$layers" -v logic="$logic" -v ignored="$ignored" -v widgets="$widgets" '
function folderOf(path,    parts, n) {
  n = split(path, parts, "/")
  if (n < 2) return ""
  if (parts[1] == "ui") return "ui"
  if (parts[1] == "skin" && parts[2] == "layout" && n > 2) return "skin/layout"
  return parts[1]
}
function complain(file, line, text, why) {
  printf "%s%s:%d: %s    (%s)\n", prefix, file, line, text, why
  bad++
}
BEGIN {
  n = split(layers, rows, "\n")
  for (i = 1; i <= n; i++) {
    if (rows[i] !~ /\|/) continue
    split(rows[i], cols, "|")
    gsub(/ /, "", cols[1])
    known[cols[1]] = 1
    list = cols[2]
    gsub(/logic/, logic, list)
    m = split(list, may, " ")
    shown = cols[1] "/ may include " cols[1] "/"
    allowed[cols[1] SUBSEP cols[1]] = 1
    for (j = 1; j <= m; j++) {
      allowed[cols[1] SUBSEP may[j]] = 1
      shown = shown ", " may[j] "/"
    }
    rule[cols[1]] = shown
  }
  m = split(logic, names, " ")
  for (j = 1; j <= m; j++) isLogic[names[j]] = 1
  isLogic["skin/layout"] = 1
  m = split(ignored, names, " ")
  for (j = 1; j <= m; j++) skip[names[j]] = 1
  m = split(widgets, names, "[ \n]+")
  for (j = 1; j <= m; j++) if (names[j] != "") isWidget[names[j]] = 1
}
FNR == 1 {
  from = folderOf(FILENAME)
  if (from == "" || (from in skip)) { nextfile }
  if (!(from in known)) {
    printf "%s%s: folder %s/ is not in the layer table\n", prefix, FILENAME, from
    bad++
    nextfile
  }
}
/^[ \t]*#[ \t]*include[ \t]*"/ {
  target = $0
  sub(/^[^"]*"/, "", target)
  sub(/".*$/, "", target)
  to = folderOf(target)
  if (to == "" || !(to in known)) next
  if (allowed[from SUBSEP to]) next
  text = $0
  sub(/^[ \t]*/, "", text)
  if (to == "app" || to == "cli") {
    complain(FILENAME, FNR, text, "only " to "/ includes " to "/")
  } else if (isLogic[from] && !isLogic[to]) {
    complain(FILENAME, FNR, text, "a logic folder includes no window; " rule[from])
  } else {
    complain(FILENAME, FNR, text, rule[from])
  }
  next
}
/^[ \t]*#[ \t]*include[ \t]*</ && isLogic[from] {
  target = $0
  sub(/^[^<]*</, "", target)
  sub(/>.*$/, "", target)
  if (target ~ /^QtWidgets(\/|$)/ || (target in isWidget)) {
    text = $0
    sub(/^[ \t]*/, "", text)
    complain(FILENAME, FNR, text, "a logic folder never uses Qt Widgets")
  }
}
END {
  if (bad) {
    printf "%d include(s) against the layering (the table is in tools/check-layers.sh)\n", bad
    exit 1
  }
}
' $files
