#!/usr/bin/env python3
"""dtmf --listen under Wine, fed through Wine's capture: a PulseAudio
server run as an ordinary process with one null sink, its monitor the
recording source. A known WAV played into the sink, and dtmf itself playing
into it (the loopback), are heard and printed as they come.

    dtmf_listen_test.py WINE BIN_DIR
"""
import os
import signal
import subprocess
import unittest

from pulse_sink import PulseSink
from wine_dtmf import SCRATCH, dtmf, dtmf_command, run_tests

DIAL = "159D*#"


class DtmfListen(unittest.TestCase):
    def listen(self, sink):
        env = {**os.environ, "ALSA_CONFIG_PATH": sink.alsa_config(False)}
        return subprocess.Popen(dtmf_command("--listen", "--until", "#"), env=env,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)

    def assert_printed(self, listener, symbols):
        try:
            out, err = listener.communicate(timeout=60)
        finally:
            listener.kill()
        line = symbols.encode() + b"\n" if symbols else b""
        self.assertEqual((listener.returncode, out), (0, line), err)

    def test_a_wav_played_into_the_capture_source_is_printed_as_it_is_heard(self):
        wav = os.path.join(SCRATCH, "listen.wav")
        self.assertEqual(dtmf("-o", wav, "-t", "80", "--lead-in", "1000", "--tail", "300",
                              DIAL).returncode, 0)
        with PulseSink() as sink:
            listener = self.listen(sink)
            sink.wait_for_recorder()
            subprocess.run(["paplay", "--device=feed", wav], env=sink.env, check=True)
            self.assert_printed(listener, DIAL)

    def test_dtmf_playing_is_heard_by_dtmf_listening(self):
        with PulseSink() as sink:
            listener = self.listen(sink)
            sink.wait_for_recorder()
            player = dtmf("-q", "-t", "80", "--lead-in", "500", DIAL,
                          env={"ALSA_CONFIG_PATH": sink.alsa_config(True)})
            self.assertEqual(player.returncode, 0, player.stderr)
            self.assert_printed(listener, DIAL)

    def test_ctrl_c_closes_the_device_and_exits_0(self):
        with PulseSink() as sink:
            listener = self.listen(sink)
            sink.wait_for_recorder()
            listener.send_signal(signal.SIGINT)  # Wine hands it on as Ctrl+C
            self.assert_printed(listener, "")
            self.assertEqual(sink.pactl("list", "short", "source-outputs").strip(), b"")


if __name__ == "__main__":
    run_tests()
