#!/usr/bin/env python3
"""The network endpoint served to real clients under Wine: pyserial's RFC 2217 client and
a raw socket client against network_echo_host.exe, whose fake camera echoes every byte.

usage: network_endpoint_test.py WINE_RUN WINEPREFIX NETWORK_ECHO_HOST_EXE
Each test starts its own host on a free port and ends it by its pid."""
import os
import signal
import socket
import subprocess
import sys
import threading
import time
import unittest

import serial

WINE_RUN, PREFIX, HOST = sys.argv[1:4]
del sys.argv[1:4]
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from console_program import ConsoleProgram, free_port  # noqa: E402
# Bounds for conditions another process brings about; generous, since a Wine program's
# start alone can take seconds on a busy machine.
START_LIMIT = 90
EVENT_LIMIT = 30
BLOCK = bytes(range(256)) * 256  # 64 KiB with every byte value, IAC among them


class Host(ConsoleProgram):
    """network_echo_host.exe, its event lines collected as they come."""

    def __init__(self, *arguments):
        self.port = free_port()
        super().__init__([WINE_RUN, PREFIX, HOST, str(self.port)] + list(arguments),
                         "listening 127.0.0.1:%d" % self.port, START_LIMIT)

    def wait_for(self, start, limit=EVENT_LIMIT):
        return super().wait_for(start, limit)


def rfc2217(port, **options):
    return serial.serial_for_url("rfc2217://127.0.0.1:%d" % port, timeout=EVENT_LIMIT, **options)


def raw(port):
    return serial.serial_for_url("socket://127.0.0.1:%d" % port, timeout=EVENT_LIMIT)


def round_trip(port_object, data):
    port_object.write(data)
    return port_object.read(len(data))


def both_ways(port_object, data):
    """Writes data from one thread while reading its echo; what came back."""
    writer = threading.Thread(target=port_object.write, args=(data,))
    writer.start()
    back = bytearray()
    deadline = time.monotonic() + EVENT_LIMIT * 2
    while len(back) < len(data) and time.monotonic() < deadline:
        back += port_object.read(len(data) - len(back))
    writer.join(EVENT_LIMIT)
    return bytes(back)


def refused_at_once(port):
    """A raw connection that the host closes without a word: the end of stream, or a reset."""
    with socket.create_connection(("127.0.0.1", port), timeout=EVENT_LIMIT) as s:
        try:
            return s.recv(1) == b""
        except ConnectionResetError:
            return True


class Rfc2217Clients(unittest.TestCase):
    def setUp(self):
        self.host = Host("rfc2217")
        self.addCleanup(self.host.stop)

    def test_opening_sets_the_rate_asked_and_commands_round_trip(self):
        with rfc2217(self.host.port, baudrate=115200) as port:
            self.host.wait_for("connected 127.0.0.1:")
            self.host.wait_for("rate asked 115200 in force 115200")
            for command in (b"ID?\r", b"EXP=1000\r", b"\xff\xff\x00\xff\r", b"G"):
                self.assertEqual(round_trip(port, command), command)
            self.assertTrue(port.cts and port.dsr and port.cd, "the camera's line is always there")
            port.baudrate = 921600
            self.host.wait_for("rate asked 921600 in force 921600")
            with self.assertRaises(ValueError, msg="a rate Camera Link lacks is answered with the rate in force"):
                port.baudrate = 14400
            self.host.wait_for("rate asked 14400 in force 921600")
            port.reset_input_buffer()
            self.host.wait_for("purge 1")
        self.host.wait_for("disconnected 127.0.0.1:")

    def test_64_kib_both_ways_with_nothing_lost(self):
        with rfc2217(self.host.port, baudrate=921600) as port:
            self.assertEqual(both_ways(port, BLOCK), BLOCK)
            self.assertEqual(both_ways(port, BLOCK[::-1]), BLOCK[::-1], "and again, on the same connection")

    def test_a_second_client_is_refused_while_the_first_is_served(self):
        with rfc2217(self.host.port, baudrate=9600) as port:
            self.host.wait_for("connected 127.0.0.1:")
            self.assertTrue(refused_at_once(self.host.port))
            self.assertIn("another client is connected", self.host.wait_for("refused 127.0.0.1:"))
            self.assertEqual(round_trip(port, b"still here\r"), b"still here\r")
        self.host.wait_for("disconnected 127.0.0.1:")
        with rfc2217(self.host.port, baudrate=9600) as port:
            self.assertEqual(round_trip(port, b"next\r"), b"next\r")

    def test_a_client_killed_mid_transfer_leaves_the_host_serving_the_next(self):
        sender = subprocess.Popen([sys.executable, "-c", KILLED_SENDER, str(self.host.port)],
                                  stdout=subprocess.PIPE, text=True)
        try:
            self.assertEqual(sender.stdout.readline().strip(), "sending")
            self.host.wait_for("connected 127.0.0.1:")
        finally:
            os.kill(sender.pid, signal.SIGKILL)
            sender.wait(EVENT_LIMIT)
            sender.stdout.close()
        self.host.wait_for("disconnected 127.0.0.1:")
        with rfc2217(self.host.port, baudrate=115200) as port:
            self.assertEqual(both_ways(port, BLOCK[:4096]), BLOCK[:4096])


# A client that opens the port and sends without end, never reading what comes back.
KILLED_SENDER = """
import sys, serial
port = serial.serial_for_url("rfc2217://127.0.0.1:%s" % sys.argv[1], baudrate=115200, timeout=5)
print("sending", flush=True)
while True:
    port.write(bytes(range(256)) * 16)
"""


class RawClients(unittest.TestCase):
    def setUp(self):
        self.host = Host("raw")
        self.addCleanup(self.host.stop)

    def test_64_kib_both_ways_unchanged(self):
        with raw(self.host.port) as port:
            self.host.wait_for("connected 127.0.0.1:")
            self.assertEqual(round_trip(port, b"\xff\xfd\x2c"), b"\xff\xfd\x2c", "telnet bytes are data here")
            self.assertEqual(both_ways(port, BLOCK), BLOCK)
        self.host.wait_for("disconnected 127.0.0.1:")

    def test_a_second_client_is_refused_while_the_first_is_served(self):
        with raw(self.host.port) as port:
            self.host.wait_for("connected 127.0.0.1:")
            self.assertTrue(refused_at_once(self.host.port))
            self.assertIn("another client is connected", self.host.wait_for("refused 127.0.0.1:"))
            self.assertEqual(round_trip(port, b"first\r"), b"first\r")


class AllowList(unittest.TestCase):
    def test_a_client_not_on_the_list_is_refused(self):
        host = Host("rfc2217", "10.0.0.5", "10.0.0.6")
        self.addCleanup(host.stop)
        self.assertTrue(refused_at_once(host.port))
        self.assertIn("not on the allow list", host.wait_for("refused 127.0.0.1:"))
        # pyserial's client fails its opening, at its first write or its wait for answers.
        with self.assertRaises((serial.SerialException, OSError)):
            rfc2217(host.port, baudrate=9600)

    def test_a_client_on_the_list_is_served(self):
        host = Host("raw", "10.0.0.5", "127.0.0.1")
        self.addCleanup(host.stop)
        with raw(host.port) as port:
            self.assertEqual(round_trip(port, b"allowed\r"), b"allowed\r")


if __name__ == "__main__":
    unittest.main(verbosity=2)
