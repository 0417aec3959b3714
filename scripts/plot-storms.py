#!/usr/bin/env python3
"""Draws the pictures of docs/storms.md from `tovandeck storm` output, as SVG without any
plotting library: the four NRCS cumulative curves, and the hyetographs of an alternating block
and a Chicago storm. Run from the source folder after a build: scripts/plot-storms.py"""
import subprocess

TOVANDECK = "build/bin/tovandeck"
W, H, M = 640, 320, 50


def storm(*args):
    out = subprocess.run([TOVANDECK, "storm", *args], capture_output=True, text=True,
                         check=True).stdout.splitlines()[1:]
    return [(float(t), float(d)) for t, d in (line.split(",") for line in out)]


def frame(title, xlabel, ylabel, xmax, ymax, ticks):
    parts = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{W}" height="{H}" '
             'font-family="sans-serif" font-size="12">',
             f'<rect width="{W}" height="{H}" fill="white"/>',
             f'<text x="{W / 2}" y="18" text-anchor="middle" font-size="14">{title}</text>',
             f'<text x="{W / 2}" y="{H - 8}" text-anchor="middle">{xlabel}</text>',
             f'<text x="14" y="{H / 2}" transform="rotate(-90 14 {H / 2})" '
             f'text-anchor="middle">{ylabel}</text>',
             f'<rect x="{M}" y="{M / 2}" width="{W - 1.5 * M}" height="{H - 1.5 * M}" '
             'fill="none" stroke="#888"/>']
    for x in ticks:
        px = M + x / xmax * (W - 1.5 * M)
        parts.append(f'<text x="{px}" y="{H - M + 16}" text-anchor="middle">{x:g}</text>')
    parts.append(f'<text x="{M - 4}" y="{M / 2 + 4}" text-anchor="end">{ymax:g}</text>')
    parts.append(f'<text x="{M - 4}" y="{H - M + 4}" text-anchor="end">0</text>')
    return parts


def point(x, y, xmax, ymax):
    return M + x / xmax * (W - 1.5 * M), H - M - y / ymax * (H - 1.5 * M)


def nrcs_curves():
    colours = {"nrcs-1": "#1f5ea8", "nrcs-1a": "#2a9d4b", "nrcs-2": "#d6781a", "nrcs-3": "#a82a6e"}
    parts = frame("NRCS 24-hour distributions", "hours", "fraction of the 24-hour depth", 24, 1,
                  range(0, 25, 4))
    for i, (method, colour) in enumerate(colours.items()):
        total, path = 0.0, [point(0, 0, 24, 1)]
        for minutes, depth in storm(method, "--depth", "1", "--step", "6"):
            total += depth
            path.append(point(minutes / 60, total, 24, 1))
        d = " ".join(f"{x:.1f},{y:.1f}" for x, y in path)
        parts.append(f'<polyline points="{d}" fill="none" stroke="{colour}" stroke-width="2"/>')
        label = "Type " + {"1": "I", "1a": "IA", "2": "II", "3": "III"}[method[5:]]
        parts.append(f'<text x="{M + 10}" y="{M + 10 + 16 * i}" fill="{colour}">{label}</text>')
    return parts + ["</svg>"]


def hyetograph(title, depths, step):
    xmax = len(depths) * step
    ymax = max(d for _, d in depths) * 1.1
    parts = frame(title, "minutes", "depth of each step (in)", xmax, round(ymax, 2),
                  range(0, int(xmax) + 1, int(xmax / 6)))
    for minutes, depth in depths:
        x0, y = point(minutes - step, depth, xmax, ymax)
        x1, y0 = point(minutes, 0, xmax, ymax)
        parts.append(f'<rect x="{x0:.1f}" y="{y:.1f}" width="{x1 - x0:.1f}" height="{y0 - y:.1f}" '
                     'fill="#1f5ea8" stroke="white" stroke-width="0.5"/>')
    return parts + ["</svg>"]


def write(name, parts):
    with open(f"docs/images/{name}", "w", encoding="utf-8") as out:
        out.write("\n".join(parts) + "\n")


write("storms-nrcs.svg", nrcs_curves())
write("storms-block.svg", hyetograph(
    "Alternating block, 2 hours, peak at 0.5",
    storm("block", "--table", "5:0.5,10:0.8,15:1.0,30:1.4,60:1.8,120:2.2", "--duration", "120",
          "--step", "5"), 5))
write("storms-chicago.svg", hyetograph(
    "Chicago, i = 60 / (t + 10)^0.8, r = 0.4",
    storm("chicago", "--idf-a", "60", "--idf-b", "10", "--idf-c", "0.8", "--peak-ratio", "0.4",
          "--duration", "120", "--step", "5"), 5))
