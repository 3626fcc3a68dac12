"""A PulseAudio server of a test's own, for the tests beside this one that
play into it or record from it: run as an ordinary process (as root it only
warns), everything in one scratch folder, one null sink "feed" whose monitor
is the default source.
"""
import os
import subprocess
import tempfile
import time


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
