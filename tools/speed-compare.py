#!/usr/bin/env python3
"""Side-by-side speed of two builds: the bench and two perft runs.

Builds an earlier commit (default ad38d56, the build before the speed work)
in a git worktree and this checkout, each with the release preset, then runs
each program of both builds alternately, RUNS times each (default 3):

  karvosel-bench                    (default depth, whole position list)
  karvosel-perft 6                  (start position)
  karvosel-perft 5 <Kiwipete>       (the second position of the perft table)

and prints every wall time, the medians, the ratio of the medians (earlier
over this one: above 1 means faster now), and the same for user CPU time.
Both builds must give the same bench total and perft counts, or it stops.

  python3 tools/speed-compare.py [--base REV] [--runs N] [--keep]

Timings need a quiet machine: nothing else running.
"""

import argparse
import os
import re
import resource
import statistics
import subprocess
import sys
import tempfile
import time

KIWIPETE = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -"
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def build(source):
    subprocess.run(["cmake", "--preset", "release"], cwd=source, check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", "--preset", "release", "-j2", "--target",
                    "karvosel-bench", "karvosel-perft"], cwd=source, check=True,
                   stdout=subprocess.DEVNULL)
    return os.path.join(source, "build", "tools")


def timed(command):
    """Wall and user seconds of one run, and its output."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_utime
    started = time.perf_counter()
    result = subprocess.run(command, check=True, stdout=subprocess.PIPE, text=True)
    wall = time.perf_counter() - started
    user = resource.getrusage(resource.RUSAGE_CHILDREN).ru_utime - before
    return wall, user, result.stdout


def count_of(name, output):
    """The bench total or the perft count, which both builds must share."""
    pattern = r"Nodes searched\s+(\d+)" if name == "bench" else r"^nodes (\d+)"
    found = re.search(pattern, output, re.MULTILINE)
    return found.group(1) if found else None


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--base", default="ad38d56", help="the earlier commit")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--keep", action="store_true", help="keep the earlier build's worktree")
    args = parser.parse_args()

    worktree = tempfile.mkdtemp(prefix="karvosel-base-")
    os.rmdir(worktree)
    subprocess.run(["git", "worktree", "add", "--detach", worktree, args.base], cwd=ROOT,
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        tools = {"earlier": build(worktree), "now": build(ROOT)}
        runs = {
            "bench": lambda t: [os.path.join(t, "karvosel-bench")],
            "perft 6": lambda t: [os.path.join(t, "karvosel-perft"), "6"],
            "perft 5 Kiwipete": lambda t: [os.path.join(t, "karvosel-perft"), "5", KIWIPETE],
        }
        for name, command in runs.items():
            times = {"earlier": [], "now": []}
            counts = set()
            for _ in range(args.runs):
                for which in ("earlier", "now"):
                    wall, user, output = timed(command(tools[which]))
                    times[which].append((wall, user))
                    counts.add(count_of(name.split()[0], output))
            if len(counts) != 1 or None in counts:
                sys.exit("%s: the builds disagree on the count: %s" % (name, sorted(map(str, counts))))
            print("== %s (count %s)" % (name, counts.pop()))
            medians = {}
            for which in ("earlier", "now"):
                walls = [w for w, _ in times[which]]
                users = [u for _, u in times[which]]
                medians[which] = (statistics.median(walls), statistics.median(users))
                print("  %-7s wall %s  median %.2f s; user median %.2f s" % (
                    which, " ".join("%.2f" % w for w in walls), *medians[which]))
            print("  faster by %.2fx (user %.2fx)" % (medians["earlier"][0] / medians["now"][0],
                                                     medians["earlier"][1] / medians["now"][1]))
    finally:
        if not args.keep:
            subprocess.run(["git", "worktree", "remove", "--force", worktree], cwd=ROOT,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


if __name__ == "__main__":
    main()
