#!/usr/bin/env bash
# Sets up a fresh machine, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DHG_BUILD_TESTS=OFF -DHG_BUILD_BENCH=OFF
cmake --build build/release -j "$(nproc)" --target hearthguard
exec build/release/src/app/hearthguard "$@"
