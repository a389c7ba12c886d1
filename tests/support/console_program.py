"""A Windows console program under Wine, started by a test, its output lines collected as
they come so that the test can wait for the one it expects; ended by its pid."""
import os
import queue
import signal
import socket
import subprocess
import threading
import time


def free_port():
    """A TCP port on the loopback that nothing listens on now."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class ConsoleProgram:
    def __init__(self, command, ready, limit, env=None, stdin=subprocess.DEVNULL):
        self.process = subprocess.Popen(command, stdout=subprocess.PIPE, stdin=stdin, text=True, env=env)
        self.lines = queue.Queue()
        self.seen = []
        threading.Thread(target=self._collect, daemon=True).start()
        self.wait_for(ready, limit)

    def _collect(self):
        for line in self.process.stdout:
            self.lines.put(line.rstrip("\r\n"))

    def wait_for(self, start, limit):
        """The first line not yet taken that starts with start; fails after limit seconds."""
        deadline = time.monotonic() + limit
        while True:
            for line in self.seen:
                if line.startswith(start):
                    self.seen.remove(line)
                    return line
            left = deadline - time.monotonic()
            if left <= 0 or self.process.poll() is not None and self.lines.empty():
                raise AssertionError("the program never said %r; it said %r" % (start, self.seen))
            try:
                self.seen.append(self.lines.get(timeout=min(left, 1)))
            except queue.Empty:
                pass

    def stop(self, quit_line=None):
        """Ends the program: with quit_line on its input when given, else SIGTERM; SIGKILL
        when it is still there 20 s later."""
        if self.process.poll() is None:
            try:
                if quit_line is not None:
                    self.process.stdin.write(quit_line + "\n")
                    self.process.stdin.flush()
                else:
                    os.kill(self.process.pid, signal.SIGTERM)
                self.process.wait(timeout=20)
            except (OSError, subprocess.TimeoutExpired):
                os.kill(self.process.pid, signal.SIGKILL)
                self.process.wait(timeout=20)
        self.process.stdout.close()
        if self.process.stdin:
            self.process.stdin.close()
