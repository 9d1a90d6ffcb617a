#!/usr/bin/env python3
"""End to end: the real program, a temporary data folder, loopback traffic made here, SIGTERM.

Checks that "stats.dat" holds the header and today's line, and that the day's amounts match the
traffic the interfaces carried while the program was sampling (within 5 %).
"""
import datetime
import os
import signal
import subprocess
import sys
import tempfile
import time

from loopback import make_loopback_traffic

MiB = 1048576.0


def interface_totals():
    """Bytes received and sent, summed over every interface the program can see."""
    rx = tx = 0
    with open("/proc/net/dev") as f:
        for line in f.readlines()[2:]:
            _, fields = line.split(":", 1)
            values = fields.split()
            rx += int(values[0])
            tx += int(values[8])
    return rx, tx


def main():
    program = sys.argv[1]
    with tempfile.TemporaryDirectory() as data_dir:
        env = dict(os.environ, TALLYGLASS_DATA_DIR=data_dir)
        proc = subprocess.Popen([program], env=env)
        try:
            # One graph step is about 0.7 s: by now the first walk has set every baseline.
            time.sleep(3.0)
            assert proc.poll() is None, "the program ended early with %s" % proc.returncode
            rx0, tx0 = interface_totals()
            make_loopback_traffic(total_bytes=300 * 1048576)
            # Let a few more samples pass so the last of the traffic is counted.
            time.sleep(3.0)
            rx1, tx1 = interface_totals()
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
        uploaded, downloaded = float(mine[0][3]), float(mine[0][4])
        want_down, want_up = (rx1 - rx0) / MiB, (tx1 - tx0) / MiB
        print("downloaded %.3f MB (interfaces: %.3f), uploaded %.3f MB (interfaces: %.3f)"
              % (downloaded, want_down, uploaded, want_up))
        assert abs(downloaded - want_down) <= 0.05 * want_down, "download off by more than 5 %"
        assert abs(uploaded - want_up) <= 0.05 * want_up, "upload off by more than 5 %"
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
