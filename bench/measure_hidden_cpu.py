#!/usr/bin/env python3
"""Measures the CPU of a meter hidden in the tray against a visible one, both running at the same
time on one X server of their own (with `trayer` as the tray), so load from elsewhere falls on
both alike. Prints each one's average CPU (percent of one core) over the same interval.
Usage: bench/measure_hidden_cpu.py [seconds] [program]"""
import os
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
from meter_settings import write_settings  # noqa: E402
from xserver import Display, pixel, wait_for  # noqa: E402


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")  # utime + stime


def visible_windows(display):
    return len(display.find_windows("Tallyglass"))


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 30.0
    program = sys.argv[2] if len(sys.argv) > 2 else os.path.join(HERE, "..", "build", "bin",
                                                                  "tallyglass")
    display = Display()
    display.start("trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel",
                  "--width", "200", "--height", "32", "--SetDockType", "true")
    with tempfile.TemporaryDirectory() as shown_dir, tempfile.TemporaryDirectory() as hidden_dir:
        write_settings(shown_dir)
        write_settings(hidden_dir, hidden_in_tray=True)
        meters = {}
        try:
            # The tray up before the meters look for it.
            if not wait_for(lambda: pixel(display.shot(), 1085, 5) != (0, 0, 0), 20):
                sys.exit("trayer did not come up")
            meters["visible"] = display.start(program, TALLYGLASS_DATA_DIR=shown_dir)
            meters["hidden"] = display.start(program, TALLYGLASS_DATA_DIR=hidden_dir)
            if not wait_for(lambda: visible_windows(display) == 1, 20):
                sys.exit("expected one visible graph window, found %d" % visible_windows(display))
            time.sleep(3)  # start-up is not what we measure
            start = {name: cpu_seconds(p.pid) for name, p in meters.items()}
            t0 = time.monotonic()
            time.sleep(seconds)
            elapsed = time.monotonic() - t0
            used = {name: cpu_seconds(p.pid) - start[name] for name, p in meters.items()}
            if visible_windows(display) != 1:
                sys.exit("the hidden meter came back during the run")
            for name in ("visible", "hidden"):
                print("%-8s cpu: %.2f %% of one core over %.1f s" %
                      (name, 100.0 * used[name] / elapsed, elapsed))
        finally:
            for meter in meters.values():
                display.stop(meter)
            display.close()

if __name__ == "__main__":
    main()
