#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR). Used by test.sh and run.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" "${gen[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$build" -j "${JOBS:-$(nproc)}"
