#!/usr/bin/env bash
# Installs what is missing, builds and starts the program. Without a display it starts a
# virtual one (Xvfb) so that the window can still be shown and captured.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
build=${BUILD_DIR:-build}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display found; starting the program on a virtual display (Xvfb). Stop it with Ctrl+C." >&2
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$build/app/korvan" "$@"
fi
exec "$build/app/korvan" "$@"
