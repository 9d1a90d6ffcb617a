#!/usr/bin/env python3
"""End to end: the real program on settings files that ask for the impossible.

A damaged or hand-edited settings file may hold any window rectangle. The meter must start, show
its window within the screen and end in order; a window of 40000 x 40000 pixels once crashed the
GL driver at the first frame. A size the window cannot be shown at counts as none saved: the
window takes its default size instead of a sliver nobody can see or grab.

An hourly history that is no database is kept aside under a dated name and a new one started;
the user is told once, and the day history is not touched.
"""
import datetime
import os
import sqlite3
import subprocess
import sys
import tempfile

from meter_run import Checks, Meter, history_lines, seed_history, told
from meter_settings import write_settings
from xserver import SCREEN

RECTS = [(10, 10, 40000, 40000), (10, 10, 2147483647, 2147483647), (10, 10, 100000, 90),
         (10, 10, 320, 70000), (10, 10, 0, 0), (10, 10, -5, 300)]
check = Checks()


def window_size(pid):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                           capture_output=True, text=True).stdout.split()
    if not found:
        return None
    shell = subprocess.run(["xdotool", "getwindowgeometry", "--shell", found[0]],
                           capture_output=True, text=True).stdout
    values = dict(line.split("=", 1) for line in shell.split() if "=" in line)
    return int(values["WIDTH"]), int(values["HEIGHT"])


def damaged_hourly_history(program):
    with tempfile.TemporaryDirectory() as folder:
        seeded = seed_history(folder, datetime.date.today() - datetime.timedelta(days=1), 30)
        garbage = bytes(range(256)) * 64
        with open(os.path.join(folder, "history.sqlite"), "wb") as out:
            out.write(garbage)
        meter = Meter(program, folder)
        try:
            shown = meter.wait_for_window()
            code, err = meter.stop()
        finally:
            meter.ensure_ended()
        check(shown and code == 0, "damaged history.sqlite: exit %s: %s" % (code, err))
        kept = sorted(name for name in os.listdir(folder) if name.startswith("history.sqlite.bad-"))
        check(len(kept) == 1 and open(os.path.join(folder, kept[0]), "rb").read() == garbage,
              "damaged history.sqlite: kept as %s" % kept)
        tables = sqlite3.connect(os.path.join(folder, "history.sqlite")).execute(
            "SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name").fetchall()
        check({("hours",), ("interfaces",)} <= set(tables),
              "the new history.sqlite holds %s" % tables)
        check(history_lines(folder)[:len(seeded)] == seeded, "the seeded days changed")
        lines = [line for line in told(err) if "history.sqlite" in line]
        check(len(lines) == 1 and kept and kept[0] in lines[0],
              "told of the damaged history.sqlite: %s" % told(err))
        print("damaged history.sqlite: kept as %s; told %r" % (kept, lines))


def main():
    program = sys.argv[1]
    for rect in RECTS:
        with tempfile.TemporaryDirectory() as folder:
            write_settings(folder, rect=rect)
            meter = Meter(program, folder)
            try:
                shown = meter.wait_for_window()
                size = window_size(meter.proc.pid) if shown else None
                code, err = meter.stop()
            finally:
                meter.ensure_ended()
        print("saved %s: window %s, exit %s" % (rect, size, code))
        check(shown, "saved %s: no window (exit %s: %s)" % (rect, meter.proc.returncode, err))
        check(code == 0, "saved %s: exit %s: %s" % (rect, code, err))
        check(size is None or (20 <= size[0] <= SCREEN[0] and 20 <= size[1] <= SCREEN[1]),
              "saved %s: a window of %s on a %s screen" % (rect, size, SCREEN))
    damaged_hourly_history(program)
    check.finish("%d passed" % (len(RECTS) + 1))


if __name__ == "__main__":
    main()
