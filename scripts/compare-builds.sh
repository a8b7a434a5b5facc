#!/usr/bin/env bash
# Builds two commits and runs both on every shipped sample plan: each build
# exports every plan (openings only; and with the sample's fitting table and
# the first-quadrant shift where it has one), then imports the first build's
# CEDXM files into new plans (frames and manual roofs; the table mode where
# there is a table). Shows the differences of the CEDXM files (identifiers
# and the date masked), of the host call journals and of the saved plans.
#   scripts/compare-builds.sh REV_A REV_B
# Exit status: 0 identical, 1 a difference, 2 usage or build failure.
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: scripts/compare-builds.sh REV_A REV_B" >&2
  exit 2
fi
repo=$(cd "$(dirname "$0")/.." && git rev-parse --show-toplevel)
work=$(mktemp -d "${TMPDIR:-/tmp}/cedxm-compare-XXXXXX")
revs=()
cleanup() {
  for rev in a b; do
    [ -d "$work/src-$rev" ] && git -C "$repo" worktree remove --force "$work/src-$rev" >/dev/null 2>&1 || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

build() {  # build LABEL REV
  local label=$1 rev=$2
  git -C "$repo" worktree add --detach "$work/src-$label" "$rev" >/dev/null 2>&1 ||
    { echo "cannot check out $rev" >&2; exit 2; }
  local launcher=()
  if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  echo "building $rev ($(git -C "$repo" rev-parse --short "$rev"))..."
  if ! { cmake -S "$work/src-$label" -B "$work/build-$label" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
           -DCEDXM_BUILD_TESTS=OFF -DCEDXM_BUILD_BENCH=OFF "${launcher[@]}" &&
         cmake --build "$work/build-$label" -j2 --target DM2CDX CDX2DM; } >"$work/build-$label.log" 2>&1; then
    tail -30 "$work/build-$label.log" >&2
    echo "the build of $rev failed" >&2
    exit 2
  fi
}

# Shift-JIS to UTF-8, element identifiers and the output date masked.
masked() {
  iconv -f CP932 -t UTF-8 "$1" |
    sed -E -e 's#<ID>[^<]*</ID>#<ID>*</ID>#g' -e 's#<(年|月|日|時|分|秒)>[^<]*</#<\1>*</#g'
}

run_exports() {  # LABEL
  local label=$1 bin=$work/build-$1 out=$work/out-$1
  mkdir -p "$out"
  for plan in "$repo"/resources/samples/*.json; do
    local name table
    name=$(basename "$plan" .json)
    table="$repo/resources/samples/$name-fittings.csv"
    CEDXM_REGISTRY="$out/$name.reg" "$bin/exporter/DM2CDX" --host "$plan" --output "$out/$name.xml" \
      --openings-only --keep-origin --trace "$out/$name.export.jsonl" >"$out/$name.export.out" 2>&1 ||
      echo "status $?" >>"$out/$name.export.out"
    if [ -f "$table" ]; then
      CEDXM_REGISTRY="$out/$name.reg" "$bin/exporter/DM2CDX" --host "$plan" --output "$out/$name-table.xml" \
        --fitting-table "$table" --first-quadrant --trace "$out/$name-table.export.jsonl" \
        >"$out/$name-table.export.out" 2>&1 || echo "status $?" >>"$out/$name-table.export.out"
    fi
  done
}

run_imports() {  # LABEL: imports what build a exported
  local label=$1 bin=$work/build-$1 out=$work/out-$1
  for file in "$work"/out-a/*.xml; do
    local name mode=(--openings frames)
    name=$(basename "$file" .xml)
    if [[ $name == *-table ]]; then
      mode=(--openings table --fitting-table "$repo/resources/samples/${name%-table}-fittings.csv")
    fi
    CEDXM_REGISTRY="$out/$name.import.reg" "$bin/importer/CDX2DM" --host "$out/$name.plan.json" --input "$file" \
      "${mode[@]}" --roofs manual --origin keep --trace "$out/$name.import.jsonl" \
      >"$out/$name.import.out" 2>&1 || echo "status $?" >>"$out/$name.import.out"
  done
}

build a "$1"
build b "$2"
run_exports a
run_exports b
run_imports a
run_imports b

different=0
for fa in "$work"/out-a/*; do
  f=$(basename "$fa")
  fb=$work/out-b/$f
  case $f in *.reg) continue ;; esac
  if [ ! -e "$fb" ]; then
    echo "only with $1: $f"
    different=1
    continue
  fi
  if [[ $f == *.xml ]]; then
    if ! diff -u --label "$1/$f" --label "$2/$f" <(masked "$fa") <(masked "$fb"); then different=1; fi
  else
    # Messages, journals and plans name the build's own folders (the fitting
    # models beside the program).
    if ! diff -u --label "$1/$f" --label "$2/$f" <(sed "s#$work/[a-z]*-[ab]#WORK#g" "$fa") \
         <(sed "s#$work/[a-z]*-[ab]#WORK#g" "$fb"); then different=1; fi
  fi
done
for fb in "$work"/out-b/*; do
  [ -e "$work/out-a/$(basename "$fb")" ] || { echo "only with $2: $(basename "$fb")"; different=1; }
done

count=$(ls "$work"/out-a | grep -cv '\.reg$')
if [ $different -eq 0 ]; then
  echo "identical: $count outputs (CEDXM files, call journals, plans, messages) of $1 and $2"
else
  echo "the outputs of $1 and $2 differ"
fi
exit $different
