#!/usr/bin/env python3
"""The benchmark report's Targets section: which figures meet the low-latency mode's targets,
for each kind of camera, and the full-duplex target of either mode, judged from the result
files of a run."""
import importlib.util
import json
import os
import re
import tempfile
import unittest

REPORT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench", "report.py")
spec = importlib.util.spec_from_file_location("report", REPORT)
report = importlib.util.module_from_spec(spec)
spec.loader.exec_module(report)

LINE = 92160.0   # bytes a second at 921600 baud


def rtt(median, p95):
    # 20 round trips: the nearest-rank p95 is the 19th, the median the 10th and 11th.
    return {"1": [median] * 20, "6": [median] * 18 + [p95] * 2}


def transfer(share, lost=0, wrong=0):
    count = 262144
    seconds = count / (share * LINE)
    return {"bytes": count, "received": count - lost, "lost": lost, "extra": 0, "wrong": wrong,
            "seconds": seconds, "streaming_s": seconds, "bytes_per_s": None if lost else count / seconds}


def duplex(share=0.99, back_lost=0, back_wrong=0, dropped=0):
    return {"rate": 921600, "up": transfer(share), "down": transfer(share, lost=back_lost, wrong=back_wrong),
            "dropped": dropped, "overlaps": 0}


def idle(bridge, wineserver):
    # The pair relay's CPU is the same with or without the bridge: the targets leave it out.
    return {"window_s": 30.0, "groups": {"bridge": {"cpu_s_per_min": bridge}, "wineserver": {"cpu_s_per_min": wineserver},
                                         "relay": {"cpu_s_per_min": 5.0}}}


def all_met():
    """A run in which every target is met with either camera."""
    # Figures exact in binary, so that a figure on a limit is exactly on it.
    files = {"baseline-rtt": rtt(0.25, 0.3), "bridge-idle": idle(0.25, 0.25), "bridge-duplex-921600": duplex()}
    for side in ("lowlat", "lowlat-tick"):
        files.update({f"{side}-rtt": rtt(2.0, 4.5), f"{side}-late-rtt": {"command": [54.0] * 5},
                      f"{side}-up-921600": transfer(0.96), f"{side}-down-921600": transfer(0.99),
                      f"{side}-idle": idle(0.25, 0.375), f"{side}-duplex-921600": duplex()})
    return files


def verdicts(files):
    """{(camera or mode, target): "met" | "missed" | "not measured"} from the Targets section."""
    with tempfile.TemporaryDirectory() as directory:
        for name, content in files.items():
            with open(os.path.join(directory, name + ".json"), "w") as f:
                json.dump(content, f)
        lines = []
        report.targets_section(lines.append, directory)
    found = {}
    for line in lines:
        m = re.match(r"- (exact camera|tick camera|default mode), (.+?): \*\*(met|missed|not measured)\*\*", line)
        if m:
            found[(m.group(1), m.group(2))] = m.group(3)
    return found


class Targets(unittest.TestCase):
    def test_each_target_is_judged_on_its_own_figures(self):
        cmd, late, up, down, quiet, both = ("6-byte command", "slow camera", "user -> camera at 921600",
                                            "camera -> user at 921600", "idle", "full duplex at 921600")
        rows = [
            # (what, changes to the all-met run, camera, target, verdict)
            ("command median above 3 ms", {"lowlat-rtt": rtt(3.1, 4.0)}, "exact camera", cmd, "missed"),
            ("command p95 above 5 ms", {"lowlat-tick-rtt": rtt(2.0, 5.2)}, "tick camera", cmd, "missed"),
            ("command median above ten times the baseline's", {"lowlat-tick-rtt": rtt(2.75, 4.5)}, "tick camera", cmd, "missed"),
            ("command median exactly ten times the baseline's", {"lowlat-rtt": rtt(2.5, 4.5)}, "exact camera", cmd, "met"),
            ("slow camera above 55 ms", {"lowlat-late-rtt": {"command": [55.5] * 5}}, "exact camera", late, "missed"),
            ("slow camera at 55 ms", {"lowlat-tick-late-rtt": {"command": [55.0] * 5}}, "tick camera", late, "met"),
            ("below 95 % of the line rate", {"lowlat-up-921600": transfer(0.94)}, "exact camera", up, "missed"),
            ("fast enough but bytes lost", {"lowlat-tick-down-921600": transfer(0.99, lost=10)}, "tick camera", down, "missed"),
            ("fast enough but bytes wrong", {"lowlat-down-921600": transfer(0.99, wrong=3)}, "exact camera", down, "missed"),
            ("idle above 1.5 times the default mode", {"lowlat-idle": idle(0.5, 0.375)}, "exact camera", quiet, "missed"),
            ("idle exactly 1.5 times the default mode", {"lowlat-tick-idle": idle(0.375, 0.375)}, "tick camera", quiet, "met"),
            ("a row that did not run", {"lowlat-tick-late-rtt": None}, "tick camera", late, "not measured"),
            ("full duplex: the echo short by what the grabber dropped", {"lowlat-tick-duplex-921600": duplex(back_lost=300, dropped=300)},
             "tick camera", both, "missed"),
            ("full duplex: every byte back, some changed", {"lowlat-duplex-921600": duplex(back_wrong=3)}, "exact camera", both, "missed"),
            ("full duplex below the line rate, nothing lost", {"bridge-duplex-921600": duplex(share=0.85)}, "default mode", both, "met"),
        ]
        for what, changes, camera, target, wanted in rows:
            files = all_met()
            files.update(changes)
            files = {k: v for k, v in files.items() if v is not None}
            got = verdicts(files)
            self.assertEqual(got.get((camera, target)), wanted, what)
            others = {k: v for k, v in got.items() if k != (camera, target)}
            self.assertEqual(set(others.values()), {"met"}, what + ": the other targets stay met")
            self.assertEqual(len(got), 13, what)

    def test_only_the_cameras_that_ran_are_judged(self):
        files = {k: v for k, v in all_met().items() if not k.startswith("lowlat-tick")}
        self.assertEqual({camera for camera, _ in verdicts(files)}, {"exact camera", "default mode"})
        self.assertEqual(verdicts({k: v for k, v in files.items() if not k.startswith("lowlat")}), {})


if __name__ == "__main__":
    unittest.main()
