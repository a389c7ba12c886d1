#!/usr/bin/python3
"""Turns the results of one bench/run into bench/RESULTS.md.

usage: report.py RESULTS_DIR OUTPUT.md
"""
import json
import math
import os
import statistics
import sys


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


def throughput(result):
    """Bytes per second from the first to the last byte at the receiving end."""
    if result.get("streaming_s"):
        return result["bytes"] / result["streaming_s"]
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
    text = str(result["lost"])
    if result["wrong"] or result["extra"]:
        text += f" ({result['wrong']} wrong, {result['extra']} extra)"
    return text


def cpu_cell(group):
    return f"{group['cpu_s_per_min']:.2f}" if group else "-"


def low_section(w, directory, low_rtt, base_rtt, bi, li, late_b, late_l):
    """What the low-latency mode changes, and its figures against the default and the baseline."""
    all_low = low_rtt["1"] + low_rtt["16"] + low_rtt["256"]
    w("## Low-latency mode")
    w("")
    w("Opt-in per connection (the word `LowLatency` on the bridge program's command line, the key `lowlatency` of its section in "
      "`DunmereConfig.ini`, or the port settings dialog's \"Low latency\" box on a running connection). The default mode above is unchanged. "
      "The pass of the transfer thread keeps its order, locks, flags, retries and trace lines; what changes:")
    w("")
    w("- **COM read**: the port's read interval time-out is set to 2 ms, so a read returns once bytes have come and no further byte followed within 2 ms "
      "(Wine ignores the \"return at once\" combination of MAXDWORD interval and multiplier, a plain interval works). The total time-out still ends a read with nothing: "
      "109 ms when no answer is awaited, so that with the 1 ms Camera Link read an idle pass lasts the default's 110 ms and idling costs the same; "
      "10 ms for half a second after a block went to the camera, so that an answer later than the short reads below is heard within about 10 ms of its arrival. "
      "Switching back to the default mode puts the port's own interval value back.")
    w("- **Camera Link reads**: every read waits 1 ms and asks for a whole block (1024 bytes). After a block went to the camera, short reads wait up to 10 ms in all "
      "(the default's first read) for the first bytes of the answer and hand each part on to the COM port as soon as it comes; once bytes came, the step goes on "
      "until the camera has been quiet for 2 ms. A pass that wrote nothing to the camera reads once (1 ms) and, if that brings bytes, drains them the same way.")
    w("")
    w(f"- Round trip with the camera answering at once: median {ms(statistics.median(all_low))} ms over all {len(all_low)} round trips "
      f"(default {ms(statistics.median(low_rtt_default(directory)))} ms, baseline {ms(statistics.median(base_rtt['1']))} ms). "
      "What remains is the 2 ms interval that ends the COM read, the 1 ms Camera Link read, the 2 ms quiet gap before the next COM read begins, "
      "and the Wine serial calls in between.")
    if late_b and late_l:
        w(f"- Slow camera (answer after 50 ms): median {ms(statistics.median(late_l['command']))} ms in the low-latency mode against "
          f"{ms(statistics.median(late_b['command']))} ms in the default mode: the answer is picked up by the first pass after it arrived, and while it is awaited a pass lasts about 11 ms.")
    if li:
        w(f"- Idle: the bridge process uses {li['groups']['bridge']['cpu_s_per_min']:.2f} CPU s a minute in the low-latency mode against "
          f"{bi['groups']['bridge']['cpu_s_per_min']:.2f} in the default mode (same number of passes a second when idle).")
    w("- Where the mode departs from the default pass: the read interval time-out of the COM port is set (the default leaves it to the port); the COM read's total "
      "time-out is 109 or 10 ms instead of 100 ms; the Camera Link reads wait 1 ms each instead of 10 ms and then 0 ms, a read that brings nothing ends the step only after "
      "the answer window or the quiet gap, and every read asks for a whole block instead of at most what the read before delivered. "
      "The stop request is still seen at the end of each pass, which is now at most about 110 ms long when idle.")
    w("")
    choice_table(w, directory, bi, li, late_b, late_l)


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


def choice_table(w, directory, bi, li, late_b, late_l):
    short_idle = load(directory, "study-llshort-idle")
    short_late = load(directory, "study-llshort-late-rtt")
    short_rtt = load(directory, "study-llshort-rtt")
    noawait_late = load(directory, "study-llnoawait-late-rtt")
    if not (short_idle or short_late or noawait_late):
        return
    w("### Choosing the COM read time-outs of the mode")
    w("")
    w("The COM read's total time-out decides two things: how often an idle bridge wakes up, and how soon an answer that comes after the short "
      "Camera Link reads have given up (a slow camera) is picked up, since it waits for the next pass. Two alternatives, built as scratch copies of the console host "
      "with the mode always on (never committed), against the chosen time-outs. Idle: CPU s a minute, the bridge process alone and with the wineserver. "
      "Slow camera (answer after 50 ms): median / p95 round trip in ms.")
    w("")
    w("| Variant | COM read total time-out | idle: bridge | idle: bridge + wineserver | slow camera | immediate answer, N = 1 |")
    w("|---|---|---:|---:|---:|---:|")
    low_rtt = load(directory, "lowlat-rtt")
    def rtt_cell(r):
        return f"{ms(statistics.median(r['1']))} / {ms(percentile(r['1'], 95))}" if r else "not run"
    w(f"| default mode | 100 ms | {idle_cells(bi)} | {late_cell(late_b)} | {rtt_cell(load(directory, 'bridge-rtt'))} |")
    w(f"| low-latency, chosen | 109 ms, 10 ms for 500 ms after a command | {idle_cells(li)} | {late_cell(late_l)} | {rtt_cell(low_rtt)} |")
    w(f"| low-latency, short COM read always | 20 ms | {idle_cells(short_idle)} | {late_cell(short_late)} | {rtt_cell(short_rtt)} |")
    w(f"| low-latency, no short COM read after a command | 109 ms | (as chosen) | (as chosen) | {late_cell(noawait_late)} | (as chosen) |")
    w("")
    def med(result):
        return statistics.median(result["command"]) if result else None
    def idle_total(result):
        return sum(g["cpu_s_per_min"] for k, g in result["groups"].items() if k in ("bridge", "wineserver")) if result else None
    parts = []
    if short_idle and li:
        parts.append(f"a 20 ms COM read all the time costs {idle_total(short_idle):.2f} CPU s a minute when idle (bridge and wineserver) "
                     f"against {idle_total(li):.2f} with the chosen time-outs")
    if short_late and late_l:
        parts.append(f"and answers the slow camera in {ms(med(short_late))} ms against {ms(med(late_l))} ms")
    if noawait_late:
        parts.append(f"without the short COM read after a command the slow camera's answer waits for the next idle pass: {ms(med(noawait_late))} ms")
    if parts:
        w("Measured: " + ", ".join(parts[:2]) + ("; " + parts[2] if len(parts) > 2 else "") + ". "
          "The chosen pair keeps the idle pass of the default mode and shortens the COM read only for half a second after a command, while its answer may still come.")
    w("")


def low_rtt_default(directory):
    r = load(directory, "bridge-rtt")
    return r["1"] + r["16"] + r["256"]


def main():
    directory, output = sys.argv[1], sys.argv[2]
    meta = load(directory, "meta")
    bridge_rtt = load(directory, "bridge-rtt")
    low_rtt = load(directory, "lowlat-rtt")
    base_rtt = load(directory, "baseline-rtt")
    bridge_name = ("`ClserDunmere2.exe`, started as the launcher starts it (`COM10 0 <line settings> Autorun`)"
                   if meta["bridge"] == "app" else
                   "`bridge_demo.exe` (console host of the same bridge engine and transfer loop)")
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
    w(f"| Wine | {meta['wine']}, `wine64`: the x86_64 build of the same sources, as native code (this kernel runs 32-bit programs only through a user-mode emulator, whose speed a benchmark of the 32-bit product would measure) |")
    w(f"| Commit | {meta['commit']} |")
    w(f"| Command | `{meta['command']}` ({meta['elapsed_s']} s, build included) |")
    w(f"| Bridge | {bridge_name} |")
    if low_rtt:
        w("| Low-latency mode | the same program with one more word, `COM10 0 <line settings> Autorun LowLatency` |")
    w("")
    w("## What runs")
    w("")
    w("- **User side**: `bench/measure.py` (Debian's python3) on the Linux pseudo-terminal of `COM10`, raw, no echo.")
    w("- **Virtual pair**: `COM10 <-> TARVCOM10`, two pseudo-terminals joined by `socat` (the test rig, installed through the setupc emulator so that the pair library lists it).")
    w("- **Bridge path**: user -> pty `COM10` -> socat -> pty `TARVCOM10` -> bridge under Wine -> simulated camera (`clserbvk.dll`, in the bridge process) and back.")
    w("- **Baseline path**: the same pair, the same socat relay, but a plain Linux process (`measure.py peer`) on `TARVCOM10` answering as the simulated camera does (echo, log, dump with the same pacing rule): user -> pty -> socat -> pty -> answering peer and back. So the baseline is the path without the bridge and Wine; the ratio is what the bridge costs.")
    w("- **Camera**: answers at once (`delay` 0). Round trips use `echo = yes` (the answer is the N bytes sent, compared byte for byte). User -> camera uses a camera that answers nothing and appends every byte to `receive_log`; camera -> user uses `dump <n>` (byte k = k mod 256), with `pace = yes` for the line-rate rows.")
    w("")

    w("## Command round trip")
    w("")
    w(f"The user side writes N bytes and reads the full N-byte answer; {meta['count']} round trips per size after 5 warm-up ones. Milliseconds.")
    w("")
    w("| N bytes | bridge median | bridge p95 | low-latency median | low-latency p95 | baseline median | baseline p95 | median against the baseline's (default / low-latency) |")
    w("|---:|---:|---:|---:|---:|---:|---:|---:|")
    for size in ("1", "16", "256"):
        b = bridge_rtt[size]
        a = base_rtt[size]
        bm, bp, am, ap = statistics.median(b), percentile(b, 95), statistics.median(a), percentile(a, 95)
        if low_rtt:
            lm, lp = statistics.median(low_rtt[size]), percentile(low_rtt[size], 95)
            low_cells, low_ratio = f"{ms(lm)} | {ms(lp)}", f" / {lm / am:,.0f}"
        else:
            low_cells, low_ratio = "not run | not run", ""
        w(f"| {size} | {ms(bm)} | {ms(bp)} | {low_cells} | {ms(am)} | {ms(ap)} | {bm / am:,.0f}{low_ratio} |")
    w("")
    late_b, late_l = load(directory, "bridge-late-rtt"), load(directory, "lowlat-late-rtt")
    if late_b and late_l:
        w("### A slow camera")
        w("")
        w(f"The camera answers `ping` with `PONG` 50 ms after the command (`delay = 50`); {len(late_b['command'])} round trips each, after 5 warm-up ones. Milliseconds.")
        w("")
        w("| Mode | median | p95 | max |")
        w("|---|---:|---:|---:|")
        for label, r in (("default", late_b), ("low-latency", late_l)):
            c = r["command"]
            w(f"| {label} | {ms(statistics.median(c))} | {ms(percentile(c, 95))} | {ms(max(c))} |")
        w("")

    w("## Sustained throughput")
    w("")
    w("Bytes per second, and bytes lost (0 means every byte arrived, in order and unchanged; the content is compared in full). "
      "Both directions count from the first to the last byte at the receiving end, so that the one-off latency of a round trip does not enter: "
      "user -> camera from the first byte in the camera's log until the log holds the last one, at a line rate with the user side pacing its writes at 10 bits a byte (a pseudo-terminal does not pace); "
      "camera -> user from the first to the last byte of the answer to `dump <n>`, at a line rate with the camera (`pace = yes`, at the bridge's line settings) or the baseline peer pacing.")
    w("")
    w("| Direction | Line rate | Bytes | Bridge B/s | Bridge lost | Low-latency B/s | Low-latency lost | Baseline B/s | Baseline lost |")
    w("|---|---|---:|---:|---:|---:|---:|---:|---:|")
    for direction, label in (("up", "user -> camera"), ("down", "camera -> user")):
        for line_rate in ("unpaced", "115200", "921600"):
            b = load(directory, f"bridge-{direction}-{line_rate}")
            lo = load(directory, f"lowlat-{direction}-{line_rate}")
            a = load(directory, f"baseline-{direction}-{line_rate}")
            size = (b or a or {}).get("bytes", "-")
            w(f"| {label} | {line_rate} | {size:,} | {rate(b)} | {loss(b)} | {rate(lo)} | {loss(lo)} | {rate(a)} | {loss(a)} |")
    w("")

    bi = load(directory, "bridge-idle")
    li = load(directory, "lowlat-idle")
    ai = load(directory, "baseline-idle")
    w("## Idle cost")
    w("")
    w(f"CPU seconds (user + system, from `/proc/<pid>/stat`) per minute with no traffic, measured over {bi['window_s']:.0f} s and scaled to a minute. "
      "Left: the bridge connected and idle, in each mode. Right: the same Wine session with the baseline peer instead of the bridge.")
    w("")
    w("| Process | with the bridge connected | the same, low-latency mode | baseline (no bridge) |")
    w("|---|---:|---:|---:|")
    names = [("bridge", "bridge process (its Wine process, all threads)"),
             ("peer", "baseline peer (Linux)"),
             ("wineserver", "wineserver of the session"),
             ("wine_services", "Wine's own service processes of the prefix"),
             ("relay", "pair relay (socat) and holder")]
    for key, label in names:
        b = bi["groups"].get(key)
        lo = li["groups"].get(key) if li else None
        a = ai["groups"].get(key)
        w(f"| {label} | {cpu_cell(b)} | {cpu_cell(lo)} | {cpu_cell(a)} |")
    total_b = sum(g["cpu_s_per_min"] for g in bi["groups"].values())
    total_l = f"{sum(g['cpu_s_per_min'] for g in li['groups'].values()):.2f}" if li else "-"
    total_a = sum(g["cpu_s_per_min"] for g in ai["groups"].values())
    w(f"| all of the above | {total_b:.2f} | {total_l} | {total_a:.2f} |")
    w("")
    if low_rtt:
        low_section(w, directory, low_rtt, base_rtt, bi, li, late_b, late_l)

    # Where the time goes.
    all_bridge = bridge_rtt["1"] + bridge_rtt["16"] + bridge_rtt["256"]
    lo, med, hi = min(all_bridge), statistics.median(all_bridge), max(all_bridge)
    base_med = statistics.median(base_rtt["1"])
    w("## Where the time goes in a round trip")
    w("")
    w("One pass of the transfer thread is: a COM read of up to 1024 bytes with a 100 ms time-out, the Camera Link write, "
      "then Camera Link reads (the first with a 10 ms time-out, wanting 1024 bytes) until one delivers nothing, each block written to the COM port.")
    w("")
    w(f"- The round trip hardly depends on N: over all {len(all_bridge)} bridge round trips the minimum is {ms(lo)} ms, the median {ms(med)} ms, the maximum {ms(hi)} ms, "
      f"against {ms(base_med)} ms for the same path without the bridge. Nearly all of it is waiting, not work: the bridge process uses "
      f"{bi['groups']['bridge']['cpu_s_per_min']:.2f} CPU s a minute when idle ({bi['groups']['bridge']['cpu_s_per_min'] / 60:.1%} of one CPU).")
    w("- **The COM read time-out (100 ms) dominates.** The port is opened with only the total read time-out set (the interval and multiplier fields keep the driver's values), "
      "and the read returns when 1024 bytes have come or when the 100 ms have run out, not at the first byte: nothing ends it early on this port. "
      "A command of fewer than 1024 bytes therefore waits out the rest of the 100 ms read that was running when it arrived. "
      "The user side sends its next command right after the answer, while the thread has just started its next read, so almost the full 100 ms is waited every time.")
    w("- **The Camera Link read adds its 10 ms.** The first Camera Link read of a pass asks for 1024 bytes and the simulated camera, like the library it stands in for, "
      "returns when that count has come or the time-out has run out; an answer of fewer than 1024 bytes is handed over after the full 10 ms.")
    w("- What remains (a few ms) is Wine's serial I/O through the wineserver, the two pseudo-terminal hops and the Python user side; the baseline shows the pure path cost.")
    study = {v: load(directory, f"study-{v}-rtt") for v in ("stock", "com20", "cl1")}
    if all(study.values()):
        w("")
        w("Evidence: the console host of the same engine (`bridge_demo.exe`), built from the committed sources in a scratch tree with one change each "
          f"(never committed), {len(study['stock']['1'])} round trips per size. Median / p95 in ms:")
        w("")
        w("| Build | COM read time-out | first Camera Link read | N = 1 | N = 256 |")
        w("|---|---:|---:|---:|---:|")
        for key, label, com, cl in (("stock", "as committed", 100, 10), ("com20", "COM read shortened", 20, 10),
                                    ("cl1", "Camera Link read shortened", 100, 1)):
            cells = []
            for size in ("1", "256"):
                s = study[key][size]
                cells.append(f"{ms(statistics.median(s))} / {ms(percentile(s, 95))}")
            w(f"| {label} | {com} ms | {cl} ms | {cells[0]} | {cells[1]} |")
        stock = statistics.median(study["stock"]["1"])
        com20 = statistics.median(study["com20"]["1"])
        cl1 = statistics.median(study["cl1"]["1"])
        w("")
        w(f"Shortening the COM read time-out by 80 ms takes {stock - com20:.0f} ms off the median round trip; "
          f"shortening the first Camera Link read by 9 ms takes {stock - cl1:.0f} ms off. "
          "So a round trip is the COM read time-out plus the first Camera Link read time-out plus a few ms of path.")
    w("")
    w("## What the throughput figures show")
    w("")
    notes = []
    for direction in ("up", "down"):
        for line_rate in ("115200", "921600"):
            b = load(directory, f"bridge-{direction}-{line_rate}")
            if not b or not b["bytes_per_s"]:
                continue
            share = throughput(b) / (int(line_rate) / 10.0)
            label = "user -> camera" if direction == "up" else "camera -> user"
            verdict = "keeps up with the line" if share >= 0.97 else "falls behind the line"
            notes.append(f"{label} at {line_rate}: {share:.0%} of the line rate ({verdict})")
    w("- Measured against the line (10 bits a byte): " + "; ".join(notes) + ".")
    w("- **User -> camera** moves at most 1024 bytes per pass, and each pass then waits the 10 ms of the first Camera Link read, because a camera that only listens sends nothing back. "
      "That caps the direction near 1024 bytes per 10 ms plus the cost of the pass, below the 92,160 bytes a second of 921600 baud: the bytes wait in the pair's queues "
      "(nothing is lost here; the writer is held back).")
    w("- **Camera -> user** drains the camera in blocks of up to 1024 bytes within a pass. But each later Camera Link read of a pass asks for at most as many bytes as the read before delivered: "
      "the count is not reset within the pass. When a paced camera has only a few bytes ready, one short read lowers the count to those few bytes; from then on every read of the pass "
      "asks for that few, and as long as the camera delivers at least that many between two reads the pass does not end. The direction then moves a few bytes per read and write "
      "(a Camera Link read plus a COM write through Wine, tens of microseconds each, more on a busy machine), can fall below the line rate, and the COM side is not read meanwhile. "
      "The unpaced dump does not show this: the camera always has a whole block ready.")
    up = {(v, r): load(directory, f"study-{v}-up-{r}") for v in ("stock", "cl1") for r in ("unpaced", "921600")}
    dn = {(v, r): load(directory, f"study-{v}-down-{r}") for v in ("stock", "reset") for r in ("115200", "921600")}
    if all(up.values()) and all(dn.values()):
        def cell(result):
            return f"{throughput(result):,.0f} ({loss(result)} lost)" if result["bytes_per_s"] else f"incomplete ({loss(result)} lost)"
        w("")
        w("Evidence from the same scratch builds, bytes per second:")
        w("")
        w("| Build | user -> camera unpaced | user -> camera 921600 | camera -> user 115200 | camera -> user 921600 |")
        w("|---|---:|---:|---:|---:|")
        w(f"| as committed | {cell(up[('stock', 'unpaced')])} | {cell(up[('stock', '921600')])} | "
          f"{cell(dn[('stock', '115200')])} | {cell(dn[('stock', '921600')])} |")
        w(f"| first Camera Link read 1 ms | {cell(up[('cl1', 'unpaced')])} | {cell(up[('cl1', '921600')])} | | |")
        w(f"| count set to 1024 before every Camera Link read | | | "
          f"{cell(dn[('reset', '115200')])} | {cell(dn[('reset', '921600')])} |")
        reset_share = throughput(dn[("reset", "921600")]) / 92160.0
        stock_share = throughput(dn[("stock", "921600")]) / 92160.0
        cl1_share = throughput(up[("cl1", "921600")]) / 92160.0
        w("")
        w(f"Asking for a whole block at every Camera Link read takes camera -> user at 921600 from {stock_share:.0%} to {reset_share:.0%} of the line; "
          f"a 1 ms first Camera Link read takes user -> camera at 921600 to {cl1_share:.0%}. "
          "Neither change is in the default mode: they show which rule of the transfer loop sets each limit. "
          "The low-latency mode takes both (short Camera Link reads, a whole block asked for at every read), which is why its camera -> user rows keep up with the line.")
    w("")
    w("## Notes")
    w("")
    w("- The figures are for Wine on Linux pseudo-terminals, not for Windows with com0com: a pseudo-terminal does not pace bytes at the baud rate, and Wine carries every serial call through the wineserver. The time-outs that set the round trip are the bridge's own and apply on Windows too, as long as the port leaves the read interval time-out unused.")
    if meta["bridge"] == "app":
        w("- The bridge program was ended with a signal to its Wine process between the runs (the benchmark measures traffic, not the Exit command).")
    w("- The machine is shared: the load average above says how busy it was. The round-trip figures hardly move with load (they are time-outs); "
      "the camera -> user figures at a line rate do, because the loop's speed per read decides how far it falls behind.")
    w("- Run it again with `bench/run` (about 8 to 12 minutes including the scratch builds and the low-latency rows; `--bridge demo` measures the console host, `--no-study` leaves out the scratch builds).")
    with open(output, "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
