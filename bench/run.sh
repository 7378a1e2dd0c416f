#!/usr/bin/env bash
# Link benchmarks. Run after a build:
#   BUILD_DIR=/path/to/build bench/run.sh
# 1. 100 terminal round trips of "+v" against the virtual panel at 19200 bit/s 8N2:
#    wall time / line time of the bytes (target <= 1.25).
# 2. A GPRS page write through the window's shell and through the command-line tool's shell:
#    each as wall time / line time of its bytes; the two within 10 % of each other.
# 3. CPU use of zorvan-cli while it holds an idle connection (target <= 0.5 % of one core),
#    sampled from /proc between seconds 3 and 18 of "hold 20".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

echo "== round trips"
"$build/bench/zorvan-bench-link" 100

echo "== GPRS page write: window and command line"
"$build/bench/zorvan-bench-page" formGPRS 3 2>/dev/null

echo "== idle CPU in hold"
panel_out=$(mktemp)
"$build/src/sim/zorvan-vpanel" >"$panel_out" &
panel=$!
trap 'kill $panel 2>/dev/null; rm -f "$panel_out"' EXIT
for _ in $(seq 50); do [ -s "$panel_out" ] && break; sleep 0.1; done
port=$(head -1 "$panel_out")
"$build/src/cli/zorvan-cli" --port "$port" hold 20 &
cli=$!
ticks() { awk '{print $14 + $15}' "/proc/$cli/stat"; }
hz=$(getconf CLK_TCK)
sleep 3
t0=$(ticks); s0=$(date +%s.%N)
sleep 15
t1=$(ticks); s1=$(date +%s.%N)
wait $cli
awk -v a="$t0" -v b="$t1" -v s="$s0" -v e="$s1" -v hz="$hz" \
  'BEGIN { printf "cpu: %.3f %% of one core over %.1f s\n", (b - a) / hz / (e - s) * 100, e - s }'
