#!/usr/bin/env python3
"""Tallyglass beside conky, a small desktop monitor, on an X server of their own: for each state
measured, both programs' CPU (percent of one core) over the same interval with their wake-ups a
second beside it, the ratio, and each one's memory at the end of it: peak resident, private,
proportional (PSS) and the anonymous part of the PSS (Pss_Anon: the memory that is the
program's own, not shared code).

States (each on a fresh X server with both programs started anew):
  traffic  the window shown, a varying flow of about 1.5 MB/s on one loopback TCP connection
  idle     the window shown, no traffic made (--no-traffic), measured once the line has
           filled the window (90 s)
  hidden   the meter hidden in the tray (trayer), no traffic made (--hidden); conky has no
           tray and runs as usual, so the figures set a hidden meter beside a shown conky
--all runs the three one after the other and ends with a summary.

Both monitor loopback: Tallyglass a 320 x 90 line graph (bars with --bars, the dial with --dial;
loopback counted),
conky a 300-pixel download and an upload graph, 30 pixels high together, redrawn
--conky-rate times a second. Wake-ups are the voluntary and involuntary context switches of all
the program's threads; the main thread's alone in brackets (what /proc/PID/status shows).

--apps-window: 300 processes hold 500 loopback connections (1,000 open TCP sockets of the
user's) and the Applications window stays open through the measured interval, so each sample
also polls the sockets and the processes.

--tool-windows: at the end of the first shown state, every tool window is opened from the
meter's right-click menu and closed again once (xdotool), and the memory is read once more.

Where allowed (root), everything runs in a network namespace of its own, so loopback traffic
of other programs on the machine is not seen. conky is installed from Debian (conky-std) when
missing.
"""
import argparse
import math
import multiprocessing
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import process_figures as figures  # noqa: E402
from loopback import LoopbackConnection  # noqa: E402
from meter_settings import write_settings  # noqa: E402
from namespaces import run_in_own_namespaces  # noqa: E402
from tool_windows import TOOL_WINDOWS, open_and_close, open_window, xdotool  # noqa: E402
from xserver import Display, pixel, wait_for  # noqa: E402

WARM_UP_SECONDS = 5.0  # start-up (and the first screen of samples) is not what we measure
# Without traffic, until the line has filled the 320-pixel window (a sample is 3 pixels, about
# 1.4 samples a second): before that its left end still moves in, which is not standing still.
FILLED_SECONDS = 90.0
SETTLE_SECONDS = 3.0  # after the last tool window closed, before memory is read
GRAPH_TYPES = {"lines": "701", "bars": "702", "dial": "703"}


class State:
    def __init__(self, name, title, traffic, hidden, warm_up=WARM_UP_SECONDS):
        self.name = name
        self.title = title
        self.traffic = traffic
        self.hidden = hidden
        self.warm_up = warm_up


STATES = {
    "traffic": State("traffic", "with loopback traffic, window shown", True, False),
    "idle": State("idle", "no traffic, window shown (after %g s, the graph filled)" %
                  FILLED_SECONDS, False, False, FILLED_SECONDS),
    "hidden": State("hidden", "no traffic, meter hidden in the tray (trayer); "
                    "conky has no tray and is shown as usual", False, True),
}


def send_traffic(seconds):
    """About 1.5 MB/s, swinging between 0.5 and 2.5 MB/s every 8 s, in 10 ms slices."""
    connection = LoopbackConnection()
    start = time.monotonic()
    end = start + seconds
    tick = start
    while time.monotonic() < end:
        rate = 1.5e6 + 1.0e6 * math.sin(2 * math.pi * (tick - start) / 8.0)
        connection.send(b"x" * int(rate / 100))
        tick += 0.01
        time.sleep(max(0.0, tick - time.monotonic()))
    connection.close()


def hold_connections(processes, connections, port, ready):
    """Run in a child: forks `processes` holders that share `connections` connections to
    `port` between them, says so on `ready` and waits to be ended with its holders."""
    import signal
    import socket
    holders = []
    for index in range(processes):
        share = connections // processes + (1 if index < connections % processes else 0)
        pid = os.fork()
        if pid == 0:
            held = [socket.create_connection(("127.0.0.1", port)) for _ in range(share)]
            ready.put(len(held))
            while True:
                signal.pause()
        holders.append(pid)

    def end(*_):
        for holder in holders:
            os.kill(holder, signal.SIGKILL)
        os._exit(0)

    signal.signal(signal.SIGTERM, end)
    while True:
        signal.pause()


class HeldConnections:
    """1,000 open TCP sockets of the user's: this process accepts 500 connections that 300
    others hold."""

    def __init__(self, processes=300, connections=500):
        import socket
        self.server = socket.socket()
        self.server.bind(("127.0.0.1", 0))
        self.server.listen(connections)
        ready = multiprocessing.Queue()
        self.parent = multiprocessing.Process(
            target=hold_connections,
            args=(processes, connections, self.server.getsockname()[1], ready), daemon=True)
        self.parent.start()
        self.accepted = [self.server.accept()[0] for _ in range(connections)]
        for _ in range(processes):
            ready.get(timeout=60)

    def close(self):
        self.parent.terminate()
        self.parent.join()
        for connection in self.accepted:
            connection.close()
        self.server.close()


def conky_config(path, rate):
    with open(path, "w") as out:
        out.write("""conky.config = {
    out_to_x = true, out_to_console = false, own_window = true, own_window_type = 'normal',
    double_buffer = true, update_interval = %g,
    minimum_width = 300, maximum_width = 300, use_xft = false, background = false,
    border_width = 0, gap_x = 0, gap_y = 0, alignment = 'top_left',
};
conky.text = [[${downspeedgraph lo 15,300}
${upspeedgraph lo 15,300}]];
""" % (1.0 / rate))


def meter_settings(folder, graph_type, hidden):
    """The settings a new user gets (as from the second start), loopback counted, the window
    at (0, 100) and 320 x 90, of the given graph type."""
    write_settings(folder, rect=(0, 100, 320, 90), hidden_in_tray=hidden, graph_type=graph_type)


def graph_shown(display, pid):
    """Whether the meter's graph window is on the screen (its tray icon is a window too)."""
    return bool(xdotool("search", "--all", "--onlyvisible", "--pid", pid,
                        "--name", "^Tallyglass$", env=display.env))


def start_tray(display):
    display.start("trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel",
                  "--width", "200", "--height", "32", "--SetDockType", "true")
    # The tray must be up before the meter looks for it.
    if not wait_for(lambda: pixel(display.shot(), 1085, 5) != (0, 0, 0), 20):
        sys.exit("trayer did not come up")


def shot_path(base, state, several):
    if not base or not several:
        return base
    stem, ext = os.path.splitext(base)
    return "%s-%s%s" % (stem, state.name, ext or ".png")


def open_every_tool_window(display, pid):
    failed = [name for index, name in enumerate(TOOL_WINDOWS)
              if not open_and_close(pid, name, index, 1.0, env=display.env)]
    if failed:
        sys.exit("tool windows that did not open or close: %s" % ", ".join(failed))
    time.sleep(SETTLE_SECONDS)


def run_state(state, args, work, tool_windows):
    """Both programs in one state; returns the figures of the interval and the memory
    readings."""
    display = Display()
    helpers = []
    try:
        if state.hidden:
            start_tray(display)
        data = tempfile.mkdtemp(prefix="data-", dir=work)
        meter_settings(data, args.graph_type, state.hidden)
        meter = display.start(args.program, TALLYGLASS_DATA_DIR=data)
        peer = display.start("conky", "-q", "-c", os.path.join(work, "conky.conf"))
        if args.apps_window:
            held = HeldConnections()
            helpers.append(held)
        if state.traffic:
            sender = multiprocessing.Process(
                target=send_traffic, args=(state.warm_up + args.seconds + 10,), daemon=True)
            sender.start()
            helpers.append(sender)
        # conky does not name its process on its window; its class tells it.
        if not wait_for(lambda: xdotool("search", "--onlyvisible", "--class", "conky",
                                        env=display.env), 20):
            sys.exit("conky showed no window")
        if not state.hidden and not wait_for(lambda: graph_shown(display, meter.pid), 20):
            sys.exit("the meter showed no window")
        if args.apps_window and not open_window(meter.pid, "Applications",
                                                TOOL_WINDOWS.index("Applications"),
                                                env=display.env):
            sys.exit("the Applications window did not open")
        time.sleep(state.warm_up)
        if meter.poll() is not None:
            sys.exit("the meter ended during start-up (exit code %s)" % meter.returncode)
        if state.hidden and graph_shown(display, meter.pid):
            sys.exit("the meter did not start hidden in the tray")

        pids = {"tallyglass": meter.pid, "conky": peer.pid}
        before = {name: figures.read_process(pid, time.monotonic) for name, pid in pids.items()}
        time.sleep(args.seconds)
        after = {name: figures.read_process(pid, time.monotonic) for name, pid in pids.items()}
        hz = os.sysconf("SC_CLK_TCK")
        result = {
            "cpu": {name: figures.rates(before[name], after[name], hz) for name in pids},
            "memory": {name: figures.read_memory(pid) for name, pid in pids.items()},
        }
        if state.hidden and graph_shown(display, meter.pid):
            sys.exit("the hidden meter came back during the run")
        shot = shot_path(args.shot, state, len(args.states) > 1)
        if shot:
            display.run("import", "-window", "root", "-crop", "400x200+0+0", shot)
        if tool_windows:
            open_every_tool_window(display, meter.pid)
            result["windows"] = {name: figures.read_memory(pid) for name, pid in pids.items()}
        code = display.stop(meter)
        if code != 0:
            sys.exit("the meter ended with exit code %s" % code)
        return result
    finally:
        for helper in helpers:
            if isinstance(helper, HeldConnections):
                helper.close()
            else:
                helper.terminate()
                helper.join()
        display.close()


def report_state(state, result, rate):
    cpu = result["cpu"]
    memory = result["memory"]
    print("%s, over %.1f s" % (state.title, cpu["tallyglass"]["seconds"]))
    print(figures.format_table(figures.figure_rows([
        ("tallyglass", cpu["tallyglass"], memory["tallyglass"]),
        ("conky (%g/s)" % rate, cpu["conky"], memory["conky"]),
    ])))
    print("  CPU ratio: %s" % figures.ratio_text(cpu["tallyglass"]["cpu"], cpu["conky"]["cpu"]))
    if "windows" in result:
        windows = result["windows"]
        print("memory after every tool window was opened and closed once:")
        print(figures.format_table(figures.figure_rows([
            ("tallyglass", None, windows["tallyglass"]),
            ("conky (%g/s)" % rate, None, windows["conky"]),
        ])))
    print(flush=True)


def report_summary(results):
    rows = [("", "tallyglass CPU %", "wake-ups/s", "conky CPU %", "wake-ups/s", "ratio",
             "tallyglass Pss_Anon MB", "conky Pss_Anon MB")]
    for state, result in results:
        ours = result["cpu"]["tallyglass"]
        theirs = result["cpu"]["conky"]
        rows.append((state.name, "%.2f" % ours["cpu"], "%.0f" % ours["wakeups"],
                     "%.2f" % theirs["cpu"], "%.0f" % theirs["wakeups"],
                     figures.ratio_text(ours["cpu"], theirs["cpu"]).split(" (")[0],
                     "%.1f" % (result["memory"]["tallyglass"]["pss_anon"] / figures.KB_PER_MB),
                     "%.1f" % (result["memory"]["conky"]["pss_anon"] / figures.KB_PER_MB)))
    print("summary")
    print(figures.format_table(rows))


def parse_arguments(argv):
    parser = argparse.ArgumentParser(
        prog="bench/compare_peers.sh",
        description="Tallyglass beside conky: CPU, wake-ups and memory of both in one run.")
    parser.add_argument("--seconds", type=float, default=40.0,
                        help="length of each measured interval (default 40)")
    states = parser.add_mutually_exclusive_group()
    states.add_argument("--no-traffic", dest="states", action="store_const", const=["idle"],
                        help="the window shown, no traffic made")
    states.add_argument("--hidden", dest="states", action="store_const", const=["hidden"],
                        help="the meter hidden in the tray (trayer), no traffic made")
    states.add_argument("--all", dest="states", action="store_const",
                        const=["traffic", "idle", "hidden"],
                        help="with traffic, without, and hidden, one after the other")
    parser.add_argument("--conky-rate", type=float, default=10.0,
                        help="conky's updates a second (default 10)")
    parser.add_argument("--bars", dest="graph_type", action="store_const",
                        const=GRAPH_TYPES["bars"], default=GRAPH_TYPES["lines"],
                        help="the bar graph instead of lines")
    parser.add_argument("--dial", dest="graph_type", action="store_const",
                        const=GRAPH_TYPES["dial"], help="the dial instead of lines")
    parser.add_argument("--shot", metavar="PNG",
                        help="a screenshot of both at the end (one a state, named after it)")
    parser.add_argument("--program", metavar="PATH",
                        default=os.path.join(ROOT, "build", "bin", "tallyglass"),
                        help="the meter to run (default build/bin/tallyglass)")
    parser.add_argument("--apps-window", action="store_true",
                        help="1,000 open TCP sockets of 300 processes, the Applications window "
                        "open throughout")
    parser.add_argument("--tool-windows", action="store_true",
                        help="memory again after every tool window was opened and closed once")
    args = parser.parse_args(argv)
    args.states = args.states or ["traffic"]
    args.program = os.path.abspath(args.program)
    if args.shot:
        args.shot = os.path.abspath(args.shot)
    if args.seconds <= 0 or args.conky_rate <= 0:
        parser.error("--seconds and --conky-rate must be above 0")
    if not os.access(args.program, os.X_OK):
        parser.error("no program at %s" % args.program)
    if args.tool_windows and all(STATES[name].hidden for name in args.states):
        parser.error("--tool-windows needs a state with the window shown")
    if args.apps_window and any(STATES[name].hidden for name in args.states):
        parser.error("--apps-window needs the window shown")
    return args


def main():
    args = parse_arguments(sys.argv[1:])
    for tool in ("Xvfb", "xdotool", "import") + (("trayer",) if "hidden" in args.states else ()):
        if not shutil.which(tool):
            sys.exit("%s is needed (scripts/setup installs it)" % tool)
    if not shutil.which("conky"):
        print("installing conky-std", file=sys.stderr)
        sudo = [] if os.geteuid() == 0 else ["sudo"]
        subprocess.run(sudo + ["apt-get", "install", "-y", "--no-install-recommends",
                               "conky-std"], check=True, stdout=subprocess.DEVNULL)
    # Our own loopback: the script runs itself again inside a fresh network namespace.
    if not run_in_own_namespaces(network=True):
        print("no network namespace allowed: both watch the shared loopback", file=sys.stderr)

    print("%s beside conky, %g s a state" % (args.program, args.seconds), flush=True)
    results = []
    windows_pending = args.tool_windows
    with tempfile.TemporaryDirectory() as work:
        conky_config(os.path.join(work, "conky.conf"), args.conky_rate)
        for name in args.states:
            state = STATES[name]
            with_windows = windows_pending and not state.hidden
            windows_pending = windows_pending and not with_windows
            result = run_state(state, args, work, with_windows)
            report_state(state, result, args.conky_rate)
            results.append((state, result))
    if len(results) > 1:
        report_summary(results)


if __name__ == "__main__":
    main()
