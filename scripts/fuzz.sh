#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into $HG_BUILD_ROOT/fuzz (default: build/fuzz) and
# runs each for a bounded time.
#   scripts/fuzz.sh [seconds per target] [target...]     (default: 20 seconds, every target)
# Each run starts from the committed seeds in fuzz/corpus/<target>/ plus what earlier runs
# found (<build>/corpus/<target>/); a crash leaves its input in <build>/artifacts/ and fails
# the script.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${HG_BUILD_ROOT:-build}/fuzz
seconds=${1:-20}
shift || true
jobs=${FUZZ_BUILD_JOBS:-$(nproc)}

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DHG_FUZZ=ON -DHG_BUILD_TESTS=OFF -DHG_BUILD_BENCH=OFF
cmake --build "$build" -j "$jobs"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for seeds in fuzz/corpus/*/; do
    targets+=("$(basename "$seeds")")
  done
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
# The targets write their inputs to files; a memory file system with room to spare (256 MiB)
# runs them many times faster.
if [ -z "${TMPDIR:-}" ] && [ -w /dev/shm ] &&
  [ "$(df -Pk /dev/shm | awk 'NR == 2 { print $4 }')" -gt 262144 ]; then
  export TMPDIR=/dev/shm
fi
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$build/artifacts"
for target in "${targets[@]}"; do
  echo "== fuzz $target for ${seconds}s =="
  mkdir -p "$build/corpus/$target"
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
    "$build/corpus/$target" "fuzz/corpus/$target"
done
