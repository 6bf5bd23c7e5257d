#!/usr/bin/env bash
# Starts the built program as a user would: on a virtual X display with a window manager and a
# tray, on a fresh user's default machine. It comes up with its main window, goes to the tray,
# comes back from the tray, and ends. A picture of each step is kept in the working folder.
#
# Usage: desktop_session.sh <program> [picture folder]
# Exits 77 (skipped) when the X tools are not installed.
set -euo pipefail

program=$1
pictures=${2:-$PWD/desktop-session}
for tool in Xvfb openbox trayer xdotool xwd; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
mkdir -p "$pictures"

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of its own, so that test runs in parallel never meet.
Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp >"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
trayer --edge bottom --align right --widthtype pixel --width 96 --height 32 \
  --SetDockType true --transparent false --tint 0x404040 >"$work/trayer.log" 2>&1 &
pids+=($!)

export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config
mkdir -p "$HOME"
unset QT_QPA_PLATFORM HEARTHGUARD_PROFILE

step=0
picture() {
  step=$((step + 1))
  local name
  name=$(printf '%02d-%s' "$step" "$1")
  xwd -root -silent >"$work/$name.xwd"
  if command -v convert >/dev/null; then
    convert "xwd:$work/$name.xwd" "$pictures/$name.png"
  else
    cp "$work/$name.xwd" "$pictures/$name.xwd"
  fi
}
fail() {
  picture failed
  echo "FAILED: $*" >&2
  exit 1
}
# Waits for a visible window whose title matches; prints its id.
visible_window() {
  local id
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
gone() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

"$program" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=($program_pid)

echo "TODO"
