#!/usr/bin/env python3
"""End to end: `tallyglass --export=csv|json` prints a seeded history exactly, oldest first, with
no X display, writes nothing, honours --data-dir and $TALLYGLASS_DATA_DIR, and ends with a clear
error and exit code 1 when the history cannot be read."""
import json
import os
import subprocess
import sys
import tempfile

HISTORY = ("V1.0.0\n"
           "1 1 2027 2.500000 1024.000000\n"
           "30 12 2026 0.125000 301.181780\n"
           "29 2 2024 10.000000 20.000000\n")


def check(condition, message):
    if not condition:
        print("FAILED:", message)
        sys.exit(1)


def export(program, fmt, env, *args):
    return subprocess.run([program, "--export=" + fmt] + list(args), env=env,
                          capture_output=True, text=True, timeout=30)


def snapshot(folder):
    return {name: os.stat(os.path.join(folder, name)).st_mtime_ns for name in os.listdir(folder)}


def main():
    program = sys.argv[1]
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "TALLYGLASS_DATA_DIR")}
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "stats.dat"), "w") as f:
            f.write(HISTORY)
        before = snapshot(folder)

        csv = export(program, "csv", env, "--data-dir", folder)
        check(csv.returncode == 0, "csv export failed: %s" % csv.stderr)
        check(csv.stdout == "date,download_mib,upload_mib,total_mib\n"
                           "2024-02-29,20.000000,10.000000,30.000000\n"
                           "2026-12-30,301.181780,0.125000,301.306780\n"
                           "2027-01-01,1024.000000,2.500000,1026.500000\n",
              "csv export:\n" + csv.stdout)

        result = export(program, "json", dict(env, TALLYGLASS_DATA_DIR=folder))
        check(result.returncode == 0, "json export failed: %s" % result.stderr)
        data = json.loads(result.stdout)
        check(data["since"] == "2024-02-29", "since: %s" % data["since"])
        check([d["date"] for d in data["days"]] == ["2024-02-29", "2026-12-30", "2027-01-01"],
              "json dates: %s" % data["days"])
        check(data["days"][1] == {"date": "2026-12-30", "download_mib": 301.18178,
                                  "upload_mib": 0.125}, "json day: %s" % data["days"][1])
        check(snapshot(folder) == before, "the export wrote to the data folder")

    with tempfile.TemporaryDirectory() as folder:
        # A folder where the history should be: there, but not readable as a file.
        os.mkdir(os.path.join(folder, "stats.dat"))
        bad = export(program, "csv", env, "--data-dir", folder)
        check(bad.returncode == 1, "unreadable history exit code %d" % bad.returncode)
        check(bad.stdout == "", "unreadable history printed: %r" % bad.stdout)
        check("cannot read the history" in bad.stderr and "stats.dat" in bad.stderr,
              "unreadable history message: %r" % bad.stderr)

    with tempfile.TemporaryDirectory() as parent:
        # Nothing recorded yet: an empty export, and no data folder made.
        folder = os.path.join(parent, "never-used")
        empty = export(program, "json", env, "--data-dir", folder)
        check(empty.returncode == 0 and json.loads(empty.stdout)["days"] == [],
              "empty export: %r %r" % (empty.stdout, empty.stderr))
        check(not os.path.exists(folder), "the export made the data folder")
    print("export: ok")


if __name__ == "__main__":
    main()
