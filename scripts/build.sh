#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR). Used by test.sh and run.sh.
# KORVAN_CI=1 builds as CI does (.ci/run sets it): no debug information, test and benchmark
# code at -O0, test programs as unity builds; the libraries and the program keep -O2
# (cmake/BuildSpeed.cmake).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
ci=()
[ "${KORVAN_CI:-0}" = 1 ] && ci=(-DKORVAN_CI=ON)
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" "${gen[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${ci[@]}" "$@"
elif [ ${#ci[@]} -gt 0 ]; then
  cmake -S . -B "$build" "${ci[@]}" "$@"
fi
cmake --build "$build" -j "${JOBS:-$(nproc)}"
