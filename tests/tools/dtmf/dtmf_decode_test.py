#!/usr/bin/env python3
"""dtmf --decode under Wine: what dtmf -o writes is heard back exactly at
every rate, level and twist, from a file or standard input; every WAV form
the reader takes decodes the same digits; a recording it cannot read is
exit 2 with the reason.

    dtmf_decode_test.py WINE BIN_DIR
"""
import os
import re
import struct
import subprocess
import tempfile
import unittest

from wine_dtmf import SCRATCH, dtmf, run_tests

DIAL = "0123456789ABCD*#"
# 40 ms tones, gaps and pauses: the shortest the generator makes.
SHORTEST = ["-t", "40", "-g", "40", "--pause", "40", "--lead-in", "100", "--tail", "100"]


def read(path):
    with open(path, "rb") as f:
        return f.read()


def wave_bytes(tag, channels, rate, bits, data, claimed=None):
    """A plain WAV file's bytes, its header saying what the test wants."""
    align = channels * ((bits + 7) // 8)
    fmt = struct.pack("<HHIIHH", tag, channels, rate, rate * align, align, bits)
    size = len(data) if claimed is None else claimed
    body = b"WAVEfmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", size)
    return b"RIFF" + struct.pack("<I", len(body) + len(data)) + body + data


class DtmfDecode(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(dir=SCRATCH)

    def path(self, name):
        return os.path.join(self.folder, name)

    def written(self, name, *args):
        path = self.path(name)
        run = dtmf("-o", path, *args)
        self.assertEqual(run.returncode, 0, run.stderr)
        return path

    def assert_heard(self, run, line):
        self.assertEqual((run.returncode, run.stdout, run.stderr), (0, line.encode() + b"\n", b""))

    def test_what_dtmf_writes_is_heard_back_at_every_rate_level_and_twist(self):
        sounds = {"default": [], "quiet": ["-l", "-30"], "normal twist": ["--twist", "-8"],
                  "reverse twist": ["--twist", "+4"]}
        for rate in ("8000", "16000", "44100", "48000"):
            for name, sound in sounds.items():
                with self.subTest(rate=rate, sound=name):
                    wav = self.written(f"{rate}-{name}.wav", "-r", rate, *SHORTEST, *sound,
                                       DIAL + ",1,,1")
                    self.assert_heard(dtmf("--decode", wav), DIAL + "11")
        # Standard input is read as bytes, whole.
        self.assert_heard(dtmf("--decode", "-", stdin=read(wav)), DIAL + "11")

    def test_each_wav_form_decodes_the_same_digits(self):
        source = self.written("source.wav", "-r", "8000", *SHORTEST, DIAL)
        forms = {
            "u8": ["-e", "unsigned-integer", "-b", "8"],
            "s24 (extensible)": ["-e", "signed-integer", "-b", "24"],
            "s32 (extensible)": ["-e", "signed-integer", "-b", "32"],
            "float32": ["-e", "floating-point", "-b", "32"],
            "float64": ["-e", "floating-point", "-b", "64"],
            "mu-law": ["-e", "mu-law"],
            "a-law": ["-e", "a-law"],
            "11025 Hz": ["-r", "11025"],
            "22050 Hz": ["-r", "22050"],
        }
        for name, args in forms.items():
            with self.subTest(form=name):
                converted = self.path(f"{name}.wav")
                subprocess.run(["sox", source, *args, converted], check=True)
                self.assert_heard(dtmf("--decode", converted), DIAL)

    def test_each_channel_is_heard_on_its_own_and_labelled(self):
        left = self.written("left.wav", "-r", "8000", *SHORTEST, "12")
        right = self.written("right.wav", "-r", "8000", *SHORTEST, "--lead-in", "300", "9")
        stereo = self.path("stereo.wav")
        subprocess.run(["sox", "-M", left, right, stereo], check=True)
        run = dtmf("--decode", stereo, "--times")
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertRegex(run.stdout, rb"\A0\.1\d\d 0\.1\d\d 1 1\n0\.1\d\d 0\.2\d\d 2 1\n"
                                     rb"0\.3\d\d 0\.3\d\d 9 2\n\Z")

    def test_the_line_counts_a_key_heard_on_both_channels_once(self):
        mono = self.written("mono.wav", "-r", "8000", *SHORTEST, "D99")
        stereo = self.path("same.wav")
        subprocess.run(["sox", "-M", mono, mono, stereo], check=True)
        self.assertEqual(dtmf("--decode", stereo).stdout, b"D99\n")
        self.assertEqual(dtmf("--decode", stereo, "--json").stdout.count(b'"channel"'), 6)

    def test_a_cut_off_recording_decodes_what_is_there_and_warns(self):
        whole = read(self.written("whole.wav", "-r", "8000", *SHORTEST, "123"))
        cut = self.path("cut.wav")
        with open(cut, "wb") as f:
            f.write(whole[: 44 + 2 * 8 * 190])  # 190 ms: the lead-in, 1 and its gap
        run = dtmf("--decode", cut)
        self.assertEqual((run.returncode, run.stdout), (0, b"1\n"))
        self.assertRegex(run.stderr, rb"\Adtmf: --decode: warning: '[^']*cut.wav': the data ends "
                                     rb"before the size its header gives; decoded what is there\n\Z")

    def test_a_recording_it_cannot_read_is_exit_2_with_the_reason(self):
        pcm = struct.pack("<4h", 0, 1, 2, 3)
        cases = {
            "text.wav": (b"1234#\n", rb"not a WAV file \(no RIFF/WAVE header\)"),
            "empty.wav": (b"", rb"not a WAV file \(no RIFF/WAVE header\)"),
            "mp3.wav": (wave_bytes(0x55, 1, 8000, 16, pcm),
                        rb"format 0x0055 \(MPEG Layer 3\) is not supported"),
            "silent.wav": (wave_bytes(1, 0, 8000, 16, pcm), rb"the header gives 0 channels"),
            "96k.wav": (wave_bytes(1, 1, 96000, 16, pcm),
                        rb"sample rate 96000 Hz is outside 8000\.\.48000 Hz"),
            "no-data.wav": (wave_bytes(1, 1, 8000, 16, pcm).replace(b"data", b"junk"),
                            rb"no 'data' chunk"),
        }
        for name, (content, reason) in cases.items():
            with self.subTest(file=name):
                with open(self.path(name), "wb") as f:
                    f.write(content)
                run = dtmf("--decode", self.path(name))
                self.assertEqual((run.returncode, run.stdout), (2, b""))
                self.assertRegex(run.stderr, rb"\Adtmf: --decode: '[^']*" + re.escape(name.encode())
                                 + b"': " + reason + rb"\n\Z")
        missing = dtmf("--decode", self.path("missing.wav"))
        self.assertEqual(missing.returncode, 2)
        self.assertRegex(missing.stderr, rb"\Adtmf: --decode: cannot read '[^']*missing.wav': .+\n\Z")


if __name__ == "__main__":
    run_tests()
