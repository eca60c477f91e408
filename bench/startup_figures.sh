#!/usr/bin/env bash
# Start-up figures of QUILLON against a bare Qt main window with a menu bar, measured
# alternately in the same run so that both see the same machine load.
#
# Usage: bench/startup_figures.sh [-n RUNS] [-b BUILD_DIR] [-o OUT_DIR]
#
#   RUNS      runs of each program (default 9)
#   BUILD_DIR the build folder with bin/quillon and bin/bare_window (default build)
#
# Each run goes through measure-start (the shared tool: exec -> window mapped, CPU time
# when the window was seen, VmRSS after 2 s). $MEASURE_START names the tool; otherwise
# ../shared/tools/measure-start or ../../shared/tools/measure-start beside the source
# tree is used. QUILLON runs with an empty port table (QUILLON_PORTS set but empty) so
# it touches no real port. Prints the medians and QUILLON's CPU ratio and memory excess.
#
# measure-start reads CPU time in clock ticks (10 ms here), coarse for figures of 30 to
# 50 ms: a median moves by a fifth with one tick. A second pass therefore takes each
# program's exact CPU time (user and system, from the kernel's accounting of its reaped
# child, to the millisecond): each run is killed 1 s after exec, when its window has long
# been shown and painted and it is idle (QUILLON with no port costs under 1 ms a second
# idle, which counts against it here).
set -euo pipefail

runs=9
build=build
out=""
while getopts "n:b:o:h" o; do
  case $o in
    n) runs=$OPTARG ;;
    b) build=$OPTARG ;;
    o) out=$OPTARG ;;
    *) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
  esac
done

src=$(cd "$(dirname "$0")/.." && pwd)
tool=${MEASURE_START:-}
for candidate in "$src/../shared/tools/measure-start" "$src/../../shared/tools/measure-start"; do
  if [ -z "$tool" ] && [ -x "$candidate" ]; then tool=$candidate; fi
done
[ -n "$tool" ] || tool=$(command -v measure-start || true)
[ -n "$tool" ] || { echo "startup_figures.sh: measure-start not found (set MEASURE_START)" >&2; exit 2; }

quillon=$(cd "$build" && pwd)/bin/quillon
bare=$(cd "$build" && pwd)/bin/bare_window
for p in "$quillon" "$bare"; do
  [ -x "$p" ] || { echo "startup_figures.sh: $p is missing (build first)" >&2; exit 2; }
done
[ -n "$out" ] || out=$(mktemp -d /tmp/startup-figures.XXXXXX)
mkdir -p "$out"

xvfb=""
if [ -z "${DISPLAY:-}" ]; then
  # A display number nobody uses (an Xvfb that is still shutting down keeps its lock).
  n=78
  while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
  Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=:$n
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
fi
trap '[ -z "$xvfb" ] || { kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; }' EXIT

export QUILLON_PORTS=""
for i in $(seq 1 "$runs"); do
  "$tool" -n 1 -o "$out/bare$i" -l bare 'bare window' -- "$bare" >"$out/bare$i.log" 2>&1 || true
  "$tool" -n 1 -o "$out/quillon$i" -l quillon 'QUILLON' -- "$quillon" >"$out/quillon$i.log" 2>&1 || true
  echo "pair $i: $(grep -h '^run 1' "$out/bare$i.log" | cut -c1-60) | $(grep -h '^run 1' "$out/quillon$i.log" | cut -c1-60)"
done

# results.csv: run,ok,start_ms,poll_ms,cpu_ms_at_poll,vmrss_kb,vmhwm_kb,pss_kb,windows
for name in bare quillon; do
  for i in $(seq 1 "$runs"); do tail -n +2 "$out/$name$i/results.csv" 2>/dev/null | sed "s/^/$name,$i,/"; done
done | awk -F, '
  $4 == 1 { n[$1]++; k = n[$1]; start[$1, k] = $5; cpu[$1, k] = $7; cpuSum[$1] += $7; rss[$1, k] = $8 / 1024 }
  function median(a, who, count,   i, j, t, b) {
    for (i = 1; i <= count; i++) b[i] = a[who, i]
    for (i = 2; i <= count; i++) { t = b[i]; for (j = i - 1; j >= 1 && b[j] > t; j--) b[j + 1] = b[j]; b[j + 1] = t }
    return (count % 2) ? b[(count + 1) / 2] : (b[count / 2] + b[count / 2 + 1]) / 2 }
  END {
    if (!n["bare"] || !n["quillon"]) { print "no successful runs"; exit 1 }
    for (w in n) {
      s[w] = median(start, w, n[w]); c[w] = median(cpu, w, n[w]); r[w] = median(rss, w, n[w])
      printf "%-8s runs %2d  exec->window median %4.0f ms  cpu %4.0f ms  VmRSS %5.1f MB\n", w, n[w], s[w], c[w], r[w]
    }
    printf "QUILLON / bare: cpu %.2f (clock ticks; the exact figures follow), exec->window %.2f; VmRSS %+.1f MB (target <= +6)\n",
      c["quillon"] / (c["bare"] ? c["bare"] : 1), s["quillon"] / (s["bare"] ? s["bare"] : 1), r["quillon"] - r["bare"]
    # The CPU times count in 10 ms steps, so a median can move a whole step between runs;
    # the means say more about a small change. Both user and system time are cut down to
    # a whole step, about 10 ms too little in all, which makes the ratio look larger.
    printf "mean cpu: bare %.1f ms, QUILLON %.1f ms, ratio %.2f\n", cpuSum["bare"] / n["bare"],
      cpuSum["quillon"] / n["quillon"], (cpuSum["quillon"] / n["quillon"]) / (cpuSum["bare"] ? cpuSum["bare"] / n["bare"] : 1)
  }'
# ---- exact CPU time
fifo=$out/never-written
[ -p "$fifo" ] || mkfifo "$fifo"
# A fresh home for one run.
fresh_home() {
  local home
  home=$(mktemp -d "$out/exact.XXXXXX")
  mkdir -p "$home/config" "$home/cache" "$home/data" "$home/state"
  mkdir -m 700 "$home/runtime"
  echo "$home"
}
# One run of a program in HOME, killed 1 s after it started; prints its CPU time in ms,
# threads that ended included, or nothing when it had ended by itself. `times` in this
# subshell reports the subshell's children, and the program is its only one (the waits
# are builtins; the home is made before).
exact_cpu_ms() (
  home=$1
  HOME=$home XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache XDG_DATA_HOME=$home/data \
    XDG_STATE_HOME=$home/state XDG_RUNTIME_DIR=$home/runtime "$2" >/dev/null 2>&1 &
  pid=$!
  read -r -t 1 _ <>"$fifo" || true
  kill -KILL "$pid" 2>/dev/null || exit 0
  wait "$pid" 2>/dev/null || true
  LC_NUMERIC=C              # a decimal point in what `times` prints
  times >"$home/times"      # in this shell: in a pipe it would report another process
  tail -n 1 "$home/times" |
    awk '{ t = 0; for (i = 1; i <= 2; i++) { split($i, p, /[ms]/); t += p[1] * 60 + p[2] } printf "%.1f\n", t * 1000 }'
)
for i in $(seq 1 "$runs"); do
  echo "bare,$(exact_cpu_ms "$(fresh_home)" "$bare")"
  echo "quillon,$(exact_cpu_ms "$(fresh_home)" "$quillon")"
done >"$out/exact.csv"
awk -F, '
  $2 != "" { n[$1]++; v[$1, n[$1]] = $2; sum[$1] += $2 }
  function median(who, count,   i, j, t, b) {
    for (i = 1; i <= count; i++) b[i] = v[who, i]
    for (i = 2; i <= count; i++) { t = b[i]; for (j = i - 1; j >= 1 && b[j] > t; j--) b[j + 1] = b[j]; b[j + 1] = t }
    return (count % 2) ? b[(count + 1) / 2] : (b[count / 2] + b[count / 2 + 1]) / 2 }
  END {
    if (!n["bare"] || !n["quillon"]) { print "exact cpu: no successful runs"; exit 1 }
    mb = median("bare", n["bare"]); mq = median("quillon", n["quillon"])
    printf "exact cpu to 1 s after exec (%d runs each): bare median %.1f ms mean %.1f ms; QUILLON median %.1f ms mean %.1f ms\n",
      n["bare"], mb, sum["bare"] / n["bare"], mq, sum["quillon"] / n["quillon"]
    printf "QUILLON / bare, exact cpu: medians %.2f, means %.2f (target <= 1.5)\n", mq / mb,
      (sum["quillon"] / n["quillon"]) / (sum["bare"] / n["bare"])
  }' "$out/exact.csv"
echo "logs: $out"
