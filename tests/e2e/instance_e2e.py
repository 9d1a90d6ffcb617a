#!/usr/bin/env python3
"""End to end: the program's start and end as a user meets them.

The command line without a display; one meter per data folder (a second start hands over and
ends; a meter killed with SIGKILL leaves no lock behind; our leftover temporary files are removed
and nothing else); a SIGTERM the moment the handler exists still ends in order; and the traffic of
the last moments before SIGTERM is in the history.
"""
import datetime
import os
import signal
import subprocess
import sys
import tempfile
import time

from loopback import make_loopback_traffic, write_settings_counting_loopback

MiB = 1048576.0
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


def wait_until(predicate, timeout):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(0.02)
    return predicate()


def without_display():
    return {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")}


def run(program, args, env, timeout=20):
    return subprocess.run([program] + args, env=env, capture_output=True, text=True,
                          timeout=timeout)


def todays_download(folder):
    path = os.path.join(folder, "stats.dat")
    if not os.path.exists(path):
        return None
    today = datetime.date.today()
    with open(path) as f:
        for line in f.read().splitlines()[1:]:
            v = line.split()
            if (int(v[0]), int(v[1]), int(v[2])) == (today.day, today.month, today.year):
                return float(v[4])
    return None


def windows_of(pid):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                           capture_output=True, text=True)
    return found.stdout.split()


def term_caught(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("SigCgt:"):
                    return (int(line.split()[1], 16) >> (signal.SIGTERM - 1)) & 1 == 1
    except FileNotFoundError:
        pass
    return False


def stop(proc, sig=signal.SIGTERM):
    if proc.poll() is None:
        proc.send_signal(sig)
    try:
        return proc.wait(timeout=20)
    except subprocess.TimeoutExpired:
        proc.kill()
        return None


def command_line(program, scratch):
    # --help and --version need no display and touch no data folder.
    untouched = os.path.join(scratch, "never-made")
    env = dict(without_display(), HOME=untouched, TALLYGLASS_DATA_DIR=untouched)
    for args in (["--help"], ["--data-dir", untouched, "--version"]):
        done = run(program, args, env)
        check(done.returncode == 0 and done.stdout and not done.stderr,
              "%s: exit %d, stdout %r, stderr %r" % (args, done.returncode, done.stdout,
                                                     done.stderr))
    check(not os.path.exists(untouched), "--help or --version made a data folder")

    done = run(program, ["--no-such-option"], env)
    check(done.returncode == 2, "unknown option: exit %d" % done.returncode)
    check(not done.stdout and "Usage:" in done.stderr, "unknown option: usage not on stderr")

    # Without X: one line, exit 1, instead of Qt's abort.
    for display in (None, ":4077"):
        env = dict(without_display(), TALLYGLASS_DATA_DIR=untouched)
        if display:
            env["DISPLAY"] = display
        done = run(program, [], env)
        check(done.returncode == 1, "display %s: exit %d" % (display, done.returncode))
        lines = done.stderr.splitlines()
        check(len(lines) == 1 and "X server" in lines[0] and "DISPLAY" in lines[0],
              "display %s: said %r" % (display, done.stderr))
    check(not os.path.exists(untouched), "a start without X made a data folder")


def one_meter_per_folder(program, folder):
    write_settings_counting_loopback(folder)
    leftovers = [".stats.dat.Ab3xQ9", ".settings.dat.q1W2e3"]
    users = ["notes.txt", ".stats.dat.backup1", ".notes.txt.Ab3xQ9"]
    for name in leftovers + users:
        with open(os.path.join(folder, name), "w") as f:
            f.write("x")

    env = dict(os.environ)
    first = subprocess.Popen([program, "--data-dir", folder], env=env)
    try:
        check(wait_until(lambda: windows_of(first.pid), 20), "the first meter shows no window")
        names = set(os.listdir(folder))
        check(not names & set(leftovers), "leftovers not removed: %s" % (names & set(leftovers)))
        check(set(users) <= names, "a user's file was removed: %s" % (set(users) - names))

        started = time.monotonic()
        second = subprocess.Popen([program, "--data-dir", folder + "/"], env=env,
                                  stderr=subprocess.PIPE, text=True)
        try:
            _, said = second.communicate(timeout=20)
        except subprocess.TimeoutExpired:
            second.kill()
            _, said = second.communicate()
        print("second start: exit %s after %.2f s: %r"
              % (second.returncode, time.monotonic() - started, said))
        check(second.returncode == 0, "second start: exit %s" % second.returncode)
        check(len(said.splitlines()) == 1 and "already running" in said,
              "second start said %r" % said)
        check(not windows_of(second.pid), "the second start showed a window")
        check(first.poll() is None, "the first meter ended")
        check(len(windows_of(first.pid)) == 1, "not one window: %s" % windows_of(first.pid))
    finally:
        # A crash: no clean-up, the lock file stays behind.
        first.kill()
        first.wait()

    third = subprocess.Popen([program, "--data-dir", folder], env=env)
    try:
        check(wait_until(lambda: windows_of(third.pid), 20),
              "the start after a SIGKILL shows no window (stale lock?)")
        time.sleep(3.0)  # one graph step is ~0.7 s: every interface has its baseline
        make_loopback_traffic(total_bytes=5 * 1048576)
        time.sleep(0.05)
        code = stop(third)
    finally:
        if third.poll() is None:
            third.kill()
    check(code == 0, "SIGTERM: exit %s" % code)
    downloaded = todays_download(folder)
    print("recorded after 5 MB and SIGTERM 50 ms later: %s MB" % downloaded)
    check(downloaded is not None and downloaded >= 5 * 0.95,
          "the last moments' traffic is missing: %s MB" % downloaded)


def early_sigterm(program, scratch):
    for attempt in range(3):
        folder = tempfile.mkdtemp(dir=scratch)
        started = time.monotonic()
        proc = subprocess.Popen([program, "--data-dir", folder])
        caught = wait_until(lambda: term_caught(proc.pid), 10)
        elapsed = (time.monotonic() - started) * 1000
        code = stop(proc)
        print("SIGTERM as soon as it is caught (%.0f ms after start): exit %s" % (elapsed, code))
        check(caught, "SIGTERM never caught")
        check(code == 0, "early SIGTERM: exit %s" % code)
        check(os.path.exists(os.path.join(folder, "stats.dat")), "early SIGTERM: nothing saved")


def main():
    program = sys.argv[1]
    if not os.environ.get("DISPLAY"):
        print("no X display: run under xvfb-run")
        sys.exit(1)
    with tempfile.TemporaryDirectory() as scratch:
        command_line(program, scratch)
        one_meter_per_folder(program, tempfile.mkdtemp(dir=scratch))
        early_sigterm(program, scratch)
    if failures:
        print("%d failed" % len(failures))
        sys.exit(1)
    print("all passed")


if __name__ == "__main__":
    main()
