#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
#   scripts/test.sh            normal build in build/, then the Windows build and
#                              its tests under Wine (scripts/build-windows.sh)
#   scripts/test.sh --linux    the normal build and its tests alone
#   scripts/test.sh --sanitize AddressSanitizer + UndefinedBehaviorSanitizer in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

mode=normal
case "${1:-}" in
  "") ;;
  --sanitize) mode=sanitize ;;
  --linux) mode=linux ;;
  *) echo "usage: scripts/test.sh [--linux | --sanitize]" >&2; exit 2 ;;
esac
jobs=$(nproc 2>/dev/null || echo 2)

if [ "$mode" = sanitize ]; then
  dir=build-asan
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DCEDXM_SANITIZE=ON -DCEDXM_BUILD_BENCH=OFF >/dev/null
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
  dir=build
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$dir" -j"$jobs"
ctest --test-dir "$dir" --output-on-failure -j"$jobs"
if [ "$mode" = normal ]; then
  bash scripts/build-windows.sh
fi
