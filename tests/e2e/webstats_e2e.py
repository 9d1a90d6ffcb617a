#!/usr/bin/env python3
"""End to end: the real meter with a "webstats.dat" that points at an FTP server started here
(the tests' pyftpdlib server on 127.0.0.1) and a 30-second interval. Within a minute the page and
its three pictures must be on the server, the page the same as the program's "ws.html" in its
data folder, and the program must still end cleanly on SIGTERM."""
import os
import signal
import subprocess
import sys
import tempfile
import time

FILES = ["d.gif", "index.html", "tallyglassbg.gif", "u.gif"]


def main():
    program, server_script = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as temp:
        data_dir = os.path.join(temp, "data")
        root = os.path.join(temp, "ftp")
        os.makedirs(os.path.join(root, "stats"))
        os.makedirs(data_dir)
        server = subprocess.Popen(["/usr/bin/python3", server_script, "--root", root],
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        try:
            port = int(server.stdout.readline().split()[1])
            with open(os.path.join(data_dir, "webstats.dat"), "w") as f:
                f.write("V1.0.0\n127.0.0.1\n/stats/\nindex.html\nuser\nsecret\n%d\n30000\n1\n"
                        % port)
            env = dict(os.environ, TALLYGLASS_DATA_DIR=data_dir)
            started = time.time()
            proc = subprocess.Popen([program], env=env)
            try:
                stats = os.path.join(root, "stats")
                while sorted(os.listdir(stats)) != FILES and time.time() - started < 90:
                    assert proc.poll() is None, "the program ended early with %s" % proc.returncode
                    time.sleep(0.5)
                took = time.time() - started
                print("uploaded after %.1f s: %s" % (took, sorted(os.listdir(stats))))
                assert sorted(os.listdir(stats)) == FILES, "not all files arrived"
                assert took < 60, "the first upload came after %.1f s" % took
                with open(os.path.join(stats, "index.html")) as f:
                    page = f.read()
                with open(os.path.join(data_dir, "ws.html")) as f:
                    assert f.read() == page, "the uploaded page differs from ws.html"
                assert page.startswith("<html>\n") and "Max up+down: " in page
                proc.send_signal(signal.SIGTERM)
                code = proc.wait(timeout=20)
            finally:
                if proc.poll() is None:
                    proc.kill()
            assert code == 0, "exit code %d after SIGTERM" % code
        finally:
            server.stdin.close()
            server.wait(timeout=10)
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
