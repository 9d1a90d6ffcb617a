#!/usr/bin/env python3
"""End to end, checked from screenshots: the menu's "Settings" opens the settings window;
"Green LCD" and "Bars" chosen with the keyboard and OK turn the running graph into green bars;
"settings.dat" holds both and the next start shows them. TALLYGLASS_E2E_SHOTS=DIR keeps the
screenshots."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from loopback import make_loopback_traffic, write_settings_counting_loopback
from xserver import pixel

LEFT, TOP, W, H = 1280 - 221, 1024 - 62, 221, 62  # the default window in the corner
DEEP_BLUE_TOP, GREEN_LCD_TOP = (20, 103, 219), (13, 64, 4)
GREEN_LCD_SERIES = [(0, 255, 0), (0, 128, 64)]
WAIT = 30


def screenshot(path):
    subprocess.run(["import", "-window", "root", path], check=True)
    return subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                          capture_output=True).stdout


def near(a, b, tolerance=24):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def wait_for(what, check):
    deadline = time.monotonic() + WAIT
    while not check():
        assert time.monotonic() < deadline, "timed out waiting for " + what
        time.sleep(0.2)


def settings_window_shown():
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Settings$"],
                          capture_output=True, text=True).stdout.strip() != ""


def has_filled_bars(raw):
    """A rectangle of series colour 9 px (three bars) wide and 10 px tall: bars are filled down
    to the baseline, the line graph draws only thin lines."""
    run_up = [0] * W
    for y in range(TOP + 1, TOP + H - 15):  # above the speed texts
        across = 0
        for i in range(W):
            series = any(near(pixel(raw, LEFT + i, y), c, 40) for c in GREEN_LCD_SERIES)
            run_up[i] = run_up[i] + 1 if series else 0
            across = across + 1 if run_up[i] >= 10 else 0
            if across >= 9:
                return True
    return False


def traffic_until_bars(path):
    # A loaded machine samples more slowly: keep the traffic going until the bars show.
    deadline = time.monotonic() + 2 * WAIT
    while time.monotonic() < deadline:
        make_loopback_traffic(seconds=2)
        raw = screenshot(path)
        if has_filled_bars(raw):
            return raw
    raise AssertionError("no filled bars: see " + path)


def start(program, data_dir):
    return subprocess.Popen([program], env=dict(os.environ, TALLYGLASS_DATA_DIR=data_dir))


def stop(meter):
    meter.send_signal(signal.SIGTERM)
    assert meter.wait(timeout=WAIT) == 0, "exit code %d" % meter.returncode


def run(program, data_dir, shots):
    # Lines, "Deep Blue", every interface monitored (loopback included).
    write_settings_counting_loopback(data_dir)
    settings = os.path.join(data_dir, "settings.dat")
    shot = os.path.join(shots, "shot.png")
    top_is = lambda colour: lambda: near(pixel(screenshot(shot), LEFT + 110, TOP + 1), colour)

    meter = start(program, data_dir)
    try:
        wait_for("the graph in Deep Blue", top_is(DEEP_BLUE_TOP))
        subprocess.run(["xdotool", "mousemove", str(LEFT + 110), str(TOP + 20), "click", "3"],
                       check=True)
        time.sleep(0.5)
        subprocess.run(["xdotool", "key", "Down", "Return"], check=True)  # "Settings"
        wait_for("the settings window", settings_window_shown)
        time.sleep(0.5)  # painted
        screenshot(os.path.join(shots, "1-settings.png"))
        # Colour Theme has the focus: "g" picks "Green LCD"; Tab, "b" picks "Bars"; Return is OK.
        subprocess.run(["xdotool", "key", "--delay", "200", "g", "Tab", "b"], check=True)
        time.sleep(0.5)
        screenshot(os.path.join(shots, "2-chosen.png"))
        subprocess.run(["xdotool", "key", "Return"], check=True)
        wait_for("the settings window to close", lambda: not settings_window_shown())
        wait_for("the graph in Green LCD", top_is(GREEN_LCD_TOP))
        traffic_until_bars(os.path.join(shots, "3-green-bars.png"))
    finally:
        stop(meter)

    with open(settings) as saved:
        lines = saved.read().split("\n")
    assert lines[1:3] == ["Green LCD", "702"], lines[:4]

    meter = start(program, data_dir)
    try:
        wait_for("the graph in Green LCD after a restart", top_is(GREEN_LCD_TOP))
        traffic_until_bars(os.path.join(shots, "4-restarted.png"))
    finally:
        stop(meter)


def main():
    if not os.environ.get("DISPLAY"):
        sys.exit("no X display: run under xvfb-run")
    keep = os.environ.get("TALLYGLASS_E2E_SHOTS")
    with tempfile.TemporaryDirectory() as data_dir, tempfile.TemporaryDirectory() as shots:
        try:
            run(sys.argv[1], data_dir, shots)
        finally:
            if keep:
                os.makedirs(keep, exist_ok=True)
                for name in os.listdir(shots):
                    shutil.copy(os.path.join(shots, name), keep)
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
