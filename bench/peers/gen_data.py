"""Writes the peer comparison's data file: 1,000,000 records of id, region (50 texts), customer
(1,000 texts, a quarter of them "Gold ..."), channel (3 texts), amount (a float with two
decimals) and qty (an integer), the same shape as bench_analysis writes for itself."""
import random
import sys

TIERS = ["Gold", "Silver", "Bronze", "Basic"]
CHANNELS = ["web", "store", "phone"]


def main(path, n=1000000):
    rng = random.Random(5)
    with open(path, "w", newline="") as out:
        out.write("id,region,customer,channel,amount,qty\r\n")
        lines = []
        for i in range(1, n + 1):
            c = rng.randrange(1000)
            a = rng.randrange(10000000)
            lines.append(f"{i},region {rng.randrange(50)},{TIERS[c % 4]} customer {c},"
                         f"{CHANNELS[rng.randrange(3)]},{a // 100}.{a % 100:02d},{rng.randrange(501)}\r\n")
            if len(lines) == 100000:
                out.writelines(lines)
                lines.clear()
        out.writelines(lines)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 1000000)
