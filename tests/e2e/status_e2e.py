#!/usr/bin/env python3
"""End to end: `tallyglass --status` against the real meter, in a network namespace of its own
with loopback traffic made here, and its tray on a private session bus.

- Nothing running: exit 3 and one line, at once; a meter that takes the connection and never
  answers: exit 3 with its own line, after the one-second wait, never a hang.
- While traffic flows: `--status=json` tells the speeds the meter shows (its tray tooltip, read
  over D-Bus) within one sample; the one-shot answer is the line `--follow` gave for the same
  sample; the session's amounts grow by the traffic the interfaces carried.
- `--follow` gives one line per sample, none skipped or repeated, each a JSON object as waybar's
  custom modules read it; a follower whose reader goes away ends, the meter goes on; a client that
  says nothing and one that reads nothing cost the followers nothing; the follow ends, exit 3,
  when the meter does.
- The socket is the user's alone; numbers keep their "." in a decimal-comma locale.
"""
import hashlib
import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

from loopback import make_loopback_traffic, run_in_own_network, write_settings_counting_loopback
from meter_run import Checks, loopback_bytes

MiB = 1048576.0
CLASSES = {"idle", "traffic", "quota-exceeded"}
# Bounds that only say "it did not hang": the client's own waits are one second.
NO_HANG = 10.0
check = Checks()


def socket_path(runtime, folder):
    """Where the meter on `folder` listens (as the program names it)."""
    digest = hashlib.sha256(os.path.realpath(folder).encode()).hexdigest()[:24]
    return os.path.join(runtime, "tallyglass-%d-%s" % (os.getuid(), digest))


def status(program, env, *args, timeout=60):
    started = time.monotonic()
    done = subprocess.run([program] + list(args), env=env, capture_output=True, text=True,
                          timeout=timeout)
    return done, time.monotonic() - started


def as_waybar_reads(line):
    """One output line as waybar's custom module with "return-type": "json" takes it: one JSON
    object per line, "text" and "tooltip" strings, "class" a string, "percentage" a whole number
    when present. Returns the object, or None (and a failed check) when waybar could not use it."""
    try:
        data = json.loads(line)
    except ValueError:
        check(False, "not JSON: %r" % line)
        return None
    good = (isinstance(data, dict) and isinstance(data.get("text"), str)
            and isinstance(data.get("tooltip"), str) and data.get("class") in CLASSES
            and isinstance(data.get("percentage", 0), int))
    # Pango markup: waybar would take these for tags or entities.
    good = good and not any(c in data["text"] + data["tooltip"] for c in "<&")
    check(good, "not in waybar's form: %r" % line)
    return data if good else None


class Follower:
    """`--status=json --follow` on a thread of its own: every line, as it comes."""

    def __init__(self, program, env):
        self.proc = subprocess.Popen([program, "--status=json", "--follow"], env=env,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.lines = []
        self.lock = threading.Lock()
        self.reader = threading.Thread(target=self._read)
        self.reader.start()

    def _read(self):
        for line in self.proc.stdout:
            data = as_waybar_reads(line)
            with self.lock:
                self.lines.append(data)

    def seen(self):
        with self.lock:
            return [line for line in self.lines if line]

    def latest(self):
        seen = self.seen()
        return seen[-1]["sample"] if seen else -1

    def wait_for_sample(self, sample, seconds=NO_HANG):
        end = time.monotonic() + seconds
        while time.monotonic() < end and self.latest() < sample:
            time.sleep(0.02)
        return self.latest() >= sample

    def by_sample(self):
        return {line["sample"]: line for line in self.seen()}

    def end(self, seconds=NO_HANG):
        try:
            code = self.proc.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            code = None
        self.reader.join()
        return code, self.proc.stderr.read()


class SessionBus:
    """A dbus-daemon of the test's own, and the tray host the meter registers with."""

    def __init__(self, folder, watcher):
        self.daemon = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1",
             "--address=unix:path=" + os.path.join(folder, "bus")],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.address = self.daemon.stdout.readline().strip()
        self.env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=self.address)
        self.watcher = subprocess.Popen([watcher], env=self.env, stdout=subprocess.PIPE,
                                        text=True)
        self.said = []
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.watcher.stdout:
            self.said.append(line.strip())

    def wait_for(self, prefix, seconds=30):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            for line in list(self.said):
                if line.startswith(prefix):
                    return line
            time.sleep(0.05)
        return None

    def tooltip(self, service, path):
        """The tooltip's text as the tray host gets it."""
        done = subprocess.run(
            ["gdbus", "call", "--session", "--dest", service, "--object-path", path, "--method",
             "org.freedesktop.DBus.Properties.Get", "org.kde.StatusNotifierItem", "ToolTip"],
            env=self.env, capture_output=True, text=True, timeout=30)
        quoted = re.findall(r"'((?:[^'\\]|\\.)*)'", done.stdout)
        return quoted[1].replace("\\n", "\n") if len(quoted) >= 2 else None

    def close(self):
        for proc in (self.watcher, self.daemon):
            proc.terminate()
            proc.wait(timeout=10)


def speeds_of(data):
    """The two speed texts of a status line: "↓ A ↑ B" gives (A, B)."""
    match = re.fullmatch("\u2193 (.+) \u2191 (.+)", data["text"])
    return match.groups() if match else None


def no_meter(program, env, runtime, folder):
    for args in (["--status"], ["--status=json", "--follow"]):
        done, took = status(program, env, *args)
        print("%s with no meter: exit %d after %.2f s: %r" % (args, done.returncode, took,
                                                               done.stderr))
        check(done.returncode == 3, "no meter: exit %d" % done.returncode)
        check(done.stderr == "No Tallyglass meter is running for %s.\n" % folder,
              "no meter said %r" % done.stderr)
        check(done.stdout == "", "no meter printed %r" % done.stdout)
        check(took < NO_HANG, "no meter: %.1f s" % took)
    # The error line in the user's language; what scripts read stays as it is.
    done, _ = status(program, dict(env, LANGUAGE="de", LC_ALL="de_DE.UTF-8", LANG="de_DE.UTF-8"),
                     "--status")
    check(done.returncode == 3 and done.stdout == "", "no meter, in German: exit %d, %r"
          % (done.returncode, done.stdout))
    check(done.stderr == "Für %s läuft kein Tallyglass-Messgerät.\n" % folder,
          "no meter said in German %r" % done.stderr)

    # Something takes the connection and never answers: a meter that hangs.
    hung = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    hung.bind(socket_path(runtime, folder))
    hung.listen(8)
    try:
        done, took = status(program, env, "--status=json")
        print("a meter that never answers: exit %d after %.2f s: %r"
              % (done.returncode, took, done.stderr))
        check(done.returncode == 3, "hung meter: exit %d" % done.returncode)
        check(done.stderr == "The Tallyglass meter running for %s did not answer.\n" % folder,
              "hung meter said %r" % done.stderr)
        check(took < NO_HANG, "hung meter: %.1f s" % took)
    finally:
        hung.close()
        os.unlink(socket_path(runtime, folder))


def tooltip_within_one_sample(program, env, bus, item, follower):
    """Reads the tooltip between two one-shot answers; it must show the speeds of a sample from
    the one before the first answer to the second answer's."""
    before, _ = status(program, env, "--status=json")
    shown = bus.tooltip(*item)
    after, _ = status(program, env, "--status=json")
    if not check(before.returncode == 0 and after.returncode == 0 and shown,
                 "status or tooltip missing: %r %r %r" % (before.stderr, after.stderr, shown)):
        return None
    first = as_waybar_reads(before.stdout)
    last = as_waybar_reads(after.stdout)
    if not first or not last:
        return None
    check(before.stdout.count("\n") == 1, "--status=json printed more than a line")
    # The one-shot answer is the line the followers had for the same sample.
    check(follower.wait_for_sample(last["sample"]), "the follower lags behind")
    lines = follower.by_sample()
    check(lines.get(first["sample"]) == first,
          "one-shot %r, followed %r" % (first, lines.get(first["sample"])))
    candidates = {speeds_of(lines[s]) for s in range(first["sample"] - 1, last["sample"] + 1)
                  if s in lines}
    match = re.fullmatch("Down: (.+)\nUp: (.+)", shown)
    check(match and match.groups() in candidates,
          "tooltip %r is none of samples %d-%d: %r" % (shown, first["sample"] - 1,
                                                       last["sample"], candidates))
    return last


def with_traffic(program, env, bus, item, follower):
    before = follower.latest()
    check(follower.wait_for_sample(before + 1), "no samples")
    rx0, tx0 = loopback_bytes()
    session0 = follower.by_sample()[follower.latest()]

    flowing = threading.Event()
    sent = []

    def flow():
        flowing.set()
        sent.append(make_loopback_traffic(seconds=6))

    flow_thread = threading.Thread(target=flow)
    flow_thread.start()
    flowing.wait()
    rounds = []
    while flow_thread.is_alive() and len(rounds) < 5:
        last = tooltip_within_one_sample(program, env, bus, item, follower)
        if last:
            rounds.append(last)
    flow_thread.join()
    print("tooltip and status agreed in %d rounds while %.1f MB flowed"
          % (len(rounds), sent[0] / MiB))
    check(len(rounds) >= 2, "only %d rounds during the traffic" % len(rounds))
    busy = [line for line in follower.seen() if line["class"] == "traffic"]
    check(busy, "no sample showed traffic")

    # Everything the interfaces carried is in the session's figures once two more samples passed.
    last = follower.latest()
    rx1, tx1 = loopback_bytes()
    check(follower.wait_for_sample(last + 2), "no samples after the traffic")
    session1 = follower.by_sample()[follower.latest()]
    down = session1["session_download_mib"] - session0["session_download_mib"]
    up = session1["session_upload_mib"] - session0["session_upload_mib"]
    want_down, want_up = (rx1 - rx0) / MiB, (tx1 - tx0) / MiB
    print("session grew by %.3f MB down (interfaces %.3f), %.3f MB up (%.3f)"
          % (down, want_down, up, want_up))
    check(want_down > 10, "the loopback traffic did not flow")
    for got, want in ((down, want_down), (up, want_up)):
        check(abs(got - want) <= 0.05 * want + 1.0, "session %.3f MB, carried %.3f" % (got, want))
    check(session1["today_download_mib"] >= session1["session_download_mib"] - 1e-6,
          "today's download below the session's")


def reader_goes_away(program, env):
    proc = subprocess.Popen([program, "--status", "--follow"], env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)
    first = proc.stdout.readline()
    check(re.fullmatch("\u2193 .+ \u2191 .+\n", first), "--status --follow printed %r" % first)
    proc.stdout.close()
    try:
        code = proc.wait(timeout=NO_HANG + 30)
    except subprocess.TimeoutExpired:
        proc.kill()
        code = None
    said = proc.stderr.read()
    print("a follower whose reader went away: exit %s, said %r" % (code, said))
    check(code == 1 and "cannot write the status" in said,
          "reader gone: exit %s, said %r" % (code, said))


def main():
    program, watcher = sys.argv[1], sys.argv[2]
    if not shutil.which("dbus-daemon") or not shutil.which("gdbus"):
        print("dbus-daemon and gdbus are needed")
        sys.exit(77)
    run_in_own_network()
    with tempfile.TemporaryDirectory() as scratch:
        runtime = os.path.join(scratch, "run")
        folder = os.path.join(scratch, "data")
        os.mkdir(runtime, 0o700)
        os.mkdir(folder)
        write_settings_counting_loopback(folder)
        bus = SessionBus(scratch, watcher)
        check(bus.wait_for("ready"), "the tray host did not start")
        env = dict(bus.env, XDG_RUNTIME_DIR=runtime, TALLYGLASS_DATA_DIR=folder)
        client_env = {k: v for k, v in env.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}

        no_meter(program, client_env, runtime, folder)

        meter = subprocess.Popen([program], env=env)
        follower = None
        try:
            registered = bus.wait_for("item ")
            check(registered, "the meter put no icon in the tray")
            item = registered.split()[1:3] if registered else None
            follower = Follower(program, client_env)
            check(follower.wait_for_sample(1, 60), "no status line from the meter")
            mode = os.stat(socket_path(runtime, folder)).st_mode
            check(mode & 0o077 == 0, "the socket has mode %o" % mode)

            # Peers that misbehave the whole time: one says nothing, one never reads.
            silent = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            silent.connect(socket_path(runtime, folder))
            deaf = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            deaf.connect(socket_path(runtime, folder))
            deaf.sendall(b"tallyglass 1 follow\n")

            if item:
                with_traffic(program, client_env, bus, item, follower)
            reader_goes_away(program, client_env)

            comma = dict(client_env, LC_ALL="de_DE.UTF-8")
            done, _ = status(program, comma, "--status=json")
            data = as_waybar_reads(done.stdout) if done.returncode == 0 else None
            check(data and re.fullmatch(r"\u2193 \d+\.\d .+ \u2191 \d+\.\d .+", data["text"])
                  and '"download_kib_s": ' in done.stdout and "," not in
                  done.stdout.split('"download_kib_s": ')[1].split(",")[0],
                  "decimal-comma locale: %r" % done.stdout)
            silent.close()
            deaf.close()
        finally:
            meter.send_signal(signal.SIGTERM)
            try:
                code = meter.wait(timeout=60)
            except subprocess.TimeoutExpired:
                meter.kill()
                code = None
            check(code == 0, "the meter ended with %s" % code)
            ended = follower.end() if follower else (None, "")
            bus.close()

        code, said = ended
        print("the follower after the meter ended: exit %s, %r" % (code, said))
        check(code == 3 and said == "The Tallyglass meter running for %s has ended.\n" % folder,
              "follow after the end: exit %s, said %r" % (code, said))
        samples = [line["sample"] for line in follower.seen()]
        check(samples and samples == list(range(samples[0], samples[0] + len(samples))),
              "not one line per sample: %s" % samples)
        print("--follow gave %d lines, samples %s to %s"
              % (len(samples), samples[0] if samples else "-", samples[-1] if samples else "-"))
        done, took = status(program, client_env, "--status")
        check(done.returncode == 3, "after the meter: exit %d" % done.returncode)
    check.finish("status: all passed")


if __name__ == "__main__":
    main()
