#!/usr/bin/env python3
"""dtmf --mask under Wine: the tones of a recording are gone (our receiver
and multimon-ng hear nothing) and the spans are printed, never the digits;
a recording with no tone comes back byte for byte in every form the reader
takes; files, standard input and standard output give the same bytes; a
file is replaced only once whole; exit 2 for a recording it cannot read,
1 for output it cannot write.

    dtmf_mask_test.py WINE BIN_DIR [OTHER_DTMF]

OTHER_DTMF, when it exists (the native build's dtmf beside dtmf.exe), must
decode and mask every file the same, byte for byte.
"""
import glob
import os
import re
import subprocess
import sys
import tempfile
import unittest

from wine_dtmf import SCRATCH, dtmf, run_tests

CARD = "4111111111111111"
SPAN = rb"\d+\.\d{3} \d+\.\d{3}"
OTHER_DTMF = sys.argv[3] if len(sys.argv) > 3 else ""


def read(path):
    with open(path, "rb") as f:
        return f.read()


class DtmfMask(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(dir=SCRATCH)

    def path(self, name):
        return os.path.join(self.folder, name)

    def written(self, name, *args):
        path = self.path(name)
        self.assertEqual(dtmf("-o", path, *args).returncode, 0)
        return path

    def masked(self, source, *args):
        target = self.path("masked-" + os.path.basename(source))
        run = dtmf("--mask", source, "-o", target, *args)
        self.assertEqual(run.returncode, 0, run.stderr)
        return target, run

    def assert_nothing_heard(self, path):
        self.assertEqual(dtmf("--decode", path).stdout, b"\n")
        multimon = subprocess.run(["multimon-ng", "-q", "-c", "-a", "DTMF", "-t", "wav", path],
                                  capture_output=True, check=True)
        self.assertNotIn(b"DTMF:", multimon.stdout)

    def test_tones_are_gone_and_each_span_is_printed_without_its_digit(self):
        for rate in ("8000", "48000"):
            with self.subTest(rate=rate):
                source = self.written(f"card-{rate}.wav", "-r", rate, "-t", "60", "-g", "60",
                                      "--lead-in", "300", "--tail", "300", CARD)
                target, run = self.masked(source)
                self.assertRegex(run.stdout, rb"\A(" + SPAN + rb"\n){16}\Z")
                self.assertNotIn(b"4", re.sub(rb"\d+\.\d{3}", b"", run.stdout))
                self.assertEqual(len(read(target)), len(read(source)))
                self.assertEqual(read(target)[:44], read(source)[:44])
                self.assert_nothing_heard(target)
        json = self.masked(source, "--json", "--mask-with", "beep")[1].stdout
        self.assertEqual(len(re.findall(rb'\{"start": [\d.]+, "end": [\d.]+, "channel": 1\}\n',
                                        json)), 16)
        self.assertEqual(self.masked(source, "-q", "--mask-with", "noise")[1].stdout, b"")

    def test_a_recording_with_no_tone_comes_back_byte_for_byte_in_every_form(self):
        speechless = self.path("music.wav")
        subprocess.run(["sox", "-n", "-r", "8000", "-c", "2", "--comment", "kept chunk",
                        speechless, "synth", "1.5", "pluck", "C3", "pluck", "E4", "vol", "0.5"],
                       check=True)
        forms = {"s16": [], "u8": ["-e", "unsigned-integer", "-b", "8"],
                 "s24": ["-e", "signed-integer", "-b", "24"],
                 "s32": ["-e", "signed-integer", "-b", "32"],
                 "float32": ["-e", "floating-point", "-b", "32"],
                 "float64": ["-e", "floating-point", "-b", "64"],
                 "mu-law": ["-e", "mu-law"], "a-law": ["-e", "a-law"], "44100 Hz": ["-r", "44100"]}
        for name, args in forms.items():
            with self.subTest(form=name):
                source = self.path(f"{name}.wav")
                subprocess.run(["sox", speechless, *args, source], check=True)
                target, run = self.masked(source)
                self.assertEqual(run.stdout, b"")
                self.assertEqual(read(target), read(source))

    def test_files_and_standard_streams_give_the_same_bytes(self):
        source = self.written("call.wav", "-r", "8000", "--lead-in", "200", "0312")
        target, run = self.masked(source)
        expected = read(target)
        piped = dtmf("--mask", "-", "-o", "-", stdin=read(source))
        self.assertEqual((piped.returncode, piped.stdout), (0, expected))
        self.assertEqual(piped.stderr, run.stdout)  # the spans, out of the recording's way
        from_file = dtmf("--mask", source, "-o", "-")
        self.assertEqual(from_file.stdout, expected)
        to_file = self.path("from-stdin.wav")
        self.assertEqual(dtmf("--mask", "-", "-o", to_file, "-q", stdin=read(source)).returncode, 0)
        self.assertEqual(read(to_file), expected)
        # Masked in place: the file is replaced by the whole masked copy.
        self.assertEqual(dtmf("--mask", source, "-o", source, "-q").returncode, 0)
        self.assertEqual(read(source), expected)
        self.assertEqual(glob.glob(self.path("~*.tmp")), [])

    def test_a_cut_off_recording_is_masked_as_far_as_it_goes_with_a_warning(self):
        whole = read(self.written("whole.wav", "-r", "8000", "--lead-in", "100", "12"))
        cut = self.path("cut.wav")
        with open(cut, "wb") as f:
            f.write(whole[: 44 + 2 * 8 * 200])
        target, run = self.masked(cut)
        self.assertRegex(run.stderr, rb"\Adtmf: --mask: warning: '[^']*cut.wav': the data ends "
                                     rb"before the size its header gives; masked what is there\n\Z")
        self.assertEqual(len(read(target)), len(read(cut)))
        self.assert_nothing_heard(target)

    def test_input_it_cannot_read_is_2_and_output_it_cannot_write_is_1(self):
        text = self.path("text.wav")
        with open(text, "wb") as f:
            f.write(b"1234#\n")
        os.mkdir(self.path("folder.wav"))
        source = self.written("ok.wav", "-r", "8000", "1")
        cases = [
            (["--mask", self.path("missing.wav"), "-o", self.path("a.wav")], 2,
             rb"dtmf: --mask: cannot read '[^']*missing.wav': .+"),
            (["--mask", text, "-o", self.path("b.wav")], 2,
             rb"dtmf: --mask: '[^']*text.wav': not a WAV file \(no RIFF/WAVE header\)"),
            (["--mask", source, "-o", self.path("folder.wav")], 1,
             rb"dtmf: -o: cannot write '[^']*folder.wav': .+"),
        ]
        for args, status, message in cases:
            with self.subTest(args=args[1]):
                run = dtmf(*args)
                self.assertEqual(run.returncode, status, run.stderr)
                self.assertRegex(run.stderr, rb"\A" + message + rb"\n\Z")
        self.assertEqual(sorted(os.listdir(self.folder)), ["folder.wav", "ok.wav", "text.wav"])

    @unittest.skipUnless(os.path.isfile(OTHER_DTMF), "no other build of dtmf to compare with")
    def test_the_other_build_decodes_and_masks_the_same(self):
        stereo = self.path("stereo.wav")
        subprocess.run(["sox", "-M", self.written("a.wav", "-r", "8000", "--lead-in", "90", "1*"),
                        self.written("b.wav", "-r", "8000", CARD), stereo], check=True)
        for args in (["--decode", stereo, "--json"], ["--mask", stereo, "-o", "-", "--json"],
                     ["--mask", "-", "-o", "-", "--mask-with", "noise"]):
            with self.subTest(args=args):
                stdin = read(stereo) if args[1] == "-" else b""
                other = subprocess.run([OTHER_DTMF, *args], input=stdin, capture_output=True)
                run = dtmf(*args, stdin=stdin)
                self.assertEqual((run.returncode, run.stdout, run.stderr),
                                 (other.returncode, other.stdout, other.stderr))


if __name__ == "__main__":
    run_tests()
