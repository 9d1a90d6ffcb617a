#!/usr/bin/env python3
"""End to end on an XEmbed tray: the real meter on an X server of its own with `trayer` as the
tray host and no D-Bus session. Checks from screenshots that the icon shows in the tray grey when
idle and green with loopback traffic, that a double click on it hides the graph window and a
second one brings it back while a single click does nothing, and that its menu opens on a right
click and closes with Escape, and that the window comes back when the tray goes away while it is
hidden. Exits 77 (skipped) when trayer or Xvfb is not installed."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from loopback import make_loopback_traffic, write_settings_counting_loopback  # noqa: E402
from xserver import Display, pixel, wait_for  # noqa: E402

PANEL = (1080, 0, 200, 32)  # trayer's strip: x, y, width, height
WINDOW_PIXEL = (1250, 1000)  # inside the graph window in the bottom-right corner
BLUE_THEME = (20, 103, 219)  # the default theme's background top, roughly


def is_green(p):
    return p[1] > 100 and p[1] > p[0] + 50 and p[1] > p[2] + 50


def is_grey_arrow(p):
    return abs(p[0] - p[1]) < 8 and abs(p[1] - p[2]) < 8 and p[0] < 190


def icon_box(raw):
    """Bounding box of the arrow pixels inside trayer's strip, or None."""
    x0, y0, w, h = PANEL
    found = [(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w)
             if is_green(pixel(raw, x, y)) or is_grey_arrow(pixel(raw, x, y))]
    if not found:
        return None
    xs = [x for x, _ in found]
    ys = [y for _, y in found]
    return min(xs), min(ys), max(xs), max(ys)


def greens(raw, box):
    return sum(is_green(pixel(raw, x, y))
               for y in range(box[1], box[3] + 1) for x in range(box[0], box[2] + 1))


def window_shown(raw):
    p = pixel(raw, *WINDOW_PIXEL)
    return p[2] > 120 and p[2] > p[0] + 60


def main():
    program = sys.argv[1]
    if not shutil.which("trayer") or not shutil.which("Xvfb") or not shutil.which("xdotool"):
        print("trayer, Xvfb or xdotool is not installed")
        sys.exit(77)
    display = Display()
    with tempfile.TemporaryDirectory() as data_dir, tempfile.TemporaryDirectory() as shots:
        tray = subprocess.Popen(
            ["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width",
             str(PANEL[2]), "--height", str(PANEL[3]), "--transparent", "false",
             "--SetDockType", "true"], env=display.env, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        proc = None
        try:
            wait_for(lambda: pixel(display.shot(shots), PANEL[0] + 5, 5) != (0, 0, 0), 10)
            write_settings_counting_loopback(data_dir)
            proc = subprocess.Popen([program], env=dict(display.env, TALLYGLASS_DATA_DIR=data_dir))

            box = wait_for(lambda: icon_box(display.shot(shots)), 15)
            assert box, "no icon in the tray"
            raw = display.shot(shots)
            assert wait_for(lambda: window_shown(display.shot(shots)), 10), "no graph window"
            assert greens(raw, box) == 0, "green while idle"
            width, height = box[2] - box[0] + 1, box[3] - box[1] + 1
            assert 12 <= width <= 32 and 12 <= height <= 32, "icon box %r" % (box,)

            flow = threading.Thread(target=make_loopback_traffic, kwargs={"seconds": 4})
            flow.start()
            busy = wait_for(lambda: greens(display.shot(shots), box) > 20, 4)
            flow.join()
            assert busy, "no green arrow with traffic"

            centre = ((box[0] + box[2]) // 2, (box[1] + box[3]) // 2)
            display.run("xdotool", "mousemove", str(centre[0]), str(centre[1]))

            def double_click():
                display.run("xdotool", "click", "--repeat", "2", "--delay", "80", "1")

            double_click()
            assert wait_for(lambda: not window_shown(display.shot(shots)), 5), "not hidden"
            time.sleep(0.6)  # past the double-click interval
            display.run("xdotool", "click", "1")  # a single click does nothing
            time.sleep(0.8)
            assert not window_shown(display.shot(shots)), "a single click brought it back"
            double_click()
            assert wait_for(lambda: window_shown(display.shot(shots)), 5), "not restored"
            time.sleep(0.8)
            assert window_shown(display.shot(shots)), "the double click toggled twice"

            def menu_open():
                raw = display.shot(shots)
                return sum(pixel(raw, x, y) != (0, 0, 0)
                           for y in range(60, 200, 4) for x in range(1000, 1280, 4)) > 100

            display.run("xdotool", "click", "3")
            assert wait_for(menu_open, 5), "no menu on a right click"
            display.run("xdotool", "key", "Escape")
            assert wait_for(lambda: not menu_open(), 5), "Escape left the menu open"

            # Hidden, and then the tray goes away for good: the window comes back by itself.
            double_click()
            assert wait_for(lambda: not window_shown(display.shot(shots)), 5), "not hidden"
            tray.terminate()
            tray.wait(timeout=10)
            assert wait_for(lambda: window_shown(display.shot(shots)), 10), "left without window"
            assert proc.poll() is None, "the program ended"
        finally:
            if proc:
                proc.send_signal(signal.SIGTERM)
                code = proc.wait(timeout=20)
            tray.terminate()
            tray.wait(timeout=10)
            display.close()
        assert code == 0, "exit code %d" % code
    print("tray icon, toggles and menu seen on trayer")


if __name__ == "__main__":
    main()
