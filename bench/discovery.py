#!/usr/bin/env python3
"""Runtime discovery with 1,000 registered runtimes against none.

Half of the runtimes are registered as JREs, half as JDKs, with varied
versions; each has a runtime home of empty files (bin\\java.dll and a client or
server jvm.dll). kanne.exe runs with --kanne-diagnose=<file> in alternating
runs, the registry filled before one and emptied before the next, and the
discovery time the report states (the chain as a launch runs it, measured
inside the process) is compared, as is the whole process's time. A third
configuration puts all 1,000 outside the version range: discovery then only
lists the subkey names, one registry round trip each, which is the floor.
Run under the environment of scripts/wine-env (scripts/bench does that). It
replaces HKEY_LOCAL_MACHINE\\Software\\JavaSoft of that Wine prefix.
"""
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
build = os.environ.get("KANNE_BUILD", os.path.join(root, "build", "x86_64"))
wine = os.environ["WINE64"]
runs = int(os.environ.get("KANNE_BENCH_RUNS", "15"))
registered = 1000
target_ms = 20.0


def winpath(path):
    return "Z:" + path.replace("/", "\\")


def wine_run(*args):
    subprocess.run([wine, *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def lay_out_runtimes(folder):
    """Returns the lines of a .reg file registering the runtimes."""
    lines = ["REGEDIT4", ""]
    for kind, key in (("jre", "Java Runtime Environment"), ("jdk", "Java Development Kit")):
        for i in range(registered // 2):
            version = "1.%d.0_%02d" % (4 + i % 5, i)  # 1.4 to 1.8, updates 0 to 499
            home = os.path.join(folder, "%s%s" % (kind, version))
            runtime = os.path.join(home, "jre") if kind == "jdk" else home
            flavour = "server" if i % 3 == 0 else "client"
            os.makedirs(os.path.join(runtime, "bin", flavour))
            open(os.path.join(runtime, "bin", "java.dll"), "w").close()
            open(os.path.join(runtime, "bin", flavour, "jvm.dll"), "w").close()
            lines.append("[HKEY_LOCAL_MACHINE\\Software\\JavaSoft\\%s\\%s]" % (key, version))
            lines.append('"JavaHome"="%s"' % winpath(home).replace("\\", "\\\\"))
            lines.append("")
    return lines


def clear_registry():
    subprocess.run([wine, "reg", "delete", "HKLM\\Software\\JavaSoft", "/f"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def diagnose(exe, report, expect_subkeys):
    if os.path.exists(report):
        os.remove(report)
    start = time.perf_counter()
    subprocess.run([wine, exe, "--kanne-diagnose=" + winpath(report)],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wall = (time.perf_counter() - start) * 1000
    with open(report, encoding="latin-1") as f:
        text = f.read()
    listed = "Java Runtime Environment: %s" % expect_subkeys
    if listed not in text:
        sys.exit("unexpected registry state: %r not in the report:\n%s" % (listed, text[:3000]))
    chain = float(re.search(r"Discovery as a launch runs it took ([0-9.]+) ms", text).group(1))
    full = float(re.search(r"Examining every source for this report took ([0-9.]+) ms", text).group(1))
    return chain, full, wall


def main():
    work = tempfile.mkdtemp(prefix="kanne-bench-discovery-")
    try:
        app = os.path.join(work, "app")
        os.makedirs(app)
        settings = "[Class Path]\nClass Path=app.jar\n[Java Runtime Environment]\nMain Class=demo.Main\n"
        exe = os.path.join(app, "Bench.exe")
        shutil.copy(os.path.join(build, "kanne.exe"), exe)
        with open(os.path.join(app, "Bench.ini"), "w", newline="\r\n") as ini:
            ini.write(settings)
        listing_exe = os.path.join(app, "Listing.exe")
        shutil.copy(os.path.join(build, "kanne.exe"), listing_exe)
        with open(os.path.join(app, "Listing.ini"), "w", newline="\r\n") as ini:
            ini.write(settings + "Maximum Version=1.0\n")
        reg = os.path.join(work, "runtimes.reg")
        with open(reg, "w", newline="\r\n") as f:
            f.write("\n".join(lay_out_runtimes(os.path.join(work, "runtimes"))) + "\n")
        report = os.path.join(work, "report.txt")

        def empty():
            clear_registry()
            return diagnose(exe, report, "not present")

        def full():
            clear_registry()
            wine_run("reg", "import", winpath(reg))
            many = diagnose(exe, report, "%d subkeys" % (registered // 2))
            return many, diagnose(listing_exe, report, "%d subkeys" % (registered // 2))

        empty(), full()  # warm caches once for each
        none_times, many_times, listing_times = [], [], []
        for _ in range(runs):
            none_times.append(empty())
            many, listing = full()
            many_times.append(many)
            listing_times.append(listing)
        clear_registry()
    finally:
        shutil.rmtree(work, ignore_errors=True)

    def median(samples, field):
        return statistics.median(s[field] for s in samples)

    print("runtime discovery, %d registered runtimes against none, median of %d alternating runs under Wine:"
          % (registered, runs))
    print("                                      none    %5d   difference" % registered)
    for label, field in (("discovery as a launch runs it", 0), ("examination for the report", 1),
                         ("whole process (start to exit)", 2)):
        a, b = median(none_times, field), median(many_times, field)
        print("  %-32s %7.2f ms %7.2f ms %8.2f ms" % (label, a, b, b - a))
    listing = median(listing_times, 0) - median(none_times, 0)
    print("  listing the %d subkey names alone (all outside the version range) %.2f ms: the floor,"
          % (registered, listing))
    print("  one registry round trip each (%.1f us)" % (listing * 1000 / registered))
    a, b = median(none_times, 0), median(many_times, 0)
    print("  ratio of the discovery times %.1f; difference %.2f ms (aim: below %.0f ms)" % (b / a if a else 0,
                                                                                           b - a, target_ms))


if __name__ == "__main__":
    sys.exit(main())
