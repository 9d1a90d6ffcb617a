#!/usr/bin/env python3
"""Soak: the real program for a long while (10 minutes by default) with everything moving.

Loopback traffic in bursts of changing size, every tool window opened from the menu and closed
again every few seconds (xdotool), WebStats uploading every 30 s to a local FTP server. Reports
the resident memory at launch, after a warm-up and at the end (growth from the warm-up to the
end under 2 MB), the CPU the program used, the uploads that arrived, and the history written
against the traffic the loopback interface carried (within 1 %). Exits non-zero when a limit
is broken.

Resident memory alone does not tell a leak: glibc keeps the pages of freed blocks for reuse, and
a tool window's GL context and widgets, made and freed every few seconds, leave holes that keep
megabytes resident (one trim through gdb in a 17-minute run took the meter from 139 to 125 MB).
So when gdb is installed the soak also reads the heap in use (malloc_info in the meter, through
gdb) after the warm-up and at the end; the growth limit then applies to what is in use, and the
resident growth is reported beside it.

The warm-up (two minutes, a quarter of a shorter run) is the time the allocator's arenas, Qt's
caches and the upload threads take to reach their working size: several rounds of every window
and a few uploads. A leak shows as growth after it. The memory is read after every round of
windows; each end counts the lowest of its three readings, so that a reading taken while an
upload holds its buffers is not mistaken for growth (a leak raises all three).

Usage: bench/soak.py [SECONDS] [PROGRAM]   (defaults: 600, build/bin/tallyglass)
Under Xvfb when there is no display; in a network namespace of its own when allowed (root), so
that only its own traffic crosses the loopback interface.
"""
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import process_figures as figures  # noqa: E402
from loopback import make_loopback_traffic, write_settings_counting_loopback  # noqa: E402
from meter_run import MiB, Meter, history_lines, loopback_bytes  # noqa: E402
from namespaces import run_in_own_namespaces  # noqa: E402
from tool_windows import TOOL_WINDOWS, open_and_close  # noqa: E402

FTP_SERVER = os.path.join(ROOT, "tests", "webstats", "ftp_server.py")
MAX_RSS_GROWTH_KB = 2048
WARM_UP_SECONDS = 120.0


def rss_kb(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def heap_in_use_mb(pid, folder):
    """The meter's heap in use (all arenas and mmapped blocks) through gdb and malloc_info, or
    None without gdb. The meter stands still for the second or so that gdb is attached."""
    if not shutil.which("gdb"):
        return None
    report = os.path.join(folder, "malloc_info.xml")
    subprocess.run(["gdb", "-p", str(pid), "-batch",
                    "-ex", 'set $f = (void*)fopen("%s", "w")' % report,
                    "-ex", "call (int)malloc_info(0, $f)", "-ex", "call (int)fclose($f)"],
                   capture_output=True, timeout=60)
    try:
        with open(report) as xml:
            totals = xml.read().rsplit("</heap>", 1)[-1]
    except FileNotFoundError:
        return None
    def size(pattern):
        match = re.search(pattern + r'[^>]*size="(\d+)"', totals)
        return int(match.group(1)) if match else 0
    system = size('<system type="current"')
    free = size('<total type="fast"') + size('<total type="rest"')
    return (system - free + size('<total type="mmap"')) / 1048576 if system else None


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        return figures.cpu_ticks(stat.read()) / os.sysconf("SC_CLK_TCK")


class Uploads:
    """Counts the pages that arrive on the FTP server."""

    def __init__(self, page):
        self.page = page
        self.count = 0
        self.last = None

    def poll(self):
        try:
            stamp = os.stat(self.page).st_mtime_ns
        except FileNotFoundError:
            return
        if stamp != self.last:
            self.last = stamp
            self.count += 1


def traffic(stop, rng, sent):
    while not stop.is_set():
        size = rng.choice([0, 1, 8, 32, 128]) * 1048576
        if size:
            sent.append(make_loopback_traffic(total_bytes=size))
        stop.wait(rng.uniform(1.0, 6.0))


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 600.0
    program = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else
                              os.path.join(ROOT, "build", "bin", "tallyglass"))
    if not os.environ.get("DISPLAY"):
        os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24 -noreset",
                               sys.executable, os.path.abspath(__file__), str(seconds), program])
    if not run_in_own_namespaces(network=True):
        print("warning: no network namespace allowed; other loopback traffic counts too")
    rng = random.Random(int(os.environ.get("TALLYGLASS_SOAK_SEED", "14")))

    with tempfile.TemporaryDirectory() as temp:
        data = os.path.join(temp, "data")
        ftp_root = os.path.join(temp, "ftp")
        os.makedirs(data)
        os.makedirs(ftp_root)
        server = subprocess.Popen(["/usr/bin/python3", FTP_SERVER, "--root", ftp_root],
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        port = int(server.stdout.readline().split()[1])
        write_settings_counting_loopback(data)
        with open(os.path.join(data, "webstats.dat"), "w") as out:
            out.write("V1.0.0\n127.0.0.1\n/\nindex.html\nuser\nsecret\n%d\n30000\n1\n" % port)
        uploads = Uploads(os.path.join(ftp_root, "index.html"))

        meter = Meter(program, data)
        stop = threading.Event()
        sent = []
        sender = threading.Thread(target=traffic, args=(stop, rng, sent))
        try:
            if not meter.wait_for_window():
                sys.exit("the meter showed no window")
            pid = meter.proc.pid
            time.sleep(2.0)  # a graph step or two: the first walk has set every baseline
            before = loopback_bytes()
            started = time.monotonic()
            cpu_start = cpu_seconds(pid)
            sender.start()

            rss_launch = rss_kb(pid)
            warm_up = min(WARM_UP_SECONDS, seconds / 4)
            rss_start = heap_start = None
            settled = []  # after every round once warmed up
            opened = failed = 0
            while time.monotonic() - started < seconds:
                for index, name in enumerate(TOOL_WINDOWS):
                    if open_and_close(pid, name, index, rng.uniform(0.5, 2.0)):
                        opened += 1
                    else:
                        failed += 1
                        print("%s did not open or close" % name, flush=True)
                    uploads.poll()
                    time.sleep(rng.uniform(1.0, 3.0))
                if os.environ.get("TALLYGLASS_SOAK_VERBOSE"):
                    print("round: RSS %.1f MB" % (rss_kb(pid) / 1024), flush=True)
                if time.monotonic() - started >= warm_up:
                    settled.append(rss_kb(pid))
                    if len(settled) == 3:
                        rss_start = min(settled)
                        heap_start = heap_in_use_mb(pid, temp)
                        print("after the warm-up: RSS %.1f MB" % (rss_start / 1024), flush=True)
            stop.set()
            sender.join()
            uploads.poll()
            settled.append(rss_kb(pid))
            rss_end = min(settled[-3:])
            heap_end = heap_in_use_mb(pid, temp)
            cpu = (cpu_seconds(pid) - cpu_start) / (time.monotonic() - started)
            ran = time.monotonic() - started
            after = loopback_bytes()
            code, err = meter.stop()
        finally:
            stop.set()
            if sender.is_alive():
                sender.join()
            meter.ensure_ended()
            server.stdin.close()
            server.wait(timeout=10)

        lines = history_lines(data) or []
        written_down = sum(float(line.split()[4]) for line in lines)
        written_up = sum(float(line.split()[3]) for line in lines)

    carried_down = (after[0] - before[0]) / MiB
    carried_up = (after[1] - before[1]) / MiB
    growth = (rss_end - (rss_start or rss_end)) / 1024
    print("ran %.0f s; exit code %s" % (ran, code))
    print("tool windows: %d opened and closed, %d did not open or close" % (opened, failed))
    print("uploads arrived: %d (one every 30 s: about %d)" % (uploads.count, ran // 30))
    print("RSS: %.1f MB at launch, %.1f MB after %.0f s of warm-up, %.1f MB at the end "
          "(growth after the warm-up %.2f MB)" % (rss_launch / 1024, (rss_start or 0) / 1024,
                                                  warm_up, rss_end / 1024, growth))
    heap_growth = None
    if heap_start is not None and heap_end is not None:
        heap_growth = heap_end - heap_start
        print("heap in use: %.2f MB after the warm-up, %.2f MB at the end (growth %.2f MB)"
              % (heap_start, heap_end, heap_growth))
    else:
        print("heap in use: not read (gdb is not installed)")
    print("CPU: %.1f %% of one core" % (100 * cpu))
    print("traffic sent: %.1f MB in %d bursts" % (sum(sent) / MiB, len(sent)))
    print("history: %.3f MB down, %.3f MB up; loopback carried %.3f MB in, %.3f MB out"
          % (written_down, written_up, carried_down, carried_up))
    off = max(abs(written_down - carried_down) / max(carried_down, 1e-9),
              abs(written_up - carried_up) / max(carried_up, 1e-9))
    print("history against traffic: %.3f %% off" % (100 * off))

    problems = []
    if code != 0:
        problems.append("exit code %s: %s" % (code, err))
    limit = MAX_RSS_GROWTH_KB / 1024
    if rss_start is None:
        problems.append("the run ended before the warm-up did")
    elif heap_growth is not None:
        if heap_growth >= limit:
            problems.append("the heap in use grew by %.2f MB" % heap_growth)
    elif growth >= limit:
        problems.append("resident memory grew by %.2f MB" % growth)
    if off > 0.01:
        problems.append("the history is %.3f %% off the traffic" % (100 * off))
    if failed:
        problems.append("%d tool windows did not open or close" % failed)
    if uploads.count < ran // 30 - 1:
        problems.append("only %d uploads arrived" % uploads.count)
    for problem in problems:
        print("FAIL:", problem)
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    if not shutil.which("xdotool"):
        sys.exit("xdotool is needed (scripts/setup installs it)")
    main()
