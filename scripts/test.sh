#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. PNG sheets land in build/sheets.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
build=${BUILD_DIR:-build}
cd "$build"
ctest --output-on-failure -j "${JOBS:-$(nproc)}"
