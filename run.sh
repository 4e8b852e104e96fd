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

# shellcheck source=tests/e2e/desktop_actions.sh
. tests/e2e/desktop_actions.sh
ended() { ! kill -0 "$1" 2>/dev/null; }
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
