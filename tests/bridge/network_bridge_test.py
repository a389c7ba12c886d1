#!/usr/bin/env python3
"""The bridge engine served over the network under Wine: bridge_demo.exe (the console
host of the engine) with a network word in place of its COM port, the simulated camera
behind it, and clients nobody here wrote: pyserial's RFC 2217 client and raw sockets.

usage: network_bridge_test.py WINE_RUN WINEPREFIX BRIDGE_DEMO_EXE SCRATCH_DIR
Each test starts its own bridge on a free port and ends it by its pid."""
import os
import random
import signal
import socket
import subprocess
import sys
import threading
import time
import unittest

import serial

WINE_RUN, PREFIX, DEMO, SCRATCH = sys.argv[1:5]
del sys.argv[1:5]
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from console_program import ConsoleProgram, free_port  # noqa: E402
TRACE_STREAMS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "trace-streams")
START_LIMIT = 90   # a Wine program's start alone can take seconds on a busy machine
EVENT_LIMIT = 30
BLOCK = bytes(range(256)) * 256  # 64 KiB with every byte value, IAC among them
MODES = {"default mode": [], "low-latency mode": ["--low-latency"]}
# Another maker's library in the Camera Link library folder, with five of the eight rates.
OTHER_MAKER = "clserlrk.dll"
OTHER_MAKER_RATES = "baud_rates = 9600, 19200, 38400, 115200, 921600\n"


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Bridge(ConsoleProgram):
    """bridge_demo.exe on an echoing camera, its console lines collected as they come."""

    def __init__(self, protocol="RFC2217", allow=None, options=(), camera="receive_buffer = 0\n",
                 address="127.0.0.1", library=None):
        os.makedirs(SCRATCH, exist_ok=True)
        self.port = free_port()
        self.rate_log = os.path.join(SCRATCH, "network_rate_%d.txt" % self.port)
        self.overflow_log = os.path.join(SCRATCH, "network_overflow_%d.txt" % self.port)
        self.overlap_log = os.path.join(SCRATCH, "network_overlap_%d.txt" % self.port)
        config = os.path.join(SCRATCH, "network_camera_%d.ini" % self.port)
        with open(config, "w") as f:
            f.write("ports = 1\necho = yes\nrate_log = %s\noverflow_log = %s\noverlap_log = %s\n%s"
                    % (windows_path(self.rate_log), windows_path(self.overflow_log),
                       windows_path(self.overlap_log), camera))
        word = "NETWORK=%s:%s:%d" % (protocol, address, self.port) + (":" + allow if allow else "")
        env = dict(os.environ, CLSERBVK_SIM_CONFIG=windows_path(config))
        if library:
            with open(config, "a") as f:
                f.write(OTHER_MAKER_RATES)
            options = list(options) + ["CLLIB=" + library]
            env["CLSERLRK_SIM_CONFIG"] = windows_path(config)
        super().__init__([WINE_RUN, PREFIX, DEMO, "TARVCOM77", "0", "9600,n,8,1", word] + list(options),
                         "[bridge] connected: ", START_LIMIT, env=env, stdin=subprocess.PIPE)

    def wait_for(self, start, limit=EVENT_LIMIT):
        return super().wait_for(start, limit)

    def stop(self):
        super().stop("quit")


def echo_both_ways(write, read):
    """64 KiB written while the echo is read; what came back."""
    writer = threading.Thread(target=write, args=(BLOCK,))
    writer.start()
    got = read(len(BLOCK))
    writer.join()
    return got


def echo_until_quiet(port, stream):
    """stream written while the echo is read, until it is all back or a read of the port's
    time-out brought nothing (bytes the grabber dropped never come)."""
    writer = threading.Thread(target=port.write, args=(stream,))
    writer.start()
    got = bytearray()
    while len(got) < len(stream):
        piece = port.read(len(stream) - len(got))
        if not piece and not writer.is_alive():
            break
        got += piece
    writer.join()
    return bytes(got)


def not_a_subsequence(got, sent):
    """Where got stops being sent with some pieces left out (a byte doubled, changed or out
    of order), or None. The stream is random, so a gap cannot pass for a repeat."""
    at = 0
    for i, byte in enumerate(got):
        at = sent.find(bytes([byte]), at)
        if at < 0:
            return "byte %d of the echo (%s) is not in what was sent after its predecessor" % (i, got[max(0, i - 8):i + 8].hex(" "))
        at += 1
    return None


def read_socket(sock, count):
    got = b""
    while len(got) < count:
        piece = sock.recv(65536)
        if not piece:
            break
        got += piece
    return got


class NetworkBridgeTest(unittest.TestCase):
    def start(self, *args, **kwargs):
        bridge = Bridge(*args, **kwargs)
        self.addCleanup(bridge.stop)
        return bridge

    def test_rfc2217_client_sets_the_camera_rate_and_its_bytes_cross_complete(self):
        rows = [(mode, options, None) for mode, options in MODES.items()] + [("other maker", [], OTHER_MAKER)]
        for mode, options, library in rows:
            with self.subTest(mode):
                bridge = self.start(options=options, library=library)
                port = serial.serial_for_url("rfc2217://127.0.0.1:%d" % bridge.port, baudrate=115200,
                                             timeout=EVENT_LIMIT)
                bridge.wait_for("[bridge] trace: Network client connected: 127.0.0.1:")
                bridge.wait_for("[bridge] trace: Camera Link rate set to 115200")
                with open(bridge.rate_log) as f:
                    self.assertEqual(f.read(), "115200")
                for command in (b"id?\r", b"\xff\xff\r", b"exp 1000\r"):
                    port.write(command)
                    self.assertEqual(port.read(len(command)), command)
                self.assertEqual(echo_both_ways(port.write, port.read), BLOCK)
                if library:
                    # A rate the port does not run at leaves the one in force, which the
                    # answer names: the client takes it as refused.
                    with self.assertRaises(ValueError):
                        port.baudrate = 57600
                    port.write(b"exp 1000\r")
                    self.assertEqual(port.read(9), b"exp 1000\r")
                    with open(bridge.rate_log) as f:
                        self.assertEqual(f.read(), "115200")
                port.close()
                bridge.wait_for("[bridge] trace: Network client disconnected: 127.0.0.1:")
                bridge.stop()

    def test_raw_client_bytes_cross_complete(self):
        for mode, options in MODES.items():
            with self.subTest(mode):
                bridge = self.start("RAW", options=options)
                port = serial.serial_for_url("socket://127.0.0.1:%d" % bridge.port, timeout=EVENT_LIMIT)
                port.write(b"PING\r")
                self.assertEqual(port.read(5), b"PING\r")
                self.assertEqual(echo_both_ways(port.write, port.read), BLOCK)
                port.close()
                bridge.stop()

    def test_second_client_is_refused_and_the_first_served_on(self):
        bridge = self.start("RAW")
        first = socket.create_connection(("127.0.0.1", bridge.port), timeout=EVENT_LIMIT)
        self.addCleanup(first.close)
        bridge.wait_for("[bridge] trace: Network client connected: ")
        second = socket.create_connection(("127.0.0.1", bridge.port), timeout=EVENT_LIMIT)
        self.addCleanup(second.close)
        self.assertEqual(second.recv(10), b"", "the second client is closed at once")
        bridge.wait_for("[bridge] trace: Network client refused: 127.0.0.1:")
        first.sendall(b"still here\r")
        self.assertEqual(read_socket(first, 11), b"still here\r")

    def test_client_killed_mid_transfer_leaves_the_bridge_serving_the_next(self):
        bridge = self.start("RAW", options=["--low-latency"])
        script = ("import socket,sys\ns=socket.create_connection(('127.0.0.1',%d))\n"
                  "while True: s.sendall(bytes(range(256))*16)\n" % bridge.port)
        sender = subprocess.Popen([sys.executable, "-c", script])
        bridge.wait_for("[bridge] trace: Network client connected: ")
        time.sleep(0.5)  # the killed client is in the middle of its stream
        os.kill(sender.pid, signal.SIGKILL)
        sender.wait(timeout=20)
        bridge.wait_for("[bridge] trace: Network client disconnected: ")
        port = serial.serial_for_url("socket://127.0.0.1:%d" % bridge.port, timeout=EVENT_LIMIT)
        port.write(b"next\r")
        self.assertEqual(port.read(5), b"next\r")
        port.close()

    def test_camera_calls_never_overlap_under_full_duplex_and_rate_changes(self):
        """The camera library is called from the poller, the writer and a client's rate
        request at once; the strict camera fails any call that overlaps another. Every byte
        comes back once and in order, but for what the grabber's full receive buffer
        dropped: 4 KiB holds 44 ms at 921600, which a bridge starved of the processor on a
        busy PC can miss; 64 bytes make it drop for sure. Rounds of 64 KiB each way, the
        rate changed between them: CLSER_DUPLEX_REPEATS (default 2) with 4 KiB, one with 64."""
        repeats = int(os.environ.get("CLSER_DUPLEX_REPEATS", "2"))
        for grabber_buffer, rounds in ((4096, repeats), (64, 1)):
            with self.subTest(grabber_buffer=grabber_buffer):
                bridge = self.start(options=["--low-latency"],
                                    camera="pace = yes\nreceive_buffer = %d\n" % grabber_buffer)
                port = serial.serial_for_url("rfc2217://127.0.0.1:%d" % bridge.port, baudrate=921600, timeout=3)
                bridge.wait_for("[bridge] trace: Camera Link rate set to 921600")
                mismatches, short = [], 0
                for n in range(rounds):
                    stream = random.Random(n).randbytes(len(BLOCK))
                    got = echo_until_quiet(port, stream)
                    short += len(stream) - len(got)
                    fault = not_a_subsequence(got, stream)
                    if fault:
                        mismatches.append("round %d: %s" % (n, fault))
                    port.baudrate = (460800, 921600)[n % 2]
                port.close()
                bridge.stop()
                with open(bridge.overlap_log) as f:
                    self.assertEqual(f.read(), "0", "overlapping camera calls")
                with open(bridge.overflow_log) as f:
                    dropped = int(f.read())
                print("[observed] grabber buffer %d: %d rounds of 64 KiB each way, %d bytes short, %d dropped by the "
                      "grabber, %d mismatches" % (grabber_buffer, rounds, short, dropped, len(mismatches)))
                self.assertEqual(mismatches, [])
                self.assertEqual(short, dropped, "bytes missing beyond what the grabber dropped, or doubled")

    def test_client_whose_host_vanishes_frees_the_port(self):
        """A client in a network namespace of the test's own whose link goes down: no FIN,
        no reset; the keepalive probes find it gone and the next client is served."""
        ns = "clser-vanish-%d" % os.getpid()
        host_if, peer_if = "clv%dh" % (os.getpid() % 10000), "clv%dp" % (os.getpid() % 10000)
        setup = [["ip", "netns", "add", ns],
                 ["ip", "link", "add", host_if, "type", "veth", "peer", "name", peer_if],
                 ["ip", "link", "set", peer_if, "netns", ns],
                 ["ip", "addr", "add", "10.213.77.1/30", "dev", host_if], ["ip", "link", "set", host_if, "up"],
                 ["ip", "netns", "exec", ns, "ip", "addr", "add", "10.213.77.2/30", "dev", peer_if],
                 ["ip", "netns", "exec", ns, "ip", "link", "set", peer_if, "up"]]
        self.addCleanup(subprocess.run, ["ip", "link", "del", host_if], stderr=subprocess.DEVNULL)
        self.addCleanup(subprocess.run, ["ip", "netns", "del", ns], stderr=subprocess.DEVNULL)
        for command in setup:
            if subprocess.run(command, stderr=subprocess.DEVNULL).returncode != 0:
                self.skipTest("this machine lets the test make no network namespace: " + " ".join(command))
        bridge = self.start("RAW", address="10.213.77.1",
                            options=["--net-keepalive-idle-ms=1000", "--net-keepalive-interval-ms=1000"])
        # Nothing is on its way when the host vanishes (with bytes unacknowledged, the
        # system's retransmission time-out would decide instead of the probes).
        script = "import socket,time\ns=socket.create_connection(('10.213.77.1',%d))\ntime.sleep(600)\n" % bridge.port
        client = subprocess.Popen(["ip", "netns", "exec", ns, sys.executable, "-c", script])
        self.addCleanup(client.wait)
        self.addCleanup(client.kill)
        bridge.wait_for("[bridge] trace: Network client connected: 10.213.77.2:")
        # The client's host vanishes: its link goes down, and nothing it sends or answers
        # arrives any more.
        subprocess.run(["ip", "netns", "exec", ns, "ip", "link", "set", peer_if, "down"], check=True)
        started = time.monotonic()
        bridge.wait_for("[bridge] trace: Network client disconnected: 10.213.77.2:", limit=60)
        print("[observed] vanished client dropped after %.1f s (keepalive 1 s + 1 s probes)"
              % (time.monotonic() - started))
        port = serial.serial_for_url("socket://10.213.77.1:%d" % bridge.port, timeout=EVENT_LIMIT)
        port.write(b"next\r")
        self.assertEqual(port.read(5), b"next\r")
        port.close()

    def test_client_not_on_the_allow_list_is_refused(self):
        bridge = self.start("RAW", allow="10.0.0.5")
        client = socket.create_connection(("127.0.0.1", bridge.port), timeout=EVENT_LIMIT)
        self.addCleanup(client.close)
        self.assertEqual(client.recv(10), b"")
        line = bridge.wait_for("[bridge] trace: Network client refused: 127.0.0.1:")
        self.assertIn("allow list", line)


class TrafficRecordTest(unittest.TestCase):
    """A record kept while 64 KiB cross each way gives back both streams, byte for byte."""

    def test_streams_rebuilt_from_the_record_equal_what_crossed(self):
        for mode, options in MODES.items():
            with self.subTest(mode):
                folder = os.path.join(SCRATCH, "record folder, with blanks")
                os.makedirs(folder, exist_ok=True)
                record = os.path.join(folder, "Traffic Of COM77.log")
                for old in (record, record + ".1"):
                    if os.path.exists(old):
                        os.remove(old)
                word = "Record=16:" + windows_path(record)
                bridge = Bridge("RAW", options=options + [word])
                self.addCleanup(bridge.stop)
                port = serial.serial_for_url("socket://127.0.0.1:%d" % bridge.port, timeout=EVENT_LIMIT)
                bridge.wait_for("[bridge] trace: Network client connected: ")
                port.write(b"PING\r")
                self.assertEqual(port.read(5), b"PING\r")
                self.assertEqual(echo_both_ways(port.write, port.read), BLOCK)
                port.close()
                bridge.wait_for("[bridge] trace: Network client disconnected: ")
                bridge.stop()
                self.assertFalse(os.path.exists(record + ".1"), "16 MiB were not reached")
                with open(record, encoding="latin-1") as f:
                    lines = f.read().splitlines()
                self.assertRegex(lines[0], r"^\S+ \S+ \* bridge_demo, traffic record$")
                self.assertIn("network port 127.0.0.1:%d <-> Camera Link port 0, line settings 9600,n,8,1" % bridge.port,
                              lines[1])
                self.assertTrue(any(" * Network client connected: 127.0.0.1:" in line for line in lines))
                self.assertTrue(any("127.0.0.1:" in line and "->CL 5 50 49 4e 47 0d |PING.|" in line
                                    for line in lines), "the client's first block as sent")
                self.assertTrue(lines[-1].endswith(" * Recording ends"))
                rebuilt = subprocess.run([sys.executable, TRACE_STREAMS, record], capture_output=True, text=True)
                self.assertEqual(rebuilt.returncode, 0, rebuilt.stderr)
                for suffix in (".to-camera", ".from-camera"):
                    with open(record + suffix, "rb") as f:
                        self.assertTrue(f.read() == b"PING\r" + BLOCK, "the %s stream differs" % suffix)


if __name__ == "__main__":
    unittest.main(verbosity=2)
