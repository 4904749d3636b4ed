"""Times the analysis steps with pandas on one core: CPU time of each step, medians of five
runs. Prints one JSON object; with a second argument, writes the pivot's totals by region and
channel (the same lines bench_analysis writes) to that file."""
import json
import statistics
import sys
import time

import pandas as pd

RUNS = 5


def timed(step):
    times = []
    for _ in range(RUNS):
        t0 = time.process_time()
        step()
        times.append(time.process_time() - t0)
    return {"min_ms": min(times) * 1e3, "median_ms": statistics.median(times) * 1e3, "max_ms": max(times) * 1e3}


def main(path, totals_path=None):
    df = pd.read_csv(path)
    for c in ("region", "customer", "channel"):
        df[c] = df[c].astype(object)
    out = {}
    out["range_filter"] = timed(lambda: df[(df.amount >= 1000) & (df.amount <= 2000)])
    out["range_mask"] = timed(lambda: (df.amount >= 1000) & (df.amount <= 2000))
    out["like_filter"] = timed(lambda: df[df.customer.str.contains("Gold", regex=False)])
    out["group_sum"] = timed(lambda: df.groupby(["region", "customer"], sort=True).amount.sum())
    out["pivot"] = timed(lambda: pd.pivot_table(df, index=["region", "customer"], columns="channel", values="amount",
                                                aggfunc=["sum", "mean", "count"], margins=True))
    if totals_path:
        g = df.groupby(["region", "channel"]).amount.agg(["sum", "mean", "count"])
        r = df.groupby(["region"]).amount.agg(["sum", "mean", "count"])
        c = df.groupby(["channel"]).amount.agg(["sum", "mean", "count"])
        with open(totals_path, "w") as f:
            f.write(f",,{df.amount.sum()!r},{df.amount.mean()!r},{df.amount.count()}\n")
            for ch, row in c.iterrows():
                f.write(f",{ch},{row['sum']!r},{row['mean']!r},{int(row['count'])}\n")
            for reg, row in r.iterrows():
                f.write(f"{reg},,{row['sum']!r},{row['mean']!r},{int(row['count'])}\n")
            for (reg, ch), row in g.iterrows():
                f.write(f"{reg},{ch},{row['sum']!r},{row['mean']!r},{int(row['count'])}\n")
    print(json.dumps(out))


if __name__ == "__main__":
    main(*sys.argv[1:])
