#!/usr/bin/env python3
"""End to end: the real meter on an X server. Checks from a screenshot that the graph window sits
in the bottom-right corner of a 1280 x 1024 screen with the default size, painted in the default
theme, and that made loopback traffic shows up in the series colours."""
import os
import signal
import subprocess
import sys
import tempfile
import time

from loopback import make_loopback_traffic, write_settings_counting_loopback

# "Deep Blue", the default theme.
BACKGROUND_TOP = (20, 103, 219)
DOWNLOAD = (191, 208, 242)
UPLOAD = (89, 183, 249)


def screenshot_rgb(path):
    subprocess.run(["import", "-window", "root", path], check=True)
    size = subprocess.run(["identify", "-format", "%w %h", path], check=True,
                          capture_output=True, text=True).stdout.split()
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                         capture_output=True).stdout
    return int(size[0]), int(size[1]), raw


def pixel(shot, x, y):
    width, _, raw = shot
    i = (y * width + x) * 3
    return tuple(raw[i:i + 3])


def near(a, b, tolerance=40):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def main():
    program = sys.argv[1]
    if not os.environ.get("DISPLAY"):
        print("no X display: run under xvfb-run")
        sys.exit(1)
    with tempfile.TemporaryDirectory() as data_dir, tempfile.TemporaryDirectory() as shots:
        write_settings_counting_loopback(data_dir)
        proc = subprocess.Popen([program], env=dict(os.environ, TALLYGLASS_DATA_DIR=data_dir))
        try:
            time.sleep(3)
            make_loopback_traffic(seconds=8)
            time.sleep(1)
            shot = screenshot_rgb(os.path.join(shots, "shot.png"))
        finally:
            proc.send_signal(signal.SIGINT)  # Ctrl+C ends it in order too
            code = proc.wait(timeout=20)
        assert code == 0, "exit code %d" % code
        assert os.path.exists(os.path.join(data_dir, "stats.dat")), "history not saved on SIGINT"

        width, height, _ = shot
        assert (width, height) == (1280, 1024), "unexpected screen %dx%d" % (width, height)
        # 221 x 62 at the bottom-right corner (no panel on a bare X server).
        left, top, w, h = 1280 - 221, 1024 - 62, 221, 62
        assert near(pixel(shot, left + 2, top + 1), BACKGROUND_TOP), pixel(shot, left + 2, top + 1)
        assert not near(pixel(shot, left - 3, top + 10), BACKGROUND_TOP, 10), "window is wider"
        assert not near(pixel(shot, left + 10, top - 3), BACKGROUND_TOP, 10), "window is taller"

        series = 0
        for y in range(top, top + h - 15):
            for x in range(left, left + w):
                if near(pixel(shot, x, y), DOWNLOAD, 30) or near(pixel(shot, x, y), UPLOAD, 30):
                    series += 1
        print("series pixels:", series)
        assert series >= 20, "no series drawn after traffic"
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
