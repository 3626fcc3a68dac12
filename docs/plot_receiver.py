#!/usr/bin/env python3
"""Detection against frequency offset and twist, ours and SpanDSP's, as SVG.

Reads the CSV of `receiver_standards --sweeps` on standard input and writes
docs/receiver_standards.svg (no plotting library needed):

  build/native/bin/receiver_standards --sweeps | python3 docs/plot_receiver.py
"""
import csv
import os
import sys

WIDTH, HEIGHT, MARGIN = 420, 260, 48
SERIES = [  # (sweep, column, label, colour, dashed)
    ("low", "ours", "ours, low tone off", "#1565c0", False),
    ("high", "ours", "ours, high tone off", "#1565c0", True),
    ("low", "spandsp", "SpanDSP, low tone off", "#c62828", False),
    ("high", "spandsp", "SpanDSP, high tone off", "#c62828", True),
    ("twist", "ours", "ours", "#1565c0", False),
    ("twist", "spandsp", "SpanDSP", "#c62828", False),
]


def panel(rows, sweeps, x_label, x_range, bands, left):
    """One chart: detection % against x, with the must-detect band shaded."""
    x0, x1 = x_range
    def px(x):
        return left + MARGIN + (x - x0) / (x1 - x0) * (WIDTH - 1.5 * MARGIN)
    def py(y):
        return HEIGHT - MARGIN - y / 100 * (HEIGHT - 1.5 * MARGIN)
    out = []
    for a, b, colour in bands:
        out.append(f'<rect x="{px(a):.1f}" y="{py(100):.1f}" width="{px(b) - px(a):.1f}" '
                   f'height="{py(0) - py(100):.1f}" fill="{colour}"/>')
    out.append(f'<rect x="{px(x0):.1f}" y="{py(100):.1f}" width="{px(x1) - px(x0):.1f}" '
               f'height="{py(0) - py(100):.1f}" fill="none" stroke="#444"/>')
    for y in (0, 50, 100):
        out.append(f'<text x="{px(x0) - 6:.1f}" y="{py(y) + 4:.1f}" text-anchor="end">{y}%</text>')
    step = (x1 - x0) / 4
    for i in range(5):
        x = x0 + i * step
        out.append(f'<text x="{px(x):.1f}" y="{py(0) + 16:.1f}" text-anchor="middle">{x:g}</text>')
    out.append(f'<text x="{px((x0 + x1) / 2):.1f}" y="{py(0) + 32:.1f}" '
               f'text-anchor="middle">{x_label}</text>')
    legend_y = py(100) + 14
    for sweep, column, label, colour, dashed in SERIES:
        if sweep not in sweeps:
            continue
        points = [(float(r["x"]), float(r[column])) for r in rows if r["sweep"] == sweep]
        path = " ".join(f"{px(x):.1f},{py(y):.1f}" for x, y in points)
        dash = ' stroke-dasharray="5,3"' if dashed else ""
        out.append(f'<polyline points="{path}" fill="none" stroke="{colour}" '
                   f'stroke-width="1.8"{dash}/>')
        out.append(f'<line x1="{px(x0) + 8:.1f}" y1="{legend_y - 4:.1f}" x2="{px(x0) + 28:.1f}" '
                   f'y2="{legend_y - 4:.1f}" stroke="{colour}" stroke-width="1.8"{dash}/>')
        out.append(f'<text x="{px(x0) + 32:.1f}" y="{legend_y:.1f}">{label}</text>')
        legend_y += 14
    return out


def main():
    rows = list(csv.DictReader(sys.stdin))
    must, reject = "#e8f5e9", "#fdecea"
    body = panel(rows, ("low", "high"), "frequency offset of one tone (%)", (-5, 5),
                 [(-5, -3.5, reject), (-1.5, 1.5, must), (3.5, 5, reject)], 0)
    body += panel(rows, ("twist",), "twist, high tone over low (dB)", (-14, 10),
                  [(-8, 4, must)], WIDTH)
    svg = (f'<svg xmlns="http://www.w3.org/2000/svg" width="{2 * WIDTH}" height="{HEIGHT}" '
           f'font-family="sans-serif" font-size="11">\n<rect width="100%" height="100%" '
           f'fill="white"/>\n' + "\n".join(body) + "\n</svg>\n")
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "receiver_standards.svg")
    with open(target, "w") as f:
        f.write(svg)


if __name__ == "__main__":
    main()
