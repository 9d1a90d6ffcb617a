#!/usr/bin/env python3
"""End to end: the real program, a temporary data folder, loopback traffic made here, SIGTERM.

With a settings file that excludes nothing, checks that "stats.dat" holds the header and today's
line, and that the day's amounts match the traffic the interfaces carried while the program was
sampling (within 5 %). Without a settings file (a new user), checks that loopback traffic is left
out: the day's amounts match the other interfaces alone.
"""
import datetime
import os
import signal
import subprocess
import sys
import tempfile
import time

from loopback import make_loopback_traffic, run_in_own_network, write_settings_counting_loopback

MiB = 1048576.0


def interface_totals(with_loopback):
    """Bytes received and sent, summed over the interfaces the program counts."""
    rx = tx = 0
    with open("/proc/net/dev") as f:
        for line in f.readlines()[2:]:
            name, fields = line.split(":", 1)
            # A new user's meter leaves out loopback and container plumbing.
            if not with_loopback and (name.strip() == "lo" or name.strip().startswith(
                    ("docker", "br-", "veth", "virbr", "vnet"))):
                continue
            values = fields.split()
            rx += int(values[0])
            tx += int(values[8])
    return rx, tx


def run_meter(program, data_dir, with_loopback):
    """Runs the meter around 300 MB of loopback traffic; gives today's recorded (down, up) in MB
    and what the counted interfaces carried meanwhile."""
    env = dict(os.environ, TALLYGLASS_DATA_DIR=data_dir)
    proc = subprocess.Popen([program], env=env)
    try:
        # One graph step is about 0.7 s: by now the first walk has set every baseline.
        time.sleep(3.0)
        assert proc.poll() is None, "the program ended early with %s" % proc.returncode
        rx0, tx0 = interface_totals(with_loopback)
        make_loopback_traffic(total_bytes=300 * 1048576)
        # Let a few more samples pass so the last of the traffic is counted.
        time.sleep(3.0)
        rx1, tx1 = interface_totals(with_loopback)
        proc.send_signal(signal.SIGTERM)
        code = proc.wait(timeout=20)
    finally:
        if proc.poll() is None:
            proc.kill()
    assert code == 0, "exit code %d after SIGTERM" % code

    path = os.path.join(data_dir, "stats.dat")
    assert os.path.exists(path), "no stats.dat was written"
    mode = os.stat(path).st_mode & 0o777
    assert mode == 0o600, "stats.dat has mode %o" % mode
    with open(path) as f:
        lines = f.read().splitlines()
    print("stats.dat:", lines)
    assert lines[0] == "V1.0.0", lines[0]
    today = datetime.date.today()
    mine = [l.split() for l in lines[1:]]
    mine = [v for v in mine if (int(v[0]), int(v[1]), int(v[2])) == (today.day, today.month, today.year)]
    assert len(mine) == 1, "expected one line for today, got %s" % mine
    return (float(mine[0][4]), float(mine[0][3])), ((rx1 - rx0) / MiB, (tx1 - tx0) / MiB)


def close(recorded, carried):
    # 5 %, and 1 MB for the little traffic of other interfaces between our reads and the samples.
    return abs(recorded - carried) <= 0.05 * carried + 1.0


def main():
    program = sys.argv[1]
    run_in_own_network()
    with tempfile.TemporaryDirectory() as data_dir:
        write_settings_counting_loopback(data_dir)
        (down, up), (want_down, want_up) = run_meter(program, data_dir, with_loopback=True)
        print("downloaded %.3f MB (interfaces: %.3f), uploaded %.3f MB (interfaces: %.3f)"
              % (down, want_down, up, want_up))
        assert want_down >= 300, "the loopback traffic did not flow"
        assert close(down, want_down), "download off by more than 5 %"
        assert close(up, want_up), "upload off by more than 5 %"

    with tempfile.TemporaryDirectory() as data_dir:
        (down, up), (want_down, want_up) = run_meter(program, data_dir, with_loopback=False)
        print("new user: downloaded %.3f MB (interfaces but loopback: %.3f), uploaded %.3f MB "
              "(%.3f)" % (down, want_down, up, want_up))
        assert close(down, want_down), "a new user's meter counted loopback traffic"
        assert close(up, want_up), "a new user's meter counted loopback traffic"
        with open(os.path.join(data_dir, "settings.dat")) as f:
            assert "\n6\nlo\ndocker*\nbr-*\nveth*\nvirbr*\nvnet*\n" in f.read(), \
                "the new settings file does not exclude lo and container plumbing"
    print("2 passed, 0 failed")


if __name__ == "__main__":
    main()
