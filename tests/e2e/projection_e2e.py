#!/usr/bin/env python3
"""End to end: Capwarden looking ahead in the real program, its clock set by libfaketime.

On 10 December 2026 at noon a seeded history (2000 MB a day) and quota (60.5 % of 100 GB used)
head the period for 99.7 % of its limit; loopback traffic then takes the projection past it.
Everything is read from outside, as the user and the desktop see it, on an X server with openbox
and a private session bus of the test's own:
- the Capwarden window's line, opened from the graph's menu and read through the accessibility
  bus (AT-SPI); it turns red past the limit (a picture of the window is kept);
- the tray tooltip's quota line, read from the item that registered with the tray's watcher;
- exactly one early notification, seen by the test's notification service, through more traffic;
- a projection already past the limit when the meter starts (9 December, 09:00): warned at that
  start and not again after a restart;
- `tallyglass --quota` for that folder, for a quota switched off and for one that cannot be read.

Arguments: the program, the tray watcher and the notification service of tests/tray, and where
to keep the picture.

Skipped (exit code 77) without libfaketime, python3-dbus or the accessibility bus
(at-spi2-core).
"""
import datetime
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

from loopback import make_loopback_traffic, run_in_own_network, write_settings_counting_loopback
from meter_run import Checks, MiB, loopback_bytes, preload
from xserver import SCREEN, Display, wait_for

SKIP = 77
DAY_MB = 2000.0  # 1800 down, 200 up on each day of December before the 10th
USED_MB = (55800.0, 6200.0)  # download, upload counted in the period so far
LIMIT_MB = 102400.0
NOON = datetime.datetime(2026, 12, 10, 12, 0, 0)
PERIOD_END = datetime.datetime(2027, 1, 1)
check = Checks()

try:
    import dbus
except ImportError:
    dbus = None


def seed(folder):
    write_settings_counting_loopback(folder)
    with open(os.path.join(folder, "stats.dat"), "w") as out:
        out.write("V1.0.0\n")
        for day in range(1, 10):
            out.write("%d 12 2026 %f %f\n" % (day, DAY_MB * 0.1, DAY_MB * 0.9))
    write_quota(folder, active=True)


def write_quota(folder, active):
    with open(os.path.join(folder, "capwarden.dat"), "w") as out:
        out.write("V1.0.0\n1\n1\n1\n2027\n%f\n-1.000000\n-1.000000\n%f\n%f\n%d\n1\n"
                  % (LIMIT_MB, USED_MB[1], USED_MB[0], 1 if active else 0))


class Helper:
    """A desktop-service helper of the tests (tests/tray): its output lines, as they come."""

    def __init__(self, program, env):
        self.proc = subprocess.Popen([program], env=env, stdout=subprocess.PIPE, text=True)
        self.lines = []
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for line in self.proc.stdout:
            self.lines.append(line.rstrip("\n"))

    def line(self, prefix, seconds=30, start=0):
        return wait_for(lambda: next((l for l in self.lines[start:] if l.startswith(prefix)),
                                     None), seconds)

    def stop(self):
        self.proc.terminate()
        self.proc.wait(timeout=10)


class Desktop:
    """The X server with openbox, and a session bus with a tray watcher, a notification service
    and the accessibility bus."""

    def __init__(self, watcher, peer):
        self.display = Display()
        self.display.start("openbox", "--sm-disable")
        self.daemon = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
            env=self.display.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.address = self.daemon.stdout.readline().strip()
        self.env = dict(self.display.env, DBUS_SESSION_BUS_ADDRESS=self.address)
        self.watcher = Helper(watcher, self.env)
        self.notices = Helper(peer, self.env)
        self.session = dbus.bus.BusConnection(self.address)
        if not (self.watcher.line("ready") and self.notices.line("ready")):
            raise RuntimeError("the tray watcher or the notification service did not start")
        # Started before the meter, which looks for it once, at its start.
        a11y = self.session.get_object("org.a11y.Bus", "/org/a11y/bus")
        self.a11y = dbus.bus.BusConnection(str(a11y.GetAddress(dbus_interface="org.a11y.Bus")))

    def close(self):
        for helper in (self.watcher, self.notices):
            helper.stop()
        self.daemon.terminate()  # the accessibility bus goes with it
        self.daemon.wait(timeout=10)
        self.display.close()

    def tooltip(self, service):
        item = self.session.get_object(service, "/StatusNotifierItem")
        try:
            tip = item.Get("org.kde.StatusNotifierItem", "ToolTip",
                           dbus_interface="org.freedesktop.DBus.Properties")
        except dbus.DBusException:
            return None
        return str(tip[2])

    def labels(self, window):
        """The texts of the labels of the window with this title, through AT-SPI."""
        def node(name, path):
            obj = self.a11y.get_object(name, path)
            accessible = dbus.Interface(obj, "org.a11y.atspi.Accessible")
            text = obj.Get("org.a11y.atspi.Accessible", "Name",
                           dbus_interface="org.freedesktop.DBus.Properties")
            return accessible, str(accessible.GetRoleName()), str(text)

        def below(name, path):
            accessible, role, text = node(name, path)
            found = [text] if role == "label" else []
            for child in accessible.GetChildren():
                found += below(*child)
            return found

        try:
            registry = self.a11y.get_object("org.a11y.atspi.Registry",
                                            "/org/a11y/atspi/accessible/root")
            for app in dbus.Interface(registry, "org.a11y.atspi.Accessible").GetChildren():
                accessible, _, _ = node(*app)
                for top in accessible.GetChildren():
                    _, role, text = node(*top)
                    if role == "dialog" and text == window:
                        return below(*top)
        except dbus.DBusException:
            pass
        return None

    def notifications(self):
        """Every notification so far, as "SUMMARY|BODY". A marker sent after the meter has ended
        and seen last proves that none of the meter's can still be on its way."""
        marker = "marker|%f" % time.time()
        peer = self.session.get_object("org.freedesktop.Notifications",
                                       "/org/freedesktop/Notifications")
        peer.Notify("test", 0, "", "marker", marker.split("|")[1], [], {}, -1,
                    dbus_interface="org.freedesktop.Notifications")
        check(self.notices.line("notify " + marker, 30), "the marker notification")
        told = [line[len("notify "):] for line in self.notices.lines if line.startswith("notify ")]
        return [line for line in told if not line.startswith("marker|")]


class Run:
    """One run of the meter on the desktop, from `clock` on."""

    def __init__(self, desktop, program, folder, clock, ld_preload):
        self.desktop = desktop
        self.proc = desktop.display.start(
            program, TALLYGLASS_DATA_DIR=folder, DBUS_SESSION_BUS_ADDRESS=desktop.address,
            QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LC_ALL="C.UTF-8",
            LD_PRELOAD=ld_preload, FAKETIME=clock.strftime("@%Y-%m-%d %H:%M:%S"))
        self.started = datetime.datetime.now()
        self.service = None
        self.seen = len(desktop.watcher.lines)  # an earlier run's item is not this one's

    def start(self):
        item = self.desktop.watcher.line("item ", 60, self.seen)
        check(item, "the meter's tray item registered with the watcher")
        self.service = item.split()[1] if item else None
        graph = wait_for(lambda: self.desktop.display.window_geometry("Tallyglass"), 30)
        check(graph, "the graph window is shown")
        return bool(item and graph)

    def open_capwarden(self):
        """Opens the window from the graph's menu (its fourth entry)."""
        run = self.desktop.display.run
        for _ in range(3):
            x, y, width, height = self.desktop.display.window_geometry("Tallyglass")
            run("xdotool", "mousemove", str(x + width // 2), str(y + height // 2), "click", "3")
            time.sleep(1.0)  # the menu takes the keys once it is up
            run("xdotool", "key", "Down", "Down", "Down", "Down", "Return")
            if wait_for(lambda: self.projection(), 10):
                return True
            run("xdotool", "key", "Escape")
        return check(False, "the menu opened no Capwarden window")

    def projection(self):
        """The window's projection lines that are not blank."""
        labels = self.desktop.labels("Capwarden")
        return [l for l in labels if l.startswith("Projected")] if labels else None

    def tooltip(self):
        return self.desktop.tooltip(self.service) if self.service else None

    def tooltip_matching(self, last_line):
        """The tooltip once its last line matches. For ten seconds after a notification Qt's
        tray item shows the notification's title in its place."""
        return wait_for(lambda: (lambda t: t if t and re.search(last_line + "$", t) else None)(
            self.tooltip()), 60)

    def stop(self):
        code = self.desktop.display.stop(self.proc)
        check(code == 0, "the meter ended with exit code %s" % code)


def wait_until_changed(read, before, seconds=60):
    return wait_for(lambda: (lambda now: now if now and now != before else None)(read()),
                    seconds)


def red_pixels(shot, rect):
    x0, y0, width, height = rect
    count = 0
    for y in range(y0, y0 + height):
        row = (y * SCREEN[0] + x0) * 3
        for i in range(row, row + width * 3, 3):
            if shot[i] > 200 and shot[i + 1] < 60 and shot[i + 2] < 60:
                count += 1
    return count


def keep_picture(display, rect, path):
    """The window with openbox's frame around it."""
    if rect:
        x, y, width, height = rect
        display.run("import", "-window", "root", "-crop", "%dx%d+%d+%d" % (
            width + 16, height + 56, max(0, x - 8), max(0, y - 48)), "+repage", path)
        print("picture of the window: " + path)


def quota_command(program, ld_preload, folder, clock, **language):
    result = subprocess.run(
        [program, "--quota", "--data-dir", folder], capture_output=True, text=True, timeout=30,
        env=dict({k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")},
                 LD_PRELOAD=ld_preload, FAKETIME=clock.strftime("@%Y-%m-%d %H:%M:%S"),
                 **language))
    print("$ tallyglass --quota   (exit %d)\n%s%s" % (result.returncode, result.stdout,
                                                      result.stderr))
    return result


def main():
    program, watcher, peer, shots = sys.argv[1:5]
    ld_preload = preload(program)
    missing = [what for what, there in (
        ("libfaketime (Debian package faketime)", ld_preload),
        ("python3-dbus", dbus),
        ("at-spi2-core", shutil.which("/usr/libexec/at-spi-bus-launcher")),
        ("openbox", shutil.which("openbox"))) if not there]
    if missing:
        print("skipped: not installed: " + ", ".join(missing))
        sys.exit(SKIP)
    run_in_own_network()

    desktop = Desktop(watcher, peer)
    try:
        with tempfile.TemporaryDirectory() as folder:
            seed(folder)
            first_run(desktop, program, folder, ld_preload, shots)
            told = desktop.notifications()
            print("notifications: %s" % told)
            check(len(told) == 1, "exactly one notification, not %s" % told)

            restarts(desktop, program, ld_preload, len(told))

            result = quota_command(program, ld_preload, folder, NOON + datetime.timedelta(hours=1))
            check(result.returncode == 0 and result.stderr == "", "--quota failed")
            check(re.fullmatch(r"Period start: 2026-12-01\nPeriod end: 2026-12-31\n"
                               r"Total used: 61\.\d GB of 100 GB \(61\.\d%\)\n"
                               r"Total projected: 10\d\.\d GB \(10\d\.\d%\), "
                               r"passing the limit around 2026-12-3[01]\n", result.stdout),
                  "--quota printed:\n" + result.stdout)
            write_quota(folder, active=False)
            result = quota_command(program, ld_preload, folder, NOON)
            check(result.returncode == 1 and result.stdout == "" and result.stderr ==
                  "tallyglass: the quota is off: switch it on in the Capwarden window.\n",
                  "--quota of a quota switched off")
            # The error line in the user's language.
            result = quota_command(program, ld_preload, folder, NOON, LANGUAGE="de",
                                   LC_ALL="de_DE.UTF-8", LANG="de_DE.UTF-8")
            check(result.returncode == 1 and result.stderr ==
                  "tallyglass: das Kontingent ist aus: Schalten Sie es im Fenster Capwarden "
                  "ein.\n", "--quota of a quota switched off, in German")
            os.remove(os.path.join(folder, "capwarden.dat"))
            os.mkdir(os.path.join(folder, "capwarden.dat"))
            result = quota_command(program, ld_preload, folder, NOON)
            check(result.returncode == 1 and "cannot read the quota" in result.stderr,
                  "--quota of a quota file that cannot be read")
    finally:
        desktop.close()
    check.finish("1 passed, 0 failed")


def restarts(desktop, program, ld_preload, told_before):
    """1228.8 MB on each of 1-8 December, 30 GB allowed: at 09:00 on the 9th the pace of the last
    week (1166 MB a day) heads for 36.2 GB. Warned at the first start, not at the second."""
    morning = datetime.datetime(2026, 12, 9, 9, 0, 0)
    with tempfile.TemporaryDirectory() as folder:
        write_settings_counting_loopback(folder)
        with open(os.path.join(folder, "stats.dat"), "w") as out:
            out.write("V1.0.0\n" + "".join("%d 12 2026 0.000000 1228.800000\n" % day
                                           for day in range(1, 9)))
        with open(os.path.join(folder, "capwarden.dat"), "w") as out:
            out.write("V1.0.0\n1\n1\n1\n2027\n30720.000000\n-1.000000\n-1.000000\n"
                      "0.000000\n9830.400000\n1\n1\n")
        for run, expected in ((1, 1), (2, 1)):
            meter = Run(desktop, program, folder, morning, ld_preload)
            try:
                if meter.start():
                    tip = meter.tooltip_matching(r"\nQuota: 32% used, 117% projected")
                    check(tip, "run %d: the tooltip: %r" % (run, meter.tooltip()))
            finally:
                meter.stop()
            told = desktop.notifications()[told_before:]
            print("run %d at %s: notifications %s" % (run, morning, told))
            check(told == ["Capwarden|At this pace, total traffic passes its limit of 30 GB "
                           "around 27 Dec 2026."] * expected,
                  "run %d: one early warning at the first start and none after: %s" % (run, told))
        remembered = os.stat(os.path.join(folder, "warned.dat"))
        check(remembered.st_mode & 0o777 == 0o600, "warned.dat is the user's alone")


def first_run(desktop, program, folder, ld_preload, shots):
    # 14000 MB in the last seven and a half days: 1866.7 MB a day for 21.5 more, on top of
    # 62000 MB used.
    meter = Run(desktop, program, folder, NOON, ld_preload)
    try:
        if not meter.start() or not meter.open_capwarden():
            return
        check(meter.projection() == ["Projected: 99.7 GB (99%)"],
              "the window at first: %s" % meter.projection())
        tip = meter.tooltip_matching(r"\nQuota: 60% used, 99% projected")
        check(tip, "the tooltip at first: %r" % meter.tooltip())

        before = loopback_bytes()
        make_loopback_traffic(total_bytes=250 * 1048576)
        after = loopback_bytes()
        told = desktop.notices.line("notify Capwarden|", 60)
        check(told, "no early notification")
        carried = (after[0] - before[0] + after[1] - before[1]) / MiB
        used = sum(USED_MB) + carried
        per_second = (7 * DAY_MB + carried) / (7.5 * 86400)
        reached = NOON + (datetime.datetime.now() - meter.started) + datetime.timedelta(
            seconds=(LIMIT_MB - used) / per_second)
        print("%.1f MB carried; %s" % (carried, told))
        match = re.fullmatch(r"notify Capwarden\|At this pace, total traffic passes its limit of "
                             r"100 GB around (\d+ \w+ \d{4})\.", told or "")
        check(match, "the notification: %r" % told)
        if match:
            day = datetime.datetime.strptime(match.group(1), "%d %b %Y")
            check(abs((day.date() - reached.date()).days) <= 1,
                  "told %s, the pace reaches the limit on %s" % (day.date(), reached))

        lines = wait_until_changed(meter.projection, ["Projected: 99.7 GB (99%)"])
        print("the window: %s" % lines)
        check(lines and re.fullmatch(r"Projected: 10\d\.\d GB \(10\d%\)", lines[0]),
              "the window past the limit: %s" % lines)
        tip = meter.tooltip_matching(r"\nQuota: 6[01]% used, 10\d% projected")
        print("the tooltip: %r" % tip)
        check(tip, "the tooltip past the limit: %r" % meter.tooltip())
        rect = desktop.display.window_geometry("Capwarden")
        check(rect and red_pixels(desktop.display.shot(), rect) > 40, "the projection line is red")
        keep_picture(desktop.display, rect, os.path.join(shots, "capwarden_projection_e2e.png"))

        # Further past it: nothing new, once the window shows that the quota has counted it.
        shown = meter.projection()
        make_loopback_traffic(total_bytes=25 * 1048576)
        check(wait_until_changed(meter.projection, shown), "the window never showed more traffic")
    finally:
        meter.stop()


if __name__ == "__main__":
    main()
