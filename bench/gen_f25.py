#!/usr/bin/env python3
"""gen_f25.py OUTPUT SIZE_MB [--history-per-drop]

Writes a valid Dynatest F25 file of about SIZE_MB megabytes: the header records (device, units,
sensor lists, calibration, operator, site), then many stations, each with its GPS position,
comment, temperatures, drops and a time history of its last drop. With --history-per-drop, as
field programs write when every history is kept, each drop is followed by its own 5185 block of 60
samples. A block names its drop, its number of sample lines, 80 microseconds between samples and
-1 (the samples follow it), and its samples are numbered from 1001. Prints nothing.
"""

import random
import sys

SENSORS = 9
DROPS_PER_STATION = 4
MAX_STATIONS = 30000  # test locations are numbered in 16 bits
MAX_SAMPLES = 30000   # and so are the samples of one drop


def header():
    lines = [
        "5001,25.31",
        '5002,FWD,"8082-117"',
        "5003,generated for benchmarking",
        "5010,0,0,0,0,0,0,0,2,0,0,0",
        "5011,x,x,04,4,7,17,30",
        "5020,150,0,200,300,450,600,900,1200,1500,1800,N0",
        "5021,300,0,0,0,0,0,0,0,0,0,N0",
        '5030,"Bench Operator"',
        '5031,"Bench Road, both lanes",x,x,AC',
        "5032,Bench section",
        '5200,"LC-5000",x,1.002,2.115',
    ]
    lines += ['%d,"S-%d",x,1.00%d,0.99%d' % (5201 + i, 101 + i, i, i) for i in range(SENSORS)]
    lines.append("5301,0,0,0,0,0,0,0,0,4,4,7,8,0")  # the first station record opens no location
    return lines


def history_block(rng, drop, samples):
    """The 5185 line of a drop's time history and its sample lines."""
    lines = ["5185,0,1,4,3,0.000,1,1,OWP,,4,4,7,8,0,%d,%d,80,-1" % (drop, samples)]
    for sample in range(1001, 1001 + samples):
        lines.append("%d,%.2f,%s" % (sample, rng.random() * 600,
                                    ",".join("%.2f" % (rng.random() * 400) for _ in range(SENSORS))))
    return lines


def station_with_histories(rng, number):
    """A station whose every drop is followed by its own 60-sample history block."""
    lines = ["5301,%d,0,0,0,%.3f,0,0,OWP,4,4,7,%d,%d" % (number, number * 0.025, 8 + number // 3600, number // 60 % 60)]
    for drop in range(1, DROPS_PER_STATION + 1):
        load = 500 + 50 * drop + rng.random()
        lines.append("%d,%.1f,%s" % (drop, load, ",".join("%.1f" % (load / (s + 1.5)) for s in range(SENSORS))))
        lines += history_block(rng, drop, 60)
    return lines


def station(rng, number, samples):
    chainage = number * 0.025
    minutes = 8 * 60 + number // 4
    lines = [
        "5301,%d,0,0,0,%.3f,0,0,OWP,4,4,7,%d,%d" % (number, chainage, (minutes // 60) % 24, minutes % 60),
        "5280,x,x,%.6f,%.6f,%.1f" % (40 + chainage / 1000, -75 - chainage / 1000, 100 + rng.random()),
        "5302,x,x,x,x,x,x,x,x,\"station %d, dry\"" % number,
        "5303,x,%.1f,%.1f,%.1f" % (20 + rng.random(), 25 + rng.random(), 18 + rng.random()),
    ]
    for drop in range(1, DROPS_PER_STATION + 1):
        load = 500 + 50 * drop + rng.random()
        deflections = ",".join("%.1f" % (load / (s + 1.5) + rng.random()) for s in range(SENSORS))
        lines.append("%d,%.1f,%s" % (drop, load, deflections))
    return lines + history_block(rng, DROPS_PER_STATION, samples)


def main():
    histories = sys.argv[3:] == ["--history-per-drop"]
    if len(sys.argv) != 3 and not histories:
        sys.stderr.write("usage: gen_f25.py OUTPUT SIZE_MB [--history-per-drop]\n")
        return 2
    target = max(1, int(float(sys.argv[2]) * 1024 * 1024))
    rng = random.Random(25)
    # About 75 bytes a sample line and 450 for the rest of a station: as many stations as the
    # size allows up to the limit, and the samples make up the rest.
    stations = max(1, min(MAX_STATIONS, target // 4000))
    samples = max(1, min(MAX_SAMPLES, (target // stations - 450) // 75))
    written = 0
    with open(sys.argv[1], "wb") as out:
        out.write(("\r\n".join(header()) + "\r\n").encode("latin-1"))
        number = 1
        while written < target and number <= MAX_STATIONS:
            lines = station_with_histories(rng, number) if histories else station(rng, number, samples)
            block = ("\r\n".join(lines) + "\r\n").encode("latin-1")
            out.write(block)
            written += len(block)
            number += 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
