#!/usr/bin/env python3
"""dtmf.exe under Wine (or the native dtmf): a WAV file is replaced whole or not at all (a full
disk, a target that cannot be replaced, a killed writer), and what arrives
on standard input or the command line dials what was typed, nothing else.

    dtmf_files_test.py WINE BIN_DIR      (WINE "-": the native dtmf)

Run in a prefix from scripts/wine-env.sh (Japanese locale: code page 932).
The full-disk cases map a 2 MB tmpfs as drive F: and need the right to
mount one (root); they are skipped otherwise.
"""
import glob
import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest

from wine_dtmf import NATIVE, NULL_ALSA, SCRATCH, dtmf, dtmf_command, run_tests

ENGLISH = {"LC_ALL": "C.UTF-8", "LANG": "C.UTF-8"}  # the system's messages in English
# A locale with no legacy code page: Windows set to UTF-8 (ANSI code page 65001).
UTF8_WINDOWS = {"LC_ALL": "hi_IN.UTF-8", "LANG": "hi_IN.UTF-8"}
# The system's words for a full disk and for a folder written as a file.
DISK_FULL = b"no space left on device" if NATIVE else b"disk full"
FOLDER_REFUSED = b"is a directory" if NATIVE else b"denied"


def read(path):
    with open(path, "rb") as f:
        return f.read()


class DtmfFiles(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(dir=SCRATCH)

    def path(self, name):
        return os.path.join(self.folder, name)

    def reference(self, symbols):
        """The WAV file dtmf writes for plain ASCII symbols."""
        path = self.path(f"reference-{symbols}.wav")
        if not os.path.exists(path):
            self.assertEqual(dtmf("-o", path, symbols).returncode, 0)
        return read(path)

    def assert_as_it_was(self, path, before):
        """`path` still holds `before`, or is still no file (None)."""
        if before is None:
            self.assertFalse(os.path.isfile(path))
        else:
            self.assertEqual(read(path), before)

    def assert_no_temporary(self, folder):
        self.assertEqual(glob.glob(os.path.join(folder, "~*.tmp")), [])

    def full_drive(self):
        """A 2 MB tmpfs mapped as F:, or the test skipped."""
        prefix = os.environ.get("WINEPREFIX")
        if NATIVE:
            self.skipTest("a full drive is mapped into Wine's prefix; the library's own tests fill one")
        if os.geteuid() != 0 or not prefix:
            self.skipTest("mounting a tmpfs needs root and a prefix of our own")
        mount = self.path("drive-f")
        if os.path.isdir(mount):
            return mount
        os.mkdir(mount)
        # A container without the right to mount skips rather than fails.
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=2m", "tmpfs", mount]).returncode:
            os.rmdir(mount)
            self.skipTest("this machine lets no tmpfs be mounted")
        self.addCleanup(subprocess.run, ["umount", mount])
        link = os.path.join(prefix, "dosdevices", "f:")
        os.symlink(mount, link)
        self.addCleanup(os.remove, link)
        return mount

    def test_a_failed_write_leaves_the_old_file_or_none_and_says_why(self):
        too_big = ["-t", "1000", "1234567890123456"]  # 3 MB

        def full_disk_old():
            drive = self.full_drive()
            self.assertEqual(dtmf("-t", "200", "-o", "F:\\old.wav", "1").returncode, 0)
            return drive, "old.wav", "F:\\old.wav", too_big, b"disk full"

        def full_disk_new():
            return self.full_drive(), "new.wav", "F:\\new.wav", too_big, b"disk full"

        def a_folder_in_the_way():
            os.mkdir(self.path("folder.wav"))
            return self.folder, "folder.wav", self.path("folder.wav"), ["1"], FOLDER_REFUSED

        for case in (full_disk_old, full_disk_new, a_folder_in_the_way):
            with self.subTest(case=case.__name__):
                folder, name, target, args, reason = case()
                existing = os.path.join(folder, name)
                before = read(existing) if os.path.isfile(existing) else None
                run = dtmf("-o", target, *args, env=ENGLISH)
                self.assertEqual(run.returncode, 1, run.stderr)
                self.assertTrue(run.stderr.startswith(b"dtmf: -o: cannot write "), run.stderr)
                self.assertIn(reason, run.stderr.lower())
                self.assertEqual(run.stderr.count(b"\n"), 1, run.stderr)
                self.assert_as_it_was(existing, before)
                self.assert_no_temporary(folder)

    def test_a_killed_writer_leaves_the_old_file_or_none(self):
        # 500 symbols of 20 s: 960 MB, killed a few megabytes in.
        for old in (b"the old bytes", None):
            with self.subTest(old=old):
                folder = tempfile.mkdtemp(dir=self.folder)
                target = os.path.join(folder, "x.wav")
                if old is not None:
                    with open(target, "wb") as f:
                        f.write(old)
                writer = subprocess.Popen(dtmf_command("-t", "10000", "-g", "10000", "-o", target,
                                                       "1" * 500),
                                          env={**os.environ, "ALSA_CONFIG_PATH": NULL_ALSA})
                deadline = time.monotonic() + 60
                # Natively the file being written has no name: it is among
                # the writer's open files.
                growing = (f"/proc/{writer.pid}/fd/*" if NATIVE
                           else os.path.join(folder, "*"))
                while not any(os.path.getsize(p) > 4_000_000 for p in glob.glob(growing)
                              if os.path.isfile(p)):
                    self.assertLess(time.monotonic(), deadline, "no file grew")
                    self.assertIsNone(writer.poll(), "the writer ended before it was killed")
                    time.sleep(0.02)
                writer.send_signal(signal.SIGKILL)
                writer.wait()
                # The server closes a dead process's handles a moment later.
                deadline = time.monotonic() + 10
                while (glob.glob(os.path.join(folder, "~*.tmp"))
                       and time.monotonic() < deadline):
                    time.sleep(0.05)
                self.assert_as_it_was(target, old)
                self.assert_no_temporary(folder)

    def test_standard_input_dials_what_was_typed_in_each_encoding(self):
        cases = [
            ("utf-16-le-bom", b"\xff\xfe" + "0312345678\r\n".encode("utf-16-le"), "0312345678"),
            ("utf-16-be-bom", b"\xfe\xff" + "０３12#\r\n".encode("utf-16-be"), "0312#"),
            ("utf-8-bom", b"\xef\xbb\xbf" + "０３12".encode(), "0312"),
            ("utf-8", "03–5678".encode(), "035678"),
            ("code-page-932", "０３−5678".encode("cp932"), "035678"),  # a trail byte '|'
        ]
        for name, stdin, symbols in cases[:-1] if NATIVE else cases:  # no code pages natively
            with self.subTest(encoding=name):
                wav = self.path(f"{name}.wav")
                run = dtmf("-o", wav, "-", stdin=stdin)
                self.assertEqual(run.returncode, 0, run.stderr)
                self.assertEqual(read(wav), self.reference(symbols))

    def test_input_that_is_not_text_is_refused_saying_where(self):
        cases = [
            (b"12\x003 4", b"a NUL character at byte 2"),
            (b"\xff\xfe1\x002", b"not valid UTF-16 LE at byte 4"),
            (b"\xef\xbb\xbf12\xc0", b"not valid UTF-8 at byte 5"),
            (b"1\x82 3", b"not valid " + (b"UTF-8" if NATIVE else b"code page 932 text")
             + b" at byte 1"),
            (b"1" * (64 * 1024 * 1024 + 1), b"longer than 64 MB"),
        ]
        for stdin, reason in cases:
            with self.subTest(stdin=stdin[:12]):
                run = dtmf("-o", self.path("refused.wav"), "-", stdin=stdin)
                self.assertEqual(run.returncode, 2, run.stderr)
                self.assertTrue(run.stderr.startswith(b"dtmf: standard input: "), run.stderr)
                self.assertIn(reason, run.stderr)
                self.assertEqual(run.stderr.count(b"\n"), 1, run.stderr)
                self.assertFalse(os.path.exists(self.path("refused.wav")))

    def test_a_look_alike_dials_nothing_and_is_never_shown_as_one(self):
        code_pages = (("code-page-932", {}, "???0312345678".encode()),
                      ("utf-8", UTF8_WINDOWS, "À²¹0312345678".encode()))
        for name, env, shown in code_pages[1:] if NATIVE else code_pages:
            with self.subTest(code_page=name):
                wav = self.path(f"look-alike-{name}.wav")
                run = dtmf("-v", "-o", wav, "À²¹0312345678", env=env)
                self.assertEqual(run.returncode, 0, run.stderr)
                self.assertEqual(read(wav), self.reference("0312345678"))
                self.assertIn(b"dialling " + shown + b"\n", run.stderr)

    def test_what_cannot_be_printed_is_exit_1_with_the_reason(self):
        # Natively --list-devices has no devices to list (sound.h).
        for args in (["--version"], ["-o", "-", "1"]) + (() if NATIVE else (["--list-devices"],)):
            with self.subTest(args=args), open("/dev/full", "wb") as full:
                run = subprocess.run(dtmf_command(*args), stdout=full, stderr=subprocess.PIPE,
                                     env={**os.environ, **ENGLISH, "ALSA_CONFIG_PATH": NULL_ALSA})
                self.assertEqual(run.returncode, 1, run.stderr)
                self.assertIn(b"standard output: ", run.stderr)
                self.assertIn(DISK_FULL, run.stderr.lower())

    def test_standard_output_streams_a_gigabyte_in_bounded_memory(self):
        # 450 symbols of 20 s: 864 MB of samples, more than a 32-bit
        # process could hold at once beside the rest.
        writer = subprocess.Popen(dtmf_command("-t", "10000", "-o", "-", "5" * 450),
                                  stdout=subprocess.PIPE,
                                  env={**os.environ, "ALSA_CONFIG_PATH": NULL_ALSA})
        first = writer.stdout.read(44)
        size = len(first)
        while chunk := writer.stdout.read(1 << 20):
            size += len(chunk)
        _, status, usage = os.wait4(writer.pid, 0)
        self.assertEqual(os.waitstatus_to_exitcode(status), 0)
        self.assertEqual(size, 864_000_044)
        self.assertEqual(int.from_bytes(first[4:8], "little") + 8, size)
        if not os.environ.get("DTMF_SANITIZED"):  # ASan keeps freed blocks a while
            self.assertLess(usage.ru_maxrss, 150 * 1024)  # kB, Wine's own share included


if __name__ == "__main__":
    run_tests()
