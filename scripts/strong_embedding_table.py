#!/usr/bin/env python3
"""Compares the specified and the strong embedding on the test graphs and on
generated cores of about 50, 100 and 200 operations.

For each core, mode and constraint size it runs `velnor-cli run` (writing the
signed datapath) and `velnor-cli verify` of that datapath with null samples,
and prints one Markdown table row: the constraints placed, how many of them
are distinguishing, log10 of the report's probability of coincidence, log10
of pc_distinguishing, log10 of pc_empirical and the cost overhead.
    scripts/strong_embedding_table.py build/cli/velnor-cli [SAMPLES]
"""
import json
import math
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "tests", "data")
sys.path.insert(0, os.path.join(DATA, "characterization"))
import generate_cores  # noqa: E402  (the characterization's own generator)

KEY = ["--encodings", "1 5", "--order", "10", "--rounds", "80 64 32 16"]
UNITS = ["--adders", "2", "--multipliers", "2", "--subtractors", "1", "--comparators", "1"]


def cores(folder):
    yield "fir", os.path.join(DATA, "dfg", "fir.txt")
    yield "arf", os.path.join(DATA, "dfg", "arf.txt")
    yield "diffeq", os.path.join(DATA, "dfg", "diffeq.txt")
    for count, seed in ((50, 50), (100, 101), (200, 200)):
        path = os.path.join(folder, f"gen_{count}.txt")
        with open(path, "w") as out:
            out.write(generate_cores.core(seed, count, "+++***--", 30, "+*-"))
        yield f"gen_{count}", path


def run(cli, *arguments):
    done = subprocess.run([cli, *arguments], capture_output=True, text=True)
    return done.returncode, done.stdout, done.stderr


def log10(value):
    return "-inf" if value is None or value == 0 else f"{math.log10(value):.1f}"


def main():
    cli = os.path.abspath(sys.argv[1])
    samples = sys.argv[2] if len(sys.argv) > 2 else "10000"
    print("| core | ops | regs | mode | size | constraints | distinguishing | log10 Pc (report) "
          "| log10 pc_distinguishing | log10 pc_empirical | cost | overhead |")
    print("|---|---|---|---|---|---|---|---|---|---|---|---|")
    with tempfile.TemporaryDirectory() as folder:
        for name, path in cores(folder):
            for size in (64, 512):
                for mode in ("specified", "strong"):
                    design = os.path.join(folder, f"{name}_{mode}_{size}.json")
                    options = ["--dfg", path, "--library", os.path.join(DATA, "lib", "library_a.txt"), *UNITS,
                               *KEY, "--size", str(size), "--embedding", mode]
                    status, out, err = run(cli, "run", *options, "--json", "--datapath", design)
                    if status == 2 and "constraint size should be between 0 and " in err:
                        # A small core takes at most k(k+1)/2 bits: embed as many as it takes.
                        size_taken = err.strip().rsplit(" ", 1)[1]
                        options[options.index("--size") + 1] = size_taken
                        status, out, err = run(cli, "run", *options, "--json", "--datapath", design)
                    if status != 0:
                        print(f"| {name} | | | {mode} | {size} | refused: {err.strip()} |")
                        continue
                    figures = json.loads(out)
                    status, out, err = run(cli, "verify", *options, "--design", design, "--null-samples", samples,
                                           "--json")
                    found = json.loads(out)
                    placed = (figures["together"] if mode == "strong"
                              else found["zeros"]["total"] + found["ones"]["total"])
                    report = (f"{figures['log10_pc']:.1f}" if mode == "strong" else log10(figures["pc_phase2"]))
                    distinguishing = (f"{found['log10_pc_distinguishing']:.1f}" if mode == "strong"
                                      else log10(found["pc_distinguishing"]))
                    overhead = figures["cost_phase2"] / figures["initial_cost"] - 1
                    taken = options[options.index("--size") + 1]
                    print(f"| {name} | {figures['operations']} | {figures['registers_before']} | {mode} | {taken} "
                          f"| {placed} | {found['distinguishing']['total']} | {report} | {distinguishing} "
                          f"| {found['log10_pc_empirical']:.1f} | {figures['cost_phase2']:.4f} "
                          f"| {100 * overhead:+.2f}% |")


if __name__ == "__main__":
    main()
