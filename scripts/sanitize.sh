#!/usr/bin/env bash
# Builds everything with clang, AddressSanitizer and UndefinedBehaviorSanitizer into its own
# build directory (build-asan, or $BUILD_DIR) and runs every test there; the first error
# stops the test that meets it. Not part of CI (it takes a while). Extra arguments go to ctest
# (for example -R test_data); `scripts/sanitize.sh configure` only configures the directory.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
build=${BUILD_DIR:-build-asan}
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" "${gen[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER="${CC:-clang}" -DCMAKE_CXX_COMPILER="${CXX:-clang++}" \
    -DKORVAN_SANITIZE=ON -DKORVAN_BENCH=OFF
fi
[ "${1:-}" = configure ] && exit 0
cmake --build "$build" -j "${JOBS:-$(nproc)}"
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp}
cd "$build"
ctest --output-on-failure -j "${JOBS:-$(nproc)}" "$@"
