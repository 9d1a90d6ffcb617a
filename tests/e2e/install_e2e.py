#!/usr/bin/env python3
"""End to end: the program as a user gets it.

1. `cmake --install` into a temporary DESTDIR holds every file of the install layout, and the
   desktop entry, the AppStream metainfo and the man page pass their validators.
2. The Debian package (CPack) is built, lists the expected files and dependencies, passes
   lintian without errors where lintian is installed, and unpacked with `dpkg-deb -x` gives a
   program that answers --version, speaks German from the catalogue in its share folder, shows
   the quota warning picture from there and opens its help page from there (through a stand-in
   xdg-open).

Arguments: the build folder, the source folder.
"""
import glob
import json
import os
import shutil
import subprocess
import sys
import tempfile

from xserver import Display, wait_for

ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
APP_ID = "io.github.tallyglass.Tallyglass"


def check(condition, message):
    if not condition:
        print("FAILED:", message)
        sys.exit(1)


def run(*args, **kwargs):
    result = subprocess.run(list(args), capture_output=True, text=True, **kwargs)
    check(result.returncode == 0, "%s failed (%d):\n%s%s" % (
        " ".join(args), result.returncode, result.stdout, result.stderr))
    return result.stdout + result.stderr


def expected_files(prefix):
    files = ["bin/tallyglass", "share/tallyglass/TallyglassHelp.html",
             "share/tallyglass/gfx/warning.bmp", "share/tallyglass/gfx/u.gif",
             "share/tallyglass/gfx/d.gif", "share/tallyglass/gfx/tallyglassbg.gif",
             "share/tallyglass/translations/tallyglass_de.qm",
             "share/applications/tallyglass.desktop",
             "share/metainfo/%s.metainfo.xml" % APP_ID,
             "share/icons/hicolor/scalable/apps/tallyglass.svg",
             "share/man/man1/tallyglass.1.gz"]
    files += ["share/icons/hicolor/%dx%d/apps/tallyglass.png" % (s, s) for s in ICON_SIZES]
    return [os.path.join(prefix, f) for f in files]


def validate(prefix):
    out = run("desktop-file-validate", os.path.join(prefix, "share/applications/tallyglass.desktop"))
    check("error" not in out.lower(), "desktop-file-validate: " + out)
    run("appstreamcli", "validate", "--no-net",
        os.path.join(prefix, "share/metainfo/%s.metainfo.xml" % APP_ID))
    warnings = subprocess.run(
        ["man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z",
         os.path.join(prefix, "share/man/man1/tallyglass.1.gz")],
        capture_output=True, text=True, env=dict(os.environ, MANROFFSEQ="", LC_ALL="C.UTF-8"))
    check(warnings.returncode == 0 and warnings.stderr == "", "man page: " + warnings.stderr)


def seed_exceeded_quota(folder):
    """An active quota of 10 MB with 50 MB used, in a period that ends in the far future."""
    with open(os.path.join(folder, "capwarden.dat"), "w") as f:
        f.write("V1.0.0\n1\n1\n1\n2999\n10.000000\n-1.000000\n-1.000000\n"
                "0.000000\n50.000000\n1\n1\n")


def amber_pixels(raw):
    """How many pixels have the warning picture's amber."""
    count = 0
    for i in range(0, len(raw) - 2, 3 * 7):  # every seventh pixel is plenty
        r, g, b = raw[i], raw[i + 1], raw[i + 2]
        if r > 235 and 165 < g < 220 and b < 40:
            count += 1
    return count


def check_installed_program(prefix, scratch):
    program = os.path.join(prefix, "bin/tallyglass")
    version = run(program, "--version", env={"PATH": "/usr/bin:/bin"})
    check(version.startswith("Tallyglass "), "--version: " + version)
    for language, expected in (("de_DE.UTF-8", "Diese Hilfe anzeigen und beenden."),
                               ("C.UTF-8", "Show this help and exit.")):
        helped = run(program, "--help", env={"PATH": "/usr/bin:/bin", "LANG": language})
        check(expected in helped, "--help under %s: %s" % (language, helped))

    # A stand-in for the desktop's xdg-open, which the help command calls with the page's URL.
    fake_bin = os.path.join(scratch, "bin")
    os.makedirs(fake_bin)
    opened = os.path.join(scratch, "opened")
    with open(os.path.join(fake_bin, "xdg-open"), "w") as f:
        f.write("#!/bin/sh\nprintf '%%s\\n' \"$1\" >> %s\n" % opened)
    os.chmod(os.path.join(fake_bin, "xdg-open"), 0o755)

    data = os.path.join(scratch, "data")
    os.makedirs(data)
    seed_exceeded_quota(data)
    display = Display()
    try:
        meter = display.start(program, "--data-dir", data,
                              PATH=fake_bin + ":" + os.environ["PATH"])
        check(wait_for(lambda: display.find_window("Tallyglass"), 20), "no graph window")
        check(wait_for(lambda: amber_pixels(display.shot()) > 100, 15),
              "the quota warning picture never showed: gfx/warning.bmp not found")
        window = display.find_window("Tallyglass")
        display.run("xdotool", "mousemove", "--window", window, "20", "20", "click", "1")
        display.run("xdotool", "key", "--window", window, "F1")
        expected = "file://" + os.path.join(prefix, "share/tallyglass/TallyglassHelp.html")
        check(wait_for(lambda: os.path.exists(opened) and expected in open(opened).read(), 15),
              "F1 did not open %s (%s)" % (expected, open(opened).read()
                                             if os.path.exists(opened) else "nothing opened"))
        display.stop(meter)
    finally:
        display.close()


def main():
    build, source = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as scratch:
        destdir = os.path.join(scratch, "destdir")
        run("cmake", "--install", build, "--prefix", "/usr", env=dict(os.environ, DESTDIR=destdir))
        prefix = os.path.join(destdir, "usr")
        missing = [f for f in expected_files(prefix) if not os.path.isfile(f)]
        check(not missing, "not installed: %s" % missing)
        validate(prefix)
        print("install layout: ok")

        packages = os.path.join(scratch, "packages")
        run("cpack", "-G", "DEB", "-B", packages, cwd=build)
        debs = glob.glob(os.path.join(packages, "tallyglass_*.deb"))
        check(len(debs) == 1, "packages: %s" % debs)
        deb = debs[0]
        fields = run("dpkg-deb", "--field", deb, "Package", "Version", "Architecture", "Depends",
                     "Recommends", "Section", "Maintainer")
        print(fields)
        for needed in ("libqt6widgets6", "qt6-qpa-plugins", "libcurl4", "Section: net",
                       "qt6-translations-l10n"):
            check(needed in fields, "the package lacks %s" % needed)
        contents = run("dpkg-deb", "--contents", deb)
        for f in expected_files("./usr"):
            check(" " + f + "\n" in contents or contents.endswith(" " + f),
                  "the package lacks %s" % f)
        if shutil.which("lintian"):
            report = subprocess.run(["lintian", "--tag-display-limit", "0", deb],
                                    capture_output=True, text=True).stdout
            print("lintian:\n" + report)
            errors = [line for line in report.splitlines() if line.startswith("E:")]
            check(not errors, "lintian errors: %s" % errors)

        unpacked = os.path.join(scratch, "unpacked")
        run("dpkg-deb", "-x", deb, unpacked)
        validate(os.path.join(unpacked, "usr"))
        check_installed_program(os.path.join(unpacked, "usr"), scratch)
        print("package: ok")


if __name__ == "__main__":
    main()
