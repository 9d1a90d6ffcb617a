#!/usr/bin/env python3
"""End to end: a kill storm on a ten-year history.

The real program starts again and again on the same data folder, each run ended by SIGTERM and a
SIGKILL 0-30 ms later, at a random moment: while it starts, while it runs, while its exit save
writes. Some runs carry loopback traffic. After every run the history holds every seeded day
exactly as seeded, reads whole (no line the meter could not take, so no keepsake), and has at
most one line more: today's; stats.dat never holds traffic the monitored interfaces' hours in
history.sqlite lack (killed between the two files, the hours lead until a later start catches
up). One orderly run afterwards leaves no temporary file, and its stats.dat holds what the hours
hold.
"""
import datetime
import os
import random
import sqlite3
import sys
import tempfile
import threading
import time

from loopback import make_loopback_traffic, run_in_own_network, write_settings_counting_loopback
from meter_run import Checks, Meter, history_lines, leftover_temporaries, seed_history

RUNS = int(os.environ.get("TALLYGLASS_KILL_STORM_RUNS", "50"))
check = Checks()


def line_date(line):
    day, month, year = (int(v) for v in line.split()[:3])
    return datetime.date(year, month, day)


def check_history(folder, seeded, run):
    lines = history_lines(folder)
    check(lines is not None, "run %s: stats.dat is gone" % run)
    if lines is None:
        return
    check(lines[:len(seeded)] == seeded,
          "run %s: the seeded days changed (%d lines, first difference at %s)" %
          (run, len(lines), next((i for i, (a, b) in enumerate(zip(lines, seeded)) if a != b),
                                  "the end")))
    # Beyond them only today's line (and yesterday's, should midnight pass during the storm).
    extra = lines[len(seeded):]
    last_seeded = line_date(seeded[-1])
    check(len(extra) <= 2 and all(line_date(line) > last_seeded for line in extra),
          "run %s: lines beyond the seeded days: %r" % (run, extra[:3]))
    keepsakes = [name for name in os.listdir(folder) if ".bad" in name]
    check(not keepsakes, "run %s: the meter found a damaged history: %s" % (run, keepsakes))


# stats.dat writes MB with six decimals: a run that reads the day back and saves it again moves it
# by at most half a millionth of a MB against the hours, which are whole bytes; the storm adds
# that up over its runs.
ROUNDING_MB = 0.5e-6 + 1e-9


def meter_totals(folder, seeded):
    """(downloaded, uploaded) MB of the days the meter counted, in stats.dat and in the monitored
    hours of history.sqlite."""
    lines = (history_lines(folder) or [])[len(seeded):]
    days = (sum(float(line.split()[4]) for line in lines),
            sum(float(line.split()[3]) for line in lines))
    path = os.path.join(folder, "history.sqlite")
    if not os.path.exists(path):
        return days, (0.0, 0.0)
    db = sqlite3.connect("file:%s?mode=ro" % path, uri=True)
    try:
        received, sent = db.execute(
            "SELECT total(received), total(sent) FROM hours WHERE monitored = 1").fetchone()
    finally:
        db.close()
    return days, (received / 1048576, sent / 1048576)


class HourChecks:
    """The hours are saved just before stats.dat: a kill between the two leaves stats.dat behind
    the hours until a later start catches up with them, and never ahead of them."""

    def __init__(self, folder, seeded):
        self.folder, self.seeded = folder, seeded
        self.runs = 0
        self.behind = 0

    def after(self, run, whole=False):
        self.runs += 1
        days, hours = meter_totals(self.folder, self.seeded)
        ahead = [h - d for d, h in zip(days, hours)]
        bound = self.runs * ROUNDING_MB  # each run may round the day once
        check(all(a >= -bound for a in ahead),
              "run %s: stats.dat holds %s MB the hours lack" % (run, [-a for a in ahead]))
        behind = any(a > bound for a in ahead)
        self.behind += behind
        check(not (whole and behind),
              "after the orderly run the hours are %s MB ahead of stats.dat" % ahead)


def main():
    program = sys.argv[1]
    run_in_own_network()
    seed = int(os.environ.get("TALLYGLASS_KILL_STORM_SEED", time.time()))
    print("seed %d (TALLYGLASS_KILL_STORM_SEED repeats this storm)" % seed)
    rng = random.Random(seed)
    ways = {0: "in order", -9: "by SIGKILL", -15: "by SIGTERM before its handler"}
    ended = dict.fromkeys(ways.values(), 0)
    left_temporary = 0
    with tempfile.TemporaryDirectory() as folder:
        write_settings_counting_loopback(folder)
        yesterday = datetime.date.today() - datetime.timedelta(days=1)
        seeded = seed_history(folder, yesterday, 3653)
        hours = HourChecks(folder, seeded)
        for run in range(1, RUNS + 1):
            meter = Meter(program, folder, stderr=False)
            traffic = None
            try:
                # A third of the runs end while the meter starts; the rest once its window is up.
                if rng.random() < 1 / 3:
                    time.sleep(rng.uniform(0.0, 1.0))
                else:
                    meter.wait_for_window()
                    if run % 3 == 0:
                        traffic = threading.Thread(target=make_loopback_traffic,
                                                   kwargs={"seconds": 1.5})
                        traffic.start()
                    time.sleep(rng.uniform(0.0, 1.5))
                code = meter.terminate_then_kill(rng.uniform(0.0, 0.030))
            finally:
                meter.ensure_ended()
                if traffic:
                    traffic.join()
            check(code in ways, "run %s: exit code %s" % (run, code))
            if code in ways:
                ended[ways[code]] += 1
            left_temporary += bool(leftover_temporaries(folder))
            check_history(folder, seeded, run)
            hours.after(run)

        meter = Meter(program, folder)
        try:
            check(meter.wait_for_window(), "the orderly run showed no window")
            code, err = meter.stop()
        finally:
            meter.ensure_ended()
        check(code == 0, "the orderly run ended with %s: %s" % (code, err))
        check_history(folder, seeded, "orderly")
        left = leftover_temporaries(folder)
        check(not left, "temporary files after the orderly run: %s" % left)
        hours.after("orderly", whole=True)

    print("%d runs: ended %s; %d left a temporary file the next start removed; %d left stats.dat "
          "behind the hours for a later start" %
          (RUNS, ", ".join("%s %d" % item for item in ended.items()), left_temporary,
           hours.behind))
    check.finish("all %d runs kept every day" % RUNS)


if __name__ == "__main__":
    main()
