#!/usr/bin/env python3
"""Runs commands in turn, A B A B ..., and prints each one's median wall and CPU seconds.

    paired_runs.py [--runs N] [--warmup W] 'CMD_A' 'CMD_B' ['CMD_C' ...]

Each CMD is one argument: a program and its arguments in shell quoting, optionally ending in
"> FILE"; it is started directly, not through a shell, whose start would add to every figure. Every round runs each command once,
in the order given, so a change in the machine's load falls on all of them alike. CPU time is
user + system time of the command and its children (wait4), which a shared machine disturbs
far less than wall time. Prints one line per command: "wall cpu peak_mb ratio", the medians
of the rounds, the peak resident memory of any round, and the median of the rounds' CPU-time
ratios against the last command (the anchor).
"""
import os
import shlex
import statistics
import subprocess
import sys
import tempfile
import time


def split(command):
    """The program's words and the file its output goes to (None: nowhere)."""
    words = shlex.split(command)
    if len(words) >= 3 and words[-2] == ">":
        return words[:-2], words[-1]
    return words, None


def run_once(command):
    words, output = split(command)
    out = open(output, "wb") if output else subprocess.DEVNULL
    start = time.perf_counter()
    child = subprocess.Popen(words, stdout=out, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    err = child.stderr.read().decode(errors="replace")
    child.stderr.close()
    if output:
        out.close()
    if child.returncode != 0:
        sys.exit("failed (%d): %s\n%s" % (child.returncode, command, err[-400:]))
    return wall, usage.ru_utime + usage.ru_stime


def peak_mb(command):
    with tempfile.NamedTemporaryFile("r") as out:
        words, output = split(command)
        with open(output or os.devnull, "wb") as sink:
            subprocess.run(["/usr/bin/time", "-f", "%M", "-o", out.name] + words, stdout=sink,
                           stderr=subprocess.DEVNULL, check=True)
        return int(out.read().split()[-1]) / 1024.0


def main(argv):
    runs, warmup = 5, 1
    while argv and argv[0].startswith("--"):
        option = argv.pop(0)
        if option == "--runs":
            runs = int(argv.pop(0))
        elif option == "--warmup":
            warmup = int(argv.pop(0))
        else:
            sys.exit("unknown option " + option)
    commands = argv
    if len(commands) < 2 or any(not c for c in commands):
        sys.exit(__doc__)
    for _ in range(warmup):
        for command in commands:
            run_once(command)
    results = [[] for _ in commands]
    for _ in range(runs):
        for i, command in enumerate(commands):
            results[i].append(run_once(command))
    anchor = results[-1]
    for command, rounds in zip(commands, results):
        ratio = statistics.median(r[1] / a[1] if a[1] > 0 else float("nan")
                                  for r, a in zip(rounds, anchor))
        print("%.4f %.4f %.1f %.3f" % (statistics.median(r[0] for r in rounds),
                                       statistics.median(r[1] for r in rounds),
                                       peak_mb(command), ratio))


if __name__ == "__main__":
    main(sys.argv[1:])
