#!/usr/bin/env bash
# CPU time QUILLON spends while it waits and while it records, as a share of one core,
# over a measuring window: from /proc/PID/stat in clock ticks, and exactly from the run
# time of each thread (/proc/PID/task/*/schedstat).
#
# Usage: bench/cpu_figures.sh [-b BUILD_DIR] [-s SECONDS] [CASE...]
#
# Cases (default: all five):
#   idle0      no port at all
#   idle8      eight silent simulated ports (links that never send), no meter
#   flood      one port flooded with random bytes as fast as the line takes them, a
#              valid frame 20 times a second in between
#   flood30    the same with 30 % of the noise bytes the sync byte F0
#   recording  the simulated meter streaming (4 frames/s), a recording at 1 s intervals
#
# Each case starts QUILLON with a fresh settings folder and the simulator links in
# QUILLON_PORTS, lets it settle for 5 s, then measures SECONDS (default 60). Needs an
# X display; without DISPLAY it starts its own Xvfb.
set -euo pipefail

build=build
seconds=60
while getopts "b:s:h" o; do
  case $o in
    b) build=$OPTARG ;;
    s) seconds=$OPTARG ;;
    *) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(idle0 idle8 flood flood30 recording)

bin=$(cd "$build" && pwd)/bin
for p in quillon quillon-meter-sim; do
  [ -x "$bin/$p" ] || { echo "cpu_figures.sh: $bin/$p is missing (build first)" >&2; exit 2; }
done
work=$(mktemp -d /tmp/cpu-figures.XXXXXX)
pids=()
xvfb=""
cleanup() {
  for p in ${pids[@]+"${pids[@]}"}; do kill "$p" 2>/dev/null || true; done
  for p in ${pids[@]+"${pids[@]}"}; do wait "$p" 2>/dev/null || true; done
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  # A display number nobody uses (an Xvfb that is still shutting down keeps its lock).
  n=79
  while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
  Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=:$n
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
fi

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# Run time of each of the process's threads, "tid ns" a line: exact, where the clock ticks
# above count in 10 ms steps (a step is 0.017 % of a core over a minute).
thread_ns() {
  local t
  for t in /proc/"$1"/task/*; do echo "${t##*/} $(cut -d' ' -f1 "$t/schedstat" 2>/dev/null)"; done
}

# start_sim NAME SCRIPT: a simulator on $work/NAME; waits for its "ready" line.
start_sim() {
  "$bin/quillon-meter-sim" "$work/$1" -e "$2" >"$work/$1.out" 2>"$work/$1.err" &
  pids+=($!)
  for _ in $(seq 100); do grep -q '^ready' "$work/$1.out" 2>/dev/null && return 0; sleep 0.05; done
  echo "cpu_figures.sh: simulator $1 did not start" >&2
  exit 1
}

# measure LABEL PORTS [QUILLON ARGS...]
measure() {
  local label=$1 ports=$2
  shift 2
  local home="$work/home-$label"
  mkdir -p "$home/.config" "$home/runtime"
  chmod 700 "$home/runtime"
  # A record every second; the first record of a recording is due one interval on.
  printf '[kvr3318]\nIntTime=1000\n' >"$home/.config/regtest.ini"
  HOME=$home XDG_CONFIG_HOME=$home/.config XDG_STATE_HOME=$home XDG_RUNTIME_DIR=$home/runtime \
    QUILLON_PORTS=$ports "$bin/quillon" "$@" >"$work/$label.log" 2>&1 &
  local pid=$!
  pids+=($pid)
  sleep 5
  local hz before after
  hz=$(getconf CLK_TCK)
  before=$(cpu_ticks "$pid")
  thread_ns "$pid" >"$work/$label.before"
  sleep "$seconds"
  after=$(cpu_ticks "$pid") || { echo "$label: QUILLON ended early ($(tail -1 "$work/$label.log"))"; return; }
  thread_ns "$pid" >"$work/$label.after"
  # Threads started in between count whole. One that ended (no figure left) took its
  # time with it, and so did one that started and ended in between: then the sum falls
  # short of the ticks' figure by more than their rounding (two ticks a reading), and
  # it is not given. So too when the kernel keeps no run times (all of them 0).
  local exact
  exact=$(awk -v ticks_ms=$(((after - before) * 1000 / $(getconf CLK_TCK))) '
            NR == FNR { was[$1] = $2; next }
            $2 == "" { gone = 1; next }
            { t += $2 - was[$1]; any += $2; delete was[$1] }
            END {
              for (k in was) gone = 1
              ms = t / 1e6
              if (gone || !any || ms < ticks_ms - 20 || ms > ticks_ms + 20) print "-"
              else printf "%.1f", ms
            }' "$work/$label.before" "$work/$label.after")
  local rss
  rss=$(awk '$1 == "VmRSS:" { print $2 }' "/proc/$pid/status")
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  awk -v l="$label" -v t=$((after - before)) -v hz="$hz" -v s="$seconds" -v rss="$rss" -v x="$exact" \
    'BEGIN { printf "%-10s %6.3f %% of a core over %d s (%d ms CPU), VmRSS %.1f MB", l, 100 * t / hz / s, s, 1000 * t / hz, rss / 1024
             if (x == "-") print "; exact: not known (a thread ended, or no run times)"
             else printf "; exact %.3f %% (%.1f ms)\n", x / 10 / s, x }'
}

for c in "${cases[@]}"; do
  case $c in
    idle0) measure idle0 "" ;;
    idle8)
      links=()
      for i in 1 2 3 4 5 6 7 8; do start_sim "silent$i" "silence 3600"; links+=("$work/silent$i"); done
      measure idle8 "$(IFS=:; echo "${links[*]}")" ;;
    flood)
      start_sim flooded "rate 20; func dcv; range 1; value 1.234; flood 3600"
      measure flood "$work/flooded" ;;
    flood30)
      start_sim flooded30 "rate 20; func dcv; range 1; value 1.234; flood 3600 0.3"
      measure flood30 "$work/flooded30" ;;
    recording)
      start_sim meter "rate 4; func dcv; range 1; sine 0 3 10 3600"
      measure recording "$work/meter" --snapshot "$work/recording.png" --record-seconds $((seconds + 30)) ;;
    *) echo "cpu_figures.sh: unknown case $c" >&2; exit 2 ;;
  esac
done
