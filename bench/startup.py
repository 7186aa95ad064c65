#!/usr/bin/env python3
"""How long the empty editor takes to map its window, against a Qt window holding a table.

    bench/startup.py [--runs N] [BUILD]

BUILD (default: build) is a build with LEXANTA_BENCH=ON. The programs start in turn, A B A B,
on a display of their own (Xvfb with openbox, as a desktop would have a window manager), with a
fresh home folder each (no settings, no recent file, no recovery copy). A program's window is
mapped when openbox lists it on the root window (_NET_CLIENT_LIST, followed with xprop -spy, so
nothing polls); at that moment its wall time since the start and the CPU time of all its
threads (schedstat, in nanoseconds) are taken, and it is ended. Prints the medians of each and
the median of the rounds' ratios, editor over the table window.
"""
import glob
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time


WAIT_S = 60


def cpu_seconds(pid):
    total = 0
    for path in glob.glob("/proc/%d/task/*/schedstat" % pid):
        try:
            with open(path) as f:
                total += int(f.read().split()[0])
        except (OSError, ValueError, IndexError):
            pass  # a thread that ended meanwhile
    return total / 1e9


def client_count(line):
    # "_NET_CLIENT_LIST(WINDOW): window id # 0x..., 0x..." or "... not found."
    return line.count("0x")


class Display:
    def __init__(self):
        self.number = next(n for n in range(91, 200) if not os.path.exists("/tmp/.X%d-lock" % n))
        self.name = ":%d" % self.number
        self.server = subprocess.Popen(["Xvfb", self.name, "-screen", "0", "1280x1024x24",
                                        "-nolisten", "tcp"], stderr=subprocess.DEVNULL)
        for _ in range(200):
            if os.path.exists("/tmp/.X11-unix/X%d" % self.number):
                break
            time.sleep(0.02)
        env = dict(os.environ, DISPLAY=self.name)
        self.manager = subprocess.Popen(["openbox"], env=env, stderr=subprocess.DEVNULL)
        # xprop -spy follows a property only once it exists: openbox has to set it first.
        for _ in range(500):
            listed = subprocess.run(["xprop", "-root", "_NET_CLIENT_LIST"], env=env,
                                    capture_output=True, text=True).stdout
            if "window id" in listed:
                break
            time.sleep(0.02)
        self.spy = subprocess.Popen(["stdbuf", "-oL", "xprop", "-spy", "-root",
                                     "_NET_CLIENT_LIST"], env=env, stdout=subprocess.PIPE,
                                    text=True, bufsize=1)
        self.clients = client_count(self.spy.stdout.readline())

    def wait_for_new_client(self):
        # A program that never maps a window, or a window manager that went away, ends the run.
        def give_up(signum, frame):
            sys.exit("no new window listed within %d s (is openbox still running?)" % WAIT_S)
        signal.signal(signal.SIGALRM, give_up)
        signal.alarm(WAIT_S)
        try:
            self._wait_for_new_client()
        finally:
            signal.alarm(0)

    def _wait_for_new_client(self):
        while True:
            line = self.spy.stdout.readline()
            if not line:
                sys.exit("xprop ended")
            count = client_count(line)
            grew = count > self.clients
            self.clients = count
            if grew:
                return

    def wait_for_client_gone(self):
        while self.clients > 0:
            self.clients = client_count(self.spy.stdout.readline())

    def close(self):
        for p in (self.spy, self.manager, self.server):
            p.terminate()
            p.wait()


def run_once(display, program):
    home = tempfile.mkdtemp(prefix="lexanta_startup.")
    env = dict(os.environ, DISPLAY=display.name, HOME=home, XDG_CONFIG_HOME=home + "/config",
               XDG_DATA_HOME=home + "/data", XDG_CACHE_HOME=home + "/cache",
               XDG_STATE_HOME=home + "/state")
    env.pop("QT_QPA_PLATFORM", None)
    start = time.perf_counter()
    child = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    try:
        display.wait_for_new_client()
    except SystemExit:
        child.kill()
        raise
    wall = time.perf_counter() - start
    cpu = cpu_seconds(child.pid)
    child.send_signal(signal.SIGTERM)
    try:
        child.wait(timeout=10)
    except subprocess.TimeoutExpired:
        child.kill()
        child.wait()
    display.wait_for_client_gone()
    shutil.rmtree(home, ignore_errors=True)
    return wall, cpu


def main(argv):
    runs = 7
    if argv[:1] == ["--runs"]:
        runs = int(argv[1])
        argv = argv[2:]
    build = os.path.abspath(argv[0] if argv else "build")
    programs = [os.path.join(build, "lexanta-editor"), os.path.join(build, "minimal_table_window")]
    for p in programs:
        if not os.access(p, os.X_OK):
            sys.exit("missing %s (build with -DLEXANTA_BENCH=ON)" % p)
    for tool in ("Xvfb", "openbox", "xprop", "stdbuf"):
        if not shutil.which(tool):
            sys.exit("missing %s (scripts/setup screenshot)" % tool)
    display = Display()
    try:
        for p in programs:  # warm-up: libraries and fonts into the cache
            run_once(display, p)
        rounds = [[run_once(display, p) for p in programs] for _ in range(runs)]
    finally:
        display.close()
    print("%d rounds, load %s" % (runs, open("/proc/loadavg").read().split()[0]))
    for i, p in enumerate(programs):
        walls = [r[i][0] for r in rounds]
        cpus = [r[i][1] for r in rounds]
        print("%-22s wall %.3f s  cpu %.3f s" % (os.path.basename(p), statistics.median(walls),
                                                 statistics.median(cpus)))
    print("editor / table window: wall %.2f, cpu %.2f" % (
        statistics.median(r[0][0] / r[1][0] for r in rounds),
        statistics.median(r[0][1] / r[1][1] for r in rounds)))


if __name__ == "__main__":
    main(sys.argv[1:])
