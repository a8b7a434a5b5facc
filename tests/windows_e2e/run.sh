#!/usr/bin/env bash
# The Windows programs end to end under Wine, started by RavimoSim.exe as the
# host starts them, against the Linux programs on the same inputs: every
# sample plan exports to the same CEDXM file (identifiers and date masked)
# with the same host calls; every exported file imports into the same plan
# with the same host calls; the single-instance lock, the refusal of a drawing
# that is not empty, an unreadable file and a host that fails or quits
# mid-run end the same way; CDXVIEW.exe draws the same page as CDXVIEW.
#
#   run.sh SOURCE_DIR LINUX_BUILD_DIR WINDOWS_BUILD_DIR WORK_DIR
#
# Runs in the caller's Wine session (WINEPREFIX and a warm wineserver).
set -uo pipefail
src=$1 linux=$2 win=$3 work=$4
export LANG=${LANG:-ja_JP.UTF-8}

for p in "$linux/exporter/DM2CDX" "$linux/importer/CDX2DM" "$win/exporter/DM2CDX.exe" "$win/importer/CDX2DM.exe" \
         "$win/ravimosim/RavimoSim.exe"; do
  if [ ! -x "$p" ] && [ ! -f "$p" ]; then
    echo "missing $p: build the Linux programs (cmake --build build --target DM2CDX CDX2DM) and the Windows build first" >&2
    exit 1
  fi
done

rm -rf "$work" && mkdir -p "$work/linux" "$work/win"
export CEDXM_REGISTRY=$work/linux/CEDXM.reg
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Windows form of an absolute path: drive Z: is the root folder in every Wine
# prefix (no Wine process per path, and no empty answer from a busy one).
wp() { case $1 in /*) printf 'Z:%s\n' "${1//\//\\}" ;; *) winepath -w "$1" 2>/dev/null ;; esac; }
sim="$(wp "$win/ravimosim/RavimoSim.exe")"
wdm2cdx="$(wp "$win/exporter/DM2CDX.exe")"
wcdx2dm="$(wp "$win/importer/CDX2DM.exe")"
samples=$src/resources/samples
table=$samples/features-fittings.csv

# The importer's program folder as it appears in journals and plans (the
# placeholder fitting paths), replaced by one marker on both sides; the
# Windows folder JSON-escaped.
linux_dir="$(cd "$linux/importer" && pwd)"
win_dir="$(wp "$win/importer")"
win_dir=${win_dir%\\}
win_dir_json=${win_dir//\\/\\\\}
unfold() {  # FILE: the file with the program folder folded
  LINUX_DIR=$linux_dir WIN_DIR=$win_dir_json perl -pe 's/\Q$ENV{LINUX_DIR}\E/<programs>/g; s/\Q$ENV{WIN_DIR}\E/<programs>/g' "$1"
}
masked() {  # CEDXM FILE: UTF-8 text with identifiers and date fields masked
  iconv -f CP932 -t UTF-8 "$1" | sed -E 's#<ID>[^<]*</ID>#<ID>*</ID>#g; s#<(年|月|日|時|分|秒)>[0-9]+</#<\1>*</#g'
}
same() {  # WHAT LINUX_FILE WINDOWS_FILE
  if ! cmp -s "$2" "$3"; then
    fail "$1 differs between Linux and Windows"
    diff -u "$2" "$3" | head -20 >&2
  fi
}
# Runs a Windows program under RavimoSim; WSTATUS, stderr in $work/win/NAME.err.
sim_run() {  # NAME RAVIMOSIM-OPTIONS... -- PROGRAM ARGS...
  local name=$1; shift
  wine "$sim" --messages "$(wp "$work/win/$name.msg")" "$@" </dev/null >"$work/win/$name.out" 2>"$work/win/$name.err"
  WSTATUS=$?
}
said() {  # NAME TEXT: the run showed TEXT in a message box or on standard error
  # A run shows either or both: a missing file is no failure of the pipe.
  { cat "$work/win/$1.msg" "$work/win/$1.err" 2>/dev/null; true; } | grep -qF -- "$2"
}

# --- export: every sample plan, the options of the hand-checked files ---------
export_case() {  # NAME PLAN OPTIONS...
  local name=$1 plan=$samples/$2; shift 2
  local lopts=() wopts=() o
  for o in "$@"; do lopts+=("$o"); [ "$o" = "$table" ] && wopts+=("$(wp "$o")") || wopts+=("$o"); done
  "$linux/exporter/DM2CDX" 5001 --host "$plan" --output "$work/linux/$name.xml" --restore-defaults "${lopts[@]}" \
    --trace "$work/linux/$name.export.jsonl" >/dev/null 2>"$work/linux/$name.err" \
    || fail "Linux export $name: status $? $(cat "$work/linux/$name.err")"
  sim_run "$name" --plan "$(wp "$plan")" --trace "$(wp "$work/win/$name.export.jsonl")" -- \
    "$wdm2cdx" '{window}' --output "$(wp "$work/win/$name.xml")" --restore-defaults "${wopts[@]}"
  [ "$WSTATUS" = 0 ] || { fail "Windows export $name: status $WSTATUS $(cat "$work/win/$name.err")"; return; }
  said "$name" "CEDXMの出力が完了しました" || fail "Windows export $name: no completion message"
  masked "$work/linux/$name.xml" >"$work/linux/$name.masked"
  masked "$work/win/$name.xml" >"$work/win/$name.masked"
  [ -s "$work/linux/$name.masked" ] || fail "Linux export $name: empty file"
  same "export $name (CEDXM file)" "$work/linux/$name.masked" "$work/win/$name.masked"
  same "export $name (host calls)" "$work/linux/$name.export.jsonl" "$work/win/$name.export.jsonl"
}
export_case house house.json --openings-only --keep-origin
export_case courtyard courtyard.json --openings-only --keep-origin
export_case features features.json --fitting-table "$table" --keep-origin
export_case features-q1 features.json --fitting-table "$table" --first-quadrant
export_case courtyard-q1 courtyard.json --openings-only --first-quadrant

# Started without a window handle, the program takes the host's active objects.
# (The project name is the file's name: the file is named as the Linux one.)
mkdir -p "$work/win/no-window"
sim_run no-window --plan "$(wp "$samples/house.json")" -- \
  "$wdm2cdx" --output "$(wp "$work/win/no-window/house.xml")" --restore-defaults --openings-only --keep-origin
[ "$WSTATUS" = 0 ] || fail "export without a window handle: status $WSTATUS $(cat "$work/win/no-window.err")"
masked "$work/win/no-window/house.xml" >"$work/win/no-window.masked" 2>/dev/null
same "export without a window handle" "$work/linux/house.masked" "$work/win/no-window.masked"

# --- import: every exported file into a new plan ------------------------------
import_case() {  # NAME INPUT PLAN-TO-START-FROM|"" EXPECTED-STATUS OPTIONS...
  local name=$1 input=$2 start=$3 want=$4; shift 4
  local wopts=() o
  for o in "$@"; do [ "$o" = "$table" ] && wopts+=("$(wp "$o")") || wopts+=("$o"); done
  rm -f "$work/linux/$name.plan.json" "$work/win/$name.plan.json"
  if [ -n "$start" ]; then
    cp "$start" "$work/linux/$name.plan.json"
    cp "$start" "$work/win/$name.plan.json"
  fi
  "$linux/importer/CDX2DM" 5001 --host "$work/linux/$name.plan.json" --input "$input" --restore-defaults "$@" \
    --trace "$work/linux/$name.import.jsonl" >/dev/null 2>"$work/linux/$name.import.err"
  local lstatus=$?
  sim_run "$name.import" --plan "$(wp "$work/win/$name.plan.json")" --save \
    --trace "$(wp "$work/win/$name.import.jsonl")" -- "$wcdx2dm" '{window}' --input "$(wp "$input")" --restore-defaults "${wopts[@]}"
  [ "$lstatus" = "$want" ] || fail "Linux import $name: status $lstatus, expected $want"
  [ "$WSTATUS" = "$want" ] || fail "Windows import $name: status $WSTATUS, expected $want $(cat "$work/win/$name.import.err")"
  for side in linux win; do
    unfold "$work/$side/$name.import.jsonl" >"$work/$side/$name.import.calls" 2>/dev/null
    if [ -f "$work/$side/$name.plan.json" ]; then unfold "$work/$side/$name.plan.json" >"$work/$side/$name.plan"; else
      echo "no plan" >"$work/$side/$name.plan"; fi
  done
  same "import $name (saved plan)" "$work/linux/$name.plan" "$work/win/$name.plan"
  same "import $name (host calls)" "$work/linux/$name.import.calls" "$work/win/$name.import.calls"
}
for name in house courtyard features features-q1 courtyard-q1; do
  [ -f "$work/linux/$name.xml" ] || continue
  import_case "$name" "$work/linux/$name.xml" "" 0
  said "$name.import" "CEDXMの入力が完了しました" || fail "Windows import $name: no completion message"
done
import_case features-table "$work/linux/features.xml" "" 0 --openings table --fitting-table "$table"

# A drawing with work in it is refused, and stays as it was.
import_case refused "$work/linux/house.xml" "$samples/house.json" 4
cmp -s "$samples/house.json" "$work/win/refused.plan.json" || fail "refused import changed the plan"
said refused.import "画面に作業中のデータがあります。" || fail "refused import: no refusal message"

# An input file that cannot be read: status 1, nothing saved.
import_case unreadable "$work/no-such-file.xml" "" 1
[ ! -e "$work/win/unreadable.plan.json" ] || fail "unreadable import saved a plan"

# --- single instance ------------------------------------------------------------
sim_run locked-export --hold-mutex DomoriaCEDXMExport --plan "$(wp "$samples/house.json")" \
  --trace "$(wp "$work/win/locked.jsonl")" -- "$wdm2cdx" '{window}' --output "$(wp "$work/win/locked.xml")" --restore-defaults
[ "$WSTATUS" = 3 ] || fail "second export: status $WSTATUS, expected 3"
sim_run locked-import --hold-mutex DomoriaCEDXMImport --plan "$(wp "$work/win/locked.plan.json")" --save \
  --trace "$(wp "$work/win/locked.jsonl")" -- "$wcdx2dm" '{window}' --input "$(wp "$work/linux/house.xml")" --restore-defaults
[ "$WSTATUS" = 3 ] || fail "second import: status $WSTATUS, expected 3"
[ ! -e "$work/win/locked.xml" ] && [ ! -s "$work/win/locked.jsonl" ] && [ ! -e "$work/win/locked.plan.json" ] \
  || fail "a refused second instance called the host or wrote a file"

# --- a host that fails, or quits, mid-run ----------------------------------------
cp "$work/linux/house.xml" "$work/win/kept.xml"
sim_run failing-export --fail-at 20 --plan "$(wp "$samples/house.json")" -- \
  "$wdm2cdx" '{window}' --output "$(wp "$work/win/kept.xml")" --restore-defaults --openings-only
[ "$WSTATUS" = 1 ] || fail "export with a failing host: status $WSTATUS, expected 1"
said failing-export "ホストがこの操作を実行できませんでした" || fail "export with a failing host: the host's message was not shown"
cmp -s "$work/linux/house.xml" "$work/win/kept.xml" || fail "export with a failing host replaced the old file"
sim_run quitting-export --quit-after 20 --plan "$(wp "$samples/house.json")" -- \
  "$wdm2cdx" '{window}' --output "$(wp "$work/win/kept.xml")" --restore-defaults --openings-only
[ "$WSTATUS" = 1 ] || fail "export with a host that quit: status $WSTATUS, expected 1"
cmp -s "$work/linux/house.xml" "$work/win/kept.xml" || fail "export with a host that quit replaced the old file"
sim_run failing-import --fail-at 40 --plan "$(wp "$work/win/failing.plan.json")" --save -- \
  "$wcdx2dm" '{window}' --input "$(wp "$work/linux/house.xml")" --restore-defaults
[ "$WSTATUS" = 1 ] || fail "import with a failing host: status $WSTATUS, expected 1"
said failing-import "ホストがこの操作を実行できませんでした" || fail "import with a failing host: the host's message was not shown"
[ ! -e "$work/win/failing.plan.json" ] || fail "import with a failing host saved the plan"

# --- no running host ---------------------------------------------------------------
# Started by no host at all: status 1, and the advice names no option of the
# Linux build's simulated host.
no_host() {  # NAME PROGRAM ARGS...
  local name=$1; shift
  wine "$@" </dev/null >"$work/win/$name.out" 2>"$work/win/$name.err"
  WSTATUS=$?
  [ "$WSTATUS" = 1 ] || fail "$name: status $WSTATUS, expected 1 $(cat "$work/win/$name.err")"
  said "$name" "from the host" || fail "$name: no advice to start it from the host"
  ! said "$name" "--host" || fail "$name: the advice names --host, an option of the Linux build only"
}
no_host no-host-export "$wdm2cdx" 5001 --restore-defaults --output "$(wp "$work/win/no-host.xml")"
no_host no-host-import "$wcdx2dm" 5001 --restore-defaults --input "$(wp "$work/linux/house.xml")"

# The plan pictures: CDXVIEW.exe draws the same page as the Linux CDXVIEW.
if [ -x "$linux/viewer/CDXVIEW" ] && [ -f "$win/viewer/CDXVIEW.exe" ]; then
  mkdir -p "$work/linux/view" "$work/win/view"
  cp "$work/linux/house.xml" "$work/linux/view/山田邸.xml"
  "$linux/viewer/CDXVIEW" "$work/linux/view/山田邸.xml" >/dev/null 2>"$work/linux/view.err" ||
    fail "Linux CDXVIEW: $(cat "$work/linux/view.err")"
  wine "$win/viewer/CDXVIEW.exe" "$(wp "$work/linux/view/山田邸.xml")" --output "$(wp "$work/win/view/山田邸.html")" \
    </dev/null >/dev/null 2>"$work/win/view.err" || fail "CDXVIEW.exe: $(cat "$work/win/view.err")"
  same "CDXVIEW page" "$work/linux/view/山田邸.html" "$work/win/view/山田邸.html"
else
  fail "CDXVIEW is missing from one of the builds"
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s); files in $work" >&2
  exit 1
fi
echo "Windows programs under RavimoSim match the Linux programs"
