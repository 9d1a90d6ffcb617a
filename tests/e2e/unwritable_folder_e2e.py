#!/usr/bin/env python3
"""End to end: a data folder the meter cannot write to.

full-disk: the folder is a full 256 KiB tmpfs (room, once freed, for the hourly history with its
write-ahead log and 32 KiB index). The meter runs and ends in order; every data file
stays byte for byte as it was, no temporary file remains, exit code 0, and it says so once on
standard error. With space freed, the next run saves its day.
read-only: the folder is a read-only bind mount. The same: nothing lost, nothing left, told once.

Each runs in a private mount namespace and needs root; elsewhere it is skipped (exit code 77).
"""
import datetime
import errno
import os
import subprocess
import sys
import tempfile

from meter_run import (Checks, Meter, files_of, history_lines,
                       leftover_temporaries, seed_history, told)
from meter_settings import write_settings
from namespaces import run_in_own_namespaces

SKIP = 77
DATA_FILES = ["stats.dat", "settings.dat", "capwarden.dat", "webstats.dat"]
check = Checks()


def seed_folder(folder):
    """A user's folder: a quota that is on (so it is saved at exit too), a history up to
    yesterday (so the exit save adds today's line). Returns the history's lines."""
    write_settings(folder)
    with open(os.path.join(folder, "capwarden.dat"), "w") as out:
        out.write("V1.0.0\n1\n1\n1\n2999\n5120.000000\n-1.000000\n-1.000000\n"
                  "100.250000\n1234.500000\n1\n1\n")
    with open(os.path.join(folder, "webstats.dat"), "w") as out:
        out.write("V1.0.0\n\n\n\n\n\n21\n30000\n0\n")
    return seed_history(folder, datetime.date.today() - datetime.timedelta(days=1), 100)


def mount(*args):
    subprocess.run(["mount"] + list(args), check=True)


def unmount_all(scratch):
    """Our mounts go before the scratch folder does (they would go with the namespace too)."""
    with open("/proc/self/mounts") as table:
        points = [line.split()[1] for line in table if line.split()[1].startswith(scratch)]
    for point in reversed(points):
        subprocess.run(["umount", "-l", point], check=True)


def run_and_stop(program, folder):
    """One run of the meter; returns its exit code and standard error."""
    meter = Meter(program, folder)
    try:
        check(meter.wait_for_window(), "the meter showed no window")
        return meter.stop()
    finally:
        meter.ensure_ended()


def run_unable_to_save(program, folder, reason):
    """A run that cannot save: files unchanged, nothing left behind, told once why."""
    before = files_of(folder, DATA_FILES)
    code, err = run_and_stop(program, folder)
    check(code == 0, "exit code %s; stderr: %s" % (code, err))
    check(files_of(folder, DATA_FILES) == before, "a data file changed")
    check(not leftover_temporaries(folder),
          "temporary files left: %s" % leftover_temporaries(folder))
    lines = told(err)
    print("told: %s" % lines)
    check(len(lines) == 1 and folder in lines[0] and os.strerror(reason) in lines[0],
          "expected one line naming %s and %r, got %r" % (folder, os.strerror(reason), lines))


def run_saving(program, folder, seeded):
    """A run that can save: today's line added, every seeded day kept, nothing said."""
    code, err = run_and_stop(program, folder)
    check(code == 0, "exit code %s; stderr: %s" % (code, err))
    check(not told(err), "the meter reported %r" % told(err))
    lines = history_lines(folder)
    check(lines[:len(seeded)] == seeded, "the seeded days changed")
    # Today's line; two should the run span midnight.
    check(len(seeded) < len(lines) <= len(seeded) + 2,
          "today's line was not saved: %r" % lines[len(seeded):])
    check(not leftover_temporaries(folder), "temporary files left")


def full_disk(program, scratch):
    folder = os.path.join(scratch, "tmpfs")
    os.mkdir(folder)
    mount("-t", "tmpfs", "-o", "size=256k,mode=0700", "tmpfs", folder)
    seeded = seed_folder(folder)
    filler = os.path.join(folder, "filler")
    out = os.open(filler, os.O_WRONLY | os.O_CREAT, 0o600)
    try:
        while True:
            os.write(out, b"\0" * 4096)
    except OSError as error:
        if error.errno != errno.ENOSPC:
            raise
    finally:
        os.close(out)
    print("disk full: %d bytes of filler" % os.path.getsize(filler))
    run_unable_to_save(program, folder, errno.ENOSPC)

    os.remove(filler)
    run_saving(program, folder, seeded)


def read_only(program, scratch):
    folder = os.path.join(scratch, "data")
    os.mkdir(folder)
    seeded = seed_folder(folder)
    mount("--bind", folder, folder)
    mount("-o", "remount,bind,ro", folder)
    run_unable_to_save(program, folder, errno.EROFS)

    mount("-o", "remount,bind,rw", folder)
    run_saving(program, folder, seeded)


def main():
    program, case = sys.argv[1], sys.argv[2]
    if not run_in_own_namespaces(mounts=True):
        print("skipped: mounting needs a mount namespace of its own, which only root may make")
        sys.exit(SKIP)
    with tempfile.TemporaryDirectory() as scratch:
        try:
            {"full-disk": full_disk, "read-only": read_only}[case](program, scratch)
        finally:
            unmount_all(scratch)
    check.finish("passed")


if __name__ == "__main__":
    main()
