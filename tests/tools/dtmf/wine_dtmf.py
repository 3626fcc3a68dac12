"""dtmf.exe under Wine, or the native dtmf, for the test scripts beside this
one. Each takes WINE and BIN_DIR as its first two arguments: WINE runs the
program (wine, or wine64 for a 64-bit build) in a prefix from
scripts/wine-env.sh; "-" runs BIN_DIR/dtmf itself (Linux).
"""
import os
import re
import signal
import subprocess
import sys
import tempfile
import unittest

WINE, BIN_DIR = sys.argv[1:3]
NATIVE = WINE in ("-", "")


def windows_only(why):
    """Skips a test, or a case, that the native program has no counterpart for."""
    return unittest.skipIf(NATIVE, f"Windows only: {why}")

# Unless a test records, ALSA's default device throws the sound away; so do
# null_a and null_b, two more devices for Wine to list when asked to.
SCRATCH = tempfile.mkdtemp(prefix="dtmf-test-")
NULL_ALSA = os.path.join(SCRATCH, "null.conf")
with open(NULL_ALSA, "w", encoding="ascii") as conf:
    conf.write("pcm.!default { type null }\npcm.null_a { type null }\npcm.null_b { type null }\n")


def dtmf_command(*args):
    if NATIVE:
        return [os.path.join(BIN_DIR, "dtmf"), *args]
    return [WINE, os.path.join(BIN_DIR, "dtmf.exe"), *args]


def wine_notes_removed(stderr):
    """Without Wine's rare note of a fault in a thread of its own (seen under
    load and in fresh prefixes, with the process going on to exit 0): the
    exit status and every line of the program's own still count."""
    return re.sub(rb"wine: Unhandled page fault [^\n]*starting debugger\.\.\.\n", b"", stderr)


def wine_itself_failed(run):
    """What Wine's own rare failures look like, never a result of dtmf's:
    its loader killed by SIGSEGV (directly, or through the wine script;
    scripts/wine-test-run explains), or a failing status with nothing
    written at all (seen once in a full 64-bit run under load), where dtmf
    always says why it fails. The reason, or None."""
    if NATIVE:
        return None
    if run.returncode in (-signal.SIGSEGV, 128 + signal.SIGSEGV):
        return "Wine itself died of SIGSEGV"
    if run.returncode != 0 and not run.stdout and not wine_notes_removed(run.stderr):
        return f"exit {run.returncode} with nothing written"
    return None


def dtmf(*args, stdin=b"", env=None, timeout=120):
    env = {**os.environ, "ALSA_CONFIG_PATH": NULL_ALSA, **(env or {})}
    for _ in range(2):
        run = subprocess.run(dtmf_command(*args), input=stdin, capture_output=True, env=env,
                             timeout=timeout)
        failure = wine_itself_failed(run)
        if failure is None:
            break
        sys.stderr.write(f"wine_dtmf: {failure}; running dtmf {' '.join(args)[:60]} once more\n")
    run.stderr = wine_notes_removed(run.stderr)
    return run


def run_tests():
    """The calling script's tests, then its scratch folder removed."""
    try:
        unittest.main(module="__main__", argv=sys.argv[:1], verbosity=2)
    finally:
        subprocess.run(["rm", "-rf", SCRATCH], check=False)
