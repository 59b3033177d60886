#!/usr/bin/env python3
"""Whole-process figures of norvane beside a bare Qt window, measured in the same run.

Runs itself again under xvfb-run and a private dbus-run-session, then prints for each program
(norvane on every simulated device; on a keyboard alone, which lights itself and takes no
frames, so that nothing but the program's own timers runs while it is hidden; on a mouse and
mousepad only, which are lit by frames the program streams every 5 ms even while idle; and the
bare window): start to window shown, resident memory after start, CPU while hidden and idle, and CPU while
hidden with every device on the light sync.

  bench/process/run.py [--build DIR] [--seconds N] [--runs K]
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import threading
import time

SIMULATED = "keyboard,mouse,mousepad,headset"
PERIPHERALS = "mouse,mousepad"
INSIDE = "NORVANE_PROCESS_BENCH_INSIDE"


def parse_shown(line):
    """The monotonic time of a "shown <seconds>" line, or None for any other line."""
    parts = line.split()
    if len(parts) != 2 or parts[0] != "shown":
        return None
    try:
        return float(parts[1])
    except ValueError:
        return None


def vm_rss_kb(status_text):
    """VmRSS in kB from the text of /proc/PID/status."""
    for line in status_text.splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    raise ValueError("no VmRSS line")


def cpu_percent(ticks_before, ticks_after, seconds, ticks_per_second):
    return 100.0 * (ticks_after - ticks_before) / ticks_per_second / seconds


def schedstat_ns(schedstat_text):
    """Time on the CPU (ns) from the text of /proc/PID/task/TID/schedstat."""
    fields = schedstat_text.split()
    if not fields:
        raise ValueError("empty schedstat")
    return int(fields[0])


class Running:
    """One program started with --report-shown; stderr is drained by a thread."""

    def __init__(self, argv, home, timeout=20.0, trace=False):
        env = dict(os.environ, HOME=home, NORVANE_TRACE="1" if trace else "")
        self.started = time.monotonic()
        self.proc = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                     text=True)
        self.shown = None
        self.lines = []
        self.stamps = []  # (monotonic time read, line)
        self._event = threading.Event()
        self._reader = threading.Thread(target=self._drain, daemon=True)
        self._reader.start()
        if not self._event.wait(timeout) or self.shown is None:
            self.stop()
            raise RuntimeError(f"{argv[0]}: no window shown within {timeout} s: {''.join(self.lines[-5:])}")

    def _drain(self):
        for line in self.proc.stderr:
            self.stamps.append((time.monotonic(), line))
            self.lines.append(line)
            if self.shown is None:
                self.shown = parse_shown(line)
                if self.shown is not None:
                    self._event.set()
        self._event.set()

    def read(self, name):
        with open(f"/proc/{self.proc.pid}/{name}", encoding="utf-8") as f:
            return f.read()

    def cpu_ns(self):
        """Time on the CPU of every live thread (ns): finer than the clock ticks of stat."""
        total = 0
        for tid in os.listdir(f"/proc/{self.proc.pid}/task"):
            try:
                with open(f"/proc/{self.proc.pid}/task/{tid}/schedstat", encoding="utf-8") as f:
                    total += schedstat_ns(f.read())
            except FileNotFoundError:
                pass  # the thread ended meanwhile
        return total

    def stop(self):
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        self._reader.join(5)
        self.proc.stderr.close()


def measure(argv, args):
    """Median start (s) and memory (MB) over the runs, then idle and animating CPU (% of a core)."""
    starts, rss = [], []
    with tempfile.TemporaryDirectory() as home:
        for _ in range(args.runs):
            p = Running(argv + ["--report-shown"], home)
            starts.append(p.shown - p.started)
            time.sleep(1.0)
            rss.append(vm_rss_kb(p.read("status")) / 1024.0)
            p.stop()
        cpu = []
        for extra in (["--hide-when-shown"], ["--hide-when-shown", "--animate"]):
            p = Running(argv + ["--report-shown"] + extra, home)
            time.sleep(args.settle)
            before = p.cpu_ns()
            time.sleep(args.seconds)
            after = p.cpu_ns()
            cpu.append(cpu_percent(before, after, args.seconds, 1e9))
            notes = [line.strip() for line in p.lines if "light sync" in line]
            p.stop()
            if "--animate" in extra and notes and "not started" in notes[0]:
                print(f"# {os.path.basename(argv[0])}: {notes[0]}")
    return statistics.median(starts), min(starts), statistics.median(rss), cpu[0], cpu[1]


def wait_line(p, text, after, timeout=5.0):
    """The time the first line holding text was read after the time after; None on time-out."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        for stamp, line in list(p.stamps):
            if stamp > after and text in line:
                return stamp
        time.sleep(0.001)
    return None


def measure_arrival(binaries, runs):
    """Plugging a simulated keyboard into a running norvane until its tile is shown (ms): from the
    start of the plug call (norvane-ctl's own start included) and from its return."""
    ctl = os.path.join(binaries, "norvane-ctl")
    from_start, from_return = [], []
    with tempfile.TemporaryDirectory() as home:
        p = Running([os.path.join(binaries, "norvane"), "--simulate=keyboard", "--report-shown"], home,
                    trace=True)
        try:
            if wait_line(p, "shown, 1 connected", 0.0, 10.0) is None:
                raise RuntimeError("the keyboard's tile was never shown")
            for _ in range(runs):
                before = time.monotonic()
                subprocess.run([ctl, "sim", "unplug", "keyboard"], check=True, stdout=subprocess.DEVNULL)
                if wait_line(p, "hidden, 0 connected", before) is None:
                    raise RuntimeError("the tile stayed after the unplug")
                time.sleep(0.3)
                start = time.monotonic()
                subprocess.run([ctl, "sim", "plug", "keyboard"], check=True, stdout=subprocess.DEVNULL)
                returned = time.monotonic()
                shown = wait_line(p, "shown, 1 connected", start)
                if shown is None:
                    raise RuntimeError("the tile did not come back after the plug")
                from_start.append((shown - start) * 1000)
                from_return.append((shown - returned) * 1000)
        finally:
            p.stop()
    return statistics.median(from_start), max(from_start), statistics.median(from_return)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "..", "..", "build"))
    parser.add_argument("--seconds", type=float, default=10.0, help="CPU sampling window")
    parser.add_argument("--settle", type=float, default=5.0,
                        help="wait after the window is shown (start-up work, such as the companion's start, ends)")
    parser.add_argument("--runs", type=int, default=5, help="starts measured for the start figure")
    args = parser.parse_args()
    if os.environ.get(INSIDE) != "1":
        env = dict(os.environ, **{INSIDE: "1"})
        return subprocess.call(["xvfb-run", "-a", "-s", "-screen 0 1920x1080x24", "dbus-run-session", "--",
                                sys.executable, os.path.abspath(__file__)] + sys.argv[1:], env=env)
    binaries = os.path.abspath(os.path.join(args.build, "bin"))
    programs = [("norvane", [os.path.join(binaries, "norvane"), f"--simulate={SIMULATED}"]),
                ("keyboard", [os.path.join(binaries, "norvane"), "--simulate=keyboard"]),
                ("mouse + pad", [os.path.join(binaries, "norvane"), f"--simulate={PERIPHERALS}"]),
                ("bare window", [os.path.join(binaries, "norvane_bare_window")])]
    with open("/proc/loadavg", encoding="utf-8") as f:
        load = f.read().split()[:3]
    print(f"# {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}, {os.cpu_count()} cores, "
          f"load {' '.join(load)}; {args.runs} starts, CPU over {args.seconds:g} s")
    rows = [(name, measure(argv, args)) for name, argv in programs]
    print(f"{'':<12} {'shown (median/min)':>20} {'VmRSS':>9} {'idle CPU':>9} {'animating':>10}")
    for name, (start, fastest, mb, idle, busy) in rows:
        print(f"{name:<12} {start * 1000:>10.0f} / {fastest * 1000:>4.0f} ms {mb:>6.1f} MB {idle:>8.2f}% {busy:>9.2f}%")
    start, worst, after_call = measure_arrival(binaries, args.runs)
    print(f"arrival to tile shown: {start:.0f} ms median, {worst:.0f} ms worst from the plug call's start "
          f"({after_call:.0f} ms median from its return; the device scan runs every 100 ms)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
