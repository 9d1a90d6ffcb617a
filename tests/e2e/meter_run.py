"""The real meter as the crash, disk and clock tests run it: on the display of the run, with a
data folder of its own, waited for by its window and ended by signals; and the files it keeps
there."""
import datetime
import glob
import os
import random
import re
import signal
import subprocess
import sys
import time

from xserver import wait_for

MiB = 1048576.0
HEADER = "V1.0.0"
# How our atomic writes name their temporary files: "." + the file's name + "." + six letters
# or digits.
TEMPORARY = re.compile(r"^\..+\.[A-Za-z0-9]{6}$")


class Checks:
    """Collects failed checks, so that one run reports all of them; `finish` ends the script."""

    def __init__(self):
        self.failures = []

    def __call__(self, condition, message):
        if not condition:
            self.failures.append(message)
            print("FAIL:", message)
        return condition

    def finish(self, passed):
        print("%d failed" % len(self.failures) if self.failures else passed)
        sys.exit(1 if self.failures else 0)


class Meter:
    def __init__(self, program, data_dir, env=None, stderr=True):
        self.proc = subprocess.Popen(
            [program], env=dict(os.environ, TALLYGLASS_DATA_DIR=data_dir, **(env or {})),
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE if stderr else subprocess.DEVNULL,
            text=True)

    def wait_for_window(self, seconds=60):
        """True once the meter shows its window: its frames are running then."""
        def shown():
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                                    str(self.proc.pid)], capture_output=True, text=True)
            return bool(found.stdout.split()) or self.proc.poll() is not None
        return wait_for(shown, seconds) and self.proc.poll() is None

    def stop(self, seconds=60):
        """Ends the meter in order (SIGTERM); returns its exit code and what it said on stderr."""
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
        try:
            _, err = self.proc.communicate(timeout=seconds)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            _, err = self.proc.communicate()
            return None, err
        return self.proc.returncode, err or ""

    def terminate_then_kill(self, kill_after):
        """SIGTERM, then SIGKILL `kill_after` seconds later unless it has ended by then. Returns
        the exit code (negative: the signal that ended it)."""
        self.proc.send_signal(signal.SIGTERM)
        time.sleep(kill_after)
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGKILL)
        self.proc.communicate(timeout=60)
        return self.proc.returncode

    def ensure_ended(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.communicate()


def loopback_bytes():
    """Bytes received and sent on lo so far."""
    with open("/proc/net/dev") as table:
        for line in table.readlines()[2:]:
            name, fields = line.split(":", 1)
            if name.strip() == "lo":
                values = fields.split()
                return int(values[0]), int(values[8])
    raise RuntimeError("no loopback interface")


def day_line(date, uploaded, downloaded):
    """A history line as the meter writes it."""
    return "%d %d %d %f %f" % (date.day, date.month, date.year, uploaded, downloaded)


def seed_history(folder, last_day, days, seed=1):
    """Writes a history of `days` days ending on `last_day`; returns its day lines. The amounts
    have six decimals and few digits, so the meter writes them back character for character."""
    rng = random.Random(seed)
    lines = [day_line(last_day - datetime.timedelta(days=days - 1 - i),
                      rng.randrange(0, 10 ** 9) / 1e6, rng.randrange(0, 10 ** 10) / 1e6)
             for i in range(days)]
    with open(os.path.join(folder, "stats.dat"), "w") as out:
        out.write("\n".join([HEADER] + lines) + "\n")
    return lines


def history_lines(folder):
    """The day lines of the folder's history (the header checked), or None without one."""
    path = os.path.join(folder, "stats.dat")
    if not os.path.exists(path):
        return None
    with open(path) as f:
        lines = f.read().splitlines()
    if not lines or lines[0] != HEADER:
        raise AssertionError("stats.dat starts with %r" % (lines[:1],))
    return lines[1:]


def day_amounts(lines, date):
    """(downloaded, uploaded) MB of `date` in history lines, or None when it has no line."""
    for line in lines:
        v = line.split()
        if (int(v[0]), int(v[1]), int(v[2])) == (date.day, date.month, date.year):
            return float(v[4]), float(v[3])
    return None


def leftover_temporaries(folder):
    return sorted(name for name in os.listdir(folder) if TEMPORARY.match(name))


def files_of(folder, names):
    """The bytes of each named file (None where it is missing)."""
    found = {}
    for name in names:
        path = os.path.join(folder, name)
        found[name] = open(path, "rb").read() if os.path.exists(path) else None
    return found


def told(stderr):
    """The meter's own lines on standard error."""
    return [line for line in stderr.splitlines() if line.startswith("tallyglass:")]


def preload(program):
    """LD_PRELOAD for libfaketime; an AddressSanitizer build needs its runtime first. None
    without libfaketime."""
    faketime = glob.glob("/usr/lib/*/faketime/libfaketime.so.1")
    if not faketime:
        return None
    linked = subprocess.run(["ldd", program], capture_output=True, text=True).stdout.split()
    asan = [path for path in linked if "/libasan.so" in path]
    return " ".join(asan[:1] + faketime[:1])
