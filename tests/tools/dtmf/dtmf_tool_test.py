#!/usr/bin/env python3
"""dtmf.exe under Wine: what it writes decodes with SpanDSP and multimon-ng at
every rate, what it plays is sample for sample what it writes, and bad
arguments and failures end with their own exit status and one line.

    dtmf_tool_test.py WINE BIN_DIR ALSA_CONF_TEMPLATE

WINE runs the program (wine, or wine64 for a 64-bit build) in a prefix whose
audio driver is alsa (scripts/wine-env.sh).
"""
import ctypes
import ctypes.util
import glob
import os
import subprocess
import sys
import tempfile
import unittest
import wave

WINE, BIN_DIR, ALSA_TEMPLATE = sys.argv[1:4]
ALL_SYMBOLS = "123A456B789C*0#D"
RATES = (8000, 16000, 44100, 48000)


# Unless a test records, ALSA's default device throws the sound away.
SCRATCH = tempfile.mkdtemp(prefix="dtmf-tool-")
NULL_ALSA = os.path.join(SCRATCH, "null.conf")
with open(NULL_ALSA, "w") as conf:
    conf.write("pcm.!default { type null }\n")


def dtmf(*args, stdin=b"", env=None):
    env = {**os.environ, "ALSA_CONFIG_PATH": NULL_ALSA, **(env or {})}
    return subprocess.run([WINE, os.path.join(BIN_DIR, "dtmf.exe"), *args], input=stdin,
                          capture_output=True, env=env, timeout=60)


def resampled(path, rate):
    return subprocess.run(["sox", path, "-t", "raw", "-r", str(rate), "-e", "signed", "-b", "16",
                           "-c", "1", "-"], capture_output=True, check=True).stdout


def spandsp_decode(samples_8k):
    lib = ctypes.CDLL(ctypes.util.find_library("spandsp"))
    lib.dtmf_rx_init.restype = ctypes.c_void_p
    lib.dtmf_rx_init.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_void_p]
    lib.dtmf_rx.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    lib.dtmf_rx_get.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    lib.dtmf_rx_free.argtypes = [ctypes.c_void_p]
    receiver = lib.dtmf_rx_init(None, None, None)
    for at in range(0, len(samples_8k), 320):
        block = samples_8k[at:at + 320]
        lib.dtmf_rx(receiver, block, len(block) // 2)
    digits = ctypes.create_string_buffer(128)
    lib.dtmf_rx_get(receiver, digits, 127)
    lib.dtmf_rx_free(receiver)
    return digits.value.decode()


def multimon_decode(samples_22k, folder):
    raw = os.path.join(folder, "decode.raw")
    with open(raw, "wb") as f:
        f.write(samples_22k)
    out = subprocess.run(["multimon-ng", "-q", "-a", "DTMF", "-t", "raw", raw],
                         capture_output=True, text=True).stdout
    return "".join(line[6:7] for line in out.splitlines() if line.startswith("DTMF: "))


def wave_samples(path):
    with wave.open(path) as w:
        return (w.getframerate(), w.getnchannels(), w.getsampwidth()), w.readframes(w.getnframes())


def trimmed(samples):
    """Without the silence before the first and after the last non-zero sample."""
    words = [samples[i:i + 2] for i in range(0, len(samples), 2)]
    nonzero = [i for i, word in enumerate(words) if word != b"\0\0"]
    return b"".join(words[nonzero[0]:nonzero[-1] + 1]) if nonzero else b""


class DtmfTool(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(dir=SCRATCH)

    def path(self, name):
        return os.path.join(self.folder, name)

    def test_the_wave_file_decodes_exactly_at_every_rate(self):
        for rate in RATES:
            with self.subTest(rate=rate):
                wav = self.path(f"{rate}.wav")
                run = dtmf("-o", wav, "-r", str(rate), "-t", "60", "-g", "50", ALL_SYMBOLS)
                self.assertEqual((run.returncode, run.stdout, run.stderr), (0, b"", b""))
                self.assertEqual(wave_samples(wav)[0], (rate, 1, 2))
                self.assertEqual(spandsp_decode(resampled(wav, 8000)), ALL_SYMBOLS)
                self.assertEqual(multimon_decode(resampled(wav, 22050), self.folder), ALL_SYMBOLS)

    def test_what_is_played_is_what_is_written(self):
        for rate, device in ((8000, None), (44100, "0"), (48000, "OUT: DEF")):
            with self.subTest(rate=rate, device=device):
                capture = self.path(f"capture-{rate}")
                os.mkdir(capture)
                conf = self.path(f"asound-{rate}.conf")
                with open(ALSA_TEMPLATE) as template, open(conf, "w") as out:
                    out.write(template.read().replace("@CAPTURE_DIR@", capture))
                options = ["-r", str(rate), "-t", "40", "-g", "70"] + (["-d", device] if device else [])
                played = dtmf(*options, "7*0#", env={"ALSA_CONFIG_PATH": conf})
                self.assertEqual(played.returncode, 0, played.stderr)
                wav = self.path(f"{rate}.wav")
                self.assertEqual(dtmf(*options[:6], "-o", wav, "7*0#").returncode, 0)
                files = glob.glob(os.path.join(capture, "capture-*"))
                self.assertEqual([os.path.basename(f) for f in files], [f"capture-{rate}-1-16.raw"])
                with open(files[0], "rb") as f:
                    heard = f.read()
                self.assertEqual(trimmed(heard), trimmed(wave_samples(wav)[1]))

    def test_symbols_from_standard_input_and_verbose_output(self):
        self.assertEqual(dtmf("-o", self.path("typed.wav"), "1 2 3").returncode, 0)
        piped = dtmf("-v", "-o", self.path("piped.wav"), "-", stdin=b"1-2-3\r\n")
        self.assertEqual(piped.returncode, 0)
        self.assertEqual(len(piped.stdout.splitlines()), 1)
        self.assertIn(b"0.90 s", piped.stdout)
        self.assertEqual(wave_samples(self.path("piped.wav")), wave_samples(self.path("typed.wav")))

    def test_bad_arguments_and_failures_end_with_their_own_status_and_one_line(self):
        cases = [
            (["-t", "39", "1"], 2, b"dtmf: -t: "),
            (["-r", "22050", "1"], 2, b"dtmf: -r: "),
            (["--speed", "1"], 2, b"dtmf: --speed: "),
            ([], 2, b"dtmf: SYMBOLS: "),
            (["-d", "no such device", "1"], 2, b"dtmf: -d: "),
            (["-o", "Z:/no/such/folder/x.wav", "1"], 1, b"dtmf: -o: "),
        ]
        for args, status, start in cases:
            with self.subTest(args=args):
                run = dtmf(*args)
                self.assertEqual(run.returncode, status, run.stderr)
                self.assertTrue(run.stderr.startswith(start), run.stderr)
                self.assertEqual(run.stderr.count(b"\n"), 1, run.stderr)
                self.assertEqual(run.stdout, b"")

    def test_no_device_is_a_device_error_with_the_system_message(self):
        run = dtmf("1", env={"WINEDLLOVERRIDES": "mscoree,mshtml=;winealsa.drv=d"})
        self.assertEqual(run.returncode, 3, run.stderr)
        self.assertTrue(run.stderr.startswith(b"dtmf: cannot play on the default device: "))
        self.assertEqual(run.stderr.count(b"\n"), 1, run.stderr)


if __name__ == "__main__":
    try:
        unittest.main(argv=sys.argv[:1], verbosity=2)
    finally:
        subprocess.run(["rm", "-rf", SCRATCH])
