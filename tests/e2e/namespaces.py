"""Namespaces of a test's own: the calling script runs again inside them, so that its loopback
traffic or its mounts touch nothing else on the machine. Only root may make them."""
import os
import shutil
import subprocess
import sys

_MARK = "TALLYGLASS_OWN_NAMESPACES"


def run_in_own_namespaces(network=False, mounts=False):
    """Runs the calling script again in a new network namespace (loopback up) and/or a private
    mount namespace. Returns True in the process that runs inside them, False where they cannot
    be made (the script goes on where it is); never returns in the process that started the
    inner run."""
    if _MARK in os.environ:
        inside = os.environ[_MARK] == "1"
        if inside and network:
            subprocess.run(["ip", "link", "set", "lo", "up"], check=True)
        return inside
    flags = (["-n"] if network else []) + (["-m", "--propagation", "private"] if mounts else [])
    allowed = shutil.which("unshare") and (not network or shutil.which("ip")) and \
        subprocess.run(["unshare"] + flags + ["true"], capture_output=True).returncode == 0
    os.environ[_MARK] = "1" if allowed else "0"
    if not allowed:
        return False
    sys.exit(subprocess.run(["unshare"] + flags + [sys.executable] + sys.argv).returncode)
