#!/usr/bin/env python3
"""The pair relay on the Linux side alone: rate, delay, stall with fill, end on SIGTERM."""
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

PAIR = os.path.join(os.environ.get("CLSER_TESTBED", os.path.dirname(__file__) + "/../../testbed"), "pty-pair")


def pair_command(*args):
    subprocess.run(["sh", PAIR] + list(args), check=True, timeout=30)


def running(pid):
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(") ", 1)[1][0] != "Z"  # a zombie has ended
    except OSError:
        return False


class PairRelay(unittest.TestCase):
    def setUp(self):
        self.prefix = tempfile.mkdtemp(prefix="pty-relay-test-")
        pair_command("create", self.prefix, "COM5", "TARVCOM5")
        self.a, self.b = (os.open(self.prefix + "/dosdevices/" + n, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
                          for n in ("com5", "tarvcom5"))

    def tearDown(self):
        os.close(self.a)
        os.close(self.b)
        pair_command("sweep", self.prefix)
        shutil.rmtree(self.prefix)

    def test_carries_a_megabyte_a_second_each_way_at_once(self):
        size = 4 << 20
        out = {self.a: bytes(i % 251 for i in range(size)), self.b: bytes(i % 241 for i in range(size))}
        sent, got, took = {self.a: 0, self.b: 0}, {self.a: bytearray(), self.b: bytearray()}, {}
        start = time.monotonic()
        while len(took) < 2 and time.monotonic() - start < 60:
            _, writable, _ = select.select([], [fd for fd in out if sent[fd] < size], [], 0)
            readable, _, _ = select.select(list(out), [], [], 0 if writable else 1)
            for fd in writable:
                sent[fd] += os.write(fd, out[fd][sent[fd]:sent[fd] + 65536])
            for fd in readable:
                got[fd] += os.read(fd, 65536)
                if len(got[fd]) == size:
                    took[fd] = time.monotonic() - start
        for fd, source, name in ((self.b, self.a, "A to B"), (self.a, self.b, "B to A")):
            self.assertEqual(bytes(got[fd]), out[source], name + ": every byte, in order")
            print("[observed] %s, the other way at the same time: %.1f MB/s" % (name, size / took[fd] / 1e6))
            self.assertGreater(size / took[fd], 1e6, name)

    def test_adds_well_under_a_millisecond_to_a_small_write(self):
        master, slave = os.openpty()  # one pseudo-terminal alone, for comparison
        figures = []
        for into, out_of in ((self.a, self.b), (slave, master)):
            delays = []
            for i in range(300):
                start = time.perf_counter()
                os.write(into, b"x")
                select.select([out_of], [], [], 5)
                self.assertEqual(os.read(out_of, 16), b"x")
                delays.append(time.perf_counter() - start)
            figures.append(sorted(delays)[150])
        os.close(master)
        os.close(slave)
        print("[observed] one byte A to B: median %.0f us; through one pseudo-terminal alone: %.0f us"
              % (figures[0] * 1e6, figures[1] * 1e6))
        self.assertLess(figures[0] - figures[1], 0.001)

    def test_stall_then_fill_leaves_the_filled_end_taking_nothing_and_the_other_way_open(self):
        # What the bridge tests do: the user side (COM5) stops taking bytes, the bridge's end
        # is filled, and its next write writes nothing.
        pair_command("stall", self.prefix, "COM5")
        pair_command("fill", self.prefix, "TARVCOM5")
        with self.assertRaises(BlockingIOError):
            os.write(self.b, b"x")
        os.write(self.a, b"ping")
        self.assertTrue(select.select([self.b], [], [], 5)[0])
        self.assertEqual(os.read(self.b, 16), b"ping")
        self.assertFalse(select.select([self.a], [], [], 0.3)[0], "a byte reached the stalled end")
        pair_command("resume", self.prefix, "COM5")
        self.assertTrue(select.select([self.a], [], [], 5)[0], "nothing came after the resume")

    def test_sigterm_ends_the_relay_and_takes_its_links_and_state(self):
        with open(self.prefix + "/ptyrig/pair-com5.pids") as f:
            pid = int(f.read())
        os.kill(pid, signal.SIGTERM)

        def left():
            return os.listdir(self.prefix + "/dosdevices") + os.listdir(self.prefix + "/ptyrig") + \
                (["the relay"] if running(pid) else [])

        deadline = time.monotonic() + 10
        while left() and time.monotonic() < deadline:
            time.sleep(0.02)
        self.assertEqual(left(), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
