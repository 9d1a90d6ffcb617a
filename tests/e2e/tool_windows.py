"""The meter's tool windows opened from its right-click menu and closed again with Escape, as a
user would, through xdotool on the display of `env` (the process's own when None)."""
import os
import subprocess
import time

from xserver import wait_for

# The menu's entries, in order: each opens the tool window of that name.
TOOL_WINDOWS = ["Settings", "Statistics", "Timer", "Capwarden", "WebStats", "Applications"]


def xdotool(*args, env=None):
    return subprocess.run(["xdotool"] + [str(a) for a in args], capture_output=True, text=True,
                          env=env or os.environ).stdout.split()


def open_window(pid, name, index, env=None):
    """Opens the tool window `name` (menu entry `index`) of the meter `pid`; its window id, or
    None when it did not open."""
    graph = xdotool("search", "--onlyvisible", "--pid", pid, "--name", "^Tallyglass$", env=env)
    if not graph:
        return None
    for _ in range(3):  # a click can miss a menu that is still closing
        xdotool("mousemove", "--window", graph[0], 20, 10, "click", "3", env=env)
        # The menu is the meter's second window on the screen; keys sent before it shows are
        # lost.
        if wait_for(lambda: len(xdotool("search", "--onlyvisible", "--pid", pid, env=env)) > 1,
                    5):
            break
    else:
        print("%s: no menu" % name, flush=True)
        return None
    xdotool("key", *(["Down"] * (index + 1) + ["Return"]), env=env)
    found = wait_for(
        lambda: xdotool("search", "--onlyvisible", "--name", "^%s$" % name, env=env), 10)
    if not found:
        xdotool("key", "Escape", env=env)  # the menu, if it is still open
        print("%s: no window" % name, flush=True)
        return None
    return found[0]


def close_window(window, name, env=None):
    """Closes the tool window `window` called `name` with Escape. True when it went."""
    # Real key presses (XTEST) into the focused window; a key event sent to a window directly
    # is not taken by every widget.
    xdotool("windowfocus", "--sync", window, env=env)
    xdotool("key", "Escape", env=env)
    gone = wait_for(
        lambda: not xdotool("search", "--onlyvisible", "--name", "^%s$" % name, env=env), 10)
    if not gone:
        print("%s: still open" % name, flush=True)
    return bool(gone)


def open_and_close(pid, name, index, dwell, env=None):
    """Opens the tool window `name` (menu entry `index`) of the meter `pid`, waits `dwell`
    seconds and closes it with Escape. True when it opened and went again."""
    window = open_window(pid, name, index, env)
    if window is None:
        return False
    time.sleep(dwell)
    return close_window(window, name, env)
