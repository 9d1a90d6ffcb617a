#!/usr/bin/env python3
"""End to end: `tallyglass --apps=json`, run as an ordinary user in a network namespace of its
own, gives two TCP programs their share of the bytes they sent, puts a UDP program's traffic in
"Other", and finds a program that opens and closes a connection every 100 ms and holds each for
most of that time. Each program is a copy of python3 under its own name, as the kernel names a
process after its executable.

A program whose connections live a millisecond or two between two polls a second apart is never
seen holding one: the kernel tells of their closing but not whose they were. Its share is printed,
not checked."""
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

from loopback import run_in_own_network
from meter_settings import write_settings

NOBODY = 65534
SENT_A = 3 * 1024 * 1024
SENT_B = 6 * 1024 * 1024
SENT_UDP = 2 * 1024 * 1024
CHUNK = 64 * 1024
CHURN_SECONDS = 10
CHURN_BYTES = 32 * 1024
WINDOW_SECONDS = 16
OTHER = "Other traffic (UDP, other users, system)"


def check(condition, message):
    if not condition:
        print("FAILED:", message)
        sys.exit(1)


def wait_for(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while not condition():
        check(time.monotonic() < deadline, "gave up waiting for " + what)
        time.sleep(0.05)


# --- The programs the test starts (each runs this file under its own name). ---

def drain_tcp(listener):
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=lambda c=conn: (all(iter(lambda: c.recv(1 << 20), b"")),
                                                c.close()), daemon=True).start()


def sink(folder):
    """Listens for the senders (one port), the churning program (another) and UDP (a third)."""
    ports = []
    for _ in range(3):
        listener = socket.socket()
        listener.bind(("127.0.0.1", 0))
        listener.listen(64)
        threading.Thread(target=drain_tcp, args=(listener,), daemon=True).start()
        ports.append(listener.getsockname()[1])
    udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    udp.bind(("127.0.0.1", 0))
    ports.insert(2, udp.getsockname()[1])
    with open(os.path.join(folder, "ports.tmp"), "w") as out:
        out.write(" ".join(map(str, ports)))
    os.rename(os.path.join(folder, "ports.tmp"), os.path.join(folder, "ports"))
    while udp.recv(1 << 16):
        pass


def report(folder, name, sent):
    with open(os.path.join(folder, name + ".sent"), "w") as out:
        out.write(str(sent))


def sender(folder, name, port, total):
    """Sends `total` bytes at a pace that spans several polls, then waits for them all to land."""
    conn = socket.create_connection(("127.0.0.1", port))
    sent = 0
    while sent < total:
        sent += conn.send(b"x" * min(CHUNK, total - sent))
        time.sleep(0.05)
    conn.shutdown(socket.SHUT_WR)
    conn.recv(1)  # the sink closes once it has read everything
    report(folder, name, sent)
    time.sleep(2)
    conn.close()


def udp_sender(folder, port):
    udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sent = 0
    while sent < SENT_UDP:
        sent += udp.sendto(b"u" * 8192, ("127.0.0.1", port))
        time.sleep(0.004)
    report(folder, "udp", sent)


def churn(folder, name, port, pieces):
    """A new connection every 100 ms, each sending its bytes in `pieces` 10 ms apart and
    closing."""
    sent = 0
    start = time.monotonic()
    tick = start
    while tick - start < CHURN_SECONDS:
        conn = socket.create_connection(("127.0.0.1", port))
        for _ in range(pieces):
            conn.sendall(b"c" * (CHURN_BYTES // pieces))
            if pieces > 1:
                time.sleep(0.01)
        sent += CHURN_BYTES
        conn.shutdown(socket.SHUT_WR)
        conn.recv(1)
        conn.close()
        tick += 0.1
        time.sleep(max(0.0, tick - time.monotonic()))
    report(folder, name, sent)


ROLES = {
    "sink": lambda folder, ports: sink(folder),
    "a": lambda folder, ports: sender(folder, "a", ports[0], SENT_A),
    "b": lambda folder, ports: sender(folder, "b", ports[0], SENT_B),
    "udp": lambda folder, ports: udp_sender(folder, ports[2]),
    "churn": lambda folder, ports: churn(folder, "churn", ports[1], 1),
    "held": lambda folder, ports: churn(folder, "held", ports[3], 8),
}


# --- The test. ---

def as_nobody():
    os.setgroups([])
    os.setresgid(NOBODY, NOBODY, NOBODY)
    os.setresuid(NOBODY, NOBODY, NOBODY)


def start(folder, executable, role):
    script = os.path.join(folder, "apps_e2e.py")
    return subprocess.Popen([os.path.join(folder, executable), script, "--role", role, folder],
                            preexec_fn=as_nobody)


def sleeping(pid):
    """The command sleeps between its polls: once it first does, the window has opened."""
    try:
        with open("/proc/%d/wchan" % pid) as f:
            return "nanosleep" in f.read()
    except OSError:
        return False


def main():
    program = sys.argv[1]
    if os.geteuid() != 0:
        print("skipped: needs root for a network namespace of its own")
        sys.exit(77)
    run_in_own_network()
    folder = tempfile.mkdtemp()
    try:
        os.chmod(folder, 0o755)
        os.chown(folder, NOBODY, NOBODY)  # the programs report into it
        shutil.copy(__file__, folder)
        for support in ("loopback.py", "meter_settings.py", "namespaces.py"):
            shutil.copy(os.path.join(os.path.dirname(os.path.abspath(__file__)), support), folder)
        python = os.path.realpath("/usr/bin/python3")
        for name in ("tg_sink", "tg_send_a", "tg_send_b", "tg_udp", "tg_churn", "tg_held"):
            shutil.copy(python, os.path.join(folder, name))
        write_settings(folder)  # loopback counted: nothing excluded
        os.chmod(os.path.join(folder, "settings.dat"), 0o644)

        sink_process = start(folder, "tg_sink", "sink")
        wait_for(lambda: os.path.exists(os.path.join(folder, "ports")), 30, "the sink")
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        meter = subprocess.Popen([program, "--apps=json", "--seconds", str(WINDOW_SECONDS),
                                  "--data-dir", folder], env=env, stdout=subprocess.PIPE,
                                 text=True, preexec_fn=as_nobody)
        # Bytes sent before its first look are not counted: the senders start after it.
        wait_for(lambda: sleeping(meter.pid), 30, "the command's first poll")
        senders = [start(folder, "tg_send_a", "a"), start(folder, "tg_send_b", "b"),
                   start(folder, "tg_udp", "udp"), start(folder, "tg_churn", "churn"),
                   start(folder, "tg_held", "held")]
        for process in senders:
            check(process.wait(timeout=120) == 0, "a sending program failed")
        out, _ = meter.communicate(timeout=120)
        check(meter.returncode == 0, "--apps=json ended with %d" % meter.returncode)
        sink_process.kill()
        sink_process.wait()

        sent = {}
        for name in ("a", "b", "udp", "churn", "held"):
            with open(os.path.join(folder, name + ".sent")) as f:
                sent[name] = int(f.read())
        rows = json.loads(out)
        print(out)
        by_app = {row["app"]: row for row in rows}
        check(rows[-1]["app"] == OTHER and rows[-1]["other"], "the other traffic comes last")
        for key in ("app", "pids", "download_kib_s", "upload_kib_s", "download_bytes",
                    "upload_bytes"):
            check(all(key in row for row in rows), "every row has " + key)
        for name, app in (("a", "tg_send_a"), ("b", "tg_send_b")):
            check(app in by_app, app + " has a row")
            got = by_app[app]["upload_bytes"]
            print("%s: sent %d, attributed %d (%.1f %%)" % (app, sent[name], got,
                                                          100.0 * got / sent[name]))
            check(abs(got - sent[name]) <= 0.05 * sent[name], app + " within 5 %")
            check(by_app[app]["pids"], app + " names its process")
        check(by_app.get("tg_udp", {"upload_bytes": 0})["upload_bytes"] == 0,
              "UDP is no application's")
        other = rows[-1]
        print("other: down %d, up %d; UDP sent %d" % (other["download_bytes"],
                                                     other["upload_bytes"], sent["udp"]))
        check(other["upload_bytes"] >= sent["udp"] and other["download_bytes"] >= sent["udp"],
              "the UDP traffic is in Other")
        shares = {}
        for name in ("churn", "held"):
            got = by_app.get("tg_" + name, {"upload_bytes": 0})["upload_bytes"]
            shares[name] = 100.0 * got / sent[name]
            print("tg_%s: sent %d, attributed %d (%.1f %%)" % (name, sent[name], got,
                                                            shares[name]))
        check(shares["held"] >= 80.0, "a program holding each connection for most of its 100 ms "
              "is attributed at least 80 %")
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    print("PASSED")


if __name__ == "__main__":
    if len(sys.argv) > 2 and sys.argv[1] == "--role":
        folder = sys.argv[3]
        ports_file = os.path.join(folder, "ports")
        ports = [int(p) for p in open(ports_file).read().split()] \
            if os.path.exists(ports_file) else []
        ROLES[sys.argv[2]](folder, ports)
    else:
        main()
