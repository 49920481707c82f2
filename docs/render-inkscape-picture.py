"""Draws the before/after picture of docs/inkscape.md of the zine: each page of each document, in page
order, rendered by the editor. Usage: render.py BEFORE.svg AFTER.svg OUT.png"""
import re, subprocess, sys

def pages(svg):
    found = []
    for m in re.finditer(r"<inkscape:page(.*?)/>", svg, re.S):
        a = dict(re.findall(r'([\w:]+)="([^"]*)"', m.group(1)))
        found.append([float(a[k]) for k in ("x", "y", "width", "height")] + [a["inkscape:label"]])
    return found

def artwork(svg):
    return re.search(r'(<g\b[^>]*inkscape:groupmode="layer".*?</g>)', svg, re.S).group(1)

before, after, out = sys.argv[1:4]
scale, gap, parts, width = 0.14, 10, [], 0
for row, (path, title) in enumerate(((before, "Before: the pages in the order they were added"),
                                     (after, "After Extensions > Arrange > Quorvane > Renumber Pages by Row"))):
    svg = open(path).read()
    art = artwork(svg)
    top = 8 + row * 130
    parts.append(f'<text x="8" y="{top + 12}" font-family="sans-serif" font-size="12">{title}</text>')
    x = 8
    for i, (px, py, pw, ph, label) in enumerate(pages(svg)):
        w, h = pw * scale, ph * scale
        clip = f"page{row}{i}"
        parts.append(f'<clipPath id="{clip}"><rect x="{px}" y="{py}" width="{pw}" height="{ph}"/></clipPath>'
                     f'<g transform="translate({x} {top + 20}) scale({scale}) translate({-px} {-py})" clip-path="url(#{clip})">'
                     f'<rect x="{px}" y="{py}" width="{pw}" height="{ph}" fill="white"/>{art}</g>')
        parts.append(f'<rect x="{x}" y="{top + 20}" width="{w}" height="{h}" fill="none" stroke="#555" stroke-width="0.6"/>')
        parts.append(f'<text x="{x + w / 2}" y="{top + 20 + h + 12}" font-family="sans-serif" font-size="10" text-anchor="middle">page {i + 1}</text>')
        x += w + gap
    width = max(width, x)
height = 8 + 2 * 130
open("montage.svg", "w").write(
    f'<svg xmlns="http://www.w3.org/2000/svg" xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape" '
    f'width="{width}" height="{height}" viewBox="0 0 {width} {height}">'
    f'<rect width="{width}" height="{height}" fill="white"/>' + "".join(parts) + "</svg>")
subprocess.run(["inkscape", "--export-type=png", "--export-dpi=120", f"--export-filename={out}", "montage.svg"],
               check=True, stderr=subprocess.DEVNULL)
