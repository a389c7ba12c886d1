#!/usr/bin/python3
"""Turns the results of one bench/run into bench/RESULTS.md.

usage: report.py RESULTS_DIR OUTPUT.md
"""
import json
import math
import os
import statistics
import sys

# The engine's default waits (bridge/transfer_timings.h) and the block a transfer step moves;
# a study variant changes one of them through an option of the console host.
DEFAULT_COM_READ_MS = 100
DEFAULT_COM_READ_SENDING_MS = 10
DEFAULT_FIRST_CL_READ_MS = 10
# The low-latency mode's settings (the console host's --ll-poll-ms, --ll-fast-window-ms, --ll-idle-poll-ms).
DEFAULT_LL_POLL_MS = 1
DEFAULT_LL_FAST_WINDOW_MS = 500
DEFAULT_LL_IDLE_POLL_MS = 100
BLOCK = 1024
LINE_RATES = ("115200", "921600")
LINE_921600 = 921600 / 10.0   # bytes a second at 921600 baud, 10 bits a byte
TICK_MS = 15.625              # a system tick, where the tick camera's read time-outs end
# The low-latency rows: the exact simulated camera, and the camera that counts in ticks.
LOW_SIDES = (("lowlat", "exact camera"), ("lowlat-tick", "tick camera"))
COMMAND_SIZE = "6"            # the round trip of a short command
# What the low-latency mode is to reach, each with either camera.
TARGET_COMMAND_MEDIAN_MS = 3
TARGET_COMMAND_P95_MS = 5
TARGET_BASELINE_FACTOR = 10
TARGET_LATE_MEDIAN_MS = 55
TARGET_LINE_SHARE = 0.95
TARGET_IDLE_FACTOR = 1.5
# What the network endpoint is to reach: a round trip at most this much longer than over
# the virtual pair in the same mode, and the line rate kept with nothing lost.
TARGET_NETWORK_EXTRA_MS = 1.0
# The network rows: the same bridge served on a raw TCP endpoint, and the pair's rows they stand beside.
NETWORK_SIDES = (("net", "bridge", "default mode"), ("netll", "lowlat", "low-latency mode"))
# The recording rows: the bridge with a traffic record, and the rows without it they stand beside.
RECORD_SIDES = (("rec", "bridge", "default mode"), ("lowlatrec", "lowlat", "low-latency mode"))
# The other maker's rows: the same bridge on another maker's library (CLLIB=clserlrk.dll), and
# the rows on this system's own library they stand beside.
OTHER_MAKER_SIDES = (("lrk", "bridge", "default mode"), ("lrkll", "lowlat", "low-latency mode"))
# With a record on: the 6-byte round trip's median within this share of the one without.
TARGET_RECORD_RTT_SHARE = 1.10
# Both directions at once at 921600, in each mode: the target is that no byte is lost either way.
DUPLEX_RESULT = "duplex-921600"
DUPLEX_SIDES = (("bridge", "default mode"), ("lowlat", "low-latency mode"), ("lowlat-tick", "low-latency mode, tick camera"))


def load(directory, name):
    path = os.path.join(directory, name + ".json")
    if not os.path.exists(path):
        return None
    with open(path) as f:
        return json.load(f)


def percentile(samples, p):
    """Nearest-rank percentile."""
    ordered = sorted(samples)
    return ordered[max(0, math.ceil(p / 100.0 * len(ordered)) - 1)]


def ms(value):
    return f"{value:.1f}" if value >= 1 else f"{value:.3f}"


def complete(result):
    return result is not None and result["bytes_per_s"] is not None


def throughput(result):
    """Bytes per second from the first to the last byte at the receiving end (of the bytes
    that arrived, when some did not)."""
    if result.get("streaming_s"):
        return min(result["received"], result["bytes"]) / result["streaming_s"]
    return result["bytes_per_s"]


def rate(result):
    if result is None:
        return "not run"
    if result["bytes_per_s"] is None:
        return "incomplete"
    return f"{throughput(result):,.0f}"


def loss(result):
    if result is None:
        return "-"
    text = f"{result['lost']:,}"
    if result["wrong"] or result["extra"]:
        text += f" ({result['wrong']:,} wrong, {result['extra']:,} extra)"
    return text


def dropped_cell(result, direction, line_rate):
    """What the frame grabber's receive buffer dropped: only camera -> user at a line rate
    has a finite one (the unpaced dump runs with an unbounded buffer)."""
    if result is None or direction == "up":
        return "-"
    if line_rate == "unpaced":
        return "(unbounded)"
    if result.get("dropped") is None:
        return "not counted"
    return f"{result['dropped']:,}"


def lost_cell(result, direction, line_rate):
    """Bytes lost, with what the grabber's buffer dropped where it has a count."""
    dropped = dropped_cell(result, direction, line_rate)
    if dropped == "-":
        return loss(result)
    if dropped == "(unbounded)":
        return f"{loss(result)} (unbounded)"
    if dropped == "not counted":
        return f"{loss(result)} (dropped: not counted)"
    return f"{loss(result)} ({dropped} dropped)"


def cpu_cell(group):
    return f"{group['cpu_s_per_min']:.2f}" if group else "-"


def option_value(meta, variant, name, default):
    """The value a study variant gives the option --NAME=MS, else the engine's default."""
    for word in meta.get("study", {}).get(variant, "").split():
        if word.startswith(f"--{name}="):
            return int(word.split("=", 1)[1])
    return default


def options_cell(meta, variant):
    options = meta.get("study", {}).get(variant, "")
    return f"`{options}`" if options else "(none)"


def share_sentence(label, result, direction, line_rate):
    """One sentence per line-rate row: the share of the line rate, what was lost and dropped."""
    line = int(line_rate) / 10.0
    if result is None:
        return f"{label} at {line_rate}: not run"
    parts = []
    if complete(result):
        parts.append(f"{throughput(result) / line:.0%} of the line rate")
    else:
        arrived = min(result["received"], result["bytes"])
        text = f"incomplete, {arrived:,} of {result['bytes']:,} bytes arrived"
        if result.get("streaming_s"):
            text += f", {throughput(result) / line:.0%} of the line rate while they came"
        parts.append(text)
    d = result.get("dropped") if direction == "down" else None
    # Bytes after a dropped stretch arrive shifted, so they differ from the ones expected at
    # their place; the drop says why, the count of them adds nothing.
    shifted = d is not None and d > 0 and d >= result["lost"]
    parts.append(f"{result['lost']:,} bytes lost" + (f" ({result['wrong']:,} wrong)" if result["wrong"] and not shifted else ""))
    if direction == "down":
        parts.append("the grabber's buffer not counted" if d is None else f"{d:,} dropped by the grabber's buffer")
    return f"{label} at {line_rate}: " + ", ".join(parts)


def all_sizes(result):
    """Every round trip of a result of measure.py rtt, all sizes together."""
    return [s for size in sorted(result, key=int) for s in result[size]]


def idle_total(result):
    """CPU s a minute of the bridge process and the wineserver together."""
    if not result:
        return None
    return sum(g["cpu_s_per_min"] for k, g in result["groups"].items() if k in ("bridge", "wineserver"))


def low_section(w, directory, meta, base_rtt, bi):
    """What the low-latency mode does, and its figures with each kind of camera against the default and the baseline."""
    poll_ms, window_ms, idle_ms = DEFAULT_LL_POLL_MS, DEFAULT_LL_FAST_WINDOW_MS, DEFAULT_LL_IDLE_POLL_MS
    w("## Low-latency mode")
    w("")
    w("Opt-in per connection (the word `LowLatency` on the bridge program's command line, the key `lowlatency` of its section in "
      "`DunmereConfig.ini`, or the port settings dialog's \"Low latency\" box on a running connection; `--low-latency` for the console host). "
      "The default mode above is unchanged. In this mode the bridge runs one thread per direction:")
    w("")
    w("- **User -> camera**: the COM side takes the user's bytes as they arrive (a read of one byte that completes with its byte, then the bytes "
      "queued behind it) and hands them on to the camera at once.")
    w(f"- **Camera -> user**: a second thread polls the camera with Camera Link reads that return at once, paced by the bridge's own precise timer "
      f"(a high-resolution waitable timer, or a 1 ms timer resolution while the mode runs): every {poll_ms} ms "
      f"for {window_ms} ms after the last traffic (the fast window), then every tenth of the quiet time, at most every {idle_ms} ms; a full block is "
      "read again at once. "
      f"The console host sets them with `--ll-poll-ms`, `--ll-fast-window-ms` and `--ll-idle-poll-ms` ({poll_ms}, {window_ms} and {idle_ms} by default).")
    w("")
    w(f"Every row of the mode runs with two cameras: the exact simulated camera, and one whose reads count their time-outs in system ticks "
      f"(`{meta.get('tick_camera', 'tick_timeouts = yes')}`: a read's time-out ends at the next {TICK_MS} ms boundary, as camera libraries that wait "
      "on the tick counter or at the default timer resolution do). With such a library even a 1 ms read lasts until the next tick, so the tick camera shows "
      "whether the mode's pace is its own or the camera library's.")
    w("")
    base_med = statistics.median(base_rtt[COMMAND_SIZE]) if base_rtt and COMMAND_SIZE in base_rtt else None
    bridge_rtt = load(directory, "bridge-rtt")
    late_b = load(directory, "bridge-late-rtt")
    for side, camera in LOW_SIDES:
        rtt, late, idle = (load(directory, f"{side}-{what}") for what in ("rtt", "late-rtt", "idle"))
        if not (rtt or late or idle):
            continue
        parts = []
        if rtt and COMMAND_SIZE in rtt:
            c = rtt[COMMAND_SIZE]
            text = f"a {COMMAND_SIZE}-byte command takes {ms(statistics.median(c))} ms (median, p95 {ms(percentile(c, 95))} ms)"
            if bridge_rtt and COMMAND_SIZE in bridge_rtt:
                text += f" against {ms(statistics.median(bridge_rtt[COMMAND_SIZE]))} ms in the default mode"
            if base_med:
                text += f" and {ms(base_med)} ms on the baseline"
            parts.append(text)
        if late:
            text = f"the slow camera's answer {ms(statistics.median(late['command']))} ms"
            if late_b:
                text += f" (default mode {ms(statistics.median(late_b['command']))} ms)"
            parts.append(text)
        if idle and bi:
            parts.append(f"idle, the bridge and the wineserver use {idle_total(idle):.2f} CPU s a minute (default mode {idle_total(bi):.2f})")
        w(f"- With the {camera}: " + "; ".join(parts) + ".")
    w("")
    settings_table(w, directory, meta, bi)


def idle_cells(result):
    if not result:
        return "not run | not run"
    g = result["groups"]
    own = g.get("bridge", {}).get("cpu_s_per_min", 0.0)
    server = g.get("wineserver", {}).get("cpu_s_per_min", 0.0)
    return f"{own:.2f} | {own + server:.2f}"


def late_cell(result):
    if not result:
        return "not run"
    c = result["command"]
    return f"{ms(statistics.median(c))} / {ms(percentile(c, 95))}"


def settings_table(w, directory, meta, bi):
    """The study's variants of the mode: no fast window (the slow camera), a short idle poll (idle cost)."""
    nowindow_late = load(directory, "study-llnowindow-late-rtt")
    idle10 = load(directory, "study-llidle10-idle")
    if not (nowindow_late or idle10):
        return
    late_l, li = load(directory, "lowlat-late-rtt"), load(directory, "lowlat-idle")
    window_ms = option_value(meta, "llnowindow", "ll-fast-window-ms", DEFAULT_LL_FAST_WINDOW_MS)
    idle_ms = option_value(meta, "llidle10", "ll-idle-poll-ms", DEFAULT_LL_IDLE_POLL_MS)
    w("### The settings of the mode")
    w("")
    w("The fast window decides how soon an answer that comes a while after the command (a slow camera) is picked up; the idle poll interval decides how often "
      "a quiet bridge wakes up. Two variants, the console host started in the mode with one setting changed (its options below), against the mode's defaults "
      "as measured above with the exact camera. Slow camera (answer after 50 ms): median / p95 round trip in ms. Idle: CPU s a minute, the bridge process alone and with the wineserver.")
    w("")
    w("| Variant | console host options | fast window | idle poll | slow camera | idle: bridge | idle: bridge + wineserver |")
    w("|---|---|---:|---:|---:|---:|---:|")
    w(f"| default mode | | | | {late_cell(load(directory, 'bridge-late-rtt'))} | {idle_cells(bi)} |")
    w(f"| low-latency, default settings | | {DEFAULT_LL_FAST_WINDOW_MS} ms | {DEFAULT_LL_IDLE_POLL_MS} ms | {late_cell(late_l)} | {idle_cells(li)} |")
    w(f"| low-latency, no fast window | {options_cell(meta, 'llnowindow')} | {window_ms} ms | {DEFAULT_LL_IDLE_POLL_MS} ms "
      f"| {late_cell(nowindow_late)} | (as default) | (as default) |")
    w(f"| low-latency, short idle poll | {options_cell(meta, 'llidle10')} | {DEFAULT_LL_FAST_WINDOW_MS} ms | {idle_ms} ms "
      f"| (as default) | {idle_cells(idle10)} |")
    w("")
    parts = []
    if nowindow_late and late_l:
        parts.append(f"without the fast window the slow camera's answer takes {ms(statistics.median(nowindow_late['command']))} ms "
                     f"against {ms(statistics.median(late_l['command']))} ms with it")
    if idle10 and li:
        parts.append(f"a {idle_ms} ms idle poll costs {idle_total(idle10):.2f} CPU s a minute when idle (bridge and wineserver) "
                     f"against {idle_total(li):.2f} with the {DEFAULT_LL_IDLE_POLL_MS} ms one")
    if parts:
        w("Measured: " + "; ".join(parts) + ".")
        w("")


def verdict(ok):
    return "**met**" if ok else "**missed**"


def duplex_share(result, unit=""):
    """One direction of a full-duplex row against the line rate, or how far it came."""
    if complete(result):
        return f"{throughput(result) / LINE_921600:.0%}{unit}"
    return f"incomplete, {min(result['received'], result['bytes']):,} of {result['bytes']:,} bytes"


def counted(result, key):
    return "not counted" if result.get(key) is None else f"{result[key]:,}"


def duplex_judged(result):
    """(met, figures) of a full-duplex row: met when every byte arrived unchanged both ways and
    the grabber's buffer dropped none. Its share of the line rate is shown, not judged: the
    default mode moves one block a pass towards the camera (see the throughput rows)."""
    up, down = result["up"], result["down"]
    faults = sum(r["lost"] + r["wrong"] + r["extra"] for r in (up, down)) + (result.get("dropped") or 0)
    ok = complete(up) and complete(down) and faults == 0
    figures = (f"user -> camera {duplex_share(up, ' of the line rate')}, {loss(up)} lost; "
               f"camera -> user {duplex_share(down, ' of the line rate')}, "
               f"{loss(down)} lost; {counted(result, 'dropped')} dropped by the grabber's buffer")
    return ok, figures


def duplex_section(w, directory, buffer_text):
    """Both directions at once at 921600, each mode: the share of the line rate each way and what was lost."""
    rows = [(load(directory, f"{side}-{DUPLEX_RESULT}"), mode) for side, mode in DUPLEX_SIDES]
    rows = [(r, mode) for r, mode in rows if r]
    if not rows:
        return
    w("## Full duplex at 921600")
    w("")
    w("Both directions at once: the user side writes its bytes paced at 921600 (10 bits a byte) on one thread while another reads what comes back, "
      "and the camera (`echo = yes`, `pace = yes`) sends every byte it receives straight back at the line rate, into the grabber's receive buffer "
      f"({buffer_text}). User -> camera counts from the first to the last byte in the camera's log, camera -> user from the first to the last byte "
      "of the echo (which comes back no faster than the bytes go out); both are compared in full. Lost: the bytes that did not arrive (towards the camera / back from it). Grabber overflow: the camera's "
      "count of the bytes its buffer dropped (`overflow_log`). Overlapping calls: Camera Link calls on the port that began while another was in "
      "progress, which the camera counts and fails (`overlap_log`). The target is that nothing is lost either way.")
    w("")
    w("| Mode | Bytes | user -> camera, share of the line rate | camera -> user, share of the line rate | lost (towards / back) "
      "| grabber overflow | overlapping calls | verdict |")
    w("|---|---:|---:|---:|---:|---:|---:|---|")
    for r, mode in rows:
        ok, _ = duplex_judged(r)
        w(f"| {mode} | {r['up']['bytes']:,} | {duplex_share(r['up'])} | {duplex_share(r['down'])} | {loss(r['up'])} / {loss(r['down'])} "
          f"| {counted(r, 'dropped')} | {counted(r, 'overlaps')} | {verdict(ok)} |")
    w("")


def duplex_target(w, directory, side, who):
    r = load(directory, f"{side}-{DUPLEX_RESULT}")
    if r is None:
        w(f"- {who}, full duplex at 921600: **not measured**.")
        return
    ok, figures = duplex_judged(r)
    w(f"- {who}, full duplex at 921600: {verdict(ok)}: {figures}.")


def targets_section(w, directory):
    """Each target of the low-latency mode, per kind of camera, and the full-duplex target of the default mode,
    met or missed with the figures it was judged on."""
    base_rtt, bi = load(directory, "baseline-rtt"), load(directory, "bridge-idle")
    sides = [(side, camera) for side, camera in LOW_SIDES if load(directory, f"{side}-rtt")]
    if not sides:
        return
    base_med = statistics.median(base_rtt[COMMAND_SIZE]) if base_rtt and COMMAND_SIZE in base_rtt else None
    line = LINE_921600
    w("## Targets")
    w("")
    w(f"The low-latency mode against its targets, from the figures of this run, for each kind of camera: a {COMMAND_SIZE}-byte command round trip "
      f"of at most {TARGET_COMMAND_MEDIAN_MS} ms median and {TARGET_COMMAND_P95_MS} ms p95, and a median at most {TARGET_BASELINE_FACTOR} times "
      f"the baseline's; the slow camera (answer after 50 ms) at most {TARGET_LATE_MEDIAN_MS} ms median; both directions at 921600 at least "
      f"{TARGET_LINE_SHARE:.0%} of the line rate (10 bits a byte) with no byte lost; idle, the bridge process and the wineserver at most "
      f"{TARGET_IDLE_FACTOR} times what they use in the default mode (exact camera). "
      "In either mode, full duplex at 921600 (both directions at once, the camera echoing at the line rate): no byte lost either way, none dropped by the grabber's buffer.")
    w("")
    for side, camera in sides:
        rtt, late, idle = (load(directory, f"{side}-{what}") for what in ("rtt", "late-rtt", "idle"))
        if rtt and COMMAND_SIZE in rtt and base_med:
            c = rtt[COMMAND_SIZE]
            med, p95 = statistics.median(c), percentile(c, 95)
            factor = med / base_med
            ok = med <= TARGET_COMMAND_MEDIAN_MS and p95 <= TARGET_COMMAND_P95_MS and factor <= TARGET_BASELINE_FACTOR
            w(f"- {camera}, {COMMAND_SIZE}-byte command: {verdict(ok)}: median {ms(med)} ms (<= {TARGET_COMMAND_MEDIAN_MS}), "
              f"p95 {ms(p95)} ms (<= {TARGET_COMMAND_P95_MS}), {factor:,.1f} times the baseline's median of {ms(base_med)} ms (<= {TARGET_BASELINE_FACTOR}).")
        else:
            w(f"- {camera}, {COMMAND_SIZE}-byte command: **not measured**.")
        if late:
            med = statistics.median(late["command"])
            w(f"- {camera}, slow camera: {verdict(med <= TARGET_LATE_MEDIAN_MS)}: median {ms(med)} ms (<= {TARGET_LATE_MEDIAN_MS}).")
        else:
            w(f"- {camera}, slow camera: **not measured**.")
        for direction, label in (("up", "user -> camera"), ("down", "camera -> user")):
            r = load(directory, f"{side}-{direction}-921600")
            if r is None:
                w(f"- {camera}, {label} at 921600: **not measured**.")
                continue
            faults = r["lost"] + r["wrong"] + r["extra"]
            if complete(r):
                share = throughput(r) / line
                figures = f"{throughput(r):,.0f} B/s, {share:.1%} of the line rate (>= {TARGET_LINE_SHARE:.0%})"
            else:
                share = 0.0
                figures = f"incomplete, {min(r['received'], r['bytes']):,} of {r['bytes']:,} bytes arrived"
            figures += f", {r['lost']:,} bytes lost"
            if r["wrong"] or r["extra"]:
                figures += f" ({r['wrong']:,} wrong, {r['extra']:,} extra)"
            if direction == "down" and r.get("dropped") is not None:
                figures += f", {r['dropped']:,} dropped by the grabber's buffer"
            ok = complete(r) and share >= TARGET_LINE_SHARE and faults == 0
            w(f"- {camera}, {label} at 921600: {verdict(ok)}: {figures}.")
        if idle and bi:
            mine, default = idle_total(idle), idle_total(bi)
            ok = mine <= TARGET_IDLE_FACTOR * default
            w(f"- {camera}, idle: {verdict(ok)}: {mine:.2f} CPU s a minute (bridge and wineserver) against {default:.2f} in the default mode, "
              f"limit {TARGET_IDLE_FACTOR * default:.2f}.")
        else:
            w(f"- {camera}, idle: **not measured**.")
        duplex_target(w, directory, side, camera)
    duplex_target(w, directory, "bridge", "default mode")
    w("")


def main():
    directory, output = sys.argv[1], sys.argv[2]
    meta = load(directory, "meta")
    bridge_rtt = load(directory, "bridge-rtt")
    low_rtt = load(directory, "lowlat-rtt")
    base_rtt = load(directory, "baseline-rtt")
    app = meta["bridge"] == "app"
    buffer_bytes = meta.get("receive_buffer")
    bridge_name = ("`ClserDunmere2.exe`, started as the launcher starts it (`COM10 0 <line settings> Autorun`)"
                   if app else
                   "`bridge_demo.exe` (console host of the same bridge engine and transfer loop, `TARVCOM10 0 <line settings>`)")
    out = []
    w = out.append
    w("# Benchmark results")
    w("")
    w("Written by `bench/run` at the end of its last run; the figures below are that run's.")
    w("")
    w("| | |")
    w("|---|---|")
    w(f"| Date | {meta['date']} |")
    w(f"| Machine | {meta['nproc']} CPUs ({meta['cpu']}), {meta['kernel']}; load average {meta['load']} |")
    why64 = {
        "emulator": "this kernel runs 32-bit programs only through a user-mode emulator, whose speed a benchmark of the 32-bit product would measure",
        "native": "this kernel runs 32-bit programs too, but the benchmark measures the same build on every machine, and some kernels run 32-bit programs only through a user-mode emulator",
        "none": "this machine runs no 32-bit programs",
    }.get(meta.get("thirty_two_bit"), "the same build on every machine")
    w(f"| Wine | {meta['wine']}, `wine64`: the x86_64 build of the same sources, as native code ({why64}) |")
    w(f"| Commit | {meta['commit']} |")
    w(f"| Command | `{meta['command']}` ({meta['elapsed_s']} s, build included) |")
    w(f"| Bridge | {bridge_name} |")
    if low_rtt:
        w("| Low-latency mode | the same program with one more word, "
          + ("`COM10 0 <line settings> Autorun LowLatency`" if app else "`TARVCOM10 0 <line settings> --low-latency`")
          + f"; each of its rows twice, with the exact simulated camera and with the tick camera (`{meta.get('tick_camera', 'tick_timeouts = yes')}`) |")
    w("")
    w("## What runs")
    w("")
    w("- **User side**: `bench/measure.py` (Debian's python3) on the Linux pseudo-terminal of `COM10`, raw, no echo.")
    w("- **Virtual pair**: `COM10 <-> TARVCOM10`, two pseudo-terminals joined by one relay process (`testbed/pty-relay`, the test rig, installed through the "
      "setupc emulator so that the pair library lists it). It carries each direction through its own bounded queue (16 KiB): when a reader falls behind, "
      "only the writer of that direction is held back, and nothing is dropped.")
    w("- **Bridge path**: user -> pty `COM10` -> pair relay -> pty `TARVCOM10` -> bridge under Wine -> simulated camera (`clserbvk.dll`, in the bridge process) and back.")
    w("- **Baseline path**: the same pair and relay, but a plain Linux process (`measure.py peer`) on `TARVCOM10` answering as the simulated camera does "
      "(echo, log, dump with the same pacing rule): user -> pty -> pair relay -> pty -> answering peer and back. So the baseline is the path without the bridge and Wine; "
      "the ratio is what the bridge costs. The peer models no frame grabber's receive buffer: it writes its answer into the pair, which holds back what the user side "
      "has not read yet, so it never drops a byte and its rows have no dropped column.")
    buffer_text = f"{buffer_bytes:,} bytes" if buffer_bytes is not None else "its default size"
    w("- **Camera**: answers at once (`delay` 0). Round trips use `echo = yes` (the answer is the N bytes sent, compared byte for byte). User -> camera uses a camera "
      "that answers nothing and appends every byte to `receive_log`; camera -> user uses `dump <n>` (byte k = k mod 256). "
      f"The line-rate rows use `pace = yes`, answers in pieces of 4 KiB with the line quiet for 1 ms between them (`pause_every = 4096`, as a camera that hands its "
      f"line one buffer at a time), and the frame grabber's finite receive buffer ({buffer_text}, the simulated camera's default): bytes that arrive while it is "
      "full are dropped, and the camera counts them in its `overflow_log`. The unpaced dump (all at once) stands for an infinitely fast line and runs with an unbounded "
      "buffer (`receive_buffer = 0`), so that it measures the bridge's own ceiling.")
    if low_rtt:
        w(f"- **Tick camera**: the low-latency rows run again with the same cameras plus `{meta.get('tick_camera', 'tick_timeouts = yes')}`: every read whose "
          f"time-out is above 0 gives up only at the next system tick boundary ({TICK_MS} ms), as a camera library that counts its time-outs in ticks does; "
          "a read whose count is there, or with time-out 0, still returns at once.")
    if meta.get("study") and load(directory, "study-stock-rtt"):
        w("- **Study**: the console host of the same engine (`bridge_demo.exe`), started with other transfer timings, one change each: "
          + "; ".join(f"{name} {options_cell(meta, name)}" for name in meta["study"]) + ".")
    w("")
    if low_rtt:
        targets_section(w, directory)

    tick_rtt = load(directory, "lowlat-tick-rtt")
    w("## Command round trip")
    w("")
    w(f"The user side writes N bytes and reads the full N-byte answer; {meta['count']} round trips per size after 5 warm-up ones. Milliseconds: median / p95.")
    w("")
    w("| N bytes | default mode | low-latency | low-latency, tick camera | baseline | median against the baseline's (default / low-latency / tick camera) |")
    w("|---:|---:|---:|---:|---:|---:|")

    def rtt_cells(result, size, base):
        if not result or size not in result:
            return "not run", None
        m = statistics.median(result[size])
        return f"{ms(m)} / {ms(percentile(result[size], 95))}", (f"{m / base:,.0f}" if base else "-")
    for size in sorted(set(bridge_rtt) | set(base_rtt), key=int):
        base = statistics.median(base_rtt[size]) if size in base_rtt else None
        cells = [rtt_cells(r, size, base) for r in (bridge_rtt, low_rtt, tick_rtt, base_rtt)]
        ratios = " / ".join(ratio or "-" for _, ratio in cells[:3])
        w(f"| {size} | " + " | ".join(cell for cell, _ in cells) + f" | {ratios} |")
    w("")
    late_b, late_l, late_t = (load(directory, f"{side}-late-rtt") for side in ("bridge", "lowlat", "lowlat-tick"))
    if late_b and late_l:
        w("### A slow camera")
        w("")
        w(f"The camera answers `ping` with `PONG` 50 ms after the command (`delay = 50`); {len(late_b['command'])} round trips each, after 5 warm-up ones. Milliseconds.")
        w("")
        w("| Mode | median | p95 | max |")
        w("|---|---:|---:|---:|")
        for label, r in (("default", late_b), ("low-latency", late_l), ("low-latency, tick camera", late_t)):
            if r:
                c = r["command"]
                w(f"| {label} | {ms(statistics.median(c))} | {ms(percentile(c, 95))} | {ms(max(c))} |")
        w("")

    bq, lq, tq, aq = (load(directory, f"{side}-quiet-rtt") for side in ("bridge", "lowlat", "lowlat-tick", "baseline"))
    if bq and aq:
        w("### A command after a quiet line")
        w("")
        w(f"The same 16-byte round trip, but the line stays quiet for a random time between 150 and 400 ms before each command, so that the command meets "
          f"the bridge at any point of an idle pass, as a person typing does; {len(bq['16'])} round trips each. Milliseconds.")
        w("")
        w("| Path | median | p95 | max |")
        w("|---|---:|---:|---:|")
        for label, r in (("bridge, default mode", bq), ("bridge, low-latency mode", lq), ("bridge, low-latency mode, tick camera", tq), ("baseline", aq)):
            if r:
                c = r["16"]
                w(f"| {label} | {ms(statistics.median(c))} | {ms(percentile(c, 95))} | {ms(max(c))} |")
        w("")

    w("## Sustained throughput")
    w("")
    w("Bytes per second, and bytes lost (0 means every byte arrived, in order and unchanged; the content is compared in full). "
      "Both directions count from the first to the last byte at the receiving end, so that the one-off latency of a round trip does not enter: "
      "user -> camera from the first byte in the camera's log until the log holds the last one, at a line rate with the user side pacing its writes at 10 bits a byte (a pseudo-terminal does not pace); "
      "camera -> user from the first to the last byte of the answer to `dump <n>`, at a line rate with the camera (`pace = yes`, at the bridge's line settings) or the baseline peer pacing. "
      f"In brackets after the bridge's bytes lost, \"dropped\": the camera's own count of the bytes its receive buffer ({buffer_text}) could not take because they arrived while it was full; "
      "they are among the bytes lost, and the bytes after a dropped stretch arrive shifted, so they count as wrong too (wrong: differing from the byte expected at their place). "
      "No such count on paths without that buffer (user -> camera, the baseline); \"unbounded\": the unpaced dump, whose buffer has no bound.")
    w("")
    w("| Direction | Line rate | Bytes | default B/s | default lost | low-latency B/s | low-latency lost "
      "| low-latency, tick camera B/s | low-latency, tick camera lost | baseline B/s | baseline lost |")
    w("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for direction, label in (("up", "user -> camera"), ("down", "camera -> user")):
        for line_rate in ("unpaced",) + LINE_RATES:
            cells = []
            for side in ("bridge", "lowlat", "lowlat-tick"):
                r = load(directory, f"{side}-{direction}-{line_rate}")
                cells.append(f"{rate(r)} | {lost_cell(r, direction, line_rate)}")
            b = load(directory, f"bridge-{direction}-{line_rate}")
            a = load(directory, f"baseline-{direction}-{line_rate}")
            size = (b or a or {}).get("bytes", "-")
            w(f"| {label} | {line_rate} | {size:,} | " + " | ".join(cells) + f" | {rate(a)} | {loss(a)} |")
    w("")
    w("Against the line rate (10 bits a byte), each line-rate row:")
    w("")
    for mode, prefix in (("default mode", "bridge"), ("low-latency mode", "lowlat"), ("low-latency mode, tick camera", "lowlat-tick")):
        if prefix != "bridge" and not load(directory, f"{prefix}-rtt"):
            continue
        for direction, label in (("down", "camera -> user"), ("up", "user -> camera")):
            for line_rate in LINE_RATES:
                result = load(directory, f"{prefix}-{direction}-{line_rate}")
                w(f"- {mode}: {share_sentence(label, result, direction, line_rate)}.")
    w("")
    duplex_section(w, directory, buffer_text)

    bi = load(directory, "bridge-idle")
    li = load(directory, "lowlat-idle")
    ti = load(directory, "lowlat-tick-idle")
    ai = load(directory, "baseline-idle")
    w("## Idle cost")
    w("")
    w(f"CPU seconds (user + system, from `/proc/<pid>/stat`) per minute with no traffic, measured over {bi['window_s']:.0f} s and scaled to a minute. "
      "Left: the bridge connected and idle, in each mode (the low-latency mode with either camera). Right: the same Wine session with the baseline peer instead of the bridge.")
    w("")
    w("| Process | with the bridge connected | the same, low-latency mode | low-latency mode, tick camera | baseline (no bridge) |")
    w("|---|---:|---:|---:|---:|")
    names = [("bridge", "bridge process (its Wine process, all threads)"),
             ("peer", "baseline peer (Linux)"),
             ("wineserver", "wineserver of the session"),
             ("wine_services", "Wine's own service processes of the prefix"),
             ("relay", "pair relay")]
    for key, label in names:
        b = bi["groups"].get(key)
        lo = li["groups"].get(key) if li else None
        t = ti["groups"].get(key) if ti else None
        a = ai["groups"].get(key)
        w(f"| {label} | {cpu_cell(b)} | {cpu_cell(lo)} | {cpu_cell(t)} | {cpu_cell(a)} |")

    def total(result):
        return f"{sum(g['cpu_s_per_min'] for g in result['groups'].values()):.2f}" if result else "-"
    w(f"| all of the above | {total(bi)} | {total(li)} | {total(ti)} | {total(ai)} |")
    w("")
    if low_rtt:
        low_section(w, directory, meta, base_rtt, bi)

    # Where the time goes.
    all_bridge = all_sizes(bridge_rtt)
    lo, med, hi = min(all_bridge), statistics.median(all_bridge), max(all_bridge)
    base_med = statistics.median(base_rtt["1"])
    w("## Where the time goes in a round trip")
    w("")
    w(f"One pass of the transfer thread in the default mode is: a COM read of up to {BLOCK} bytes with a {DEFAULT_COM_READ_MS} ms time-out "
      f"({DEFAULT_COM_READ_SENDING_MS} ms when the pass before it read bytes from the camera) and, if it brought bytes, "
      f"the Camera Link write; then Camera Link reads until one delivers nothing, each asking for a whole block ({BLOCK} bytes), the first with a "
      f"{DEFAULT_FIRST_CL_READ_MS} ms time-out and the later ones taking what has come without waiting. Each block goes to the COM port whole: a COM write that wrote "
      "part of it goes on with the rest. A stop request is seen between the Camera Link reads and at the end of the pass. A failure that ends the transfer "
      "(a COM read or write, a Camera Link write) sets the connection-error flag, so the bridge disconnects and says so; a failed Camera Link read costs only that step.")
    w("")
    w(f"- The round trip hardly depends on N: over all {len(all_bridge)} bridge round trips the minimum is {ms(lo)} ms, the median {ms(med)} ms, the maximum {ms(hi)} ms, "
      f"against {ms(base_med)} ms for the same path without the bridge. Nearly all of it is waiting, not work: the bridge process uses "
      f"{bi['groups']['bridge']['cpu_s_per_min']:.2f} CPU s a minute when idle ({bi['groups']['bridge']['cpu_s_per_min'] / 60:.1%} of one CPU).")
    w(f"- **A COM read is waited out.** The port is opened with only the total read time-out set (the interval and multiplier fields keep the driver's values), "
      f"and the read returns when {BLOCK} bytes have come or when its time-out has run out, not at the first byte: nothing ends it early on this port. "
      f"A command of fewer than {BLOCK} bytes therefore waits out the rest of the read that was running when it arrived.")
    w(f"- **Back to back, the short read after an answer sets the pace.** The user side sends its next command right after the answer. The pass after the one that "
      f"read the answer reads the COM port for only {DEFAULT_COM_READ_SENDING_MS} ms (a camera that is still sending is read again soon), so the next command waits "
      f"at most that read and the {DEFAULT_FIRST_CL_READ_MS} ms Camera Link read.")
    if bq:
        w(f"- **After a quiet line, the {DEFAULT_COM_READ_MS} ms read dominates.** A command that comes while the bridge idles lands at a random point of a "
          f"{DEFAULT_COM_READ_MS} ms COM read and waits out its rest: median {ms(statistics.median(bq['16']))} ms, "
          f"p95 {ms(percentile(bq['16'], 95))} ms in the table above.")
    w(f"- **The Camera Link read adds its {DEFAULT_FIRST_CL_READ_MS} ms.** The first Camera Link read of a pass asks for {BLOCK} bytes and the simulated camera, like the library it stands in for, "
      f"returns when that count has come or the time-out has run out; an answer of fewer than {BLOCK} bytes is handed over after the full time-out.")
    w("- What remains (a few ms) is Wine's serial I/O through the wineserver, the two pseudo-terminal hops, the pair relay and the Python user side; the baseline shows the pure path cost.")
    study = {v: load(directory, f"study-{v}-rtt") for v in ("stock", "com20", "cl1", "sending100")}
    if all(study.values()):
        com = {v: option_value(meta, v, "com-read-ms", DEFAULT_COM_READ_MS) for v in study}
        cl = {v: option_value(meta, v, "first-cl-read-ms", DEFAULT_FIRST_CL_READ_MS) for v in study}
        w("")
        w("Evidence: the console host of the same engine (`bridge_demo.exe`), started with one timing changed each (the same build as above, no other change), "
          f"{len(study['stock']['1'])} round trips per size. Median / p95 in ms:")
        w("")
        sending = {v: option_value(meta, v, "com-read-sending-ms", DEFAULT_COM_READ_SENDING_MS) for v in study}
        w("| Variant | options | COM read time-out | after an answer | first Camera Link read | N = 1 | N = 256 |")
        w("|---|---|---:|---:|---:|---:|---:|")
        for key, label in (("stock", "stock (the default timings)"), ("com20", "COM read shortened"), ("cl1", "Camera Link read shortened"),
                           ("sending100", "no short COM read after an answer")):
            cells = []
            for size in ("1", "256"):
                s = study[key][size]
                cells.append(f"{ms(statistics.median(s))} / {ms(percentile(s, 95))}")
            w(f"| {label} | {options_cell(meta, key)} | {com[key]} ms | {sending[key]} ms | {cl[key]} ms | {cells[0]} | {cells[1]} |")
        stock = statistics.median(study["stock"]["1"])
        com20 = statistics.median(study["com20"]["1"])
        cl1 = statistics.median(study["cl1"]["1"])
        s100 = statistics.median(study["sending100"]["1"])
        w("")
        w(f"Back to back, shortening the COM read time-out by {com['stock'] - com['com20']} ms changes the median round trip by {com20 - stock:+.0f} ms "
          f"(the command meets the short read after an answer, not that one); shortening the first Camera Link read by {cl['stock'] - cl['cl1']} ms "
          f"takes {stock - cl1:.0f} ms off; without the short read after an answer the median is {ms(s100)} ms. "
          "So a back-to-back round trip is the short COM read plus the first Camera Link read plus a few ms of path, and a command after a quiet line "
          "waits the rest of a full COM read instead.")
    w("")
    network_section(w, directory)
    other_maker_section(w, directory)
    record_section(w, directory)
    throughput_section(w, directory, meta, buffer_bytes, low_rtt)
    w("## Notes")
    w("")
    w("- The figures are for Wine on Linux pseudo-terminals, not for Windows with com0com: a pseudo-terminal does not pace bytes at the baud rate, and Wine carries every serial call through the wineserver. The time-outs that set the round trip are the bridge's own and apply on Windows too, as long as the port leaves the read interval time-out unused; "
      "the camera library's own time-outs may be coarser there, counted in system ticks, which is what the tick camera stands in for.")
    if app:
        w("- The bridge program was ended with a signal to its Wine process between the runs (the benchmark measures traffic, not the Exit command).")
    w("- The machine is shared: the load average above says how busy it was. The round-trip figures hardly move with load (they are time-outs); "
      "the camera -> user figures at a line rate can, because a pass that ends while the camera still sends leaves its bytes to the grabber's buffer until the next pass reads, "
      "and a bridge that is kept from running for longer than the buffer lasts loses bytes there.")
    w(f"- Run it again with `bench/run` (this run: {meta['elapsed_s']} s with the build; `--bridge demo` measures the console host in place of the bridge program, "
      "`--no-study` leaves out the console host started with other timings or low-latency settings).")
    with open(output, "w") as f:
        f.write("\n".join(out) + "\n")


def network_section(w, directory):
    """The bridge served over the network beside the same bridge on the virtual pair."""
    if not any(load(directory, f"{side}-rtt") for side, _, _ in NETWORK_SIDES):
        return
    w("## Network endpoint")
    w("")
    w("The same bridge program with one more word, `NETWORK=RAW:127.0.0.1:<port>`: its user side is a raw TCP endpoint on the loopback instead of the "
      "virtual pair, and `measure.py` is its client (TCP without delay). Round trips as above (medians in ms, and how much longer than over the pair in "
      f"the same mode; the target is at most {TARGET_NETWORK_EXTRA_MS:g} ms more); throughput at 921600 as above, against the line rate, with the bytes lost.")
    w("")
    w("| Mode | N bytes | over the network | over the pair | network minus pair | verdict |")
    w("|---|---:|---:|---:|---:|---|")
    for side, pair_side, mode in NETWORK_SIDES:
        net, pair = load(directory, f"{side}-rtt"), load(directory, f"{pair_side}-rtt")
        if not net:
            continue
        for size in sorted(net, key=int):
            if not pair or size not in pair:
                continue
            n, p = statistics.median(net[size]), statistics.median(pair[size])
            w(f"| {mode} | {size} | {ms(n)} | {ms(p)} | {n - p:+.3f} | {verdict(n - p <= TARGET_NETWORK_EXTRA_MS)} |")
    w("")
    w("| Mode | Direction | over the network B/s | share of the line rate | lost | verdict |")
    w("|---|---|---:|---:|---:|---|")
    for side, _, mode in NETWORK_SIDES:
        for direction, name in (("up", "user -> camera"), ("down", "camera -> user")):
            result = load(directory, f"{side}-{direction}-921600")
            if not result:
                continue
            if not complete(result):
                w(f"| {mode} | {name} | incomplete | - | {loss(result)} | {verdict(False)} |")
                continue
            share = throughput(result) / LINE_921600
            ok = share >= TARGET_LINE_SHARE and not (result["lost"] or result["wrong"] or result["extra"])
            w(f"| {mode} | {name} | {throughput(result):,.0f} | {share:.0%} | {loss(result)} | {verdict(ok)} |")
    w("")
    pair_up = load(directory, "bridge-up-921600")
    if complete(pair_up):
        w(f"In the default mode user -> camera is bounded by the pass itself, over the pair as well ({throughput(pair_up):,.0f} B/s, "
          f"{throughput(pair_up) / LINE_921600:.0%} of the line rate in this run): one block of {BLOCK} bytes a pass, then the "
          f"{DEFAULT_FIRST_CL_READ_MS} ms of the first Camera Link read (see below). The network endpoint hands its bytes on as they come, "
          "so its default-mode round trip is the pass's Camera Link read and a little more, shorter than over the pair.")
        w("")


def other_maker_section(w, directory):
    """The bridge on another maker's library beside the same bridge on this system's own."""
    if not any(load(directory, f"{side}-rtt") for side, _, _ in OTHER_MAKER_SIDES):
        return
    w("## Another maker's library")
    w("")
    w("The same bridge program with one more word, `CLLIB=clserlrk.dll`: the port is opened on another maker's serial library (the stand-in "
      "`clserlrk.dll` in the Camera Link library folder that `CLSERIALPATH` names, bound at run time), with the same simulated cameras behind it "
      "and its five rates (no 57600, 230400 or 460800). Beside each row the same figure on this system's own library (`clserbvk.dll`), "
      "in the same mode and the same run. Round trip of 6 bytes: median / p95 in ms. At 921600: share of the line rate (10 bits a byte) and "
      "bytes lost; full duplex: both directions at once, lost towards / back and what the grabber's buffer dropped.")
    w("")
    w("| Mode | Row | another maker's library | this system's own library |")
    w("|---|---|---:|---:|")

    def rtt_cell(result):
        if not result or "6" not in result:
            return "not run"
        return f"{ms(statistics.median(result['6']))} / {ms(percentile(result['6'], 95))}"

    def line_cell(result):
        if not result:
            return "not run"
        if not complete(result):
            return f"incomplete, {loss(result)} lost"
        return f"{throughput(result) / LINE_921600:.0%}, {loss(result)} lost"

    def duplex_cell(result):
        if not result:
            return "not run"
        return (f"{duplex_share(result['up'])} / {duplex_share(result['down'])}, {loss(result['up'])} / {loss(result['down'])} lost, "
                f"{counted(result, 'dropped')} dropped")

    for side, own_side, mode in OTHER_MAKER_SIDES:
        if not load(directory, f"{side}-rtt"):
            continue
        w(f"| {mode} | 6-byte round trip | {rtt_cell(load(directory, f'{side}-rtt'))} | {rtt_cell(load(directory, f'{own_side}-rtt'))} |")
        for direction, name in (("up", "user -> camera"), ("down", "camera -> user")):
            w(f"| {mode} | {name} at 921600 | {line_cell(load(directory, f'{side}-{direction}-921600'))} "
              f"| {line_cell(load(directory, f'{own_side}-{direction}-921600'))} |")
        w(f"| {mode} | full duplex at 921600 | {duplex_cell(load(directory, f'{side}-{DUPLEX_RESULT}'))} "
          f"| {duplex_cell(load(directory, f'{own_side}-{DUPLEX_RESULT}'))} |")
    w("")


def record_section(w, directory):
    """The bridge recording its traffic beside the same bridge without a record."""
    if not any(load(directory, f"{side}-rtt") for side, _, _ in RECORD_SIDES):
        return
    w("## Traffic record")
    w("")
    w("The same bridge program with one more word, `Record=16:<file>`: every block it moves is written to a file by its own writer thread. "
      "The 6-byte round trip (median in ms) beside the same mode without a record (target: within "
      f"{TARGET_RECORD_RTT_SHARE - 1:.0%}), and the line rate at 921600 each way (target: at least {TARGET_LINE_SHARE:.0%}, nothing lost, "
      "nothing left out of the record).")
    w("")
    w("| Mode | 6-byte round trip, recording | without | ratio | verdict |")
    w("|---|---:|---:|---:|---|")
    for side, plain_side, mode in RECORD_SIDES:
        rec, plain = load(directory, f"{side}-rtt"), load(directory, f"{plain_side}-rtt")
        if not rec or "6" not in rec or not plain or "6" not in plain:
            continue
        r, p = statistics.median(rec["6"]), statistics.median(plain["6"])
        w(f"| {mode} | {ms(r)} | {ms(p)} | {r / p:.2f} | {verdict(r <= p * TARGET_RECORD_RTT_SHARE)} |")
    w("")
    w("| Mode | Direction | recording B/s | share of the line rate | lost | not recorded | verdict |")
    w("|---|---|---:|---:|---:|---:|---|")
    for side, _, mode in RECORD_SIDES:
        record = load(directory, f"{side}-record") or {}
        not_recorded = record.get("not_recorded")
        for direction, name in (("up", "user -> camera"), ("down", "camera -> user")):
            result = load(directory, f"{side}-{direction}-921600")
            if not result:
                continue
            left_out = "not counted" if not_recorded is None else f"{not_recorded:,}"
            if not complete(result):
                w(f"| {mode} | {name} | incomplete | - | {loss(result)} | {left_out} | {verdict(False)} |")
                continue
            share = throughput(result) / LINE_921600
            ok = (share >= TARGET_LINE_SHARE and not (result["lost"] or result["wrong"] or result["extra"])
                  and not result.get("dropped") and not_recorded == 0)
            w(f"| {mode} | {name} | {throughput(result):,.0f} | {share:.0%} | {lost_cell(result, direction, '921600')} | "
              f"{left_out} | {verdict(ok)} |")
    w("")
    w("\"not recorded\" counts, over all rows of that mode, the bytes the record says it left out because its writer fell behind.")
    w("")


def throughput_section(w, directory, meta, buffer_bytes, low_rtt):
    w("## What the throughput figures show")
    w("")
    up_unpaced = load(directory, "bridge-up-unpaced")
    up_921600 = load(directory, "bridge-up-921600")
    text = (f"- **User -> camera** moves at most one block ({BLOCK} bytes) per pass, and each pass then waits the {DEFAULT_FIRST_CL_READ_MS} ms of the first "
            "Camera Link read, because a camera that only listens sends nothing back. That caps the direction near "
            f"{BLOCK / (DEFAULT_FIRST_CL_READ_MS / 1000.0):,.0f} bytes a second less the cost of each pass")
    if complete(up_unpaced):
        text += f" (unpaced: {throughput(up_unpaced):,.0f} B/s)"
    text += (f", close to the {LINE_921600:,.0f} bytes a second of 921600 baud: what the bridge has not taken yet waits in the pair (the relay's queue towards `TARVCOM10`), "
             "the user side's writes are held back, and nothing is lost")
    if complete(up_921600):
        text += f" (at 921600: {throughput(up_921600) / LINE_921600:.0%} of the line rate)"
    w(text + ".")

    # Camera -> user: how long a pause between two passes leaves the camera's bytes in the grabber's buffer.
    idle_pass_ms = DEFAULT_COM_READ_MS + DEFAULT_FIRST_CL_READ_MS
    sending_pass_ms = DEFAULT_COM_READ_SENDING_MS + DEFAULT_FIRST_CL_READ_MS
    text = (f"- **Camera -> user**: every Camera Link read of a pass asks for a whole block ({BLOCK} bytes); the first waits up to {DEFAULT_FIRST_CL_READ_MS} ms, "
            "the later ones take what has come without waiting, and the pass goes on until a read brings nothing, so a pass drains whatever the camera sends "
            "for as long as every read finds new bytes. Each block goes to the COM port whole (a COM write that wrote part of it goes on with the rest).")
    if buffer_bytes:
        line = {r: int(r) / 10.0 for r in LINE_RATES}
        held = {r: line[r] * sending_pass_ms / 1000.0 for r in LINE_RATES}
        held_idle = {r: line[r] * idle_pass_ms / 1000.0 for r in LINE_RATES}
        lasts = {r: buffer_bytes / line[r] * 1000.0 for r in LINE_RATES}
        text += (f" Whenever the reads pause, the camera's bytes wait in the grabber's buffer of {buffer_bytes:,} bytes, which holds "
                 + " and ".join(f"{lasts[r]:,.0f} ms of the line at {r}" for r in LINE_RATES)
                 + "; what comes after that is dropped. The camera here sends its answer in pieces of 4 KiB with the line quiet for 1 ms between them, "
                 "so a pass ends while the answer is still coming: the next one begins with the COM read, which after a pass that read bytes from the camera "
                 f"waits {DEFAULT_COM_READ_SENDING_MS} ms, and the {DEFAULT_FIRST_CL_READ_MS} ms read; in those {sending_pass_ms} ms the line brings "
                 + " and ".join(f"{held[r]:,.0f} bytes at {r}" for r in LINE_RATES)
                 + f", which the buffer holds. With the full {DEFAULT_COM_READ_MS} ms COM read there ({idle_pass_ms} ms in all) it would bring "
                 + " and ".join(f"{held_idle[r]:,.0f} bytes at {r}" for r in LINE_RATES) + ", "
                 + " and ".join(f"{'which the buffer holds' if held_idle[r] <= buffer_bytes else 'more than it holds'} at {r}" for r in LINE_RATES) + ".")
        findings = []
        for r in LINE_RATES:
            res = load(directory, f"bridge-down-{r}")
            if res is None or res.get("dropped") is None:
                continue
            d = res["dropped"]
            if d == 0:
                findings.append(f"at {r} 0 bytes dropped")
            else:
                pause = (d + buffer_bytes) / line[r] * 1000.0
                findings.append(f"at {r} the grabber's buffer dropped {d:,} bytes, as much as a single pause of about {pause:,.0f} ms between two reads would drop")
        if findings:
            text += " In this run, in the default mode: " + "; ".join(findings) + "."
    w(text)
    if low_rtt:
        text = (f"- **The low-latency mode** reads the two directions on threads of their own, and polls the camera every {DEFAULT_LL_POLL_MS} ms while traffic is "
                f"recent, so it does not slow down while the camera sends: the polls back off only after {DEFAULT_LL_FAST_WINDOW_MS} ms without traffic")
        if buffer_bytes:
            text += (f"; the grabber's buffer holds {buffer_bytes / LINE_921600 * 1000:.0f} ms of the line at 921600, far more than the fast poll interval "
                     f"and more than a tick ({TICK_MS} ms), by which the tick camera may lengthen a read")
        w(text + ".")
    dump_b, dump_l, dump_t = (load(directory, f"{side}-down-unpaced") for side in ("bridge", "lowlat", "lowlat-tick"))
    if complete(dump_b):
        text = (f"- **The unpaced dump** (an infinitely fast line, an unbounded buffer) is the bridge's own ceiling: {throughput(dump_b):,.0f} B/s in the default mode")
        if complete(dump_l):
            text += f", {throughput(dump_l):,.0f} B/s in the low-latency mode"
        if complete(dump_t):
            text += f", {throughput(dump_t):,.0f} B/s in the low-latency mode with the tick camera"
        text += f", {throughput(dump_b) / LINE_921600:,.0f} times the {LINE_921600:,.0f} bytes a second of 921600 baud."
        w(text)
    up = {(v, r): load(directory, f"study-{v}-up-{r}") for v in ("stock", "cl1") for r in ("unpaced", "921600")}
    if all(up.values()):
        def cell(result):
            return f"{throughput(result):,.0f} ({loss(result)} lost)" if complete(result) else f"incomplete ({loss(result)} lost)"
        cl1_ms = option_value(meta, "cl1", "first-cl-read-ms", DEFAULT_FIRST_CL_READ_MS)
        w("")
        w("Evidence from the same console host variants, user -> camera, bytes per second:")
        w("")
        w("| Variant | options | unpaced | 921600 |")
        w("|---|---|---:|---:|")
        w(f"| stock (the default timings) | {options_cell(meta, 'stock')} | {cell(up[('stock', 'unpaced')])} | {cell(up[('stock', '921600')])} |")
        w(f"| first Camera Link read {cl1_ms} ms | {options_cell(meta, 'cl1')} | {cell(up[('cl1', 'unpaced')])} | {cell(up[('cl1', '921600')])} |")
        w("")
        if all(complete(r) for r in up.values()):
            stock_up, cl1_up = throughput(up[("stock", "unpaced")]), throughput(up[("cl1", "unpaced")])
            stock_share = throughput(up[("stock", "921600")]) / LINE_921600
            cl1_share = throughput(up[("cl1", "921600")]) / LINE_921600
            verdict = ("so that read's time-out is what sets this direction's limit" if cl1_up > 1.5 * stock_up
                       else "in this run that made no clear difference")
            w(f"A {cl1_ms} ms first Camera Link read takes user -> camera unpaced from {stock_up:,.0f} to {cl1_up:,.0f} B/s "
              f"({cl1_up / stock_up:.1f} times), and at 921600 from {stock_share:.0%} to {cl1_share:.0%} of the line: {verdict}.")
            w("")
        w("Camera -> user has no such rows: the variant it was once compared with, a whole block asked for at every Camera Link read of a pass, is what "
          "the engine now always does, so the camera -> user rows above are that variant.")
    w("")


if __name__ == "__main__":
    main()
