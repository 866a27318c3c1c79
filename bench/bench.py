#!/usr/bin/env python3
"""Times whole conversions with the built program against cp of the same bytes in the same run.

bench.py [--inih INI_PARSE] [--throws COUNT_THROWS_SO] VANTREL [CASE...]
(cases: pddx, pddx-histories, f25, f25-histories, kuab, batch; default all)

For each case it generates the input once, then alternates runs of `cp INPUT`, `vantrel convert`,
`cp OUTPUT` and, for the PDDX case, INI_PARSE INPUT (inih parsing the file and storing nothing),
several times, and reports the best time of each: the conversion's time and MB/s, its ratio to cp
of input plus output, its ratio to inih (each also in processor time, which a busy machine
disturbs less), the peak memory of the whole process per element created, and (with --throws,
a library preloaded to count them) the C++ exceptions the conversion threw, which should be none.
Targets: PDDX within 0.8 times inih; F25 with histories within 6 times cp, other F25 and KUAB
within 10; every case at most 64 bytes per element beyond the text of the values, which the
document keeps as they stand (the peak per element is printed too).

The same input is then converted again, converted with its type told by its content (no -t),
checked, exported as CSV and exported with --indices, in turn, and their times are shown against
that conversion's (export writes its rows on one thread for each processor): detection
reads 8 KiB more, which the noise of a run hides; check parses every number of every drop
(target: within 1.5 times the conversion); export writes every drop again, for reference; export
--indices also reads the load and the four deflections the indices take and computes and writes the five indices of every drop
(target: within 2 times the conversion). Their memory stays under 400 bytes per element.

The batch case converts 2,000 small F25 files with `batch -j 1`, `-j 2` and one job for each
processor, and reports files per second against the number of jobs; target: -j 2 at least 1.7
times -j 1 where there are two processors. Its files lie in memory (/dev/shm) where there is
such a folder: on a disk the file system's own allocation of 4,000 new files a run dominates and
varies from run to run. Beside it, two -j 1 batches run at once against one after the other show
what the machine itself gives two processes. Exits 1 when a target is missed."""
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
RUNS = 5
MAX_BYTES_PER_ELEMENT = 64
MAX_CP_RATIO = 10
MAX_HISTORIES_CP_RATIO = 6
MAX_INIH_RATIO = 0.8
MAX_CHECK_RATIO = 1.5
MAX_INDICES_RATIO = 2


def generate_with(script, *args):
    def generate(path):
        subprocess.run([sys.executable, os.path.join(HERE, script), path] + [str(a) for a in args], check=True)
    return generate


CASES = {
    "pddx": ("pddx", "SURVEY.DDX", generate_with("gen_pddx.py", 2000, 500)),  # 2,000 locations of 500 drops: 66 MB
    # 2,000 locations of 4 drops, each with a history of 124 samples: a million elements, 90 MB.
    "pddx-histories": ("pddx", "HISTORY.DDX", generate_with("gen_pddx.py", 2000, 4, 124)),
    "f25": ("f25", "SURVEY.F25", generate_with("gen_f25.py", 100)),
    "f25-histories": ("f25", "HISTORY.F25", generate_with("gen_f25.py", 100, "--history-per-drop")),
    "kuab": ("kuab", "SURVEY.FWD", generate_with("gen_kuab.py", 50)),
}


def timed(command, check=True):
    """Wall and processor (user + system) seconds of one run of `command`."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run(command, check=check, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return wall, (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def peak_kib(command, check=True):
    result = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, check=check,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    return int(result.stderr.strip().splitlines()[-1])


def run_commands(vantrel, kind, source, work, elements):
    """Detection, check, export and export --indices of the same input, against the conversion
    timed in the same rounds (a conversion timed beside cp ran up to a fifth slower, as cp's pages
    had just filled the memory, and flattered every ratio); check exits 4 when it finds something."""
    settings = ["--settings", os.path.join(work, "none.bag")]
    csv = os.path.join(work, "drops.csv")
    commands = {
        "convert": [vantrel] + settings + ["convert", "-t", kind, source, "-o", os.path.join(work, "again.DDX")],
        "detected": [vantrel] + settings + ["convert", source, "-o", os.path.join(work, "detected.DDX")],
        "check": [vantrel] + settings + ["check", "-t", kind, source],
        "export": [vantrel] + settings + ["export", "-t", kind, source, "-o", csv],
        "export --indices": [vantrel] + settings + ["export", "--indices", "-t", kind, source, "-o", csv],
    }
    targets = {"check": MAX_CHECK_RATIO, "export --indices": MAX_INDICES_RATIO}
    best = {name: float("inf") for name in commands}
    for _ in range(RUNS):
        for name, command in commands.items():
            best[name] = min(best[name], timed(command, check=False)[0])
    convert_time = best["convert"]
    extra = best["detected"] / convert_time - 1
    print(f"  conversion in these rounds: {convert_time:.3f} s")
    print(f"  detected type: {best['detected']:.3f} s, {extra * 100:+.1f} % against -t")
    ok = True
    for name in ("check", "export", "export --indices"):
        peak = peak_kib(commands[name], check=False) * 1024
        ratio = best[name] / convert_time
        target = f" (target <= {targets[name]})" if name in targets else ""
        print(f"  {name} {best[name]:.3f} s, {ratio:.2f} times the conversion{target}; "
              f"peak memory {peak / 1e6:.1f} MB = {peak / elements:.0f} bytes per element (target < 400)")
        ok = ok and peak / elements < 400 and ratio <= targets.get(name, ratio)
    return ok


def elements_created(path):
    """The elements the document held: the 67 of the template, 9 per test location, 10 per
    calibration history, and one per drop and drop-history sample (written whether or not empty
    ones were left out of the file); and the bytes of the values written, which the document
    keeps as they are."""
    locations = histories = drops = value_bytes = 0
    with open(path, "rb") as f:
        for line in f:
            if line.startswith(b"[Test Location "):
                locations += 1
            elif line.startswith(b"[Device Calibration_"):
                histories += 1
            elif line.startswith(b"DropData_") or line.startswith(b"DropHistoryData_"):
                drops += 1
            equals = line.find(b" = ")
            if equals >= 0:
                value_bytes += len(line) - equals - 5  # " = " and CR LF
    return 67 + 9 * locations + 10 * histories + drops, value_bytes


def exceptions_thrown(command, library):
    """The C++ exceptions one run threw, counted by the preloaded library."""
    result = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=False,
                            env=dict(os.environ, LD_PRELOAD=library))
    counts = [line for line in result.stderr.decode("latin-1").splitlines() if line.startswith("exceptions thrown: ")]
    return int(counts[-1].split(": ")[1])


def run_case(vantrel, inih, name, work, throws=None):
    kind, input_name, generate = CASES[name]
    source = os.path.join(work, input_name)
    generate(source)
    output = os.path.join(work, "out.DDX")
    convert = [vantrel, "--settings", os.path.join(work, "none.bag"), "convert", "-t", kind, source, "-o", output]
    subprocess.run(convert, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)  # warm the cache, make the output
    commands = {"cp_in": ["cp", source, os.path.join(work, "copy.in")], "convert": convert,
                "cp_out": ["cp", output, os.path.join(work, "copy.out")]}
    if kind == "pddx" and inih:
        commands["inih"] = [inih, source]
    best = {key: float("inf") for key in commands}
    cpu = {key: float("inf") for key in commands}
    for _ in range(RUNS):
        for key, command in commands.items():
            wall, used = timed(command)
            best[key] = min(best[key], wall)
            cpu[key] = min(cpu[key], used)
    peak = peak_kib(convert) * 1024
    in_mb = os.path.getsize(source) / 1e6
    out_mb = os.path.getsize(output) / 1e6
    elements, value_bytes = elements_created(output)
    cp_ratio = best["convert"] / (best["cp_in"] + best["cp_out"])
    # The same in processor time, which a busy machine disturbs far less than wall time.
    cp_cpu_ratio = cpu["convert"] / (cpu["cp_in"] + cpu["cp_out"])
    per_element = peak / elements
    # What the store costs beyond the text of the values themselves, which no store can drop.
    beyond_values = (peak - value_bytes) / elements
    ok = beyond_values <= MAX_BYTES_PER_ELEMENT
    print(f"{name}: input {in_mb:.1f} MB, output {out_mb:.1f} MB, {elements} elements created")
    print(f"  time {best['convert']:.3f} s ({in_mb / best['convert']:.0f} MB/s); "
          f"cp input {best['cp_in']:.3f} s + cp output {best['cp_out']:.3f} s")
    print(f"  processor time {cpu['convert']:.3f} s; cp input {cpu['cp_in']:.3f} s + cp output {cpu['cp_out']:.3f} s")
    if "inih" in best:
        inih_ratio = best["convert"] / best["inih"]
        ok = ok and inih_ratio <= MAX_INIH_RATIO
        print(f"  ratio to cp {cp_ratio:.1f} (processor time {cp_cpu_ratio:.1f}); ratio to inih {inih_ratio:.2f} "
              f"(processor time {cpu['convert'] / cpu['inih']:.2f}; inih parse only {best['inih']:.3f} s; "
              f"target <= {MAX_INIH_RATIO})")
    else:
        limit = MAX_HISTORIES_CP_RATIO if name == "f25-histories" else MAX_CP_RATIO
        ok = ok and (kind == "pddx" or cp_ratio <= limit)
        print(f"  ratio to cp {cp_ratio:.1f} (processor time {cp_cpu_ratio:.1f})" +
              ("" if kind == "pddx" else f" (target <= {limit})"))
    print(f"  peak memory {peak / 1e6:.1f} MB = {per_element:.0f} bytes per element; beyond the "
          f"{value_bytes / elements:.0f} bytes of its value, {beyond_values:.0f} (target <= {MAX_BYTES_PER_ELEMENT})")
    if throws:
        thrown = exceptions_thrown(convert, throws)
        print(f"  exceptions thrown: {thrown} (target 0)")
        ok = ok and thrown == 0
    return run_commands(vantrel, kind, source, work, elements) and ok


BATCH_FILES = 2000
MIN_TWO_JOBS_SPEEDUP = 1.7


def run_batch(vantrel, work):
    """2,000 small F25 files of a few stations each, converted one at a time and several at a time."""
    memory = "/dev/shm"
    work = tempfile.mkdtemp(prefix="vantrel-batch-", dir=memory) if os.path.isdir(memory) else work
    try:
        return time_batches(vantrel, work)
    finally:
        if work.startswith(memory):
            shutil.rmtree(work, ignore_errors=True)


def time_batches(vantrel, work):
    folder = os.path.join(work, "batch")
    os.mkdir(folder)
    for i in range(BATCH_FILES):
        lines = ["5001,25.31", "5020,150,0,200,300,N0"]
        for station in range(1, 4):
            lines.append(f"5301,0,0,0,0,{station},0,0,L,21,01,01,10,00")
            lines += [f"1,{550 + i % 7}.2,412,301,{200 + station}" for _ in range(4)]
        with open(os.path.join(folder, f"RUN{i:05d}.F25"), "w", newline="") as f:
            f.write("\r\n".join(lines) + "\r\n")
    open(os.path.join(work, "none.bag"), "w").close()

    def batch(jobs, output):
        shutil.rmtree(os.path.join(work, output), ignore_errors=True)
        return [vantrel, "--settings", os.path.join(work, "none.bag"), "batch", "-q", "-j", str(jobs), "-t", "f25",
                "--output-dir", os.path.join(work, output), os.path.join(folder, "RUN00000.F25")]

    def two_at_once():
        commands = [batch(1, "a"), batch(1, "b")]
        start = time.perf_counter()
        running = [subprocess.Popen(c, stdout=subprocess.DEVNULL) for c in commands]
        if any(p.wait() != 0 for p in running):
            sys.exit("a batch failed")
        return time.perf_counter() - start

    cores = os.cpu_count() or 1
    jobs = sorted({1, 2, cores})
    best = {n: float("inf") for n in jobs}
    together = float("inf")
    for _ in range(RUNS):
        for n in jobs:
            best[n] = min(best[n], timed(batch(n, f"out{n}"))[0])
        together = min(together, two_at_once())
    print(f"batch: {BATCH_FILES} files of {os.path.getsize(os.path.join(folder, 'RUN00000.F25'))} bytes, "
          f"{cores} processors, in {work}")
    for n in jobs:
        print(f"  -j {n}: {best[n]:.3f} s, {BATCH_FILES / best[n]:.0f} files/s, {best[1] / best[n]:.2f} times -j 1")
    print(f"  two -j 1 batches at once: {2 * best[1] / together:.2f} times one after the other (what the machine "
          "gives two processes)")
    if cores < 2:
        return True
    speedup = best[1] / best[2]
    print(f"  -j 2 against -j 1: {speedup:.2f} (target >= {MIN_TWO_JOBS_SPEEDUP})")
    return speedup >= MIN_TWO_JOBS_SPEEDUP


def main():
    args = sys.argv[1:]
    inih = throws = None
    while args[:1] in (["--inih"], ["--throws"]):
        if args[0] == "--inih":
            inih = os.path.abspath(args[1])
        else:
            throws = os.path.abspath(args[1])
        args = args[2:]
    vantrel = os.path.abspath(args[0])
    names = args[1:] or list(CASES) + ["batch"]
    ok = True
    for name in names:
        work = tempfile.mkdtemp(prefix="vantrel-bench-", dir=os.environ.get("VANTREL_BENCH_DIR"))
        try:
            ok = (run_batch(vantrel, work) if name == "batch" else run_case(vantrel, inih, name, work, throws)) and ok
        finally:
            shutil.rmtree(work, ignore_errors=True)
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
