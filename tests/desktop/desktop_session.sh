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
rm -f "$pictures"/*.png "$pictures"/*.xwd

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

# A display with no X server behind it is told plainly, as a missing one is.
status=0
said=$(DISPLAY=:65533 "$program" 2>&1) || status=$?
[ "$status" = 1 ] && [[ $said == *"no desktop session"* ]] ||
  { echo "FAILED: without an X server the program ended with $status: $said" >&2; exit 1; }

step=0
picture() {
  step=$((step + 1))
  local name
  name=$(printf '%02d-%s' "$step" "$1")
  xwd -root -silent >"$work/$name.xwd"
  # Without a converter that reads it, the picture is kept as it was taken.
  convert "xwd:$work/$name.xwd" "$pictures/$name.png" 2>/dev/null ||
    cp "$work/$name.xwd" "$pictures/$name.xwd"
}
fail() {
  picture failed
  echo "FAILED: $*" >&2
  echo "--- the program's output:" >&2
  tail -n 60 "$work/program.log" >&2
  exit 1
}
# Waits (30 s, or the tenths of a second given) for a visible window whose title matches;
# prints its id.
visible_window() {
  local id
  for _ in $(seq "${2:-300}"); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
gone() {
  for _ in $(seq "${2:-50}"); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# The tray icon's window, embedded in the tray (the program's one small window of its name):
# its centre in screen pixels, or nothing.
tray_icon_centre() {
  xwininfo -root -tree 2>/dev/null |
    awk '/"hearthguard": \("hearthguard"/ {
           for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+[+-]/) size = $i
           split(size, wh, "[x+-]"); split($NF, at, "+")
           if (!found && wh[1] >= 8 && wh[1] <= 64 && wh[2] >= 8 && wh[2] <= 64) {
             found = 1; print at[2] + int(wh[1] / 2), at[3] + int(wh[2] / 2)
           } }'
}
# The window's state as its window manager keeps it: Normal, Iconic, or nothing when withdrawn.
wm_state() {
  xprop -id "$1" WM_STATE 2>/dev/null | awk '/window state:/ {print $NF}'
}
# The window's place and size on screen: "x y width height".
geometry() {
  xwininfo -id "$1" 2>/dev/null |
    awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
         /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}'
}
maximised() {
  xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_MAXIMIZED_VERT
}
# Waits (10 s) until a test holds three times in a row, so that a state the program or the
# window manager undoes at once is seen undone.
settled() {
  local held=0
  for _ in $(seq 100); do
    if "$@"; then held=$((held + 1)); else held=0; fi
    [ "$held" -ge 3 ] && return 0
    sleep 0.1
  done
  return 1
}
# On screen, framed by the window manager and where it will stay: what a user's click needs.
ready() {
  [ "$(wm_state "$main")" = Normal ] &&
    xprop -id "$main" _NET_FRAME_EXTENTS 2>/dev/null | grep -q = &&
    { [ -z "${1:-}" ] || [ "$(geometry "$main")" = "$1" ]; }
}
# Clicks a point of the main window given in pixels from its inner top left corner.
click_in_window() {
  local x y
  x=$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print $NF}')
  y=$(xwininfo -id "$1" | awk '/Absolute upper-left Y/ {print $NF}')
  xdotool mousemove $((x + $2)) $((y + $3)) click 1
}

# Under the sanitizers: the desktop's own libraries (D-Bus, the X platform plugin) keep memory to
# the end, so leaks are left to the unit tests, which run on the offscreen platform. The program
# says "shown" once its main window is up and its start-up is over.
start_program() {
  : >"$work/program.log"
  ASAN_OPTIONS="${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0" HEARTHGUARD_ANNOUNCE_SHOWN=1 \
    "$program" >>"$work/program.log" 2>&1 &
  program_pid=$!
  pids+=($program_pid)
}
start_up_over() {
  for _ in $(seq 300); do
    grep -q '^shown$' "$work/program.log" && return 0
    sleep 0.1
  done
  return 1
}
start_program

# A fresh machine: the splash, then the first-run question over it.
question=$(visible_window "Live Update Now\?") || fail "no first-run question"
picture first-run-question
# A message box is answered, never minimised or maximised.
actions=$(xprop -id "$question" _NET_WM_ALLOWED_ACTIONS)
[[ $actions != *MINIMIZE* && $actions != *MAXIMIZE* ]] || fail "the question offers $actions"
xdotool windowactivate --sync "$question" key alt+n

main=$(visible_window " by ") || fail "the main window did not come up"
start_up_over || fail "the start-up did not end"
settled ready || fail "the main window was not framed"
placed=$(geometry "$main")
picture main-window

# "Send to Tray": the button's centre below the menu bar (design 120,360 twips, 1575x375).
# A click that comes while the window is still settling is not taken: click again, as a user
# would.
send_to_tray() {
  for attempt in 1 2 3; do
    settled ready "$placed" || fail "the main window is not back in its place ($placed):" \
      "$(geometry "$main")"
    xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
    click_in_window "$main" 60 56
    gone " by " && break
    [ "$attempt" -lt 3 ] || fail "the main window stayed on screen after Send to Tray"
    echo "Send to Tray: click $attempt not taken"
  done
  for _ in $(seq 50); do
    icon=$(tray_icon_centre)
    [ -n "$icon" ] && break
    sleep 0.1
  done
  [ -n "$icon" ] || fail "no tray icon"
}
# A double-click on the icon brings the window back, once the window manager has put it away. A
# user's hand gives the tray time to take the icon's first click as the start of a double-click.
restore_from_tray() {
  local icon_x icon_y
  settled eval '[ -z "$(wm_state "$main")" ]' || fail "the main window was not put away"
  sleep 1
  read -r icon_x icon_y <<<"$icon"
  for attempt in 1 2 3; do
    xdotool mousemove "$icon_x" "$icon_y" click --repeat 2 --delay 80 1
    main=$(visible_window " by " 100) && return 0
    echo "double-click $attempt at $icon_x,$icon_y not taken; the program's windows:"
    xwininfo -root -tree | grep -i '"hearthguard' || true
  done
  fail "the double-click did not restore the main window"
}

ended() {
  for _ in $(seq 100); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$program_pid" 2>/dev/null && fail "the program did not end: $1"
  wait "$program_pid" || fail "the program ended with status $?"
  [ -z "$(tray_icon_centre)" ] || fail "the tray icon stayed after the end"
}
# A double-click on the title bar, as a user maximises the window or restores it.
double_click_title_bar() {
  local x y
  read -r x y _ <<<"$(geometry "$main")"
  xdotool windowactivate --sync "$main" mousemove $((x + 200)) $((y - 8)) click --repeat 2 \
    --delay 80 1
}

# The first maximise after the start holds; restored, the window is back in its place.
double_click_title_bar
settled maximised "$main" || fail "the window did not stay maximised"
double_click_title_bar
settled ready "$placed" || fail "the window did not come back to its place ($placed):" \
  "$(geometry "$main")"

send_to_tray
# The first time, the tray menu rises out of the taskbar; later ones find it still loaded until
# it has sunk by itself.
menu=$(visible_window "^Hearthguard$") || fail "the tray menu did not come up"
# Its title bar offers no minimise or maximise button and so has room for the whole name.
actions=$(xprop -id "$menu" _NET_WM_ALLOWED_ACTIONS)
[[ $actions != *MINIMIZE* && $actions != *MAXIMIZE* ]] || fail "the tray menu offers $actions"
picture in-tray
restore_from_tray
picture restored
# Going there and back again finds the window as the first time did, in its place.
for round in 2 3; do
  send_to_tray
  restore_from_tray
done

# A window closed maximised starts maximised.
double_click_title_bar
settled maximised "$main" || fail "the window did not stay maximised"
xdotool windowactivate --sync "$main" key alt+F4
ended "its window was closed"

# A program folder emptied of its definitions to start again gets the sample definitions back.
definitions=(FileDefinition DirectoryDefinition ExeDefinition RegistryDefinition BlockedCookies)
folder="$HOME/.local/share/hearthguard/drive_c/Program Files/Hearthguard"
for name in date "${definitions[@]}"; do rm -f "$folder/$name.dat"; done
start_program
main=$(visible_window " by ") || fail "the main window did not come up maximised"
start_up_over || fail "the start-up did not end"
for name in "${definitions[@]}"; do
  [ -s "$folder/$name.dat" ] || fail "$name.dat was not written again"
done
settled maximised "$main" || fail "the window did not start maximised"
picture maximised
# Minimised with no tray icon, it keeps its taskbar button and comes back maximised.
xdotool windowminimize "$main"
settled eval '[ "$(wm_state "$main")" = Iconic ]' ||
  fail "the minimised window is not iconic: $(wm_state "$main")"
xprop -root _NET_CLIENT_LIST | tr ', ' '\n\n' | grep -qx "$(printf '0x%x' "$main")" ||
  fail "the minimised window left the taskbar"
picture minimised
xdotool windowactivate "$main"
settled eval 'ready && maximised "$main"' || fail "the minimised window did not come back maximised"
xdotool windowactivate --sync "$main" key alt+F4
ended "its window was closed"
picture ended
echo "desktop session: pictures in $pictures"
