#!/usr/bin/env bash
# One Wine session for an end-to-end test run: a private Xvfb display with a
# window manager and a fresh Wine prefix, shared by the tests of the run and
# stopped after them.
#
#   wine_session.sh start <dir>                      start display, window manager and prefix
#   wine_session.sh run <dir> <shots> <driver.exe> [file...] [-- arg...]
#                                                    run a driver: the files as Windows paths,
#                                                    then the screenshot folder, then the args;
#                                                    with TOVIX_TASKBAR="bottom 48" (or "right 80")
#                                                    beside a desktop panel reserving that strip
#   wine_session.sh stop <dir>                       stop this session's wineserver, window manager
#                                                    and display
set -u
command=$1
dir=$2
env_file=$dir/session.env

# Writes standard input to a file through a temporary one in its folder,
# renamed into place: whoever waits for the file never reads half of it.
write_atomically() {
  local file=$1
  cat >"$file.part" && mv -f "$file.part" "$file"
}

stop_session() {
  [ -f "$env_file" ] || return 0
  # shellcheck disable=SC1090
  . "$env_file"
  WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null
  kill "$WM_PID" "$XVFB_PID" 2>/dev/null
  rm -f "$env_file"
}

case $command in
start)
  stop_session
  mkdir -p "$dir"
  # Xvfb picks a free display number itself and writes it once it listens:
  # sessions started side by side cannot take the same one.
  rm -f "$dir/display"
  # -noreset: by default the server starts over whenever its last client
  # leaves (here the xdpyinfo below), and one that is starting over refuses
  # the window manager's connection or dies.
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset </dev/null >"$dir/xvfb.log" 2>&1 3>"$dir/display" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
  display=:$(cat "$dir/display")
  if ! xdpyinfo -display "$display" >/dev/null 2>&1; then
    echo "Xvfb did not start on $display"
    cat "$dir/xvfb.log"
    kill "$xvfb_pid" 2>/dev/null
    exit 1
  fi
  # A user's desktop has a window manager: it decides where windows go and
  # which one has the focus, and Wine runs in its default managed mode.
  # Openbox's own settings, but Wine's stand-in for a notification area (a
  # plain window, where a desktop panel would hold the icons) never takes
  # the focus from what the user types into.
  sed 's|</applications>|<application title="Wine System Tray"><focus>no</focus></application></applications>|' \
    /etc/xdg/openbox/rc.xml >"$dir/openbox-rc.xml"
  DISPLAY=$display setsid openbox --sm-disable --config-file "$dir/openbox-rc.xml" </dev/null >"$dir/openbox.log" 2>&1 &
  wm_pid=$!
  for _ in $(seq 100); do
    xprop -display "$display" -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
  if ! xprop -display "$display" -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    echo "openbox did not start on $display"
    cat "$dir/openbox.log"
    kill "$wm_pid" "$xvfb_pid" 2>/dev/null
    exit 1
  fi
  prefix=$dir/prefix
  rm -rf "$prefix"
  # QEMU_GUEST_BASE: where 32-bit processes run under QEMU's emulator, their
  # addresses stay the real ones, so the 64-bit wineserver can read one
  # process's memory for another (ReadProcessMemory). Ignored elsewhere.
  write_atomically "$env_file" <<ENV
export DISPLAY=$display
export WINEPREFIX=$prefix
export WINEARCH=win32
export WINEDEBUG=-all
export QEMU_GUEST_BASE=0
export XVFB_PID=$xvfb_pid
export WM_PID=$wm_pid
ENV
  # shellcheck disable=SC1090
  . "$env_file"
  started=$(date +%s)
  WINEDLLOVERRIDES="mscoree=;mshtml=" wineboot -i </dev/null >"$dir/wineboot.log" 2>&1 || { cat "$dir/wineboot.log"; exit 1; }
  # The faces Windows draws Tovix's captions and caption buttons with: the
  # "MS Sans Serif" bitmap font and Marlett, from Debian's fonts-wine. Wine
  # loads every font in the Windows font folder; without these it falls back
  # to a wider face and draws a letter for a caption button's glyph.
  cp /usr/share/wine/fonts/sserife.fon /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
  wineserver -w
  echo "Wine session on $display with prefix $prefix ready in $(($(date +%s) - started)) s"
  ;;
run)
  shots=$3
  driver=$4
  shift 4
  if [ ! -f "$env_file" ]; then
    echo "No Wine session in $dir: $env_file is missing (start one with: $0 start $dir)" >&2
    exit 1
  fi
  # shellcheck disable=SC1090
  . "$env_file"
  # Desktop panels such as Windows' taskbar reserve a strip of the screen:
  # Debian's tint2 does so through the window manager, which takes the strip
  # out of the work area. Wine reads the work area when its desktop starts,
  # with the first process of the run.
  panel=
  work_area() {
    xprop -root _NET_WORKAREA 2>/dev/null | awk -F '[=,] *' -v want="$1 $2" '{ exit !($2 == 0 && $3 == 0 && $4 " " $5 == want) }'
  }
  if [ -n "${TOVIX_TASKBAR:-}" ]; then
    read -r screen_width screen_height < <(xdpyinfo | awk '/dimensions:/ {sub("x", " ", $2); print $2}')
    read -r side size <<<"$TOVIX_TASKBAR"
    case "$side ${size:-}" in
    "right "[1-9]*)
      position="center right vertical" work_width=$((screen_width - size)) work_height=$screen_height
      ;;
    "bottom "[1-9]*)
      position="bottom center horizontal" work_width=$screen_width work_height=$((screen_height - size))
      ;;
    *) echo "TOVIX_TASKBAR: \"bottom <pixels>\" or \"right <pixels>\", not \"$TOVIX_TASKBAR\"" >&2 && exit 2 ;;
    esac
    # A clock alone: with a tray of its own it would take Wine's icons.
    printf 'panel_items = C\npanel_position = %s\npanel_size = 100%% %s\nstrut_policy = follow_size\n' \
      "$position" "$size" >"$dir/tint2.rc"
    tint2 -c "$dir/tint2.rc" </dev/null >"$dir/tint2.log" 2>&1 &
    panel=$!
    for _ in $(seq 100); do work_area "$work_width" "$work_height" && break; sleep 0.1; done
    if ! work_area "$work_width" "$work_height"; then
      echo "tint2 did not reserve $TOVIX_TASKBAR"
      cat "$dir/tint2.log"
      kill "$panel"
      exit 1
    fi
  fi
  # One wineserver for the whole run, kept until the run kills it: by
  # itself it ends a few seconds after its last process, and a driver
  # starting under QEMU just then finds the connection reset.
  wineserver -p
  mkdir -p "$shots"
  args=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    args+=("$(winepath -w "$1")")
    shift
  done
  args+=("$(winepath -w "$shots")")
  [ "${1:-}" = -- ] && shift
  args+=("$@")
  log=$dir/$(basename "$driver" .exe).log
  # What only the X server knows. A driver leaves a request file and waits
  # until it is gone:
  # - NAME.request holding "x y width height": NAME.png from the display;
  # - NAME.where holding a window caption: NAME.at holding "x y", where the
  #   visible X window of that name sits on the screen.
  # Each side writes its files under another name and renames them into
  # place, so neither reads one half written.
  (
    while :; do
      for request in "$shots"/*.request; do
        [ -e "$request" ] || continue
        read -r x y width height <"$request"
        shot=${request%.request}.png
        /usr/bin/import -window root -crop "${width}x${height}+${x}+${y}" +repage "png:$shot.part" &&
          mv -f "$shot.part" "$shot"
        echo "screenshot: ${request%.request}.png" >>"$log.shots"
        rm -f "$request"
      done
      for request in "$shots"/*.where; do
        [ -e "$request" ] || continue
        window=$(xdotool search --onlyvisible --name "^$(cat "$request")\$" | head -n 1)
        [ -n "$window" ] && xwininfo -id "$window" |
          awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} END {print x, y}' |
          write_atomically "${request%.where}.at"
        rm -f "$request"
      done
      sleep 0.05
    done
  ) &
  shooter=$!
  rm -f "$log.shots"
  wine "$driver" "${args[@]}" </dev/null >"$log" 2>&1
  status=$?
  kill $shooter 2>/dev/null
  if [ -n "$panel" ]; then
    kill "$panel"
    wait "$panel"
    # The next test meets the whole screen again, or fails here.
    for _ in $(seq 100); do work_area "$screen_width" "$screen_height" && break; sleep 0.1; done
    work_area "$screen_width" "$screen_height" || { echo "the work area is not the whole screen again"; status=1; }
  fi
  cat "$log"
  [ -f "$log.shots" ] && cat "$log.shots"
  # Whatever a failed run left behind must not meet the next test.
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  exit $status
  ;;
stop)
  stop_session
  ;;
*)
  echo "usage: $0 start|run|stop <dir> ..." >&2
  exit 2
  ;;
esac
