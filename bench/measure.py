#!/usr/bin/python3
"""Measures a serial path from the Linux side, and plays the answering peer of the
baseline.

The user side opens the pseudo-terminal of COMn (raw, no echo) and measures:

  rtt PATH --sizes 1,6,16,256 --count 200 --out FILE.json
      writes N bytes, waits for the full N-byte answer (an echoing peer), per size;
      every answer is compared with what was sent.
  rtt PATH --command 'ping\\r' --answer 'PONG\\r\\n' --count 50 --out FILE.json
      the same with one fixed command and its expected answer (escapes \\r \\n \\xNN),
      stored under the key "command".
  rtt ... --quiet-ms A-B
      the line stays quiet for a random time between A and B ms before each round trip,
      so that a command meets the bridge at any point of an idle pass.
  send PATH --bytes N [--rate BPS] --log FILE --out FILE.json
      user -> camera: writes N bytes (paced at 10 bits a byte when --rate is given)
      and waits until the receiving peer's log holds them; compares the log.
  receive PATH --bytes N [--overflow-log FILE] --out FILE.json
      camera -> user: asks for "dump N", reads N bytes (byte k = k mod 256), checks them.
      With --overflow-log, also the simulated camera's count of bytes its frame grabber's
      receive buffer dropped (the file its overflow_log key names), as "dropped".
  duplex PATH --bytes N --rate BPS --log FILE [--overflow-log FILE] [--overlap-log FILE]
         --out FILE.json
      both directions at once, to a camera that echoes every byte at the line rate:
      one thread writes N bytes paced at 10 bits a byte while another reads the echo.
      User -> camera is judged on the camera's log (as send), camera -> user on the
      echo (as receive), each under its own key ("up", "down"); with --overflow-log the
      count of bytes the grabber's buffer dropped ("dropped"), with --overlap-log the
      camera's count of Camera Link calls that overlapped ("overlaps").
  ready PATH --mode echo|dump|log [--log FILE] [--pid PID]
      waits until something answers on the far side (the bridge has connected); with
      --pid, gives up as soon as that process has ended.
  record FILE [FILE ...] --out FILE.json
      what a bridge's traffic record holds: its block lines, the bytes they carry each
      way, and the bytes it says were not recorded.
  idle --group NAME=PID[,PID...] ... --seconds S --out FILE.json
      CPU seconds (user + system, from /proc/PID/stat) that each group of processes
      spends during S seconds, and the same scaled to one minute.

The far side of the baseline (a plain Linux process in place of the bridge and the
simulated camera, answering like the camera does):

  peer PATH --mode echo|log|dump [--log FILE] [--rate BPS]
      echo: every byte straight back; log: append every byte to FILE, no answer;
      dump: answer "dump <n>\\r" with n bytes k mod 256, paced at 10 bits a byte
      when --rate is given, in pieces of 4 KiB with the line quiet for 1 ms between
      them. Runs until it gets SIGTERM. It models no frame grabber's receive buffer:
      its answer goes into the pair, which holds back what the user side has not
      read yet, so nothing of it is ever dropped.
"""
import argparse
import json
import os
import random
import re
import select
import signal
import socket
import sys
import termios
import threading
import time
import tty

BLOCK = 65536


def open_raw(path, wait_s=0):
    """A pseudo-terminal, raw; or "tcp:HOST:PORT", a TCP client without delay (tried
    again for wait_s seconds while nothing listens there yet)."""
    if path.startswith("tcp:"):
        host, port = path[4:].rsplit(":", 1)
        deadline = time.monotonic() + wait_s
        while True:
            try:
                sock = socket.create_connection((host, int(port)), timeout=10)
                break
            except OSError:
                if time.monotonic() >= deadline:
                    raise
                time.sleep(0.2)
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        sock.setblocking(True)
        return sock.detach()
    fd = os.open(path, os.O_RDWR | os.O_NOCTTY)
    tty.setraw(fd)
    termios.tcflush(fd, termios.TCIOFLUSH)
    return fd


def write_all(fd, data):
    view = memoryview(data)
    while view:
        n = os.write(fd, view)
        view = view[n:]


def read_exactly(fd, count, quiet_s):
    """Reads until count bytes arrived or nothing came for quiet_s seconds."""
    got = bytearray()
    while len(got) < count:
        ready, _, _ = select.select([fd], [], [], quiet_s)
        if not ready:
            break
        got += os.read(fd, min(BLOCK, count - len(got)))
    return bytes(got)


def drain(fd, quiet_s=0.3):
    while select.select([fd], [], [], quiet_s)[0]:
        os.read(fd, BLOCK)


def dump_pattern(start, count):
    whole = bytes(range(256)) * (count // 256 + 2)
    return whole[start % 256:start % 256 + count]


def payload_for(round_no, size):
    # Printable bytes without a carriage return, different in every round trip.
    return bytes(0x21 + (round_no * 31 + i * 7) % 90 for i in range(size))


def unescape(text):
    return text.encode("latin-1").decode("unicode_escape").encode("latin-1")


def quiet_pause(spec, rng):
    """Sleeps for a random time within "A-B" ms (nothing without a spec)."""
    if not spec:
        return
    low, _, high = spec.partition("-")
    low = float(low)
    high = float(high or low)
    time.sleep(rng.uniform(low, high) / 1000.0)


def cmd_rtt(args):
    fd = open_raw(args.path)
    rng = random.Random(1)
    result = {}
    if args.command_text is not None:
        command, answer_wanted = unescape(args.command_text), unescape(args.answer or "")
        samples = []
        for i in range(args.warmup + args.count):
            quiet_pause(args.quiet_ms, rng)
            t0 = time.perf_counter_ns()
            write_all(fd, command)
            answer = read_exactly(fd, len(answer_wanted), 3.0)
            t1 = time.perf_counter_ns()
            if answer != answer_wanted:
                sys.exit(f"rtt: round {i}: answer {answer!r}, wanted {answer_wanted!r}")
            if i >= args.warmup:
                samples.append((t1 - t0) / 1e6)
        result["command"] = samples
        os.close(fd)
        with open(args.out, "w") as f:
            json.dump(result, f)
        return
    for size in [int(s) for s in args.sizes.split(",")]:
        samples = []
        for i in range(args.warmup + args.count):
            data = payload_for(i, size)
            quiet_pause(args.quiet_ms, rng)
            t0 = time.perf_counter_ns()
            write_all(fd, data)
            answer = read_exactly(fd, size, 3.0)
            t1 = time.perf_counter_ns()
            if answer != data:
                sys.exit(f"rtt: size {size}, round {i}: answer {len(answer)} bytes, "
                         f"{'differs' if len(answer) == size else 'incomplete'}")
            if i >= args.warmup:
                samples.append((t1 - t0) / 1e6)
        result[str(size)] = samples
    os.close(fd)
    with open(args.out, "w") as f:
        json.dump(result, f)


class LogWatch(threading.Thread):
    """Follows the growth of the receiving side's log: when its first new byte and its
    last expected byte arrived, or that it stopped growing for 3 s after the writer ended
    (t_done then stays unset, and t_last is when it last grew)."""

    def __init__(self, path, start_size, expected):
        super().__init__(daemon=True)
        self.path, self.start_size, self.expected = path, start_size, expected
        self.writer_done = threading.Event()
        self.t_first = self.t_done = self.t_last = None

    def size(self):
        return os.path.getsize(self.path) - self.start_size if os.path.exists(self.path) else 0

    def run(self):
        last_size, last_change = -1, time.perf_counter()
        while True:
            size, now = self.size(), time.perf_counter()
            if size > 0 and self.t_first is None:
                self.t_first = now
            if size >= self.expected:
                self.t_done = now
                return
            if size != last_size:
                last_size, last_change = size, now
                if size > 0:
                    self.t_last = now
            elif self.writer_done.is_set() and now - last_change > 3.0:
                return
            time.sleep(0.001)


def send_data(count):
    # Printable bytes without a carriage return, so that a camera never takes them for a command.
    line = bytes(0x21 + (i * 7) % 90 for i in range(89))
    return (line * (count // len(line) + 1))[:count]


def write_paced(fd, data, rate, t0):
    """Writes data at 10 bits a byte from t0 on (all at once without a rate)."""
    if not rate:
        write_all(fd, data)
        return
    per_second = rate / 10.0
    sent = 0
    while sent < len(data):
        due = min(len(data), int((time.perf_counter() - t0) * per_second) + 1)
        if due > sent:
            write_all(fd, data[sent:due])
            sent = due
        time.sleep(0.001)


def logged_result(watch, data, t0, t_sent):
    """User -> camera as the camera's log saw it, once the watch has ended."""
    with open(watch.path, "rb") as f:
        f.seek(watch.start_size)
        received = f.read()
    # Without all bytes: the time until the last that came, not the 3 s of waiting for more.
    t_end = watch.t_done or watch.t_last or time.perf_counter()
    return transfer_result(len(data), received, data, t_end - t0, t_sent - t0 if t_sent else None,
                           first_byte_s=(watch.t_first - t0) if watch.t_first else None,
                           streaming_s=(t_end - watch.t_first) if watch.t_first else None)


def cmd_send(args):
    data = send_data(args.bytes)
    start_size = os.path.getsize(args.log) if os.path.exists(args.log) else 0
    fd = open_raw(args.path)
    watch = LogWatch(args.log, start_size, len(data))
    watch.start()
    t0 = time.perf_counter()
    write_paced(fd, data, args.rate, t0)
    t_sent = time.perf_counter()
    watch.writer_done.set()
    watch.join()
    os.close(fd)
    save(args.out, logged_result(watch, data, t0, t_sent))


def read_stream(fd, count, t0, writer_done=None, quiet_s=3.0):
    """Reads until count bytes came: (bytes, time of the first, time of the last). Gives up
    when nothing came for quiet_s seconds; with writer_done, for quiet_s seconds after it was
    set (or ten times as long while the writer is still held back)."""
    got = bytearray()
    t_first, t_last = None, t0
    while len(got) < count:
        ready, _, _ = select.select([fd], [], [], 0.1 if writer_done else quiet_s)
        now = time.perf_counter()
        if not ready:
            if writer_done is None or now - t_last > (quiet_s if writer_done.is_set() else 10 * quiet_s):
                break
            continue
        chunk = os.read(fd, BLOCK)
        t_last = time.perf_counter()   # the last byte that came, not the time waited for more
        if t_first is None:
            t_first = t_last
        got += chunk
    return bytes(got), t_first, t_last


def cmd_duplex(args):
    data = send_data(args.bytes)
    start_size = os.path.getsize(args.log) if os.path.exists(args.log) else 0
    fd = open_raw(args.path)
    watch = LogWatch(args.log, start_size, len(data))
    watch.start()
    t0 = time.perf_counter()
    t_sent = []

    def writer():
        write_paced(fd, data, args.rate, t0)
        t_sent.append(time.perf_counter())
        watch.writer_done.set()
    thread = threading.Thread(target=writer, daemon=True)
    thread.start()
    # The echo: it ends with the last byte, or 3 s after the writer ended and the echo stopped.
    echo, t_first, t_last = read_stream(fd, len(data), t0, watch.writer_done)
    # A writer still held back by now stays so: its row says how far it came.
    thread.join(5.0)
    watch.writer_done.set()
    watch.join()
    if not thread.is_alive():
        os.close(fd)
    result = {
        "rate": args.rate,
        "up": logged_result(watch, data, t0, t_sent[0] if t_sent else None),
        "down": transfer_result(len(data), echo, data, t_last - t0,
                                first_byte_s=(t_first - t0) if t_first else None,
                                streaming_s=(t_last - t_first) if t_first else None),
    }
    if args.overflow_log:
        result["dropped"] = overflow_count(args.overflow_log)
    if args.overlap_log:
        result["overlaps"] = count_in_file(args.overlap_log, settle_s=0)
    save(args.out, result)


def cmd_receive(args):
    fd = open_raw(args.path)
    expected = dump_pattern(0, args.bytes)
    t0 = time.perf_counter()
    write_all(fd, f"dump {args.bytes}\r".encode())
    got, t_first, t_last = read_stream(fd, args.bytes, t0)
    os.close(fd)
    extra = {}
    if args.overflow_log:
        extra["dropped"] = overflow_count(args.overflow_log)
    save(args.out, transfer_result(args.bytes, got, expected, t_last - t0,
                                   first_byte_s=(t_first - t0) if t_first else None,
                                   streaming_s=(t_last - t_first) if t_first else None, **extra))


def overflow_count(path):
    """The camera's count of dropped bytes, or None when it wrote none. The camera brings
    the file up to date at every call the bridge makes on the port, which a running bridge
    does at least once a pass: give it a few passes after the last byte first."""
    return count_in_file(path, settle_s=0.5)


def count_in_file(path, settle_s):
    """A count the camera keeps as decimal text in a file, or None when it wrote none."""
    time.sleep(settle_s)
    try:
        with open(path) as f:
            return int(f.read().strip() or "0")
    except (OSError, ValueError):
        return None


def save(out, result):
    with open(out, "w") as f:
        json.dump(result, f)


def transfer_result(count, received, expected, seconds, sent_s=None, **extra):
    common = min(len(received), count)
    wrong = sum(1 for a, b in zip(received[:common], expected[:common]) if a != b)
    result = {
        "bytes": count,
        "received": len(received),
        "lost": max(0, count - len(received)),
        "extra": max(0, len(received) - count),
        "wrong": wrong,
        "seconds": seconds,
        "bytes_per_s": count / seconds if seconds > 0 and len(received) >= count else None,
    }
    if sent_s is not None:
        result["writing_s"] = sent_s
    result.update(extra)
    return result


def process_ended(pid):
    """True once the process is gone or a zombie nobody has reaped yet."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] == "Z"
    except (OSError, IndexError):
        return True


def cmd_ready(args):
    fd = open_raw(args.path, args.timeout)
    deadline = time.monotonic() + args.timeout
    while time.monotonic() < deadline:
        if args.pid and process_ended(args.pid):
            sys.exit(f"ready: process {args.pid} ended before anything answered on {args.path}")
        if args.mode == "echo":
            write_all(fd, b"?")
            ok = read_exactly(fd, 1, 0.5) == b"?"
        elif args.mode == "dump":
            write_all(fd, b"dump 1\r")
            ok = read_exactly(fd, 1, 0.5) == b"\x00"
        else:
            before = os.path.getsize(args.log) if os.path.exists(args.log) else 0
            write_all(fd, b"?")
            time.sleep(0.5)
            ok = os.path.exists(args.log) and os.path.getsize(args.log) > before
        if ok:
            drain(fd)
            os.close(fd)
            return
    sys.exit(f"ready: nothing answered on {args.path} within {args.timeout} s")


def cpu_ticks(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])   # utime, stime
    except (OSError, IndexError, ValueError):
        return None


def cmd_idle(args):
    groups = {}
    for entry in args.group:
        name, _, pids = entry.partition("=")
        groups[name] = [int(p) for p in pids.split(",") if p]
    hz = os.sysconf("SC_CLK_TCK")
    before = {name: {p: cpu_ticks(p) for p in pids} for name, pids in groups.items()}
    t0 = time.monotonic()
    time.sleep(args.seconds)
    window = time.monotonic() - t0
    result = {"window_s": window, "groups": {}}
    for name, pids in groups.items():
        ticks = 0
        for p in pids:
            a, b = before[name][p], cpu_ticks(p)
            if a is not None and b is not None:
                ticks += b - a
        seconds = ticks / hz
        result["groups"][name] = {"pids": pids, "cpu_s": seconds, "cpu_s_per_min": seconds * 60.0 / window}
    with open(args.out, "w") as f:
        json.dump(result, f)


# A paced answer leaves in pieces with the line quiet between them, as the simulated
# camera of the line-rate rows sends it (pause_every, pause_ms).
PIECE_BYTES = 4096
PIECE_PAUSE_S = 0.001


def paced_count(elapsed, per_byte):
    """Bytes of a paced answer on the line after `elapsed` seconds."""
    period = PIECE_BYTES * per_byte + PIECE_PAUSE_S
    pieces = int(elapsed / period)
    return pieces * PIECE_BYTES + min(PIECE_BYTES, int((elapsed - pieces * period) / per_byte))


def cmd_peer(args):
    fd = open_raw(args.path)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    log = open(args.log, "ab", buffering=0) if args.mode == "log" else None
    command = bytearray()
    pending = []   # (start time, bytes, bytes already written)
    per_byte = 10.0 / args.rate if args.rate else 0.0
    while True:
        timeout = 0.001 if pending else None
        ready, _, _ = select.select([fd], [], [], timeout)
        if ready:
            data = os.read(fd, BLOCK)
            if args.mode == "echo":
                write_all(fd, data)
            elif args.mode == "log":
                log.write(data)
            else:
                for b in data:
                    if b == 0x0D:
                        words = bytes(command).split()
                        if len(words) == 2 and words[0] == b"dump" and words[1].isdigit():
                            pending.append([time.perf_counter(), dump_pattern(0, int(words[1])), 0])
                        command.clear()
                    elif b != 0x0A:
                        command += bytes([b])
        while pending:
            start, body, done = pending[0]
            due = len(body) if not per_byte else min(len(body), paced_count(time.perf_counter() - start, per_byte))
            if due > done:
                write_all(fd, body[done:due])
                pending[0][2] = due
            if pending[0][2] < len(body):
                break
            pending.pop(0)


def cmd_record(args):
    result = {"blocks": 0, "to_camera": 0, "from_camera": 0, "not_recorded": 0}
    lost = re.compile(r"\((\d+) bytes not recorded\)$")
    for path in args.files:
        if not os.path.exists(path):
            continue
        with open(path, encoding="latin-1") as f:
            for line in f:
                fields = line.rstrip("\r\n").split(" ", 4)
                note = lost.search(line.rstrip("\r\n"))
                if note:
                    result["not_recorded"] += int(note.group(1))
                if len(fields) < 4 or fields[2] == "*":
                    continue
                result["blocks"] += 1
                result["to_camera" if fields[2].endswith("->CL") else "from_camera"] += int(fields[3])
    with open(args.out, "w") as f:
        json.dump(result, f)


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = p.add_subparsers(dest="command", required=True)
    r = sub.add_parser("rtt")
    r.add_argument("path")
    r.add_argument("--sizes", default="1,6,16,256")
    r.add_argument("--count", type=int, default=200)
    r.add_argument("--warmup", type=int, default=5)
    r.add_argument("--command", dest="command_text")
    r.add_argument("--answer")
    r.add_argument("--quiet-ms")
    r.add_argument("--out", required=True)
    s = sub.add_parser("send")
    s.add_argument("path")
    s.add_argument("--bytes", type=int, required=True)
    s.add_argument("--rate", type=int, default=0)
    s.add_argument("--log", required=True)
    s.add_argument("--out", required=True)
    v = sub.add_parser("receive")
    v.add_argument("path")
    v.add_argument("--bytes", type=int, required=True)
    v.add_argument("--overflow-log")
    v.add_argument("--out", required=True)
    x = sub.add_parser("duplex")
    x.add_argument("path")
    x.add_argument("--bytes", type=int, required=True)
    x.add_argument("--rate", type=int, required=True)
    x.add_argument("--log", required=True)
    x.add_argument("--overflow-log")
    x.add_argument("--overlap-log")
    x.add_argument("--out", required=True)
    d = sub.add_parser("ready")
    d.add_argument("path")
    d.add_argument("--mode", choices=["echo", "dump", "log"], required=True)
    d.add_argument("--log")
    d.add_argument("--timeout", type=float, default=30)
    d.add_argument("--pid", type=int)
    i = sub.add_parser("idle")
    i.add_argument("--group", action="append", default=[])
    i.add_argument("--seconds", type=float, default=30)
    i.add_argument("--out", required=True)
    c = sub.add_parser("record")
    c.add_argument("files", nargs="+")
    c.add_argument("--out", required=True)
    e = sub.add_parser("peer")
    e.add_argument("path")
    e.add_argument("--mode", choices=["echo", "dump", "log"], required=True)
    e.add_argument("--log")
    e.add_argument("--rate", type=int, default=0)
    args = p.parse_args()
    {"rtt": cmd_rtt, "send": cmd_send, "receive": cmd_receive, "duplex": cmd_duplex, "ready": cmd_ready,
     "idle": cmd_idle, "peer": cmd_peer, "record": cmd_record}[args.command](args)


if __name__ == "__main__":
    main()
