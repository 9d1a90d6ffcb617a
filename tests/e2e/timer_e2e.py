#!/usr/bin/env python3
"""End to end: the Timer of the real program. Opens it from the graph window's menu, starts it,
sends ten seconds of loopback traffic, pauses it, and checks the figures it shows against the
traffic sent and what the interfaces carried. Leaves a picture of the window in the folder given
as the second argument.

The program monitors every interface here (its settings file excludes none), so loopback counts.
Where it may, the test runs in a network namespace of its own, so traffic that other programs
make on this machine's loopback meanwhile cannot disturb the figures. Figures are read from the
window's fields through the clipboard (Tab, Ctrl+A, Ctrl+C)."""
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

from loopback import make_loopback_traffic, run_in_own_network, write_settings_counting_loopback

MiB = 1048576.0
UNITS = {"B": 1.0 / MiB, "KB": 1.0 / 1024, "MB": 1.0, "GB": 1024.0, "TB": 1048576.0}
RATE_UNITS = {"KB/s": 1.0 / 1024, "MB/s": 1.0, "GB/s": 1024.0}

# The symbols on the three buttons.
PLAY, PAUSE, STOP = (34, 146, 58), (42, 92, 172), (196, 48, 42)


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def wait_for(what, check, timeout=30.0, every=0.2):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = check()
        if value:
            return value
        time.sleep(every)
    raise AssertionError("timed out waiting for " + what)


def windows_named(name):
    """(id, x, y, width, height) of the windows with exactly this title."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % name],
                           capture_output=True, text=True).stdout.split()
    result = []
    for wid in found:
        shape = dict(line.split("=", 1) for line in
                     run("xdotool", "getwindowgeometry", "--shell", wid).split())
        result.append((wid, int(shape["X"]), int(shape["Y"]), int(shape["WIDTH"]),
                       int(shape["HEIGHT"])))
    return result


def screenshot(path):
    run("import", "-window", "root", path)
    width, height = map(int, run("identify", "-format", "%w %h", path).split())
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                         capture_output=True).stdout
    return width, height, raw


def find_colour(shot, rect, colour, tolerance=24):
    """Centre of the pixels of this colour inside rect, or None."""
    width, _, raw = shot
    x0, y0, w, h = rect
    xs, ys = [], []
    for y in range(y0, y0 + h):
        for x in range(x0, x0 + w):
            i = (y * width + x) * 3
            if all(abs(raw[i + k] - colour[k]) <= tolerance for k in range(3)):
                xs.append(x)
                ys.append(y)
    if len(xs) < 20:
        return None
    return sum(xs) // len(xs), sum(ys) // len(ys)


def interface_totals():
    rx = tx = 0
    with open("/proc/net/dev") as f:
        for line in f.readlines()[2:]:
            values = line.split(":", 1)[1].split()
            rx += int(values[0])
            tx += int(values[8])
    return rx, tx


def read_fields(wid, count):
    """The texts of the next `count` fields in the window's tab order, from the focused one on."""
    texts = []
    run("xdotool", "windowfocus", "--sync", wid)
    for _ in range(count):
        subprocess.run(["xclip", "-selection", "clipboard"], input="-", text=True, check=True)
        run("xdotool", "key", "Tab", "ctrl+a", "ctrl+c")
        texts.append(wait_for("the clipboard", lambda: (lambda t: t if t != "-" else None)(
            run("xclip", "-o", "-selection", "clipboard")), timeout=10))
    return texts


def amount_mb(text):
    number, unit = text.split()
    return float(number) * UNITS[unit]


def rate_mb(text):
    number, unit = text.split()
    return float(number) * RATE_UNITS[unit]


def main():
    program, shots = sys.argv[1], sys.argv[2]
    run_in_own_network()
    if not os.environ.get("DISPLAY"):
        print("no X display: run under xvfb-run")
        sys.exit(1)
    with tempfile.TemporaryDirectory() as data_dir, tempfile.TemporaryDirectory() as tmp:
        # Deep Blue, no caption, default window, nothing excluded.
        write_settings_counting_loopback(data_dir)
        proc = subprocess.Popen([program], env=dict(os.environ, TALLYGLASS_DATA_DIR=data_dir))
        try:
            graph = wait_for("the graph window", lambda: [w for w in windows_named("Tallyglass")
                                                          if w[3] > 50 and w[4] > 20])[0]
            # The menu's third entry is "Timer".
            for _ in range(3):
                run("xdotool", "mousemove", str(graph[1] + graph[3] // 2),
                    str(graph[2] + graph[4] // 2), "click", "3")
                time.sleep(1.0)
                run("xdotool", "key", "Down", "Down", "Down", "Return")
                try:
                    timer = wait_for("the Timer window", lambda: windows_named("Timer"), 10)[0]
                    break
                except AssertionError:
                    run("xdotool", "key", "Escape")
            else:
                raise AssertionError("the menu did not open the Timer")
            wid, rect = timer[0], timer[1:]
            path = os.path.join(tmp, "shot.png")

            def buttons():
                shot = screenshot(path)
                found = [find_colour(shot, rect, c) for c in (PLAY, PAUSE, STOP)]
                return found if all(found) else None
            play, pause, _ = wait_for("the button pictures", buttons)
            print("Timer window at", rect, "buttons at", play, pause)

            run("xdotool", "mousemove", *map(str, play), "click", "1")
            clicked = time.time()
            time.sleep(1.5)  # past the next sample, so the start line is clean
            rx0, tx0 = interface_totals()
            sent = make_loopback_traffic(seconds=10)
            time.sleep(4.0)  # a few more samples take in the last of it, even on a slow machine
            rx1, tx1 = interface_totals()
            run("xdotool", "mousemove", *map(str, pause), "click", "1")
            ran = time.time() - clicked
            time.sleep(0.5)
            screenshot(path)
            run("convert", path, "-crop", "%dx%d+%d+%d" % (rect[2], rect[3], rect[0], rect[1]),
                "+repage", os.path.join(shots, "timer_e2e.png"))
            # From the Pause button: Reset, then the six fields.
            run("xdotool", "key", "Tab")
            down, down_rate, up, up_rate, elapsed, state = read_fields(wid, 6)
        finally:
            proc.send_signal(signal.SIGTERM)
            code = proc.wait(timeout=20)
        assert code == 0, "exit code %d" % code

    print("shown: %s %s | %s %s | %s %s" % (down, down_rate, up, up_rate, elapsed, state))
    want_down, want_up, sent_mb = (rx1 - rx0) / MiB, (tx1 - tx0) / MiB, sent / MiB
    print("sent %.2f MB; interfaces carried %.2f MB in, %.2f MB out; %.1f s between clicks"
          % (sent_mb, want_down, want_up, ran))
    assert state == "Paused", state
    assert re.fullmatch(r"\d\d:\d\d:\d\d", elapsed), elapsed
    hours, minutes, seconds = map(int, elapsed.split(":"))
    seconds += 60 * minutes + 3600 * hours
    assert 10 <= seconds <= ran + 1, "running time %s for %.1f s between clicks" % (elapsed, ran)
    for shown, carried in ((amount_mb(down), want_down), (amount_mb(up), want_up)):
        assert abs(shown - carried) <= 0.02 * carried + 0.1, "%.2f MB shown, %.2f carried" % (
            shown, carried)
        # Loopback carries what was sent, plus a little for the packet headers.
        assert sent_mb <= shown <= 1.05 * sent_mb, "%.2f MB shown, %.2f sent" % (shown, sent_mb)
    # Averages over the running time (the time shown is rounded down to the second).
    for rate, amount in ((rate_mb(down_rate), amount_mb(down)), (rate_mb(up_rate), amount_mb(up))):
        assert amount / (seconds + 1) * 0.99 <= rate <= amount / seconds * 1.01, (rate, amount)
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
