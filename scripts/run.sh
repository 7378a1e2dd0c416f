#!/usr/bin/env bash
# Builds everything and starts zorvan-config. With a serial port path (for example
# /dev/ttyUSB0) the connection dialog offers that port; without one, the built-in
# virtual panel. Without a display it runs under a virtual X server.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/build.sh"
program="$build/src/ui/zorvan-config"
if [ $# -gt 0 ]; then args=(--port "$1"); else args=(--virtual); fi
if [ -z "${DISPLAY:-}" ]; then
  echo "No display: starting under xvfb-run." >&2
  exec xvfb-run -a -s "-screen 0 1280x900x24" "$program" "${args[@]}"
fi
exec "$program" "${args[@]}"
