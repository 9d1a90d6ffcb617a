#!/usr/bin/env python3
"""End to end: midnight passing while the real program runs, its clock set by libfaketime.

Traffic is sent before midnight and after it; the history then holds a line for each day with
that day's traffic (within 1 %), and the quota counts what its period holds. Two nights:
- 14 to 15 March, quota periods beginning on the 1st: the quota keeps counting both days;
- 31 December to 1 January, the same quota: a month and a year end, and the quota period rolls
  over, so it holds the new day's traffic alone and its next period is 1 February.

The clock the program sees starts a little before midnight; a machine too slow to send the
first day's traffic well before midnight gets another try with a longer lead. Skipped (exit code
77) without libfaketime.
"""
import datetime
import os
import sys
import tempfile
import time

from loopback import make_loopback_traffic, run_in_own_network, write_settings_counting_loopback
from meter_run import (Checks, MiB, Meter, day_amounts, history_lines, loopback_bytes,
                       preload)

SKIP = 77
SENT = 200 * 1048576  # bytes of payload on each side of midnight
check = Checks()


def close(recorded, carried):
    return abs(recorded - carried) <= 0.01 * carried


def write_quota(folder, next_period, uploaded, downloaded):
    """An active quota of 100 GB in total, periods beginning on the 1st."""
    with open(os.path.join(folder, "capwarden.dat"), "w") as out:
        out.write("V1.0.0\n1\n%d\n%d\n%d\n102400.000000\n-1.000000\n-1.000000\n%f\n%f\n1\n1\n"
                  % (next_period.day, next_period.month, next_period.year, uploaded, downloaded))


def read_quota(folder):
    with open(os.path.join(folder, "capwarden.dat")) as f:
        v = f.read().split()
    return datetime.date(int(v[4]), int(v[3]), int(v[2])), float(v[8]), float(v[9])


class TooSlow(Exception):
    pass


def one_night(program, ld_preload, last_day, next_period, lead):
    """Runs the meter from `lead` seconds before the midnight after `last_day`. Returns the
    loopback bytes (received, sent) of each day and the folder's history and quota."""
    midnight = datetime.datetime.combine(last_day + datetime.timedelta(days=1), datetime.time())
    start = midnight - datetime.timedelta(seconds=lead)
    with tempfile.TemporaryDirectory() as folder:
        write_settings_counting_loopback(folder)
        write_quota(folder, next_period, 300.0, 500.0)
        launched = time.monotonic()
        meter = Meter(program, folder, env={
            "LD_PRELOAD": ld_preload, "FAKETIME": start.strftime("@%Y-%m-%d %H:%M:%S")})

        def until_midnight():
            return lead - (time.monotonic() - launched)

        try:
            check(meter.wait_for_window(), "the meter showed no window")
            time.sleep(2.0)  # a graph step or two: the first walk has set every baseline
            if until_midnight() < 10:
                raise TooSlow()
            before = loopback_bytes()
            make_loopback_traffic(total_bytes=SENT)
            first = loopback_bytes()
            if until_midnight() < 6:  # the meter must take a step or two before midnight
                raise TooSlow()
            time.sleep(until_midnight() + 3.0)
            second_start = loopback_bytes()
            make_loopback_traffic(total_bytes=SENT)
            end = loopback_bytes()
            code, err = meter.stop()  # its exit save samples the last traffic
        finally:
            meter.ensure_ended()
        check(code == 0, "exit code %s: %s" % (code, err))
        days = [(first[0] - before[0], first[1] - before[1]),
                (end[0] - second_start[0], end[1] - second_start[1])]
        return days, history_lines(folder), read_quota(folder)


def night(program, ld_preload, name, last_day, next_period, quota_rolls):
    for lead in (25, 75, 150):
        try:
            days, lines, quota = one_night(program, ld_preload, last_day, next_period, lead)
            break
        except TooSlow:
            print("%s: the machine is slow; trying again with %d s before midnight" % (name, lead))
    else:
        check(False, "%s: too slow even with the longest lead" % name)
        return
    dates = [last_day, last_day + datetime.timedelta(days=1)]
    print("%s: history %s" % (name, lines))
    check(len(lines) == 2, "%s: expected two days, got %s" % (name, lines))
    for date, (received, sent) in zip(dates, days):
        amounts = day_amounts(lines, date)
        check(amounts is not None, "%s: no line for %s" % (name, date))
        if amounts:
            down, up = amounts
            print("%s: %s downloaded %.3f MB (lo %.3f), uploaded %.3f MB (lo %.3f)" %
                  (name, date, down, received / MiB, up, sent / MiB))
            check(close(down, received / MiB) and close(up, sent / MiB),
                  "%s: %s holds %.3f / %.3f MB, the interface carried %.3f / %.3f MB" %
                  (name, date, down, up, received / MiB, sent / MiB))

    period, uploaded, downloaded = quota
    counted = days[1:] if quota_rolls else days
    want_down = sum(d[0] for d in counted) / MiB + (0 if quota_rolls else 500.0)
    want_up = sum(d[1] for d in counted) / MiB + (0 if quota_rolls else 300.0)
    want_period = datetime.date(dates[1].year, dates[1].month % 12 + 1, 1) if quota_rolls \
        else next_period
    print("%s: quota %.3f / %.3f MB (expected %.3f / %.3f), next period %s" %
          (name, downloaded, uploaded, want_down, want_up, period))
    check(close(downloaded, want_down) and close(uploaded, want_up),
          "%s: the quota counts %.3f / %.3f MB, expected %.3f / %.3f" %
          (name, downloaded, uploaded, want_down, want_up))
    check(period == want_period, "%s: next period %s, expected %s" % (name, period, want_period))


def main():
    program = sys.argv[1]
    ld_preload = preload(program)
    if ld_preload is None:
        print("skipped: libfaketime is not installed (Debian package faketime)")
        sys.exit(SKIP)
    run_in_own_network()
    night(program, ld_preload, "midnight", datetime.date(2026, 3, 14),
          datetime.date(2026, 4, 1), quota_rolls=False)
    night(program, ld_preload, "year end", datetime.date(2026, 12, 31),
          datetime.date(2027, 1, 1), quota_rolls=True)
    check.finish("passed")


if __name__ == "__main__":
    main()
