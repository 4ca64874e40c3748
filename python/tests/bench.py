"""Benchmark figures of the Python package, printed and never asserted: the
call overhead of a small game from Python against the program run as a
process, and a Banzhaf index of 1000 players from Python against the same
count on the command line. CPU time (user + system) of this process or of
its children, as the machine is shared; each figure with its ratio to the
command line measured in the same run."""

import os
import random
import resource
import subprocess
import sys

import vkx

BINARY = os.environ["VKX_BINARY"]


def cpu(who):
    r = resource.getrusage(who)
    return r.ru_utime + r.ru_stime


def measured(who, work):
    before = cpu(who)
    work()
    return cpu(who) - before


def program(args, times=1):
    for _ in range(times):
        subprocess.run([BINARY, *args], stdout=subprocess.DEVNULL, check=True)


def main():
    calls = 1000
    small = {"A": 3, "B": 2, "C": 1}
    py = measured(resource.RUSAGE_SELF, lambda: [vkx.banzhaf(small, 4) for _ in range(calls)])
    args = ["banzhaf", "--weights", "A:3,B:2,C:1", "--winset", "4", "--format", "csv"]
    cl = measured(resource.RUSAGE_CHILDREN, lambda: program(args, calls))
    print("small game x %d: Python %.3f s CPU (%.0f us a call), %d vkx processes %.3f s CPU "
          "(%.0f us each): ratio %.3f" % (calls, py, py / calls * 1e6, calls, cl,
                                          cl / calls * 1e6, py / cl))

    rng = random.Random(1)
    weights = [rng.randint(1, 1000) for _ in range(1000)]
    py = measured(resource.RUSAGE_SELF, lambda: vkx.banzhaf(weights, "50%"))
    args = ["banzhaf", "--weights", ",".join(map(str, weights)), "--winset", "50%",
            "--format", "csv"]
    cl = measured(resource.RUSAGE_CHILDREN, lambda: program(args))
    print("Banzhaf of 1000 players (weights 1..1000, quota 50%%): Python %.3f s CPU, "
          "the vkx process %.3f s CPU: ratio %.3f" % (py, cl, py / cl))
    sys.stdout.flush()


if __name__ == "__main__":
    main()
