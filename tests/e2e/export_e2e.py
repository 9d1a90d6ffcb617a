#!/usr/bin/env python3
"""End to end: `tallyglass --export=csv|json` prints a seeded history exactly, oldest first, with
no X display, writes nothing, honours --data-dir and $TALLYGLASS_DATA_DIR, and ends with a clear
error and exit code 1 when the history cannot be read. Then real output of Debian's vnstat is
imported twice (the second run changes nothing), with the export before and after, the hourly
and per-interface exports, and the refusals: a file that is not vnStat's, a running meter. A
damaged hourly history is not exported, and not touched."""
import fcntl
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


DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")


def run(program, env, *args, stdin=None):
    return subprocess.run([program] + list(args), env=env, input=stdin, capture_output=True,
                          text=True, timeout=30)


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
    check_vnstat_import(program, dict(env, TZ="UTC"))
    print("export: ok")


def check_vnstat_import(program, env):
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "stats.dat"), "w") as f:
            f.write(HISTORY)
        before = export(program, "csv", env, "--data-dir", folder).stdout
        hours = os.path.join(DATA, "vnstat_two_veth.json")

        first = run(program, env, "--import-vnstat", hours, "--data-dir", folder)
        check(first.returncode == 0, "import failed: %r" % first.stderr)
        check(first.stdout == "Imported from vnStat: 2 interfaces, 4 hours added or changed in "
                             "history.sqlite, 1 days added to stats.dat.\n",
              "import summary: %r" % first.stdout)
        after = export(program, "csv", env, "--data-dir", folder).stdout
        # The recorded days stay as they were; vnStat's day joins them.
        lines = before.splitlines()
        check(after.splitlines() == lines[:2] + ["2026-12-08,44.610537,177.827396,222.437933"] +
              lines[2:], "export after the import:\n" + after)
        written = snapshot(folder)

        with open(hours) as f:
            again = run(program, env, "--import-vnstat", "-", "--data-dir", folder,
                        stdin=f.read())
        check(again.returncode == 0 and ", 0 hours" in again.stdout and ", 0 days" in again.stdout,
              "second import: %r %r" % (again.stdout, again.stderr))
        check(export(program, "csv", env, "--data-dir", folder).stdout == after,
              "the second import changed the export")
        check(snapshot(folder)["stats.dat"] == written["stats.dat"],
              "the second import rewrote stats.dat")

        hourly = export(program, "csv", env, "--data-dir", folder, "--hourly").stdout
        check(hourly.splitlines() == [
            "interface,hour,download_bytes,upload_bytes,total_bytes,monitored",
            "vt30a,2026-12-08T00:00+00:00,30194886,120648230,150843116,1",
            "vt30a,2026-12-08T01:00+00:00,4031360,16159970,20191330,1",
            "vt30c,2026-12-08T00:00+00:00,11411234,45143474,56554708,1",
            "vt30c,2026-12-08T01:00+00:00,1140058,4513866,5653924,1"], "hourly:\n" + hourly)
        one = json.loads(export(program, "json", env, "--data-dir", folder, "--hourly",
                                "--interface", "vt30c").stdout)
        check([i["name"] for i in one["interfaces"]] == ["vt30c"] and
              len(one["interfaces"][0]["hours"]) == 2, "hourly of one interface: %s" % one)
        days = json.loads(export(program, "json", env, "--data-dir", folder,
                                 "--interface=vt30c").stdout)
        check(days == {"since": "2026-12-08", "days": [
            {"date": "2026-12-08", "download_mib": 11.969845, "upload_mib": 47.35693}]},
              "days of one interface: %s" % days)
        unknown = export(program, "csv", env, "--data-dir", folder, "--interface", "eth9")
        check(unknown.returncode == 1 and "eth9" in unknown.stderr,
              "unknown interface: %r" % unknown.stderr)

        # Neither a file that is not vnStat's nor a running meter gets anything written.
        written = snapshot(folder)
        german = dict(env, LANGUAGE="de", LC_ALL="de_DE.UTF-8", LANG="de_DE.UTF-8")
        stats = os.path.join(folder, "stats.dat")
        refused = run(program, german, "--import-vnstat", stats, "--data-dir", folder)
        check(refused.returncode == 1 and
              refused.stderr == "tallyglass: %s ist nicht, was vnstat --json ausgibt. Nichts "
                                "wurde importiert.\n" % stats, "refusal: %r" % refused.stderr)
        with open(os.path.join(folder, "instance.lock"), "a") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
            busy = run(program, env, "--import-vnstat", hours, "--data-dir", folder)
        check(busy.returncode == 1 and "quit it first" in busy.stderr,
              "import beside a meter: %r" % busy.stderr)
        check(snapshot(folder) == written, "a refused import wrote to the data folder")

    with tempfile.TemporaryDirectory() as folder:
        # A damaged hourly history: told in the user's language, and left where it is.
        path = os.path.join(folder, "history.sqlite")
        with open(path, "wb") as f:
            f.write(b"no database here " * 300)
        written = snapshot(folder)
        damaged = export(program, "csv", german, "--data-dir", folder, "--hourly")
        check(damaged.returncode == 1 and damaged.stdout == "" and
              damaged.stderr.startswith("tallyglass: Der stündliche Verlauf %s ist " % path),
              "damaged hourly history: %r" % damaged.stderr)
        check(snapshot(folder) == written, "the export of a damaged hourly history changed %s" %
              sorted(os.listdir(folder)))


if __name__ == "__main__":
    main()
