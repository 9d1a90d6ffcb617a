#!/usr/bin/env python3
"""End to end: the frameless graph window resizes by its border and moves by its body under a
window manager. The real meter runs on an X server of its own with `openbox`; `xdotool` drags the
window's top-left corner up and left, which must grow the window with its bottom-right corner
kept, repaint the whole new area and lay the speed texts out for the new width; a drag in the
body then moves the window without resizing it. Exits 77 (skipped) when a tool is missing."""
import os
import shutil
import sys
import tempfile
import time

from meter_settings import interface_names, write_settings
from xserver import Display, pixel, wait_for

WINDOW = (300, 300, 221, 62)
TITLE = "Tallyglass"


def is_theme_blue(p):
    return p[2] > 150 and p[2] > p[0] + 80


def is_text(p):
    return min(p) > 180


def drag(display, start, end, steps=12):
    """Presses at `start`, moves to `end` in steps as a hand would, and releases there."""
    display.run("xdotool", "mousemove", str(start[0]), str(start[1]))
    time.sleep(0.2)
    display.run("xdotool", "mousedown", "1")
    for i in range(1, steps + 1):
        x = start[0] + (end[0] - start[0]) * i // steps
        y = start[1] + (end[1] - start[1]) * i // steps
        display.run("xdotool", "mousemove", str(x), str(y))
        time.sleep(0.05)
    time.sleep(0.3)  # let the window manager take the last motion before the release
    display.run("xdotool", "mouseup", "1")


def main():
    program = sys.argv[1]
    tools = ("Xvfb", "openbox", "xdotool", "xprop", "import")
    if not all(shutil.which(t) for t in tools):
        print("one of %s is not installed" % ", ".join(tools))
        sys.exit(77)
    shots = os.environ.get("TALLYGLASS_E2E_SHOTS")  # keep screenshots there to look at
    display = Display()
    display.start("openbox")
    proc = None
    code = None
    with tempfile.TemporaryDirectory() as data_dir:
        # Nothing counted: the texts stay "0.0" and the picture still.
        write_settings(data_dir, rect=WINDOW, excluded=interface_names())
        try:
            assert wait_for(lambda: b"window id" in display.run(
                "xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), 20), "no window manager"
            proc = display.start(program, TALLYGLASS_DATA_DIR=data_dir)
            assert wait_for(lambda: display.window_geometry(TITLE) == WINDOW, 30), \
                "window not at %r: %r" % (WINDOW, display.window_geometry(TITLE))
            assert wait_for(lambda: is_theme_blue(pixel(display.shot(shots), 302, 301)), 20), \
                "no graph drawn"

            # The top-left corner, 80 pixels left and 40 up.
            left, top, width, height = WINDOW
            right, bottom = left + width, top + height
            drag(display, (left + 1, top + 1), (left - 79, top - 39))

            def grown():
                g = display.window_geometry(TITLE)
                ok = g and g[0] + g[2] == right and g[1] + g[3] == bottom and \
                    g[2] >= width + 40 and g[3] >= height + 20
                return g if ok else None

            new = wait_for(grown, 20)
            assert new, "not resized from the corner: %r" % (display.window_geometry(TITLE),)
            nx, ny, nw, nh = new

            def repainted():
                raw = display.shot(shots)
                # The new area shows the graph, and the left-hand speed text moved out into it
                # (left of where the window used to begin).
                text = sum(is_text(pixel(raw, x, y))
                           for y in range(ny + nh - 15, ny + nh) for x in range(nx, left))
                return is_theme_blue(pixel(raw, nx + 2, ny + 1)) and text > 10

            assert wait_for(repainted, 20), "the graph did not follow the new size"

            # A drag in the body moves the window and keeps its size.
            centre = (nx + nw // 2, ny + nh // 2)
            drag(display, centre, (centre[0] + 60, centre[1] + 40))

            def moved():
                g = display.window_geometry(TITLE)
                return g and g[2:] == (nw, nh) and g[0] >= nx + 30 and g[1] >= ny + 20

            assert wait_for(moved, 20), "body drag: %r" % (display.window_geometry(TITLE),)
            if shots:
                display.shot(shots)
        finally:
            if proc:
                code = display.stop(proc)
            display.close()
    assert code == 0, "exit code %s" % code
    print("resized by the corner to %dx%d, moved by the body" % (nw, nh))


if __name__ == "__main__":
    main()
