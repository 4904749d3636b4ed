"""Prints the peer comparison from the files run.sh leaves in its work folder, and checks that
the pivot's totals by region and channel agree with pandas."""
import csv
import json
import math
import sys

STEPS = [("range_filter", "BM_RangeFilter"), ("like_filter", "BM_LikeFilter"),
         ("group_sum", "BM_FirstGroupingAfterLoad"), ("pivot", "BM_PivotFirstFullCalculation")]


def main(work):
    pandas = json.load(open(f"{work}/pandas.json"))
    duckdb = json.load(open(f"{work}/duckdb.json"))
    korvan = {}
    for b in json.load(open(f"{work}/korvan.json"))["benchmarks"]:
        korvan[b["name"].split("/")[0]] = b
    print(f"{'step':14} {'Korvan ms (min/median/max)':>30} {'pandas ms':>10} {'DuckDB ms':>10} {'x pandas':>9} {'x DuckDB':>9} {'x in-process':>12}")
    for key, name in STEPS:
        k = korvan[name]
        p, d = pandas[key]["median_ms"], duckdb[key]["median_ms"]
        span = f"{k['min_ms']:.1f}/{k['median_ms']:.1f}/{k['max_ms']:.1f}"
        print(f"{key:14} {span:>30} {p:10.1f} {d:10.1f} {k['median_ms'] / p:9.2f} {k['median_ms'] / d:9.2f} {k['x_baseline']:12.2f}")
    print(f"(pandas' boolean mask alone: {pandas['range_mask']['median_ms']:.1f} ms)")
    rows = lambda f: {(r[0], r[1]): [float(x) for x in r[2:]] for r in csv.reader(open(f))}
    a, b = rows(f"{work}/pandas_totals.csv"), rows(f"{work}/korvan_totals.csv")
    bad = [k for k in a if k not in b or any(not math.isclose(x, y, rel_tol=1e-9) for x, y in zip(a[k], b[k]))]
    print(f"pivot totals: {len(a)} compared, {len(bad)} differ" + (f": {bad[:5]}" if bad else ""))
    return 1 if bad or set(a) != set(b) else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
