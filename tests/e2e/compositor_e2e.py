#!/usr/bin/env python3
"""End to end: the graph window stays opaque under a compositing manager. The real meter runs
on an X server of its own with scanlines on (the blend that leaves alpha below 1 on every other
row) and nothing counted, so its picture stands still; its pixels must be the same before and
after `xcompmgr` starts composing the screen. A half-transparent probe window shows when the
compositor is at work. Exits 77 (skipped) when a tool is missing."""
import os
import shutil
import sys
import tempfile

from meter_settings import interface_names, write_settings
from xserver import Display, pixel, region, wait_for

WINDOW = (100, 100, 221, 62)
GRAPH_ROWS = 40  # above the series baseline and the speed texts
PROBE = (600, 600, 60, 60)
WHITE = (255, 255, 255)


def main():
    program = sys.argv[1]
    tools = ("Xvfb", "xcompmgr", "xev", "xdotool", "xprop", "import")
    if not all(shutil.which(t) for t in tools):
        print("one of %s is not installed" % ", ".join(tools))
        sys.exit(77)
    display = Display()
    proc = None
    code = None
    with tempfile.TemporaryDirectory() as data_dir:
        write_settings(data_dir, scanlines=True, rect=WINDOW, excluded=interface_names())
        try:
            proc = display.start(program, TALLYGLASS_DATA_DIR=data_dir)
            x, y, width, _ = WINDOW

            def graph():
                """The graph area once two screenshots agree and it shows the blue theme."""
                first = region(display.shot(), x, y, width, GRAPH_ROWS)
                second = region(display.shot(), x, y, width, GRAPH_ROWS)
                blue = second[2] > second[0] + 60
                return second if first == second and blue else None

            before = wait_for(graph, 30)
            assert before, "no graph window"
            row = width * 3
            assert before[20 * row:21 * row] != before[21 * row:22 * row], "no scanlines"

            display.start("xev", "-name", "compositor-probe", "-geometry",
                          "%dx%d+%d+%d" % (PROBE[2], PROBE[3], PROBE[0], PROBE[1]))
            probe = wait_for(lambda: display.find_window("compositor-probe"), 15)
            assert probe, "no probe window"
            display.run("xprop", "-id", probe, "-f", "_NET_WM_WINDOW_OPACITY", "32c", "-set",
                        "_NET_WM_WINDOW_OPACITY", "0x7fffffff")
            centre = (PROBE[0] + PROBE[2] // 2, PROBE[1] + PROBE[3] // 2)
            assert wait_for(lambda: pixel(display.shot(), *centre) == WHITE, 10), "probe not white"

            display.start("xcompmgr")
            composed = wait_for(lambda: pixel(display.shot(), *centre) != WHITE, 30)
            assert composed, "the compositor never drew the half-transparent probe"

            after = wait_for(graph, 30)
            assert after, "graph window gone under the compositor"
            differing = sum(a != b for a, b in zip(before, after))
            assert after == before, "%d bytes differ under the compositor" % differing
        finally:
            if proc:
                code = display.stop(proc)
            display.close()
    assert code == 0, "exit code %s" % code
    print("graph window pixels identical with and without a compositor")


if __name__ == "__main__":
    main()
