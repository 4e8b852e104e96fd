#!/usr/bin/env bash
# Takes the README's pictures again: Tovix on a Wine virtual desktop with
# Wine's own taskbar. Inside a virtual desktop Wine draws every window's
# frame itself, as Windows does, where on a plain X display the window
# manager would. Saves docs/panel.png (the panel, Num Lock on, above the
# taskbar's notification area with Tovix's icon), docs/menu.png (the icon's
# menu, opened with a right click) and docs/about.png (the About window).
set -eu
cd "$(dirname "$0")/.."
bash cmake/prerequisites.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target tovix
exe=$PWD/build/win/tovix.exe
session=$PWD/build/pictures

# shellcheck source=tests/e2e/desktop_actions.sh
. tests/e2e/desktop_actions.sh
# Wine's taskbar: the one window of the desktop's explorer without a caption.
taskbar_window() {
  local window
  for window in $(xdotool search --onlyvisible --classname '^explorer\.exe$' 2>/dev/null); do
    [ -z "$(xdotool getwindowname "$window")" ] && echo "$window" && return
  done
  return 1
}
# Succeeds once the screen's region $1 is no longer one plain colour.
drawn() { [ "$(import -window root -crop "$1" +repage ppm:- | convert ppm:- -format '%k' info:)" -gt 1 ]; }
# Saves the screen as $1.ppm; succeeds once its region $2 holds the colour
# $3 and the screen looks as it did the time before: what the picture shows
# is drawn and done.
shoot() {
  import -window root -depth 8 "ppm:$1.new"
  if cmp -s "$1.new" "$1.ppm" &&
    convert "$1.ppm" -crop "$2" +repage -format %c histogram:info:- | grep -q " $3 "; then
    return
  fi
  mv -f "$1.new" "$1.ppm"
  return 1
}
# The screen's bottom right corner, from a little above and left of x, y.
corner() { echo "$((right - x + 16))x$((bottom - y + 16))+$((x - 16))+$((y - 16))"; }

trap 'bash tests/e2e/wine_session.sh stop "$session"' EXIT
bash tests/e2e/wine_session.sh start "$session"
# shellcheck disable=SC1091
. "$session/session.env"
shots=$session/shots
rm -rf "$shots" && mkdir -p "$shots"
# A desktop named "shell" comes with Wine's taskbar along its bottom, and the
# work area ends above it. The display's size: the desktop fills it.
size=$(xdpyinfo | awk '/dimensions:/ { print $2 }')
wine explorer "/desktop=shell,$size" "$exe" </dev/null >"$session/tovix.log" 2>&1 &

# Tovix's icon, the only one, is the square at the taskbar's right end.
# Under emulation the desktop's explorer and Tovix take a while to start.
patience=180
wait_until "Wine's taskbar shows" taskbar_window >/dev/null
locate "$(taskbar_window)" "Wine's taskbar"
wait_until "Tovix's icon shows" drawn "${h}x${h}+$((x + w - h))+$y"
unset patience
icon_x=$((x + w - h / 2)) icon_y=$((y + h / 2))
right=$((x + w)) bottom=$((y + h))

# Num Lock on lights the panel's left lamp green and shows it for a second.
# Should it hide before a picture of it is done (or Tovix, still starting,
# miss the key), Num Lock goes off and on again.
xdotool key Num_Lock
panel=$(wait_window --name '^Tovix$')
locate "$panel" "the panel"
shoot_panel() {
  hidden "$panel" && xdotool key Num_Lock Num_Lock
  shoot "$shots/panel" "${w}x${h}+$x+$y" '#00FF00'
}
wait_until "the panel shows Num Lock on" shoot_panel
panel_corner=$(corner)
wait_until "the panel hides" hidden "$panel"

click_at "$icon_x" "$icon_y" 3
menu=$(wait_window --class '^tovix\.exe$')
locate "$menu" "the tray menu"
wait_until "the menu shows its items" shoot "$shots/menu" "${w}x${h}+$x+$y" '#000000'
menu_corner=$(corner)
# About is the upper of its two items.
click_at $((x + w / 2)) $((y + h / 4)) 1

about=$(wait_window --name '^About$')
locate "$about" "the About window"
about_region="${w}x${h}+$x+$y"
# Its lower half: what is black there is the window's text, not its frame's.
wait_until "the About window shows its text" shoot "$shots/about" "${w}x$((h / 2))+$x+$((y + h / 2))" '#000000'

# -strip: no time stamps in the files, so the same screen gives the same bytes.
for picture in panel:"$panel_corner" menu:"$menu_corner" about:"$about_region"; do
  convert "$shots/${picture%%:*}.ppm" -crop "${picture#*:}" +repage -strip "docs/${picture%%:*}.png"
done
echo "pictures: docs/panel.png docs/menu.png docs/about.png"
