"""An X server of the test's own: Xvfb on a free display, so a test may run a window manager,
a compositor or a tray without touching the display other tests use. With screenshots and a
wait for conditions (never a fixed sleep as the test)."""
import os
import signal
import subprocess
import time

SCREEN = (1280, 1024)


class Display:
    def __init__(self):
        read, write = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "%dx%dx24" % SCREEN,
             "-nolisten", "tcp"], pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read, 16)
            if not chunk:
                raise RuntimeError("Xvfb gave no display number")
            number += chunk
        os.close(read)
        self.started = []
        self.env = dict(os.environ, DISPLAY=":" + number.decode().strip())
        # No session bus: a tray, if any, is the one the test starts.
        self.env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=/nonexistent/bus"

    def run(self, *args):
        return subprocess.run(list(args), env=self.env, check=True, capture_output=True).stdout

    def start(self, *args, **env):
        """Starts a program on this display; close() ends it if it still runs then."""
        proc = subprocess.Popen(list(args), env=dict(self.env, **env), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        self.started.append(proc)
        return proc

    def shot(self, folder=None):
        """The whole screen as RGB bytes; also kept as a PNG in `folder` when one is given."""
        if folder is None:
            return self.run("import", "-window", "root", "-depth", "8", "rgb:-")
        path = os.path.join(folder, "shot-%d.png" % int(time.time() * 1000))
        self.run("import", "-window", "root", path)
        return self.run("/usr/bin/convert", path, "-depth", "8", "rgb:-")

    def find_windows(self, name):
        """The ids of the visible windows called `name`."""
        return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % name],
                              env=self.env, capture_output=True, text=True).stdout.split()

    def find_window(self, name):
        """The id of the first visible window called `name`, or None."""
        found = self.find_windows(name)
        return found[0] if found else None

    def window_geometry(self, name):
        """(x, y, width, height) of the first visible window called `name`, or None."""
        found = self.find_window(name)
        if not found:
            return None
        shell = subprocess.run(["xdotool", "getwindowgeometry", "--shell", found],
                               env=self.env, capture_output=True, text=True).stdout
        values = dict(line.split("=", 1) for line in shell.split() if "=" in line)
        try:
            return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
        except (KeyError, ValueError):
            return None

    def stop(self, proc):
        """Ends a program in order (SIGTERM) and returns its exit code."""
        proc.send_signal(signal.SIGTERM)
        return proc.wait(timeout=20)

    def close(self):
        for proc in reversed(self.started):
            if proc.poll() is None:
                proc.terminate()
                proc.wait(timeout=10)
        self.server.terminate()
        self.server.wait(timeout=10)


def pixel(raw, x, y):
    i = (y * SCREEN[0] + x) * 3
    return tuple(raw[i:i + 3])


def region(raw, x, y, width, height):
    """The rows of a rectangle of a screenshot, as bytes."""
    return b"".join(raw[((y + row) * SCREEN[0] + x) * 3:((y + row) * SCREEN[0] + x + width) * 3]
                    for row in range(height))


def wait_for(test, seconds):
    end = time.time() + seconds
    while time.time() < end:
        value = test()
        if value:
            return value
        time.sleep(0.2)
    return test()
