#!/usr/bin/python3
"""Sustained traffic in both directions through a bridge whose camera echoes every byte,
with every byte checked.

  soak_checker.py PATH --seconds S --log FILE --out FILE.json [--rate B/S] [--ready-timeout 60]

PATH is the Linux pseudo-terminal of the user's port (COMn), opened raw. The checker
first waits until a byte comes back (the bridge has connected), then writes a numbered
stream as fast as the path takes it, for S seconds, while it reads the echo and compares
it byte for byte with what it wrote. --rate caps the bytes a second it writes (0: as
fast as the path takes them). The camera appends every byte it receives to FILE;
at the end that log is compared with the stream too, so a fault is placed in one
direction.

The stream is made of 16-byte records: the record number (32 bits, little-endian)
followed by 12 bytes derived from it, so that every byte value occurs and a byte lost,
repeated, swapped or altered shows at once, with the record where it happened.

Prints one summary line; writes the figures to the JSON file; exit code 0 only when
every byte came back and reached the camera unchanged and in order.
"""
import argparse
import json
import os
import select
import signal
import struct
import sys
import termios
import time
import tty

RECORD = 16
RECORDS_PER_CHUNK = 256


def record(n):
    tail = bytes(((n * 7 + i * 31 + (n >> 8) * 13 + (n >> 16)) & 0xFF) for i in range(12))
    return struct.pack("<I", n & 0xFFFFFFFF) + tail


class Stream:
    """The numbered stream, generated on demand in chunks and kept only while needed."""

    def __init__(self):
        self.cache = {}

    def chunk(self, index):
        data = self.cache.get(index)
        if data is None:
            first = index * RECORDS_PER_CHUNK
            data = b"".join(record(first + k) for k in range(RECORDS_PER_CHUNK))
            self.cache[index] = data
        return data

    def bytes_at(self, offset, count):
        size = RECORD * RECORDS_PER_CHUNK
        out = bytearray()
        while count > 0:
            index, inner = divmod(offset, size)
            piece = self.chunk(index)[inner:inner + count]
            out += piece
            offset += len(piece)
            count -= len(piece)
        return bytes(out)

    def forget_before(self, offset):
        keep = offset // (RECORD * RECORDS_PER_CHUNK)
        for index in [i for i in self.cache if i < keep - 1]:
            del self.cache[index]


def describe_mismatch(where, offset, expected, got):
    """Where a received run first differs from the stream, and what record it carries."""
    i = next(k for k in range(min(len(expected), len(got))) if expected[k] != got[k])
    at = offset + i
    text = (f"{where}: first difference at byte {at} (record {at // RECORD}, byte {at % RECORD} of it): "
            f"expected 0x{expected[i]:02x}, got 0x{got[i]:02x}")
    start = i - (at % RECORD)
    if 0 <= start and start + 4 <= len(got):
        carried = struct.unpack("<I", got[start:start + 4])[0]
        text += f"; the record there carries number {carried}"
        if carried > at // RECORD:
            text += f" ({carried - at // RECORD} records missing before it)"
    return text


def open_raw(path):
    fd = os.open(path, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
    tty.setraw(fd)
    termios.tcflush(fd, termios.TCIOFLUSH)
    return fd


def wait_ready(fd, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            os.write(fd, b"?")
        except BlockingIOError:
            pass
        end = time.monotonic() + 0.5
        while time.monotonic() < end:
            if select.select([fd], [], [], 0.05)[0] and os.read(fd, 4096):
                # Let whatever else was echoed arrive, then throw it away.
                while select.select([fd], [], [], 0.5)[0]:
                    os.read(fd, 65536)
                return True
    return False


def log_size(path):
    try:
        return os.path.getsize(path)
    except OSError:
        return 0


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("path")
    p.add_argument("--seconds", type=float, required=True)
    p.add_argument("--log", required=True)
    p.add_argument("--out", required=True)
    p.add_argument("--rate", type=float, default=0)
    p.add_argument("--ready-timeout", type=float, default=60)
    p.add_argument("--started-file", help="touched once the stream starts")
    args = p.parse_args()

    stop = {"now": False}
    signal.signal(signal.SIGTERM, lambda *_: stop.update(now=True))

    fd = open_raw(args.path)
    if not wait_ready(fd, args.ready_timeout):
        sys.exit(f"soak: nothing came back on {args.path} within {args.ready_timeout:.0f} s")
    log_start = log_size(args.log)
    # The ready bytes may still be on their way into the log; wait until it is quiet.
    quiet_since = time.monotonic()
    while time.monotonic() - quiet_since < 0.5:
        time.sleep(0.1)
        size = log_size(args.log)
        if size != log_start:
            log_start, quiet_since = size, time.monotonic()

    stream = Stream()
    sent = echoed = 0
    mismatch = None
    t0 = time.monotonic()
    if args.started_file:
        open(args.started_file, "w").close()
    writing_until = t0 + args.seconds
    last_progress = t0
    per_second = []   # (second, bytes sent, bytes echoed)
    next_mark = t0 + 1.0
    while True:
        now = time.monotonic()
        writing = now < writing_until and not stop["now"] and mismatch is None
        # At a capped rate the writer keeps at most one block ahead of the schedule.
        due = sent + 4096 if not args.rate else min(sent + 4096, int((now - t0) * args.rate) + 4096)
        wants_write = [fd] if writing and due > sent else []
        if not writing and echoed >= sent:
            break
        if not writing and now - last_progress > 15.0:
            break   # nothing more comes back: the rest is lost
        readable, writable, _ = select.select([fd], wants_write, [], 0.2 if wants_write or not writing else 0.002)
        if readable:
            try:
                data = os.read(fd, 65536)
            except BlockingIOError:
                data = b""
            if data:
                last_progress = now
                if mismatch is None:
                    if echoed + len(data) > sent:
                        mismatch = f"echo: {echoed + len(data) - sent} bytes came back that were never sent"
                    else:
                        expected = stream.bytes_at(echoed, len(data))
                        if data != expected:
                            mismatch = describe_mismatch("echo", echoed, expected, data)
                echoed += len(data)
                stream.forget_before(echoed)
        if writable:
            block = stream.bytes_at(sent, due - sent)
            try:
                n = os.write(fd, block)
            except BlockingIOError:
                n = 0
            sent += n
        if now >= next_mark:
            per_second.append((round(now - t0), sent, echoed))
            next_mark += 1.0
    elapsed = time.monotonic() - t0
    os.close(fd)

    # The camera's side: every byte sent, in order, unchanged.
    deadline = time.monotonic() + 10
    while log_size(args.log) - log_start < sent and time.monotonic() < deadline:
        time.sleep(0.1)
    logged = log_size(args.log) - log_start
    log_mismatch = None
    with open(args.log, "rb") as f:
        f.seek(log_start)
        offset = 0
        while offset < min(logged, sent):
            data = f.read(min(1 << 20, min(logged, sent) - offset))
            if not data:
                break
            expected = stream.bytes_at(offset, len(data))
            if data != expected:
                log_mismatch = describe_mismatch("camera log", offset, expected, data)
                break
            offset += len(data)
            stream.forget_before(offset)

    result = {
        "seconds": elapsed,
        "bytes_sent": sent,
        "bytes_echoed": echoed,
        "bytes_at_camera": logged,
        "lost_on_the_way_back": max(0, sent - echoed),
        "lost_on_the_way_to_camera": max(0, sent - logged),
        "extra_at_camera": max(0, logged - sent),
        "echo_mismatch": mismatch,
        "camera_mismatch": log_mismatch,
        "rate_cap_bytes_per_s": args.rate,
        "user_to_camera_bytes_per_s": logged / elapsed if elapsed > 0 else 0,
        "camera_to_user_bytes_per_s": echoed / elapsed if elapsed > 0 else 0,
        "per_second": per_second,
    }
    result["ok"] = (sent > 0 and echoed == sent and logged == sent and mismatch is None
                    and log_mismatch is None and not stop["now"])
    with open(args.out, "w") as f:
        json.dump(result, f)
    print(f"soak: {elapsed:.0f} s, {sent} bytes sent, {echoed} echoed, {logged} at the camera; "
          f"{result['user_to_camera_bytes_per_s']:.0f} B/s each way; "
          + ("every byte checked: none lost, reordered or altered" if result["ok"] else
             f"FAULT: {mismatch or log_mismatch or 'bytes missing'}"))
    sys.exit(0 if result["ok"] else 1)


if __name__ == "__main__":
    main()
