"""The figures the measuring scripts read from /proc: parsed from sample texts, and the rates
between two readings."""
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench"))
import process_figures as figures  # noqa: E402

STATUS = """Name:\ttallyglass
VmPeak:\t  812345 kB
VmHWM:\t  117324 kB
VmRSS:\t  113000 kB
Threads:\t4
voluntary_ctxt_switches:\t1200
nonvoluntary_ctxt_switches:\t34
"""

ROLLUP = """55d0c0000000-7ffd00000000 ---p 00000000 00:00 0                      [rollup]
Rss:              117324 kB
Pss:               63758 kB
Pss_Dirty:         24754 kB
Pss_Anon:          24696 kB
Pss_File:          39004 kB
Shared_Clean:      78744 kB
Private_Clean:     13880 kB
Private_Dirty:     24696 kB
Private_Hugetlb:       0 kB
"""


class ParsingTest(unittest.TestCase):
    def test_cpu_ticks_are_user_plus_system_whatever_the_name(self):
        rest = "S 1 2 3 4 5 6 7 8 9 10 1500 250 12 13 20 0 4 0 99"
        for name in ("tallyglass", "tally glass", "a) b) (c"):
            with self.subTest(name=name):
                self.assertEqual(figures.cpu_ticks("4242 (%s) %s" % (name, rest)), 1750)

    def test_context_switches_add_both_kinds(self):
        self.assertEqual(figures.context_switches(STATUS), 1234)
        self.assertEqual(figures.context_switches("Name:\tx\n"), 0)

    def test_memory_from_status_and_rollup(self):
        self.assertEqual(figures.memory_kb(STATUS, ROLLUP), {
            "peak_rss": 117324, "private": 13880 + 24696, "pss": 63758, "pss_anon": 24696})

    def test_memory_of_a_kernel_without_pss_anon_reads_zero_there(self):
        older = "\n".join(line for line in ROLLUP.splitlines() if "Pss_Anon" not in line)
        self.assertEqual(figures.memory_kb(STATUS, older)["pss_anon"], 0)


def reading(ticks, by_thread, main, seconds):
    return figures.Reading(ticks, by_thread, main, seconds)


class RatesTest(unittest.TestCase):
    def test_rates_over_an_interval(self):
        cases = [
            # (before, after, cpu %, wake-ups/s, main thread's)
            ("steady threads", reading(100, {1: 50, 2: 10}, 50, 10.0),
             reading(150, {1: 250, 2: 30}, 250, 20.0), 5.0, 22.0, 20.0),
            ("a thread that began in between counts from its start",
             reading(0, {1: 0}, 0, 0.0), reading(100, {1: 100, 7: 40}, 100, 10.0),
             10.0, 14.0, 10.0),
            ("a thread that ended takes its switches with it",
             reading(0, {1: 0, 7: 500}, 0, 0.0), reading(0, {1: 30}, 30, 10.0), 0.0, 3.0, 3.0),
        ]
        for name, before, after, cpu, wakeups, main in cases:
            with self.subTest(name):
                got = figures.rates(before, after, 100)
                self.assertAlmostEqual(got["cpu"], cpu)
                self.assertAlmostEqual(got["wakeups"], wakeups)
                self.assertAlmostEqual(got["main_wakeups"], main)

    def test_readings_out_of_order_are_refused(self):
        with self.assertRaises(ValueError):
            figures.rates(reading(0, {}, 0, 5.0), reading(0, {}, 0, 5.0), 100)

    def test_this_process_reads_back(self):
        before = figures.read_process(os.getpid(), time.monotonic)
        time.sleep(0.05)  # another tick of the clock; the test checks no amount of it
        after = figures.read_process(os.getpid(), time.monotonic)
        self.assertIn(os.getpid(), after.switches_by_thread)
        got = figures.rates(before, after, os.sysconf("SC_CLK_TCK"))
        self.assertGreaterEqual(got["cpu"], 0.0)
        self.assertGreater(figures.read_memory(os.getpid())["pss_anon"], 0)


class TableTest(unittest.TestCase):
    def test_ratio_text(self):
        self.assertEqual(figures.ratio_text(6.0, 0.5), "12.0 x")
        self.assertEqual(figures.ratio_text(6.0, 0.0), "n/a (conky used no measurable CPU)")

    def test_rows_in_megabytes_with_dashes_for_what_was_not_measured(self):
        cpu = {"cpu": 6.054, "wakeups": 190.4, "main_wakeups": 83.2, "seconds": 40.0}
        memory = {"peak_rss": 117324, "private": 38576, "pss": 63758, "pss_anon": 24696}
        rows = figures.figure_rows([("tallyglass", cpu, memory), ("after", None, memory),
                                    ("conky", cpu, None)])
        self.assertEqual(rows[1], ("tallyglass", "6.05", "190 (83)", "114.6", "37.7", "62.3",
                                   "24.1"))
        self.assertEqual(rows[2][1:3], ("-", "-"))
        self.assertEqual(rows[3][3:], ("-", "-", "-", "-"))

    def test_table_aligns_columns(self):
        text = figures.format_table([("", "CPU %"), ("tallyglass", "6.05"), ("conky", "0.6")])
        self.assertEqual(text.splitlines(), ["              CPU %", "  tallyglass   6.05",
                                             "  conky         0.6"])


if __name__ == "__main__":
    unittest.main()
