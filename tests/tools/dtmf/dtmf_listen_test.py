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
import tempfile
import time
import unittest

from wine_dtmf import SCRATCH, dtmf, dtmf_command, run_tests

DIAL = "159D*#"


class PulseSink:
    """A PulseAudio server with one null sink, "feed", ended by its PID."""

    def __enter__(self):
        # A socket path must stay under 108 bytes: a short folder of its own.
        self.folder = tempfile.mkdtemp(prefix="pa-", dir="/tmp")
        self.socket = os.path.join(self.folder, "native")
        script = os.path.join(self.folder, "server.pa")
        with open(script, "w", encoding="ascii") as f:
            f.write(f"load-module module-native-protocol-unix auth-anonymous=1 socket={self.socket}\n"
                    "load-module module-null-sink sink_name=feed format=s16le rate=48000 channels=1\n"
                    "set-default-sink feed\nset-default-source feed.monitor\n")
        self.env = {**os.environ, "HOME": self.folder, "XDG_RUNTIME_DIR": self.folder,
                    "PULSE_RUNTIME_PATH": self.folder, "PULSE_STATE_PATH": self.folder,
                    "PULSE_SERVER": "unix:" + self.socket}
        self.processes = [subprocess.Popen(
            ["pulseaudio", "-n", "-F", script, "--daemonize=no", "--exit-idle-time=-1",
             "--disallow-exit", "--use-pid-file=no"], env=self.env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)]
        deadline = time.monotonic() + 20
        while not self.pactl("info") and time.monotonic() < deadline:
            time.sleep(0.1)
        # A silent stream keeps the sink running, so a new recorder's first
        # buffer comes within tens of milliseconds rather than a second.
        with open("/dev/zero", "rb") as zeros:
            self.processes.append(subprocess.Popen(
                ["pacat", "--playback", "--device=feed", "--latency-msec=20", "--raw",
                 "--format=s16le", "--rate=48000", "--channels=1"], env=self.env, stdin=zeros,
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        return self

    def __exit__(self, *_):
        for process in reversed(self.processes):
            process.kill()
            process.wait()
        subprocess.run(["rm", "-rf", self.folder], check=False)

    def pactl(self, *args):
        run = subprocess.run(["pactl", *args], env=self.env, capture_output=True, timeout=10)
        return run.stdout if run.returncode == 0 else b""

    def alsa_config(self, playback_into_sink):
        """ALSA for Wine: capture from the sink's monitor; playback into the
        sink, or thrown away."""
        path = os.path.join(self.folder, f"alsa-{playback_into_sink}.conf")
        server = f'server "unix:{self.socket}"'
        playback = (f'{{ type pulse {server} device "feed" }}' if playback_into_sink
                    else "{ type null }")
        with open(path, "w", encoding="ascii") as f:
            f.write(f"pcm.!default {{ type asym playback.pcm {playback}\n"
                    f'  capture.pcm {{ type pulse {server} device "feed.monitor" }} }}\n')
        return path

    def wait_for_recorder(self):
        deadline = time.monotonic() + 60
        while not self.pactl("list", "short", "source-outputs").strip():
            if time.monotonic() > deadline:
                raise AssertionError("dtmf --listen never started recording")
            time.sleep(0.1)


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
