#!/usr/bin/env bash
# Sets up a fresh machine, builds everything and runs every test: once in a normal build,
# once under AddressSanitizer and UndefinedBehaviorSanitizer; then builds everything with clang
# and runs each fuzz target for a short while. The build folders go under $HG_BUILD_ROOT
# (default: build/ in the source tree), which may lie anywhere.
set -euo pipefail
cd "$(dirname "$0")/.."
build_root=${HG_BUILD_ROOT:-build}

bash scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1
export CTEST_OUTPUT_ON_FAILURE=1

run_suite() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" -j "$jobs" --timeout 300
}

echo "== build and test =="
run_suite "$build_root/test" -DCMAKE_BUILD_TYPE=RelWithDebInfo

echo "== build and test under AddressSanitizer + UndefinedBehaviorSanitizer =="
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite "$build_root/sanitize" -DCMAKE_BUILD_TYPE=Debug -DHG_SANITIZE=ON -DHG_BUILD_BENCH=OFF

echo "== build with clang and fuzz each target briefly =="
HG_BUILD_ROOT="$build_root" bash scripts/fuzz.sh 20
