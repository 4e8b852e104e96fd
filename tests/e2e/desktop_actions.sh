# shellcheck shell=bash
# What the scripts that drive Tovix from outside Wine share, as a user's
# pointer and eyes would: waiting for a condition, finding X windows,
# clicking. Sourced by run.sh and docs/take-pictures.sh.

# Runs a command every 50 ms until it succeeds, for at most $patience
# seconds (10 unless set).
wait_until() {
  local what=$1
  shift
  for _ in $(seq $((${patience:-10} * 20))); do "$@" && return; sleep 0.05; done
  echo "timed out waiting until $what" >&2
  return 1
}
# The conditions it waits for. visible prints the id of a visible window found
# by xdotool search (--name or --class and a pattern).
visible() { xdotool search --onlyvisible "$@" 2>/dev/null | head -n 1 | grep .; }
hidden() { ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
pointer_at() { [ "$(xdotool getmouselocation | cut -d ' ' -f 1,2)" = "x:$1 y:$2" ]; }
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
# Clicks button $3 at $1,$2 as a user does: the pointer moves there and rests a moment first.
click_at() {
  xdotool mousemove "$1" "$2"
  wait_until "the pointer is at $1,$2" pointer_at "$1" "$2"
  sleep 0.5
  xdotool click "$3"
}
