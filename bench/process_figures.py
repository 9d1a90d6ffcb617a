"""What the measuring scripts read about a running process from /proc: CPU time, wake-ups
(context switches of all its threads) and memory (peak resident, private, proportional and the
anonymous part of it, which is the memory that is the program's own rather than shared code).

The parsing takes the files' text, so that it can be checked without a process."""
import os

KB_PER_MB = 1024.0


def cpu_ticks(stat_text):
    """utime + stime, in clock ticks, of a /proc/PID/stat line. The command name may hold
    spaces and parentheses; the fields after its last ")" are fixed."""
    fields = stat_text.rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def context_switches(status_text):
    """Voluntary plus involuntary context switches of one /proc/.../status: each is a wake-up
    of that thread."""
    total = 0
    for line in status_text.splitlines():
        key, _, value = line.partition(":")
        if key in ("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches"):
            total += int(value.split()[0])
    return total


def _kb_fields(text):
    fields = {}
    for line in text.splitlines():
        key, _, value = line.partition(":")
        parts = value.split()
        if len(parts) == 2 and parts[1] == "kB":
            fields[key.strip()] = int(parts[0])
    return fields


def memory_kb(status_text, rollup_text):
    """Peak resident, private (clean and dirty), proportional set and its anonymous part, in
    kB, from /proc/PID/status and /proc/PID/smaps_rollup."""
    status = _kb_fields(status_text)
    rollup = _kb_fields(rollup_text)
    return {
        "peak_rss": status.get("VmHWM", 0),
        "private": rollup.get("Private_Clean", 0) + rollup.get("Private_Dirty", 0),
        "pss": rollup.get("Pss", 0),
        "pss_anon": rollup.get("Pss_Anon", 0),
    }


class Reading:
    """A process at one moment: CPU ticks, the context switches of each thread by thread id
    and of the main thread, and the time it was read."""

    def __init__(self, ticks, switches_by_thread, main_thread, seconds):
        self.ticks = ticks
        self.switches_by_thread = switches_by_thread
        self.main_thread = main_thread
        self.seconds = seconds


def _read(path):
    with open(path) as f:
        return f.read()


def read_process(pid, clock):
    """Reads a running process; `clock` gives the time in seconds (time.monotonic)."""
    by_thread = {}
    for tid in os.listdir("/proc/%d/task" % pid):
        try:
            by_thread[int(tid)] = context_switches(_read("/proc/%d/task/%s/status" % (pid, tid)))
        except (FileNotFoundError, ProcessLookupError):
            pass  # the thread ended while we looked
    return Reading(cpu_ticks(_read("/proc/%d/stat" % pid)), by_thread,
                   context_switches(_read("/proc/%d/status" % pid)), clock())


def read_memory(pid):
    return memory_kb(_read("/proc/%d/status" % pid), _read("/proc/%d/smaps_rollup" % pid))


def rates(before, after, ticks_per_second):
    """CPU (percent of one core), wake-ups a second of all threads and of the main thread
    between two readings. A thread counts from its first reading on (or from its start, when
    it began in between); one that ended in between takes its switches with it."""
    elapsed = after.seconds - before.seconds
    if elapsed <= 0:
        raise ValueError("the second reading must come later")
    switches = sum(count - before.switches_by_thread.get(tid, 0)
                   for tid, count in after.switches_by_thread.items())
    return {
        "cpu": 100.0 * (after.ticks - before.ticks) / ticks_per_second / elapsed,
        "wakeups": switches / elapsed,
        "main_wakeups": (after.main_thread - before.main_thread) / elapsed,
        "seconds": elapsed,
    }


def ratio_text(ours, theirs):
    """"12.3 x", or why there is no ratio."""
    if theirs <= 0:
        return "n/a (conky used no measurable CPU)"
    return "%.1f x" % (ours / theirs)


def figure_rows(figures):
    """Table rows (name, CPU, wake-ups, memory...) for named processes' `rates` and
    `memory_kb` results; a process without one of them shows "-" there."""
    rows = [("", "CPU %", "wake-ups/s (main)", "peak RSS MB", "private MB", "PSS MB",
             "Pss_Anon MB")]
    for name, cpu, memory in figures:
        row = [name]
        if cpu is None:
            row += ["-", "-"]
        else:
            row += ["%.2f" % cpu["cpu"], "%.0f (%.0f)" % (cpu["wakeups"], cpu["main_wakeups"])]
        if memory is None:
            row += ["-"] * 4
        else:
            row += ["%.1f" % (memory[key] / KB_PER_MB)
                    for key in ("peak_rss", "private", "pss", "pss_anon")]
        rows.append(tuple(row))
    return rows


def format_table(rows, indent="  "):
    """Columns right-aligned under their headings, the first (names) left-aligned."""
    widths = [max(len(row[i]) for row in rows) for i in range(len(rows[0]))]
    lines = []
    for row in rows:
        cells = [row[0].ljust(widths[0])] + [cell.rjust(width)
                                              for cell, width in zip(row[1:], widths[1:])]
        lines.append((indent + "  ".join(cells)).rstrip())
    return "\n".join(lines)
