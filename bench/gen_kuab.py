#!/usr/bin/env python3
"""gen_kuab.py OUTPUT SIZE_MB

Writes a valid KUAB FWD file of about SIZE_MB megabytes: the title line, the header lines (road,
site, operator, weather, date, sensor distances and positions, plate radius, test spacing), the
column titles, units and dash lines of a table of nine sensors with air and pavement
temperatures and a time column, then many stations with several drops each. Prints nothing.
"""

import math
import random
import sys

SENSORS = 9
MAX_STATIONS = 30000  # test locations are numbered in 16 bits
MIN_DROPS = 4
# Column widths: station, drop, load, the deflections, air, pavement, time.
WIDTHS = [7, 4, 6] + [5] * SENSORS + [5, 5, 8]
LINE_BYTES = 1 + sum(WIDTHS) + len(WIDTHS) - 1 + 2


def header():
    titles = ["Distance", "Drop", "Load"] + ["D%d" % s for s in range(SENSORS)] + ["Air", "Pave", "time"]
    units = ["m", "-", "kN"] + ["um"] * SENSORS + ["\xb0C", "\xb0C", "hh:mm:ss"]
    return [
        "KUAB 2m FWD generated for benchmarking",
        "HRoad Name: Bench Road",
        "HSite: Bench site",
        "HOperator: Bench Operator",
        "HWeather: Overcast",
        "HDate Created: 2004-04-07",
        "ISensor Distance: 0 200 300 450 600 900 1200 1500 1800 mm",
        "ISensor Position: BACK FRONT BACK BACK BACK BACK BACK BACK BACK",
        "IPlate Radius: 150 mm",
        "ITestpoint spacing: 25 m",
        "J" + " ".join(titles),
        "J" + " ".join(units),
        "J" + " ".join("-" * w for w in WIDTHS),
    ]


def row(values):
    return "D" + " ".join(str(v).rjust(w) for v, w in zip(values, WIDTHS))


def main():
    if len(sys.argv) != 3:
        sys.stderr.write("usage: gen_kuab.py OUTPUT SIZE_MB\n")
        return 2
    target = float(sys.argv[2]) * 1024 * 1024
    lines_needed = max(1, int(target / LINE_BYTES))
    drops = max(MIN_DROPS, math.ceil(lines_needed / MAX_STATIONS))
    stations = max(1, math.ceil(lines_needed / drops))
    rng = random.Random(7)
    with open(sys.argv[1], "wb") as out:
        out.write("".join(line + "\r\n" for line in header()).encode("latin-1"))
        seconds = 8 * 3600
        for number in range(stations):
            chainage = number * 25
            air = 15 + rng.random() * 5
            pave = 20 + rng.random() * 8
            chunk = []
            for drop in range(1, drops + 1):
                seconds += 7
                load = 50 + (drop % 3) * 10 + rng.random()
                deflections = ["%d" % (load * 12 / (s + 1.2) + rng.random() * 5) for s in range(SENSORS)]
                clock = "%02d:%02d:%02d" % ((seconds // 3600) % 24, (seconds // 60) % 60, seconds % 60)
                chunk.append(row([chainage, drop, "%.1f" % load] + deflections +
                                 ["%.1f" % air, "%.1f" % pave, clock]))
            out.write(("\r\n".join(chunk) + "\r\n").encode("latin-1"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
