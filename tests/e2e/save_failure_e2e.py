#!/usr/bin/env python3
"""End to end: the real program with a data folder that cannot be created. It must keep running,
end with exit code 0 on SIGTERM, and say once on standard error which folder cannot be written and
why (no tray on a bare X server, so standard error alone)."""
import os
import signal
import subprocess
import sys
import time

FOLDER = "/proc/tallyglass-e2e/Tallyglass"  # nobody can create it, root included


def main():
    program = sys.argv[1]
    proc = subprocess.Popen([program], env=dict(os.environ, TALLYGLASS_DATA_DIR=FOLDER),
                            stderr=subprocess.PIPE, text=True)
    try:
        time.sleep(3.0)
        assert proc.poll() is None, "the program ended early with %s" % proc.returncode
        proc.send_signal(signal.SIGTERM)  # the exit save fails too
        _, err = proc.communicate(timeout=20)
    finally:
        if proc.poll() is None:
            proc.kill()
    assert proc.returncode == 0, "exit code %d" % proc.returncode
    own = [line for line in err.splitlines() if line.startswith("tallyglass:")]
    print("\n".join(own))
    assert len(own) == 1, "expected one line, got %d" % len(own)
    assert FOLDER in own[0] and os.strerror(2) in own[0], own[0]
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
