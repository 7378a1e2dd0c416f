#!/usr/bin/env bash
# Full firmware flash of a built-in image through zorvan-cli against zorvan-vpanel at the
# programming cable's rate (19200 bit/s, 11 bits a character): the wall time, the bytes that
# crossed the line (counted by the virtual panel) and the ratio of the two times. The flash
# includes two waits that are no line time: the panel's erase (4 s in the virtual panel) and
# the program's 45.3 s wait while the panel programs itself; the second ratio leaves them out.
# Takes about six minutes.
#   BUILD_DIR=/path/to/build bench/flash.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

panel_out=$(mktemp)
panel_err=$(mktemp)
cli_err=$(mktemp)
# A variant-5 panel of build 6 with both type flags: the update to 09.005.007 is offered.
"$build/src/sim/zorvan-vpanel" --version 09.005.006 --typepan 0001 >"$panel_out" 2>"$panel_err" &
panel=$!
trap 'kill $panel 2>/dev/null || true; rm -f "$panel_out" "$panel_err" "$cli_err"' EXIT
for _ in $(seq 50); do [ -s "$panel_out" ] && break; sleep 0.1; done
port=$(head -1 "$panel_out")

start=$(date +%s.%N)
status=0
"$build/src/cli/zorvan-cli" --port "$port" flash >"$panel_out.version" 2>"$cli_err" || status=$?
end=$(date +%s.%N)
kill -TERM $panel; wait $panel || true
tail -2 "$cli_err"
cat "$panel_out.version"; rm -f "$panel_out.version"
if [ "$status" -ne 0 ]; then
  echo "flash failed with status $status" >&2
  exit 1
fi
read -r received sent < <(sed -n 's/.*bytes received \([0-9]*\), sent \([0-9]*\).*/\1 \2/p' "$panel_err")
awk -v s="$start" -v e="$end" -v r="$received" -v w="$sent" 'BEGIN {
  wall = e - s; bytes = r + w; line = bytes * 11 / 19200; waits = 4 + 45.3;
  printf "bytes exchanged: %d (to the panel %d, from it %d)\n", bytes, r, w;
  printf "line time at 19200 bit/s, 11 bits a character: %.1f s\nwall time: %.1f s\n", line, wall;
  printf "ratio: %.3f\nratio without the erase and the 45.3 s programming wait: %.3f\n", wall / line, (wall - waits) / line }'
