#!/usr/bin/env python3
"""Copies a UTF-8 resource script, writing non-ASCII text as escapes.

windres reads scripts byte by byte and garbles UTF-8; inside string literals
it understands \\xNNNN in wide strings. Every string in a STRINGTABLE is
stored wide, so escaping them there is exact. Follows #include of .rc files.
"""
import pathlib
import re
import sys

STRING = re.compile(r'"((?:[^"]|"")*)"')


def escape_line(line):
    if line.isascii():
        return line

    def wide(match):
        body = "".join(c if ord(c) < 128 else "\\x%04x" % ord(c) for c in match.group(1))
        return 'L"' + body + '"'

    return STRING.sub(wide, line)


def convert(path, out):
    for line in path.read_text(encoding="utf-8").splitlines():
        include = re.match(r'\s*#include\s+"([^"]+\.rc)"', line)
        if include:
            convert(path.parent / include.group(1), out)
            continue
        if line.startswith("#pragma code_page"):
            continue
        out.append(escape_line(line))


def main():
    source, target = map(pathlib.Path, sys.argv[1:3])
    lines = []
    convert(source, lines)
    target.write_text("\n".join(lines) + "\n", encoding="ascii")


if __name__ == "__main__":
    main()
