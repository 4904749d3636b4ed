#!/usr/bin/env bash
# Compares the analysis steps of bench_analysis with pandas and DuckDB on one data file, each
# pinned to one core: bench/peers/run.sh [core] (default 2). Needs a built build/ (or $BUILD_DIR),
# Debian's python3-pandas and node; DuckDB's node package is installed once into
# $KORVAN_PEERS_DIR (default ~/.cache/korvan-peers).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../.."
build="${BUILD_DIR:-$root/build}"
core="${1:-2}"
peers="${KORVAN_PEERS_DIR:-$HOME/.cache/korvan-peers}"
py=/usr/bin/python3
$py -c "import pandas" 2>/dev/null || { echo "python3-pandas is missing: apt-get install python3-pandas" >&2; exit 1; }
if [ ! -d "$peers/node_modules/@duckdb/node-api" ]; then
  mkdir -p "$peers"
  (cd "$peers" && npm install --no-audit --no-fund --silent @duckdb/node-api >/dev/null)
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
$py "$here/gen_data.py" "$work/sales.csv"
cp "$here/peer_duckdb.mjs" "$peers/"
echo "pandas ..." >&2
taskset -c "$core" env OPENBLAS_NUM_THREADS=1 $py "$here/peer_pandas.py" "$work/sales.csv" "$work/pandas_totals.csv" >"$work/pandas.json"
echo "DuckDB ..." >&2
taskset -c "$core" node "$peers/peer_duckdb.mjs" "$work/sales.csv" >"$work/duckdb.json"
echo "Korvan ..." >&2
KORVAN_ANALYSIS_CSV="$work/sales.csv" KORVAN_ANALYSIS_TOTALS="$work/korvan_totals.csv" \
  taskset -c "$core" "$build/bench/bench_analysis" --benchmark_format=json >"$work/korvan.json" 2>/dev/null
$py "$here/report.py" "$work"
