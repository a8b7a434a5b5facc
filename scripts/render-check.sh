#!/usr/bin/env bash
# Proves that the page CDXVIEW draws renders in a browser: exports the sample
# house with DM2CDX, draws it with CDXVIEW and takes a screenshot with
# headless Chromium (no network, throw-away profile).
#   scripts/render-check.sh BUILD_DIR [SCREENSHOT.png]
set -euo pipefail
build=${1:?usage: render-check.sh BUILD_DIR [SCREENSHOT.png]}
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shot=${2:-$work/house.png}

# A lock folder of its own: an export running elsewhere on the machine at the
# same moment would otherwise make this one stop as "another export is running".
export XDG_RUNTIME_DIR="$work"
CEDXM_REGISTRY="$work/CEDXM.reg" "$build/exporter/DM2CDX" --host "$source_dir/resources/samples/house.json" \
    --output "$work/house.xml" --openings-only --keep-origin >/dev/null
"$build/viewer/CDXVIEW" "$work/house.xml" --output "$work/house.html" >/dev/null

timeout 60 chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
    --disable-component-update --disable-sync --user-data-dir="$work/profile" \
    --screenshot="$shot" --window-size=1200,2400 "file://$work/house.html" >/dev/null 2>&1

# A blank page compresses to a few kilobytes; the drawn plans do not.
size=$(stat -c %s "$shot" 2>/dev/null || echo 0)
if [ "$(head -c 8 "$shot" | od -An -tx1 | tr -d ' \n')" != "89504e470d0a1a0a" ] || [ "$size" -lt 40000 ]; then
  echo "render-check: the page did not render ($shot, $size bytes)" >&2
  exit 1
fi
echo "render-check: $shot ($size bytes)"
