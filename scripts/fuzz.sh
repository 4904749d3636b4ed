#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz (libFuzzer, in the clang sanitizer build of
# scripts/sanitize.sh) and runs each for a bounded time on a copy of its seed corpus.
#   scripts/fuzz.sh                 every target, 60 seconds each
#   scripts/fuzz.sh csv 600         one target (one of the list below), 600 seconds
#   scripts/fuzz.sh all 300         every target, 300 seconds each
#   scripts/fuzz.sh deps            installs what the targets need (clang and libFuzzer), once
# Findings (crash-*, leak-*, timeout-*, oom-*) are written to build-asan/fuzz/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = deps ]; then
  # libFuzzer comes with clang's runtime libraries.
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends clang
  major=$(clang --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -1)
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "libclang-rt-$major-dev" \
    || DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends libclang-rt-dev
  exit 0
fi
targets=(csv streams formtext pictures masks formats import writers forms docklayout filters operations)
[ $# -ge 1 ] && [ "$1" != all ] && targets=("$1")
seconds=${2:-60}
build=${BUILD_DIR:-build-asan}
BUILD_DIR=$build scripts/sanitize.sh configure
cmake -S . -B "$build" -DKORVAN_FUZZ=ON >/dev/null
cmake --build "$build" -j "${JOBS:-$(nproc)}" --target "${targets[@]/#/fuzz_}"
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp}
for t in "${targets[@]}"; do
  work="$build/fuzz/$t"
  mkdir -p "$work/corpus"
  cp -n tests/fuzz/corpus/"$t"/* "$work/corpus/" 2>/dev/null || true
  echo "fuzz: $t for ${seconds}s"
  (cd "$work" && "../../tests/fuzz/fuzz_$t" -max_total_time="$seconds" -rss_limit_mb=1024 -malloc_limit_mb=1024 -timeout=5 \
     -max_len=65536 corpus)
done
