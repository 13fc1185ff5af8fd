#!/usr/bin/env python3
"""Single-instance hand-over latency.

A first instance of kanne.exe runs a Java application; each later start's
arguments travel to its secondaryMain. The time from the later start's process
creation to the secondaryMain call is compared with the time of a bare process
start that exits at once (jnihost without arguments), in alternating runs.
Run under the environment of scripts/wine-env.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from _common import build, kanne, root, runs, wait_for, wine, winpath


def main():
    work = tempfile.mkdtemp(prefix="kanne-bench-")
    classes = os.path.join(work, "classes")
    subprocess.run(["javac", "--release", "17", "-d", classes, os.path.join(root, "bench", "java", "Forwarded.java")],
                   check=True)
    exe = os.path.join(work, "Forward.exe")
    shutil.copy(kanne, exe)
    with open(os.path.join(work, "Forward.ini"), "w", newline="\r\n") as ini:
        ini.write("[Application]\nSingle Instance=yes\n[Class Path]\nClass Path=%s\n"
                  "[Java Runtime Environment]\nMain Class=Forwarded\nJRE Path=%s\n"
                  % (winpath(classes), winpath(os.path.join(build, "testjvm-home"))))
    first = subprocess.Popen([wine, exe], cwd=work, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_for(os.path.join(work, "running.txt"))

    arrived = os.path.join(work, "arrived.txt")
    bare = [wine, os.path.join(build, "jnihost.exe")]
    forward_times, bare_times = [], []
    for _ in range(runs + 1):
        if os.path.exists(arrived):
            os.remove(arrived)
        start = time.time()
        subprocess.run([wine, exe, "x"], cwd=work, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(arrived)
        with open(arrived) as f:
            forward_times.append(int(f.read()) / 1e6 - start)
        start = time.time()
        subprocess.run(bare, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        bare_times.append(time.time() - start)
    open(os.path.join(work, "stop.txt"), "w").close()
    first.wait(timeout=30)
    shutil.rmtree(work, ignore_errors=True)

    f, b = statistics.median(forward_times[1:]), statistics.median(bare_times[1:])
    print("later start to secondaryMain, median of %d alternating runs under Wine:" % runs)
    print("  hand-over            %7.1f ms" % (f * 1000))
    print("  bare process start   %7.1f ms" % (b * 1000))
    print("  ratio                %7.3f (aim: at most 1.5)" % (f / b))


if __name__ == "__main__":
    sys.exit(main())
