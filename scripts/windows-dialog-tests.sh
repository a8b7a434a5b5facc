#!/usr/bin/env bash
# The Windows programs' dialogs answered by keyboard, as a user does: each
# program is started by RavimoSim.exe with nothing but the host's window
# handle, a file name is typed into the save or open dialog, 詳細設定 opens
# the settings dialog, the table option is picked and its table typed in,
# OK, then 保存 or 開く. The file (or plan) written must equal the one the
# command line writes for the same choices, and the choices must be stored
# in the registry. A dialog that does not appear within 20 s fails the run.
#
#   windows-dialog-tests.sh WINDOWS_BUILD_DIR WORK_DIR [SCREENSHOT_DIR]
#
# Runs in the caller's Wine session on an X display (scripts/build-windows.sh
# starts one); with SCREENSHOT_DIR and ImageMagick's `import`, each dialog is
# also photographed there.
set -uo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
win=$1 work=$2 shots=${3:-}

for tool in xdotool winepath wine; do
  command -v "$tool" >/dev/null || { echo "windows-dialog-tests: $tool is missing" >&2; exit 1; }
done
[ -n "${DISPLAY:-}" ] || { echo "windows-dialog-tests: needs an X display (DISPLAY)" >&2; exit 1; }
for p in "$win/ravimosim/RavimoSim.exe" "$win/exporter/DM2CDX.exe" "$win/importer/CDX2DM.exe"; do
  [ -f "$p" ] || { echo "windows-dialog-tests: missing $p (build the Windows programs first)" >&2; exit 1; }
done
rm -rf "$work" && mkdir -p "$work/dialogs" "$work/command-line"
[ -z "$shots" ] || mkdir -p "$shots"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
wp() { winepath -w "$1" 2>/dev/null; }
sim=$(wp "$win/ravimosim/RavimoSim.exe")
table=$src/resources/samples/features-fittings.csv
plan=$src/resources/samples/features.json

# No window manager runs on the test display: Wine draws the captions itself,
# so that the screenshots show them and focus follows the dialogs.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1

window() {  # TITLE-REGEX: the X window id of the visible window, waiting at most 20 s
  local id _
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}
gone() {  # TITLE-REGEX: true once no such window is visible, waiting at most 20 s
  local _
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  return 1
}
geometry() {  # WINDOW: sets X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$1")"
}
shot() {  # NAME WINDOW
  [ -n "$shots" ] && command -v import >/dev/null || return 0
  sleep 0.5
  geometry "$2"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shots/$1.png"
}
# Wine's file dialog gives its added buttons no keyboard focus: 詳細設定 is
# clicked where it stands, left of the middle of the row above the file name.
click_settings() {  # FILE-DIALOG-WINDOW
  geometry "$1"
  xdotool mousemove $((X + 438)) $((Y + HEIGHT - 88)) click 1
}
typed() { xdotool type --delay 20 "$1"; sleep 0.3; }
key() { xdotool key "$1"; sleep 0.3; }
registry_value() {  # NAME: the value's data as `reg query` prints it
  wine reg query 'HKCU\Software\Tavrel\CEDXM' /v "$1" </dev/null 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
# The program's own run, answered by keyboard. DIALOG-TITLE names the file
# dialog, SETTINGS-TITLE the settings dialog, RADIO-KEYS the arrow keys that
# pick the table option, DONE-TEXT the completion message (RavimoSim logs
# and closes it, as the user would).
dialog_run() {  # NAME FILE-TO-TYPE DIALOG-TITLE SETTINGS-TITLE RADIO-KEYS DONE-TEXT -- RAVIMOSIM-ARGS...
  local name=$1 file=$2 title=$3 settings=$4 radio=$5 done_text=$6; shift 7
  timeout 180 wine "$sim" --messages "$(wp "$work/$name.msg")" "$@" </dev/null >"$work/$name.out" 2>"$work/$name.err" &
  local pid=$! id sid k
  if id=$(window "^$title\$"); then
    shot "$name-file-dialog" "$id"
    typed "$file"
    click_settings "$id"
    if sid=$(window "^$settings\$"); then
      shot "$name-settings" "$sid"
      for k in $radio; do key "$k"; done
      key Tab
      typed "$(wp "$table")"
      key Return
      gone "^$settings\$" || fail "$name: the settings dialog stayed open after OK"
      key Return
    else
      fail "$name: the settings dialog did not appear within 20 s"
    fi
  else
    fail "$name: the file dialog did not appear within 20 s"
  fi
  local _
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  if kill -0 "$pid" 2>/dev/null; then
    fail "$name: still running 20 s after the dialogs; the Wine session is stopped"
    wineserver -k
  fi
  wait "$pid"
  RUN_STATUS=$?
  grep -qF "$done_text" "$work/$name.msg" 2>/dev/null || fail "$name: no completion message"
}

# --- export: save dialog, table option, OK, 保存 ---------------------------------
wine reg delete 'HKCU\Software\Tavrel\CEDXM' /f </dev/null >/dev/null 2>&1
dialog_run export "$(wp "$work/dialogs/house.xml")" 保存 CEDXMデータ出力詳細設定 Down CEDXMの出力が完了しました -- \
  --plan "$(wp "$plan")" -- "$(wp "$win/exporter/DM2CDX.exe")" '{window}'
[ "$RUN_STATUS" = 0 ] || fail "export through the dialogs: status $RUN_STATUS $(cat "$work/export.err")"
[ "$(registry_value ExportFittingType)" = 0x1 ] || fail "export: ExportFittingType is not 1 in the registry"
[ "$(registry_value ExportFittingPath)" = "$(wp "$table")" ] || fail "export: ExportFittingPath is not the typed table"
[ "$(registry_value ExportOriginType)" = 0x0 ] || fail "export: ExportOriginType is not 0 in the registry"
wine "$sim" --plan "$(wp "$plan")" -- "$(wp "$win/exporter/DM2CDX.exe")" '{window}' --output "$(wp "$work/command-line/house.xml")" \
  --fitting-table "$(wp "$table")" --keep-origin </dev/null >/dev/null 2>"$work/command-line.err" ||
  fail "export from the command line: $(cat "$work/command-line.err")"
masked() {  # CEDXM FILE: its text with identifiers and the date masked
  iconv -f CP932 -t UTF-8 "$1" | sed -E 's#<ID>[^<]*</ID>#<ID>*</ID>#g; s#<(年|月|日|時|分|秒)>[0-9]+</#<\1>*</#g'
}
# The project name is the file's name, so both files are named alike.
if [ -s "$work/dialogs/house.xml" ]; then
  masked "$work/dialogs/house.xml" >"$work/dialog.masked"
  masked "$work/command-line/house.xml" >"$work/command-line.masked"
  grep -q '<型番>' "$work/dialog.masked" || fail "export: the file has no model numbers from the table"
  cmp -s "$work/dialog.masked" "$work/command-line.masked" ||
    { fail "export: the dialogs and the command line wrote different files"; diff -u "$work/command-line.masked" "$work/dialog.masked" | head -20 >&2; }
else
  fail "export: the dialogs wrote no file"
fi

# --- import: open dialog, table option, OK, 開く --------------------------------
if [ -s "$work/dialogs/house.xml" ]; then
  dialog_run import "$(wp "$work/dialogs/house.xml")" 開く CEDXMデータ入力詳細設定 "Down Down" CEDXMの入力が完了しました -- \
    --plan "$(wp "$work/dialog-plan.json")" --save -- "$(wp "$win/importer/CDX2DM.exe")" '{window}'
  [ "$RUN_STATUS" = 0 ] || fail "import through the dialogs: status $RUN_STATUS $(cat "$work/import.err")"
  [ "$(registry_value ImportOpeningType)" = 0x2 ] || fail "import: ImportOpeningType is not 2 in the registry"
  [ "$(registry_value ImportFittingPath)" = "$(wp "$table")" ] || fail "import: ImportFittingPath is not the typed table"
  wine "$sim" --plan "$(wp "$work/command-line-plan.json")" --save -- "$(wp "$win/importer/CDX2DM.exe")" '{window}' \
    --input "$(wp "$work/dialogs/house.xml")" --openings table --fitting-table "$(wp "$table")" --roofs manual --origin keep \
    </dev/null >/dev/null 2>"$work/command-line-import.err" ||
    fail "import from the command line: $(cat "$work/command-line-import.err")"
  [ -s "$work/dialog-plan.json" ] || fail "import: the dialogs saved no plan"
  cmp -s "$work/dialog-plan.json" "$work/command-line-plan.json" ||
    { fail "import: the dialogs and the command line built different plans"; diff -u "$work/command-line-plan.json" "$work/dialog-plan.json" | head -20 >&2; }
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s); files in $work" >&2
  exit 1
fi
echo "the dialogs, answered by keyboard, write what the command line writes"
