#!/usr/bin/env python3
"""Prints the benchmark's table from the figures run-bench collected.

Lines read:  start LIST SORT PROGRAM ROUND MS RSS_KB       size PROGRAM BYTES
             PROGRAM click I COPIED_MS SAVED_MS       PROGRAM rss mark-K KB
For each list and order: median, min and max of each program's start-up,
the ratio of the medians, and the median of the ratios of one round's runs
(paired, so a slow moment of the shared machine hits both sides)."""
import statistics
import sys
from collections import defaultdict


def median(values):
    return statistics.median(values) if values else float("nan")


def main(path):
    starts = defaultdict(dict)   # (list, sort) -> program -> round -> (ms, kb)
    clicks, marks, sizes = defaultdict(list), defaultdict(dict), {}
    adds = defaultdict(list)   # (program, N) -> ms
    for line in open(path):
        f = line.split()
        if not f:
            continue
        if f[0] == "start" and len(f) == 7:
            starts[(f[1], f[2])].setdefault(f[3], {})[int(f[4])] = (float(f[5]), int(f[6]))
        elif len(f) == 5 and f[1] == "add":
            adds[(f[0], int(f[2]))].append(float(f[4]))
        elif len(f) == 5 and f[1] == "click":
            clicks[f[0]].append((float(f[3]), float(f[4])))
        elif len(f) == 4 and f[1] == "rss" and f[2].startswith("mark-"):
            marks[f[0]][int(f[2][5:])] = int(f[3] or 0)
        elif f[0] == "size" and len(f) == 3:
            sizes[f[1]] = int(f[2])

    def order(key):
        name, sort = key
        n = name.split("-")[1]
        return (name.endswith("long"), int(n), sort)

    print("\nStart-up, CreateProcess until the window shows all N entries (ms):")
    print(f"{'list':<15}{'order':<9}{'program':<14}{'median':>8}{'min':>8}{'max':>8}"
          f"{'÷minimal':>10}{'paired':>8}{'÷min+load':>10}{'paired':>8}{'RSS MB':>8}")
    for key in sorted(starts, key=order):
        programs = starts[key]
        base = programs.get("minimal", {})
        load = programs.get("minimal+load", {})
        for program in ["minimal", "minimal+load"] + sorted(p for p in programs if p.startswith("vombly")):
            runs = programs.get(program)
            if not runs:
                continue
            ms = [v[0] for v in runs.values()]
            kb = [v[1] for v in runs.values() if v[1] > 0]

            def ratios(other):
                if not other:
                    return "", ""
                whole = median(ms) / median([v[0] for v in other.values()])
                paired = median([runs[r][0] / other[r][0] for r in runs if r in other])
                return f"{whole:.2f}", f"{paired:.2f}"

            r1 = ratios(base) if program != "minimal" else ("", "")
            r2 = ratios(load) if program.startswith("vombly") else ("", "")
            print(f"{key[0]:<15}{key[1]:<9}{program:<14}{median(ms):8.1f}{min(ms):8.1f}{max(ms):8.1f}"
                  f"{r1[0]:>10}{r1[1]:>8}{r2[0]:>10}{r2[1]:>8}{median(kb) / 1024 if kb else 0:8.1f}")

    for program in sorted(clicks):
        runs = clicks[program]
        copied = [c for c, _ in runs if c >= 0]
        saved = [s for _, s in runs if s >= 0]
        print(f"\nDouble-click, {program}, {len(runs)} clicks on a list of 100 (ms after SendInput):")
        for name, values in (("clipboard changed", copied), ("settings file replaced", saved)):
            if values:
                print(f"  {name:<24} median {median(values):6.1f}  min {min(values):6.1f}  "
                      f"max {max(values):7.1f}  (missed {len(runs) - len(values)})")
    for program in sorted(set(p for p, _ in adds)):
        print(f"\nAdd, {program}: OK until the list file is replaced (ms):")
        medians = {}
        for (p, n), values in sorted(adds.items()):
            done = [v for v in values if v >= 0]
            if p != program or not done:
                continue
            medians[n] = median(done)
            print(f"  at {n:>6} entries  median {median(done):6.1f}  min {min(done):6.1f}  max {max(done):7.1f}"
                  f"  (missed {len(values) - len(done)})")
        if 100 in medians and 10000 in medians:
            print(f"  10,000 ÷ 100: {medians[10000] / medians[100]:.2f}")
    for program in sorted(marks):
        held = marks[program]
        print(f"\nResident memory of {program} during the double-clicks:")
        for k in sorted(held):
            grown = f"  (+{(held[k] - held[0]) / 1024:.1f} MB since before the first click)" if 0 in held and k else ""
            print(f"  after {k:>5} clicks  {held[k] / 1024:6.1f} MB{grown}")
    print()
    for exe, size in sorted(sizes.items()):
        print(f"Size of {exe}.exe: {size / 1024:.0f} KB ({size} bytes)")


if __name__ == "__main__":
    main(sys.argv[1])
