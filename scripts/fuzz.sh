#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each one for
# a bounded time on its seed corpus in fuzz/corpus/<target>/.
#   scripts/fuzz.sh                 every target, FUZZ_SECONDS (default 15) each
#   scripts/fuzz.sh cedxm plan      only the named targets
#   FUZZ_BUILD_DIR=DIR              build somewhere else than build-fuzz/
# A crash, a sanitizer report, a leak or an input taking more than a second
# ends the run with status 1; the input that did it is kept as
# build-fuzz/findings/<target>-crash-... (or -timeout-, -leak-, -oom-) and
# replays with: build-fuzz/fuzz/fuzz_<target> FILE
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

seconds=${FUZZ_SECONDS:-15}
dir=${FUZZ_BUILD_DIR:-build-fuzz}
all=(cedxm csv ini registry plan export)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")

CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCEDXM_FUZZ=ON \
  -DCEDXM_BUILD_TESTS=OFF -DCEDXM_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j"$(nproc 2>/dev/null || echo 2)" --target "${targets[@]/#/fuzz_}"

# The targets hand their input to the readers as files; in memory when the
# machine has a memory file system, so that syncing to disk does not slow them.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$dir/findings"
failed=()
for t in "${targets[@]}"; do
  # New inputs the fuzzer finds go to a scratch corpus, not into the repository.
  work="$dir/corpus/$t"
  mkdir -p "$work"
  echo "== fuzz_$t: ${seconds}s"
  if ! "$dir/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$dir/findings/$t-" "$work" "fuzz/corpus/$t" >"$dir/findings/$t.log" 2>&1; then
    failed+=("$t")
    tail -n 60 "$dir/findings/$t.log" >&2
  else
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$dir/findings/$t.log" || true
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]} (inputs in $dir/findings/)" >&2
  exit 1
fi
echo "fuzzing: no findings in ${targets[*]}"
