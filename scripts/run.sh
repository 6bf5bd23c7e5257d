#!/usr/bin/env bash
# Sets up a fresh machine, builds the program and starts it. While it runs, the bundled update
# server answers Live Update at the default address with its demo releases, unless
# HEARTHGUARD_UPDATE_SERVER names another server or something already answers there.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'EOF'
run.sh: no desktop session (neither DISPLAY nor WAYLAND_DISPLAY is set). Hearthguard shows
windows: start it from a terminal of your desktop, or on a virtual display:

    Xvfb :99 & DISPLAY=:99 bash scripts/run.sh
EOF
  exit 1
fi

bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DHG_BUILD_TESTS=OFF -DHG_BUILD_BENCH=OFF
cmake --build build/release -j "$(nproc)" --target hearthguard hg_update_server

# The address a new machine profile sends Live Update to.
update_host=127.0.0.1
update_port=8080
update_server_answers() {
  (exec 3<>"/dev/tcp/$update_host/$update_port") 2>/dev/null
}

if [ -z "${HEARTHGUARD_UPDATE_SERVER:-}" ] && ! update_server_answers; then
  build/release/tools/update-server/hg_update_server tools/update-server/demo-releases \
    --host "$update_host" --port "$update_port" &
  update_server_pid=$!
  stop_update_server() {
    kill "$update_server_pid" 2>/dev/null || true
    wait "$update_server_pid" 2>/dev/null || true
  }
  trap stop_update_server EXIT
  # The EXIT trap runs on Ctrl+C and on a kill too.
  trap 'exit 130' INT
  trap 'exit 143' TERM
  for _ in $(seq 50); do
    update_server_answers && break
    sleep 0.1
  done
fi

build/release/src/app/hearthguard "$@"
