#!/usr/bin/env bash
# Builds everything, measures Tovix under Wine beside a minimal Win32 window
# program (bench/baseline_window.cpp) in the same run, and writes
# build/win/bench-results/results.md: each figure, its baseline, the ratio
# and whether the target is met.
set -eu
cd "$(dirname "$0")/.."
bash cmake/prerequisites.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"

win=$PWD/build/win
out=$win/bench-results
session=$out/session
tovix=$win/tovix.exe
baseline=$win/bench/baseline_window.exe
mkdir -p "$out"
trap 'bash tests/e2e/wine_session.sh stop "$session"' EXIT
bash tests/e2e/wine_session.sh start "$session"

# Typing, lamp latency, start-up, GDI objects, windows: measured from a
# Windows program in the session.
bash tests/e2e/wine_session.sh run "$session" "$out" "$win/bench/bench_driver.exe" "$tovix" "$baseline"

# Idle cost, memory: read from Linux for the program's Wine process.
# shellcheck disable=SC1091
. "$session/session.env"
hz=$(getconf CLK_TCK)
# Runs a command every tenth of a second until it succeeds; false if it has
# not within the given seconds.
wait_until() {
  local tries=$(($1 * 10))
  shift
  until "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}
# Whether the session's display shows a window of this caption.
shows() { [ -n "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ]; }
hidden() { ! shows "$1"; }
# When each program has settled after start: its window shown, and Tovix's
# panel hidden again a second later.
tovix_settled() { wait_until 10 shows Tovix && wait_until 5 hidden Tovix; }
baseline_settled() { wait_until 10 shows Baseline; }
# "<cpu ms> <context switches> <resident KiB> <anonymous KiB>" of a process, all threads.
sample() {
  local pid=$1 ticks=0 switches=0 task
  for task in /proc/"$pid"/task/*; do
    ticks=$((ticks + $(awk '{print $14 + $15}' "$task/stat")))
    switches=$((switches + $(awk '/ctxt_switches/ {s += $2} END {print s}' "$task/status")))
  done
  echo "$((ticks * 1000 / hz)) $switches $(awk '/^VmRSS/ {print $2}' /proc/"$pid"/status)" \
    "$(awk '/^RssAnon/ {print $2}' /proc/"$pid"/status)"
}
# Starts a program, waits until it has settled, then samples it over 30 s of
# no input; prints the figures for that window.
idle() {
  local exe=$1 settled=$2 pid _
  # The Wine loader becomes the program's process: same pid.
  wine "$exe" </dev/null >/dev/null 2>&1 &
  pid=$!
  if ! "$settled"; then
    echo "$(basename "$exe") did not settle after start" >&2
    kill "$pid"
    exit 1
  fi
  read -r cpu1 switch1 rss anon < <(sample "$pid")
  sleep 30
  read -r cpu2 switch2 _ _ < <(sample "$pid")
  kill "$pid"
  wait 2>/dev/null || true
  echo "$((cpu2 - cpu1)) $((switch2 - switch1)) $rss $anon"
}
read -r t_cpu t_wake t_rss t_anon < <(idle "$tovix" tovix_settled)
read -r b_cpu b_wake b_rss b_anon < <(idle "$baseline" baseline_settled)
# Each step of start-up from inside the process, in milliseconds from the
# moment Wine has mapped the program's image: Wine's relay trace of the one
# call that takes the step, for five starts of each program; the median.
# "<created> <icon added> <hook installed> <shown>", "-" for a step the
# program does not take.
WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /f \
  /d 'user32.CreateWindowExA;shell32.Shell_NotifyIconA;user32.SetWindowsHookExA;user32.ShowWindow' \
  >/dev/null 2>&1
steps() {
  local exe=$1 name trace pid step
  name=$(basename "$exe")
  trace=$out/start-trace.log
  for _ in 1 2 3 4 5; do
    WINEDEBUG=+timestamp,+loaddll,+relay wine "$exe" </dev/null >"$trace" 2>&1 &
    pid=$!
    wait_until 10 grep -q 'Call user32.ShowWindow' "$trace" || true
    kill "$pid"
    wait 2>/dev/null || true
    awk -v name="$name" '
      function ms(line) { return substr(line, 1, index(line, ":") - 1) * 1000 }
      index($0, "Loaded") && index($0, name "\"") && !t0 { t0 = ms($0); split($0, f, ":"); tid = f[2] }
      !t0 || index($0, ":" tid ":Call ") == 0 { next }
      /CreateWindowExA/ && !created { created = ms($0) - t0 }
      /Shell_NotifyIconA\(00000000,/ && !icon { icon = ms($0) - t0 }
      /SetWindowsHookExA\(0000000d,/ && !hook { hook = ms($0) - t0 }
      /ShowWindow/ && !shown { shown = ms($0) - t0 }
      function show(v) { return v ? v : "-" }
      END { print show(created), show(icon), show(hook), show(shown) }
    ' "$trace"
  done >"$out/start-steps.txt"
  for step in 1 2 3 4; do
    cut -d' ' -f"$step" "$out/start-steps.txt" | grep -vx -- - | sort -n |
      awk '{ v[NR] = $1 } END { print NR ? v[int((NR + 1) / 2)] : "-" }'
  done | paste -sd' '
}
read -r t_created t_icon t_hook t_shown < <(steps "$tovix")
read -r b_created _ _ b_shown < <(steps "$baseline")
WINEDEBUG=-all wine reg delete 'HKCU\Software\Wine\Debug' /v RelayInclude /f >/dev/null 2>&1
{
  printf 'idle CPU over 30 s\t%s\t%s\tms\n' "$t_cpu" "$b_cpu"
  printf 'idle wake-ups over 30 s\t%s\t%s\tcontext switches\n' "$t_wake" "$b_wake"
  printf 'resident memory after start\t%s\t%s\tKiB\n' "$t_rss" "$b_rss"
  printf 'anonymous memory after start\t%s\t%s\tKiB\n' "$t_anon" "$b_anon"
  printf 'executable size\t%s\t%s\tbytes\n' "$(stat -c %s "$tovix")" "$(stat -c %s "$baseline")"
  printf 'start-up traced: window created, median\t%s\t%s\tms from image mapped\n' "$t_created" "$b_created"
  printf 'start-up traced: icon added, median\t%s\t0\tms from image mapped\n' "$t_icon"
  printf 'start-up traced: hook installed, median\t%s\t0\tms from image mapped\n' "$t_hook"
  printf 'start-up traced: window shown, median\t%s\t%s\tms from image mapped\n' "$t_shown" "$b_shown"
} >"$out/linux.tsv"

# Targets: how each figure is judged ("-": reported only).
size_limit=$(<tests/size_limit)
target() {
  case $1 in
    "typing 5000 key events") echo "ratio <= 1.02" ;;
    "lamp latency, median" | "lamp latency, 95th percentile") echo "ratio <= 1.2" ;;
    "start-up to window shown, median") echo "ratio <= 1.15" ;;
    "idle CPU over 30 s") echo "tovix <= 10 ms" ;;
    "idle wake-ups over 30 s") echo "tovix <= baseline" ;;
    "executable size") echo "tovix < $size_limit bytes" ;;
    *) echo "-" ;;
  esac
}
met() {
  local rule=$1 t=$2 b=$3
  case $rule in
    "ratio <= "*) awk -v t="$t" -v b="$b" -v r="${rule#ratio <= }" 'BEGIN {print (t <= r * b) ? "yes" : "no"}' ;;
    "tovix <= 10 ms") awk -v t="$t" 'BEGIN {print (t <= 10) ? "yes" : "no"}' ;;
    "tovix <= baseline") awk -v t="$t" -v b="$b" 'BEGIN {print (t <= b) ? "yes" : "no"}' ;;
    "tovix < $size_limit bytes") awk -v t="$t" -v l="$size_limit" 'BEGIN {print (t < l) ? "yes" : "no"}' ;;
    *) echo "-" ;;
  esac
}
{
  echo "| Measure | Tovix | Baseline | Ratio | Unit | Target | Met |"
  echo "|---|---:|---:|---:|---|---|---|"
  cat "$out/windows.tsv" "$out/linux.tsv" | while IFS=$'\t' read -r measure t b unit; do
    ratio=$(awk -v t="$t" -v b="$b" 'BEGIN {if (b == 0) print "-"; else printf "%.2f", t / b}')
    rule=$(target "$measure")
    echo "| $measure | $t | $b | $ratio | $unit | $rule | $(met "$rule" "$t" "$b") |"
  done
  echo
  echo "Where tovix.exe's bytes come from, the ten largest contributors in its link map:"
  echo
  echo "| Bytes | From |"
  echo "|---:|---|"
  bash tests/size_breakdown.sh "$win/tovix.map" | head -n 10 | while IFS=$'\t' read -r bytes from; do echo "| $bytes | $from |"; done
} >"$out/results.md"
cat "$out/results.md"
echo "results: $out/results.md"
