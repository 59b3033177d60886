#!/usr/bin/env python3
"""Checks of bench/process/run.py: the /proc parsers and the program's --report-shown signal.

  run_test.py [NORVANE_BINARY]   (the end-to-end case is skipped without the binary)
"""
import os
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run  # noqa: E402

NORVANE = sys.argv.pop(1) if len(sys.argv) >= 2 else None


class ParseTest(unittest.TestCase):
    def test_shown_lines(self):
        cases = [("shown 7348.739656821\n", 7348.739656821), ("shown 12", 12.0), ("shown", None),
                 ("shown soon", None), ("norvane: shown 1.0", None), ("shown 1.0 2.0", None), ("", None)]
        for line, expected in cases:
            with self.subTest(line=line):
                self.assertEqual(run.parse_shown(line), expected)

    def test_vm_rss(self):
        self.assertEqual(run.vm_rss_kb("Name:\tx\nVmPeak:\t 9 kB\nVmRSS:\t   40624 kB\nThreads:\t10\n"), 40624)
        with self.assertRaises(ValueError):
            run.vm_rss_kb("Name:\tx\nVmPeak:\t 9 kB\n")

    def test_schedstat_time_on_cpu(self):
        self.assertEqual(run.schedstat_ns("123456789 2000 17\n"), 123456789)
        with self.assertRaises(ValueError):
            run.schedstat_ns("")

    def test_cpu_percent(self):
        self.assertAlmostEqual(run.cpu_percent(100, 150, 5.0, 100), 10.0)
        self.assertEqual(run.cpu_percent(7, 7, 2.0, 100), 0.0)


@unittest.skipIf(NORVANE is None, "no norvane binary given")
class ReportShownTest(unittest.TestCase):
    def test_simulated_window_reports_shown_then_syncs_and_hides(self):
        with tempfile.TemporaryDirectory() as home:
            before = time.monotonic()
            p = run.Running([NORVANE, "--simulate", "--report-shown", "--animate", "--hide-when-shown"], home)
            try:
                self.assertGreaterEqual(p.shown, before)
                self.assertLessEqual(p.shown, time.monotonic())
                self.assertGreater(run.vm_rss_kb(p.read("status")), 0)
                first = p.cpu_ns()
                deadline = time.monotonic() + 10
                while not any("light sync" in line for line in p.lines) and time.monotonic() < deadline:
                    time.sleep(0.05)
                self.assertIn("norvane: light sync started\n", p.lines)
                self.assertGreater(p.cpu_ns(), first)
            finally:
                p.stop()
            self.assertEqual(p.proc.returncode, 0)
            self.assertEqual(sum(run.parse_shown(line) is not None for line in p.lines), 1)


if __name__ == "__main__":
    unittest.main()
