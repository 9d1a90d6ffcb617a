#!/usr/bin/env python3
"""Every text of the program has its translation in each catalogue.

lupdate reads the sources into a copy of each .ts file, as `update_translations` would; lrelease
then counts the copy's finished and unfinished translations. A text without a translation (new,
or changed in the sources) or an entry whose text is gone from the sources fails the check, each
named with its context.

Arguments: lupdate, lrelease, the list of sources (one a line), then the .ts files, then "--" and
lupdate's options.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree


def run(*args):
    result = subprocess.run(list(args), capture_output=True, text=True)
    if result.returncode != 0:
        print("FAILED: %s (%d)\n%s%s" % (" ".join(args), result.returncode, result.stdout,
                                        result.stderr))
        sys.exit(1)
    return result.stdout + result.stderr


def count(pattern, text):
    found = re.search(pattern, text)
    return tuple(int(n) for n in found.groups()) if found else None


def lacking(ts_path):
    """The messages of a .ts file without a finished translation: (context, source, why)."""
    found = []
    for context in ElementTree.parse(ts_path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            translation = message.find("translation")
            kind = translation.get("type") if translation is not None else "unfinished"
            if kind in ("unfinished", "vanished", "obsolete"):
                why = ("no translation, or one of an earlier text" if kind == "unfinished"
                       else "no longer in the sources")
                found.append((name, message.findtext("source"), why))
    return found


def check(lupdate, lrelease, sources, ts_file, options, scratch):
    copy = os.path.join(scratch, os.path.basename(ts_file))
    shutil.copyfile(ts_file, copy)
    updated = run(lupdate, *options, "@" + sources, "-ts", copy)
    texts = count(r"Found (\d+) source text\(s\) \((\d+) new and (\d+) already existing\)",
                  updated)
    released = run(lrelease, copy, "-qm", os.path.join(scratch, "check.qm"))
    generated = count(r"Generated (\d+) translation\(s\) \((\d+) finished and (\d+) unfinished\)",
                      released)
    ignored = count(r"Ignored (\d+) untranslated source text\(s\)", released) or (0,)
    name = os.path.basename(ts_file)
    if texts is None or generated is None:
        print("FAILED: %s: lupdate or lrelease said what this check cannot read:\n%s%s"
              % (name, updated, released))
        return False
    print("%s: %d source texts (%d new); %d translations, %d finished, %d unfinished, "
          "%d untranslated" % ((name,) + texts[:2] + generated + ignored))
    missing = lacking(copy)
    if not missing and generated[2] == 0 and ignored[0] == 0:
        return True
    print("FAILED: %s is not complete:" % name)
    for context, source, why in missing:
        print("  %s: %r (%s)" % (context, source, why))
    print("Translate them in %s (`cmake --build build --target update_translations` brings "
          "it up to date with the sources)." % ts_file)
    return False


def main():
    split = sys.argv.index("--")
    lupdate, lrelease, sources = sys.argv[1:4]
    # Entries whose text is gone stay in the copy, to be named.
    ts_files = sys.argv[4:split]
    options = [option for option in sys.argv[split + 1:] if option != "-no-obsolete"]
    with tempfile.TemporaryDirectory() as scratch:
        results = [check(lupdate, lrelease, sources, ts, options, scratch) for ts in ts_files]
    sys.exit(0 if all(results) else 1)


if __name__ == "__main__":
    main()
