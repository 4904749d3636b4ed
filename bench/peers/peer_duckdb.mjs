// Times the analysis steps with DuckDB on one thread: CPU time of each step (process.cpuUsage),
// medians of five runs. Prints one JSON object.
import { DuckDBInstance } from "@duckdb/node-api";

const RUNS = 5;
const path = process.argv[2];

async function timed(conn, sql) {
  const times = [];
  for (let i = 0; i < RUNS; ++i) {
    const t0 = process.cpuUsage();
    await conn.run(sql);
    const d = process.cpuUsage(t0);
    times.push((d.user + d.system) / 1e3);
  }
  times.sort((a, b) => a - b);
  return { min_ms: times[0], median_ms: times[Math.floor(RUNS / 2)], max_ms: times[RUNS - 1] };
}

const db = await DuckDBInstance.create(":memory:", { threads: "1" });
const conn = await db.connect();
await conn.run(`CREATE TABLE sales AS SELECT * FROM read_csv('${path}', header = true)`);
const out = {};
// A filter is timed as a count of the matching records (no result rows); a grouping keeps its
// result as a table.
out.range_filter = await timed(conn, "SELECT count(*) FROM sales WHERE amount BETWEEN 1000 AND 2000");
out.like_filter = await timed(conn, "SELECT count(*) FROM sales WHERE customer LIKE '%Gold%'");
out.group_sum = await timed(conn,
  "CREATE OR REPLACE TEMP TABLE r AS SELECT region, customer, sum(amount) FROM sales GROUP BY region, customer ORDER BY region, customer");
out.pivot = await timed(conn,
  "CREATE OR REPLACE TEMP TABLE r AS SELECT region, customer, channel, sum(amount), avg(amount), count(amount) FROM sales " +
  "GROUP BY GROUPING SETS ((region, customer, channel), (region, customer), (region, channel), (region), (channel), ())");
console.log(JSON.stringify(out));
