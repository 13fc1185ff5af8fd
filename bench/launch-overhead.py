#!/usr/bin/env python3
"""Launch overhead of kanne.exe against a bare JNI host of ours.

Both start the same jvm.dll (the test runtime) with the same options and call
the same main method; the time from process start to main's first line is
measured for each, in alternating runs, and the ratio of the medians printed.
Run under the environment of scripts/wine-env (scripts/bench does that).
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from _common import build, kanne, root, runs, wine, winpath


def first_line_delay(command, folder):
    marker = os.path.join(folder, "first-line.txt")
    if os.path.exists(marker):
        os.remove(marker)
    start = time.time()
    subprocess.run(command, cwd=folder, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(marker) as f:
        return int(f.read()) / 1e6 - start


def main():
    work = tempfile.mkdtemp(prefix="kanne-bench-")
    classes = os.path.join(work, "classes")
    subprocess.run(["javac", "--release", "17", "-d", classes, os.path.join(root, "bench", "java", "FirstLine.java")],
                   check=True)
    home = winpath(os.path.join(build, "testjvm-home"))
    options = ["-Djava.class.path=" + winpath(classes), "-Xss1m"]
    shutil.copy(kanne, os.path.join(work, "Bench.exe"))
    with open(os.path.join(work, "Bench.ini"), "w", newline="\r\n") as ini:
        ini.write("[Class Path]\nClass Path=%s\n[Java Runtime Environment]\nMain Class=FirstLine\n"
                  "JRE Path=%s\nVirtual Machine Parameters=-Xss1m\n" % (winpath(classes), home))
    launcher = [wine, os.path.join(work, "Bench.exe")]
    host = [wine, os.path.join(build, "jnihost.exe"), home + "\\bin\\server\\jvm.dll", "FirstLine"]
    for option in options:
        host += ["--option", option]

    first_line_delay(launcher, work)  # warm caches once for each
    first_line_delay(host, work)
    kanne_times, host_times = [], []
    for _ in range(runs):
        kanne_times.append(first_line_delay(launcher, work))
        host_times.append(first_line_delay(host, work))
    shutil.rmtree(work, ignore_errors=True)

    k, h = statistics.median(kanne_times), statistics.median(host_times)
    print("launch to first line of main, median of %d alternating runs under Wine:" % runs)
    print("  kanne.exe        %7.1f ms" % (k * 1000))
    print("  bare JNI host    %7.1f ms" % (h * 1000))
    print("  ratio            %7.3f (aim: at most 1.05)" % (k / h))


if __name__ == "__main__":
    sys.exit(main())
