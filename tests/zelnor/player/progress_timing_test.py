#!/usr/bin/env python3
"""PlayDTMFEx's progress reports against what the sink heard, under Wine.

    progress_timing_test.py BIN_DIR

Plays a dial through play_dtmf_tool.exe into the paced sink
(alsa_paced.conf.in), stamping each "progress" line as it arrives. Passes
when there is one report per symbol, in order, and one at the end, each
within 40 ms of the moment that symbol's tone (or the dial's last sample)
reached the sink. Not part of the suite: under Wine 8 the first symbol
comes 30-55 ms early, as Wine takes blocks into its own buffer (and the
sink's one-page pipe holds 43 ms) before they sound.
"""
import array
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
DIAL, INTERVAL_MS, RATE = "159#3", 100, 48000
TOLERANCE_S = 0.040
QUIET = 2


def tone_starts(samples):
    """Sample index of each tone's first sound after a silence."""
    starts, quiet = [], 10**9
    for i, sample in enumerate(samples):
        if abs(sample) <= QUIET:
            quiet += 1
        else:
            if quiet >= 48:  # 1 ms of silence before it
                starts.append(i)
            quiet = 0
    return starts


def sink_time(times, byte):
    """When `byte` of the capture reached the sink."""
    best = None
    for stamp, before in times:
        if before <= byte:
            best = stamp + (byte - before) / (RATE * 2)
    return best


def main():
    tool = os.path.join(sys.argv[1], "play_dtmf_tool.exe")
    with tempfile.TemporaryDirectory(prefix="zelnor-progress.") as scratch:
        with open(os.path.join(HERE, "alsa_paced.conf.in"), encoding="ascii") as template:
            conf = template.read().replace("@CAPTURE_DIR@", scratch).replace("@TEST_DIR@", HERE)
        # A one-page pipe: the writer runs at most 43 ms ahead of the sink.
        conf = conf.replace(' 96000"', ' 96000 4096"')
        with open(os.path.join(scratch, "asound.conf"), "w", encoding="ascii") as out:
            out.write(conf)
        env = dict(os.environ, ALSA_CONFIG_PATH=os.path.join(scratch, "asound.conf"))
        tool_run = subprocess.Popen(["wine", tool, "progress", str(INTERVAL_MS), DIAL],
                                    stdout=subprocess.PIPE, env=env, text=True)
        reports = []
        for line in tool_run.stdout:
            if line.startswith("progress"):
                reports.append((time.monotonic(), line.split()))
            print(line.rstrip())
        tool_run.wait()
        capture = os.path.join(scratch, "capture-48000-1-16.raw")
        samples = array.array("h")
        with open(capture, "rb") as raw:
            samples.frombytes(raw.read())
        with open(os.path.join(scratch, "sink-times-capture-48000-1-16.raw"),
                  encoding="ascii") as stamps:
            times = [(float(t), int(b)) for t, b in (line.split() for line in stamps)]

    starts = tone_starts(samples)
    expected = [(f"index={i}", f"symbol={s}") for i, s in enumerate(DIAL)]
    expected.append((f"index={len(DIAL)}", "symbol=-"))
    heard = [tuple(words[1:]) for _, words in reports]
    if heard != expected or len(starts) != len(DIAL):
        print(f"FAIL reports {heard}, tones heard {len(starts)}")
        return 1
    # The end is the dial's last sample, not the capture's: Wine may pad it.
    dial_end = starts[0] + len(DIAL) * 2 * INTERVAL_MS * RATE // 1000
    moments = [sink_time(times, 2 * s) for s in starts + [dial_end]]
    failures = 0
    for (arrived, words), moment in zip(reports, moments):
        late_ms = (arrived - moment) * 1000
        ok = abs(late_ms) <= TOLERANCE_S * 1000
        failures += not ok
        print(f"{'ok  ' if ok else 'FAIL'} {words[1]} reported {late_ms:+.1f} ms from the sink")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
