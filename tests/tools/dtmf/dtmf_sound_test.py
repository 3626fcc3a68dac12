#!/usr/bin/env python3
"""The native dtmf's sound, through a PulseAudio server of the test's own
with one null sink: what dtmf plays into the sink, recorded from its
monitor, decodes with multimon-ng; a WAV played into the sink is heard by
dtmf --listen; --list-devices names the sink and its monitor.

    dtmf_sound_test.py - BIN_DIR
"""
import os
import subprocess
import time
import unittest

from pulse_sink import PulseSink
from wine_dtmf import SCRATCH, dtmf, dtmf_command, run_tests

ALL_SYMBOLS = "0123456789ABCD*#"


def multimon_decode(raw_48k):
    raw_22k = raw_48k + ".22k"
    subprocess.run(["sox", "-t", "raw", "-r", "48000", "-e", "signed", "-b", "16", "-c", "1",
                    raw_48k, "-t", "raw", "-r", "22050", raw_22k], check=True)
    out = subprocess.run(["multimon-ng", "-q", "-c", "-a", "DTMF", "-t", "raw", raw_22k],
                         capture_output=True, text=True, check=True).stdout
    return "".join(line[6:7] for line in out.splitlines() if line.startswith("DTMF: "))


class DtmfSound(unittest.TestCase):
    def test_what_it_plays_on_the_default_sink_decodes_exactly(self):
        raw = os.path.join(SCRATCH, "played.raw")
        with PulseSink() as sink, open(raw, "wb") as recording:
            recorder = subprocess.Popen(
                ["pacat", "--record", "--device=feed.monitor", "--latency-msec=20", "--raw",
                 "--format=s16le", "--rate=48000", "--channels=1"], env=sink.env,
                stdout=recording, stderr=subprocess.DEVNULL)
            try:
                sink.wait_for_recorder()
                played = dtmf("-t", "60", "-g", "60", ALL_SYMBOLS, env=sink.env)
                time.sleep(0.5)  # the monitor's own latency
            finally:
                recorder.terminate()
                recorder.wait()
        self.assertEqual(played.returncode, 0, played.stderr)
        # Progress goes to standard error, a line per symbol into a pipe.
        self.assertEqual(played.stderr.splitlines()[-1], f"[{ALL_SYMBOLS}]".encode())
        self.assertEqual(multimon_decode(raw), ALL_SYMBOLS)

    def test_listen_prints_what_is_played_into_the_sink_and_ends_at_until(self):
        wav = os.path.join(SCRATCH, "listen.wav")
        self.assertEqual(dtmf("-o", wav, "-t", "80", "--lead-in", "1000", "--tail", "300",
                              ALL_SYMBOLS).returncode, 0)
        with PulseSink() as sink:
            listener = subprocess.Popen(dtmf_command("--listen", "--until", "#"), env=sink.env,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            try:
                sink.wait_for_recorder()
                subprocess.run(["paplay", "--device=feed", wav], env=sink.env, check=True)
                out, err = listener.communicate(timeout=60)
            finally:
                listener.kill()
                listener.wait()
        self.assertEqual((listener.returncode, out), (0, ALL_SYMBOLS.encode() + b"\n"), err)

    def test_list_devices_names_the_sink_then_its_monitor(self):
        with PulseSink() as sink:
            listed = dtmf("--list-devices", env=sink.env)
        self.assertEqual((listed.returncode, listed.stderr), (0, b""))
        self.assertRegex(listed.stdout, rb"\A0  [^\n]*\(feed\)\nin 0  [^\n]*\(feed\.monitor\)\n\Z")


if __name__ == "__main__":
    run_tests()
