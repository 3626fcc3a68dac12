#!/usr/bin/env python3
"""dtmf.exe under Wine (or the native dtmf): what it writes decodes with SpanDSP and multimon-ng at
every rate, what it plays is sample for sample what it writes, `-o -` pipes
the same file into sox, and each command line in one table gives its own
output and exit status.

    dtmf_tool_test.py WINE BIN_DIR ALSA_CONF_TEMPLATE VERSION   (WINE "-": the native dtmf)

WINE runs the program (wine, or wine64 for a 64-bit build) in a prefix whose
audio driver is alsa (scripts/wine-env.sh).
"""
import contextlib
import ctypes
import ctypes.util
import glob
import os
import re
import subprocess
import sys
import tempfile
import unittest
import wave

from wine_dtmf import NATIVE, NULL_ALSA, SCRATCH, WINE, dtmf, dtmf_command, run_tests, windows_only

ALSA_TEMPLATE, VERSION = sys.argv[3:5]
ALL_SYMBOLS = "123A456B789C*0#D"
RATES = (8000, 16000, 44100, 48000)


NO_DEVICE = {"WINEDLLOVERRIDES": "mscoree,mshtml=;winealsa.drv=d"}
# The native dtmf's sound server, where no server listens.
NO_SERVER = {"PULSE_SERVER": "unix:" + os.path.join(SCRATCH, "no-server")}
WINEALSA_KEY = r"HKCU\Software\Wine\Drivers\winealsa.drv"


class TwoMoreDevices:
    """Wine lists ALSA's null_a and null_b as output devices meanwhile."""

    def __enter__(self):
        subprocess.run([WINE, "reg", "add", WINEALSA_KEY, "/v", "ALSAOutputDevices", "/t",
                        "REG_MULTI_SZ", "/d", r"null_a\0null_b", "/f"], capture_output=True, check=True)

    def __exit__(self, *_):
        subprocess.run([WINE, "reg", "delete", WINEALSA_KEY, "/v", "ALSAOutputDevices", "/f"],
                       capture_output=True, check=True)


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

    @windows_only("recorded through ALSA's file plugin; dtmf_sound_test.py records the native dtmf")
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
        self.assertEqual(piped.stderr.splitlines()[0], b"dtmf: dialling 1-2-3")
        self.assertIn(b"0.90 s", piped.stderr)
        self.assertEqual(wave_samples(self.path("piped.wav")), wave_samples(self.path("typed.wav")))

    def test_standard_output_takes_the_same_file_and_sox_reads_it(self):
        wav, flac = self.path("file.wav"), self.path("piped.flac")
        self.assertEqual(dtmf("-o", wav, "-r", "8000", ALL_SYMBOLS).returncode, 0)
        writer = subprocess.Popen(dtmf_command("-o", "-", "-r", "8000", ALL_SYMBOLS),
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        sox = subprocess.run(["sox", "-", flac], stdin=writer.stdout, capture_output=True)
        writer.stdout.close()
        with writer.stderr:
            self.assertEqual((writer.wait(), writer.stderr.read(), sox.returncode), (0, b"", 0))
        self.assertEqual(spandsp_decode(resampled(flac, 8000)), ALL_SYMBOLS)
        with open(wav, "rb") as f:
            self.assertEqual(dtmf("-o", "-", "-r", "8000", ALL_SYMBOLS).stdout, f.read())

    def test_each_command_line_gives_its_output_and_exit_status(self):
        usage = rb"Usage: dtmf \[options\] SYMBOLS\n.*Exit status: [^\n]*\n"
        see_help = rb" \(see dtmf --help\)\n"
        wav = self.path("x.wav")
        # arguments, where (any: everywhere, needing no device; under Wine one device, three,
        # none; native, with no sound server), status, stdout, stderr (whole, as a pattern)
        cases = [
            (["/?"], "any", 0, usage, b""),
            (["-?"], "any", 0, usage, b""),
            (["--version"], "any", 0, re.escape(f"dtmf {VERSION}\n".encode()), b""),
            ([], "any", 2, b"", usage),
            (["-t", "39", "1"], "any", 2, b"", rb"dtmf: -t: [^\n]*" + see_help),
            (["--speed", "1"], "any", 2, b"", rb"dtmf: --speed: unknown option" + see_help),
            (["-o", "-v", "123"], "any", 2, b"", rb"dtmf: -o: [^\n]*'-v'[^\n]*" + see_help),
            (["-o", wav, "1;2"], "any", 2, b"", rb"dtmf: SYMBOLS: ';' [^\n]*" + see_help),
            (["1;2"], "any", 2, b"", rb"dtmf: SYMBOLS: ';' [^\n]*" + see_help),
            (["-o", ("" if NATIVE else "Z:") + "/no/such/folder/x.wav", "1"], "any", 1, b"", rb"dtmf: -o: [^\n]+\n"),
            (["-v", "-o", wav, "tel:123"], "any", 0, b"", rb"dtmf: dialling 123\ndtmf: wrote [^\n]+\n"),
            (["-t", "40", "1,2"], "one", 0, b"", rb"\[1\],2\n\[1,2\]\n"),
            (["-q", "-t", "40", "1,2"], "one", 0, b"", b""),
            (["-d", "no such device", "1"], "three", 2, b"", rb"dtmf: -d: [^\n]*" + see_help),
            (["-d", "null", "1"], "three", 2, b"",
             rb"dtmf: -d: 'null' matches several devices: [^\n]*null_[ab][^\n]*null_[ab][^\n]*" + see_help),
            (["-d", "null_b", "-q", "1"], "three", 0, b"", b""),
            (["-d", "3", "1"], "three", 3, b"", rb"dtmf: cannot play on device 3: [^\n]+\n"),
            (["1"], "none", 3, b"", rb"dtmf: cannot play on the default device: [^\n]+\n"),
            (["-d", "0", "1"], "none", 3, b"", rb"dtmf: cannot play on device 0: [^\n]+\n"),
            (["--list-devices"], "none", 3, b"", rb"dtmf: --list-devices: no output device: [^\n]+\n"),
            (["--listen"], "none", 3, b"", rb"dtmf: --listen: no input device: [^\n]+\n"),
            (["--listen", "-d", "5"], "one", 3, b"", rb"dtmf: --listen: cannot open the input device: [^\n]+\n"),
            (["--listen", "-d", "no such device"], "one", 2, b"", rb"dtmf: -d: no input device [^\n]*" + see_help),
            (["--list-devices"], "three", 0, rb"0  [^\n]+\n1  [^\n]+\n2  [^\n]+\n(in [0-9]+  [^\n]+\n)*", b""),
            (["-q", "1"], "native", 3, b"", b"dtmf: cannot play on the default device: Connection refused\n"),
            (["-d", "0", "1"], "native", 3, b"", b"dtmf: cannot play on device 0: Connection refused\n"),
            (["--listen"], "native", 3, b"", b"dtmf: --listen: cannot open the input device: Connection refused\n"),
            (["--list-devices"], "native", 3, b"", b"dtmf: --list-devices: no output device: Connection refused\n"),
        ]
        groups = {"native": ("any", "native")} if NATIVE else {
            "one": ("any", "one"), "three": ("three",), "none": ("none",)}
        for where, kinds in groups.items():
            with TwoMoreDevices() if where == "three" else contextlib.nullcontext():
                for args, _, status, out, err in (case for case in cases if case[1] in kinds):
                    with self.subTest(args=args, where=where):
                        run = dtmf(*args, env={"none": NO_DEVICE, "native": NO_SERVER}.get(where))
                        self.assertEqual(run.returncode, status, run.stderr)
                        self.assertRegex(run.stdout, re.compile(b"\\A" + out + b"\\Z", re.DOTALL))
                        self.assertRegex(run.stderr,
                                         re.compile(b"\\A" + err + b"\\Z", re.DOTALL))


if __name__ == "__main__":
    run_tests()
