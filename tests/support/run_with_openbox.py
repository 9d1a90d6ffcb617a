#!/usr/bin/env python3
"""run_with_openbox.py PROGRAM [ARGS...]: runs PROGRAM on a private X server (Xvfb, 1280 x 1024)
with the openbox window manager, so windows get frames and screenshots show nothing of other
tests. The exit code is the program's."""
import os
import subprocess
import sys
import time

WAIT_SECONDS = 60


def start_xvfb():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten",
         "tcp", "-noreset"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()  # written once the server accepts clients
    if not number:
        server.kill()
        sys.exit("run_with_openbox: Xvfb did not start")
    return server, ":" + number


def wait_for_window_manager(env):
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline:
        probe = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                               capture_output=True, text=True)
        if "window id" in probe.stdout:
            return True
        time.sleep(0.1)
    return False


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    server, display = start_xvfb()
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb")
    env.pop("WAYLAND_DISPLAY", None)
    manager = None
    try:
        manager = subprocess.Popen(["openbox", "--sm-disable"], env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_for_window_manager(env):
            sys.exit("run_with_openbox: openbox did not come up")
        return subprocess.run(sys.argv[1:], env=env).returncode
    finally:
        if manager is not None:
            stop(manager)
        stop(server)


if __name__ == "__main__":
    sys.exit(main())
