#!/usr/bin/env bash
# Builds tovix.exe and starts it under Wine. On a machine with an X display
# it runs there until it is closed; without one it runs on a private Xvfb
# display, saves screenshots of its panel, its tray menu and its About
# window, and closes it again through the menu.
set -eu
cd "$(dirname "$0")"
bash cmake/prerequisites.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target tovix
exe=$PWD/build/win/tovix.exe

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec env WINEDEBUG=-all wine "$exe"
fi

# Runs a command every 50 ms until it succeeds, for at most 10 s.
wait_until() {
  local what=$1
  shift
  for _ in $(seq 200); do "$@" && return; sleep 0.05; done
  echo "timed out waiting until $what" >&2
  return 1
}
# The conditions it waits for. visible prints the id of a visible window found
# by xdotool search (--name or --class and a pattern).
visible() { xdotool search --onlyvisible "$@" 2>/dev/null | head -n 1 | grep .; }
hidden() { ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
pointer_at() { [ "$(xdotool getmouselocation | cut -d ' ' -f 1,2)" = "x:$1 y:$2" ]; }
ended() { ! kill -0 "$1" 2>/dev/null; }
# Waits for a visible window (xdotool search options and a pattern) and prints its id.
wait_window() { wait_until "a window $* shows" visible "$@"; }
# Sets x, y, w and h to where window $1 (what: $2) is on the screen and its
# size. A window that has gone, or no longer shows, has no place: the run
# stops there rather than click at 0,0 or where the window was.
locate() {
  local info=
  [ -n "$1" ] && info=$(xwininfo -id "$1" 2>/dev/null) || info=
  grep -q IsViewable <<<"$info" || info=
  read -r x y w h < <(awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
                           /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }' <<<"$info")
  if ! [[ ${x:-} =~ ^-?[0-9]+$ && ${y:-} =~ ^-?[0-9]+$ && ${w:-} =~ ^[1-9][0-9]*$ && ${h:-} =~ ^[1-9][0-9]*$ ]]; then
    echo "$2 (X window ${1:-not found}) has gone: where it is cannot be read; stopping" >&2
    exit 1
  fi
}
# Saves window $1 ($2 is its name) as build/win/screenshots/run-$2.png and
# prints the path.
capture() {
  locate "$1" "the window for the $2 screenshot"
  local shot=$PWD/build/win/screenshots/run-$2.png
  mkdir -p "$(dirname "$shot")"
  /usr/bin/import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shot"
  echo "$2 screenshot: $shot"
}
# Sets shape_x and shape_y to where the centre of the largest shape drawn in
# window $1 is on the screen; fails while there is none. The background,
# flooded from the window's corner, turns black with the black of text; all
# else turns white: a button's raised frame and its face make one piece, a
# letter's enclosed space a small one.
find_largest_shape() {
  locate "$1" "the About window"
  read -r shape_x shape_y < <(/usr/bin/import -window "$1" png:- |
    /usr/bin/convert png:- -fill black -draw 'color 0,0 floodfill' -fill white +opaque black \
      -define connected-components:verbose=true -connected-components 8 null: |
    awk -v x="$x" -v y="$y" '$NF ~ /255/ && $4 > area { area = $4; split($2, box, /[x+]/) }
      END { if (area) print x + int(box[3] + box[1] / 2), y + int(box[4] + box[2] / 2) }')
}
# Clicks button $3 at $1,$2 as a user does: the pointer moves there and rests a moment first.
click_at() {
  xdotool mousemove "$1" "$2"
  wait_until "the pointer is at $1,$2" pointer_at "$1" "$2"
  sleep 0.5
  xdotool click "$3"
}

session=$PWD/build/run
trap 'bash tests/e2e/wine_session.sh stop "$session"' EXIT
bash tests/e2e/wine_session.sh start "$session"
# shellcheck disable=SC1091
. "$session/session.env"
wine "$exe" </dev/null >"$session/tovix.log" 2>&1 &
tovix=$!

# The panel shows for about a second after start-up.
panel=$(wait_window --name '^Tovix$')
capture "$panel" panel
wait_until "the panel hides" hidden "$panel"

# Tovix's icon is the first square at the left of Wine's system tray window;
# its menu, the only window Tovix then shows, holds About above Exit.
tray=$(wait_window --name '^Wine System Tray$')
locate "$tray" "Wine's system tray"
icon_x=$((x + h / 2)) icon_y=$((y + h / 2))
click_at "$icon_x" "$icon_y" 3
menu=$(wait_window --class '^tovix\.exe$')
capture "$menu" menu
locate "$menu" "the tray menu"
click_at $((x + w / 2)) $((y + h / 4)) 1

# The About window, with the frame the window manager puts around it.
about=$(wait_window --name '^About$')
capture "$(xwininfo -children -id "$about" | awk '/Parent window id/ { print $4 }')" about
# OK, found as a user finds it: the one large shape in the window.
wait_until "the About window shows its OK button" find_largest_shape "$about"
click_at "$shape_x" "$shape_y" 1
wait_until "the About window closes" hidden "$about"

click_at "$icon_x" "$icon_y" 3
menu=$(wait_window --class '^tovix\.exe$')
locate "$menu" "the tray menu"
click_at $((x + w / 2)) $((y + h * 3 / 4)) 1
wait_until "Tovix ends" ended "$tovix"
