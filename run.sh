#!/usr/bin/env bash
# Builds tovix.exe and starts it under Wine. On a machine with an X display
# it runs there until it is closed; without one it runs on a private Xvfb
# display, saves a screenshot of its panel and stops again.
set -eu
cd "$(dirname "$0")"
bash cmake/prerequisites.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target tovix
exe=$PWD/build/win/tovix.exe

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec env WINEDEBUG=-all wine "$exe"
fi

session=$PWD/build/run
trap 'bash tests/e2e/wine_session.sh stop "$session"' EXIT
bash tests/e2e/wine_session.sh start "$session"
# shellcheck disable=SC1091
. "$session/session.env"
wine "$exe" </dev/null >"$session/tovix.log" 2>&1 &

# The panel shows for about a second after start-up.
panel=
for _ in $(seq 200); do
  panel=$(xdotool search --onlyvisible --name '^Tovix$' 2>/dev/null | head -n 1) && [ -n "$panel" ] && break
  sleep 0.05
done
[ -n "$panel" ] || { echo "the panel did not appear"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$panel")"
shot=$PWD/build/win/screenshots/run-panel.png
mkdir -p "$(dirname "$shot")"
/usr/bin/import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shot"
echo "panel screenshot: $shot"
