#!/usr/bin/env python3
"""Writes the generated DSP cores of the characterization tests.

Each core is a random but reproducible data-flow graph: a 64-bit linear
congruential generator (not Python's own random, so that the files never depend
on the interpreter's version) picks each operation's type from the core's mix
and each operand as a primary input or an earlier operation, mostly a recent
one so that the graph has depth as well as width. Run in this folder:
    python3 generate_cores.py
"""

class Lcg:
    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFFFFFFFFFF

    def below(self, bound):
        self.state = (self.state * 6364136223846793005 + 1442695040888963407) & 0xFFFFFFFFFFFFFFFF
        return (self.state >> 33) % bound


def core(seed, count, mix, primary_percent, types):
    """mix: the operator characters, each as often as it should be drawn."""
    rng = Lcg(seed)
    lines = []
    for op in range(1, count + 1):
        operator = mix[rng.below(len(mix))]
        operands = []
        for _ in range(2):
            if op == 1 or rng.below(100) < primary_percent:
                operands.append(0)
            elif rng.below(4) == 0:
                operands.append(1 + rng.below(op - 1))          # anywhere earlier
            else:
                operands.append(max(1, op - 1 - rng.below(8)))  # one of the last eight
        lines.append(f"{operator} {operands[0]} {operands[1]} {op}")
    text = "\n".join(lines) + "\n"
    assert set(types) == {line[0] for line in lines}, (seed, types)
    return text


CORES = [
    # name, seed, operations, operator mix, percent of primary operands, types that must occur
    ("gen_30.txt", 30, 30, "++**-<", 45, "+*-<"),
    ("gen_100.txt", 100, 100, "+++***--/", 35, "+*-/"),
    ("gen_247.txt", 247, 247, "+++****--</", 30, "+*-</"),
    ("gen_380.txt", 380, 380, "++++*****-", 25, "+*-"),
    ("gen_895.txt", 895, 895, "+++****", 20, "+*"),
]

if __name__ == "__main__":
    for name, seed, count, mix, primary, types in CORES:
        with open(name, "w") as out:
            out.write(core(seed, count, mix, primary, types))
