"""Decode or mask an archive of WAV recordings on a Dask cluster, one task
per recording.

    python3 -m zelnor.batch decode|mask SRC OUT [--scheduler ADDRESS | --workers N]
                            [--mask-with silence|noise|beep]

Writes OUT/results.jsonl, one JSON object per recording, in the order they
finish: "file" (its path under SRC), then "digits" (decode: objects as
`dtmf --decode --json` prints them) or "spans" (mask: "start", "end" in
seconds and "channel" from 1, never a digit), or "error" with the reason
for a recording that failed. `mask` writes each masked recording under OUT
at the same relative path. A run picks up where the last one stopped:
recordings with a result are not done again. A masked file appears under
its final name only once whole, and a result line only after its file.
"""
from __future__ import annotations

import argparse
import json
import os
import struct
import sys
from typing import Iterator

RESULTS = "results.jsonl"


def recordings(source: str) -> Iterator[str]:
    """Every WAV file under `source`, as paths relative to it, sorted."""
    found = []
    for folder, folders, files in os.walk(source):
        folders.sort()
        for name in files:
            if name.lower().endswith(".wav"):
                found.append(os.path.relpath(os.path.join(folder, name), source))
    return iter(sorted(found))


def finished(out: str) -> set[str]:
    """The recordings results.jsonl already holds a result for; a line cut
    short by a run that was stopped counts as none."""
    done = set()
    try:
        with open(os.path.join(out, RESULTS), encoding="utf-8") as lines:
            for line in lines:
                try:
                    done.add(json.loads(line)["file"])
                except (ValueError, KeyError, TypeError):
                    continue
    except FileNotFoundError:
        pass
    return done


def _seconds(sample: int, rate: int) -> float:
    return round(sample / rate, 3)


def _wave_rate(path: str) -> int:
    """The sample rate a WAV file's 'fmt ' chunk gives; called once the
    library has read the file, so its header is known to be sound."""
    with open(path, "rb") as wave:
        wave.seek(12)
        while True:
            chunk = wave.read(8)
            if len(chunk) < 8:
                raise OSError(f"{path}: no 'fmt ' chunk")
            name, size = chunk[:4], struct.unpack("<I", chunk[4:])[0]
            if name == b"fmt ":
                return struct.unpack("<I", wave.read(8)[4:])[0]
            wave.seek(size + (size & 1), os.SEEK_CUR)


def decode_one(source: str, relative: str) -> dict:
    """The digits in one recording, or why there are none. Runs on a worker."""
    import zelnor

    try:
        path = os.path.join(source, relative)
        heard = sorted(zelnor.decode_file(path), key=lambda d: (d.start, d.channel))
        rate = _wave_rate(path)
        digits = [{"digit": d.symbol, "start": _seconds(d.start, rate),
                   "end": _seconds(d.end, rate), "channel": d.channel + 1} for d in heard]
        return {"file": relative, "digits": digits}
    except (zelnor.Error, OSError) as error:
        return {"file": relative, "error": str(error)}


def mask_one(source: str, out: str, relative: str, replacement: str) -> dict:
    """One recording masked into `out`, its spans, or why it failed. Runs on
    a worker; the library writes the file whole or not at all."""
    import zelnor

    try:
        path = os.path.join(source, relative)
        target = os.path.join(out, relative)
        os.makedirs(os.path.dirname(target) or out, exist_ok=True)
        masked = sorted(zelnor.mask_file(path, target, replacement=replacement),
                        key=lambda s: (s.start, s.channel))
        rate = _wave_rate(path)
        spans = [{"start": _seconds(s.start, rate), "end": _seconds(s.end, rate),
                  "channel": s.channel + 1} for s in masked]
        return {"file": relative, "spans": spans}
    except (zelnor.Error, OSError) as error:
        return {"file": relative, "error": str(error)}


def _client(arguments: argparse.Namespace):
    from distributed import Client, LocalCluster

    if arguments.scheduler:
        return Client(arguments.scheduler), None
    cluster = LocalCluster(n_workers=arguments.workers, threads_per_worker=1, processes=True,
                           dashboard_address=None)
    return Client(cluster), cluster


def run(arguments: argparse.Namespace) -> int:
    from distributed import as_completed

    source = os.path.abspath(arguments.source)
    out = os.path.abspath(arguments.out)
    if not os.path.isdir(source):
        print(f"zelnor.batch: {arguments.source}: not a folder", file=sys.stderr)
        return 2
    os.makedirs(out, exist_ok=True)
    done = finished(out)
    todo = [relative for relative in recordings(source) if relative not in done]
    print(f"zelnor.batch: {len(todo)} to {arguments.job}, {len(done)} done already",
          file=sys.stderr)
    if not todo:
        return 0
    client, cluster = _client(arguments)
    failed = 0
    try:
        if arguments.job == "decode":
            futures = client.map(decode_one, [source] * len(todo), todo, pure=False)
        else:
            futures = client.map(mask_one, [source] * len(todo), [out] * len(todo), todo,
                                 [arguments.mask_with] * len(todo), pure=False)
        with open(os.path.join(out, RESULTS), "a", encoding="utf-8") as results:
            for count, future in enumerate(as_completed(futures), 1):
                result = future.result()
                results.write(json.dumps(result) + "\n")
                results.flush()
                os.fsync(results.fileno())
                failed += "error" in result
                state = f"error: {result['error']}" if "error" in result else "done"
                print(f"[{count}/{len(todo)}] {result['file']}: {state}", file=sys.stderr)
    finally:
        client.close()
        if cluster is not None:
            cluster.close()
    print(f"zelnor.batch: {len(todo) - failed} done, {failed} failed", file=sys.stderr)
    return 1 if failed else 0


def main(argv: list[str] | None = None) -> int:
    parser = argparse.ArgumentParser(prog="python3 -m zelnor.batch", description=__doc__.split("\n\n")[0])
    parser.add_argument("job", choices=("decode", "mask"))
    parser.add_argument("source", metavar="SRC", help="the folder of WAV recordings")
    parser.add_argument("out", metavar="OUT", help="where results.jsonl (and masked files) go")
    where = parser.add_mutually_exclusive_group()
    where.add_argument("--scheduler", metavar="ADDRESS",
                       help="a running Dask scheduler to join (tcp://host:8786)")
    where.add_argument("--workers", type=int, default=os.cpu_count() or 1, metavar="N",
                       help="start a local cluster of N worker processes (default: one per core)")
    parser.add_argument("--mask-with", choices=("silence", "noise", "beep"), default="silence",
                        help="with mask: what replaces a tone")
    return run(parser.parse_args(argv))


if __name__ == "__main__":
    sys.exit(main())
