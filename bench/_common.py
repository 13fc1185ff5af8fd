"""What the benchmarks share: where the build is, Wine, and run counts."""
import os
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
build = os.environ.get("KANNE_BUILD", os.path.join(root, "build", "x86_64"))
wine = os.environ["WINE64"]  # set by scripts/wine-env
runs = int(os.environ.get("KANNE_BENCH_RUNS", "15"))
kanne = os.environ.get("KANNE_BENCH_KANNE", os.path.join(build, "kanne.exe"))


def winpath(path):
    """The path as a Windows program under Wine sees it."""
    return "Z:" + path.replace("/", "\\")


def wait_for(path, seconds=30):
    end = time.time() + seconds
    while not os.path.exists(path):
        if time.time() > end:
            raise SystemExit("timed out waiting for " + path)
        time.sleep(0.01)
