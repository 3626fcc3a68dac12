"""zelnor.batch over a folder of recordings on a local cluster of two worker
processes: every good file's digits (as the dtmf built beside the library
prints them with --decode --json) or spans, the corrupt one's reason,
masked files at the same paths, and a second run that does no work."""

import json
import os
import subprocess
import wave

import numpy as np

import zelnor
from zelnor import batch


def write_wave(path, samples, rate=8000):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(str(path), "wb") as file:
        file.setnchannels(1)
        file.setsampwidth(2)
        file.setframerate(rate)
        file.writeframes(samples.astype("<i2").tobytes())


def command_line_decoder():
    """The dtmf program built beside the library, if there is one."""
    library = os.environ.get("ZELNOR_LIBRARY", "")
    program = os.path.join(os.path.dirname(os.path.dirname(library)), "bin", "dtmf")
    return program if library and os.access(program, os.X_OK) else None


def results(out):
    with open(os.path.join(out, "results.jsonl"), encoding="utf-8") as lines:
        return {entry["file"]: entry for entry in map(json.loads, lines)}


def test_an_archive_is_decoded_and_masked_once_and_a_corrupt_file_reported(tmp_path):
    source = tmp_path / "calls"
    dials = {}
    for i in range(200):
        dial = f"{i:03d}#"
        relative = os.path.join(f"day{i % 3}", f"call{i:03d}.wav")
        write_wave(source / relative, zelnor.render(dial, rate=8000))
        dials[relative] = dial
    (source / "day0" / "corrupt.wav").write_bytes(b"RIFF\x04\x00\x00\x00WAVE")
    decoded, masked = tmp_path / "decoded", tmp_path / "masked"
    for job, out in (("decode", decoded), ("mask", masked)):
        assert batch.main([job, str(source), str(out), "--workers", "2"]) == 1  # the corrupt one
    found = results(decoded)
    assert len(found) == 201 and "no 'fmt ' chunk" in found["day0/corrupt.wav"]["error"]
    for relative, dial in dials.items():
        assert "".join(d["digit"] for d in found[relative]["digits"]) == dial
        spans = results(masked)[relative]["spans"]
        assert len(spans) == len(dial) and all(set(s) == {"start", "end", "channel"} for s in spans)
        assert zelnor.decode_file(masked / relative) == []
    program = command_line_decoder()
    for relative in list(dials)[:: 40] if program else []:
        # The program brings its own sanitizer runtime, where the library's
        # was preloaded into Python.
        own_runtime = {k: v for k, v in os.environ.items() if k != "LD_PRELOAD"}
        printed = subprocess.run([program, "--decode", str(source / relative), "--json"],
                                 capture_output=True, check=True, text=True, env=own_runtime).stdout
        assert [json.loads(line) for line in printed.splitlines()] == found[relative]["digits"]
    before = (decoded / "results.jsonl").read_bytes()
    assert batch.main(["decode", str(source), str(decoded), "--workers", "2"]) == 0
    assert (decoded / "results.jsonl").read_bytes() == before
