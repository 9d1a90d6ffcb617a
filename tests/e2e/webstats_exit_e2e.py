#!/usr/bin/env python3
"""End to end: ending the meter never waits on the network. The real meter uploads every 2 s to
a server that never answers QUIT, to one that never greets, and to a host whose name server never
answers; each time it is ended (SIGTERM, the same orderly ending as Exit) while the upload is
held there, and it must be gone, with its history saved, long before that server or resolver
would let go (20 s and more). Runs in network and mount namespaces of its own, where the name
server can be replaced (root only; skipped elsewhere)."""
import os
import socket
import subprocess
import sys
import tempfile
import time

from meter_run import Meter
from namespaces import run_in_own_namespaces
from xserver import wait_for

LIMIT = 10.0  # seconds; the fixed program takes well under one, waiting would take 20 or more


def write_webstats(data_dir, host, port):
    with open(os.path.join(data_dir, "webstats.dat"), "w") as f:
        f.write("V1.0.0\n%s\n/\nindex.html\nuser\nsecret\n%d\n2000\n1\n" % (host, port))


def end_while_held(program, temp, name, host, port, held):
    """Starts the meter, waits until `held()` says its upload is held, ends it and returns how
    long the ending took."""
    data_dir = os.path.join(temp, name)
    os.makedirs(data_dir)
    write_webstats(data_dir, host, port)
    meter = Meter(program, data_dir)
    try:
        assert meter.wait_for_window(), "%s: the meter did not show its window" % name
        assert wait_for(held, 60), "%s: no upload reached the server" % name
        started = time.time()
        code, err = meter.stop(seconds=120)
        took = time.time() - started
    finally:
        meter.ensure_ended()
    print("%s: ended after %.2f s with %s" % (name, took, code))
    assert code == 0, "%s: exit code %s\n%s" % (name, code, err)
    assert os.path.exists(os.path.join(data_dir, "stats.dat")), "%s: no history saved" % name
    return took


def main():
    program, server_script = sys.argv[1], sys.argv[2]
    if not run_in_own_namespaces(network=True, mounts=True):
        print("namespaces not allowed: skipped")
        sys.exit(77)
    times = {}
    with tempfile.TemporaryDirectory() as temp:
        # A name server that takes every question and never answers, in place of the system's
        # (only where there is a resolv.conf to cover: making one would change the machine).
        if os.path.exists("/etc/resolv.conf"):
            resolv = os.path.join(temp, "resolv.conf")
            with open(resolv, "w") as f:
                f.write("nameserver 127.0.0.1\noptions timeout:30 attempts:2\n")
            subprocess.run(["mount", "--bind", resolv, "/etc/resolv.conf"], check=True)
            dns = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            dns.bind(("127.0.0.1", 53))
            dns.setblocking(False)

            def asked():
                try:
                    return bool(dns.recv(512))
                except BlockingIOError:
                    return False

            times["silent name server"] = end_while_held(program, temp, "resolver",
                                                         "ftp.example", 21, asked)
        else:
            print("no /etc/resolv.conf: the silent name server is left out")

        # A server that takes the connection and never greets.
        mute = socket.socket()
        mute.bind(("127.0.0.1", 0))
        mute.listen(8)
        mute.setblocking(False)
        accepted = []

        def greeted_by_nobody():
            try:
                accepted.append(mute.accept()[0])
            except BlockingIOError:
                pass
            return bool(accepted)

        times["server that never greets"] = end_while_held(
            program, temp, "mute", "127.0.0.1", mute.getsockname()[1], greeted_by_nobody)

        # A server that takes the files and never answers QUIT.
        root = os.path.join(temp, "ftp")
        os.makedirs(root)
        server = subprocess.Popen(["/usr/bin/python3", server_script, "--root", root,
                                   "--ignore-quit"], stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE, text=True)
        try:
            port = int(server.stdout.readline().split()[1])
            times["server that never answers QUIT"] = end_while_held(
                program, temp, "quit", "127.0.0.1", port,
                lambda: os.path.exists(os.path.join(root, "tallyglassbg.gif")))
        finally:
            server.stdin.close()
            server.wait(timeout=30)

    slow = {name: took for name, took in times.items() if took >= LIMIT}
    assert not slow, "the ending waited on the network: %s" % slow
    print("%d passed, 0 failed" % len(times))


if __name__ == "__main__":
    main()
