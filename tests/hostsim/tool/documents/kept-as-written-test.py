#!/usr/bin/env python3
"""Values the program keeps as they were written, and names it writes back, that hold unusual
escapes: after a renumber that moves every artboard, each JSON value of a key the program does
not know decodes to what it decoded to before (however its quotes, backslashes, slashes and
\\u escapes were written, and across lines), and each SVG label, read by an XML parser, is the
label it was (an ampersand, angle brackets, quotes, a line break and a tab included). A test
of the contents that compares only the known properties cannot see these change.

    kept-as-written-test.py QUORVANE_HOST WORK_DIR
"""
import json
import pathlib
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

# Unknown values as written; each decodes to a JSON value the output must keep.
KEPT = [
    r'"a \"quoted\" word,  two  spaces"',
    r'"ends in a backslash \\"',
    r'"\u00e9t\u00E9 \ud83d\ude00 \/ slash"',
    '{"nested": [1, 2,\n      "x\\"  y"],  "tab": "\\t"}',
    r'"\\\" \\\\ \" "',
    '[ "a" ,\n  "b\\n" ]',
]
NAMES = ["plain", "quote \" inside", "back\\slash", "\u00e9t\u00e9", "tab\there", "slash / name"]

SVG_LABELS = ["Tom &amp; Jerry", "&lt;b&gt; not a tag", "say &quot;hi&quot;", "two&#10;lines",
              "a&#9;tab", "&#x1F600; smile", "it&apos;s"]


def json_document():
    lines = ['{', '  "title": "escapes",', '  "artboards": [']
    count = len(KEPT)
    for i, kept in enumerate(KEPT):
        # Stored bottom to top, so that "Grid by Row" moves every one.
        top = 100 * (i + 1)
        name = json.dumps(NAMES[i % len(NAMES)], ensure_ascii=(i % 2 == 0))
        lines.append(f'    {{"name": {name}, "bounds": [0, {top}, 50, {top - 50}], '
                     f'"note": {kept}}}{"," if i + 1 < count else ""}')
    lines += ['  ]', '}']
    return "\n".join(lines) + "\n"


def svg_document():
    pages = []
    for i, label in enumerate(SVG_LABELS):
        pages.append(f'    <inkscape:page x="0" y="{100 * (len(SVG_LABELS) - i)}" width="50" '
                     f'height="50" id="page{i + 1}" inkscape:label="{label}" />')
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" '
            'xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape" '
            'xmlns:sodipodi="http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd" '
            'width="1000" height="1000" viewBox="0 0 1000 1000">\n'
            '  <sodipodi:namedview id="namedview1">\n' + "\n".join(pages) + "\n"
            '  </sodipodi:namedview>\n</svg>\n')


def labels(path):
    ns = "{http://www.inkscape.org/namespaces/inkscape}"
    return sorted(page.get(ns + "label") for page in ElementTree.parse(path).iter(ns + "page"))


def run(host, work, arguments):
    return subprocess.run([host] + arguments, cwd=work, capture_output=True, text=True)


def main():
    host = str(pathlib.Path(sys.argv[1]).resolve())
    work = pathlib.Path(sys.argv[2]).resolve() / "kept-as-written-test"
    if work.exists():
        shutil.rmtree(work)
    work.mkdir(parents=True)
    failures = []

    (work / "in.json").write_text(json_document(), encoding="utf-8")
    before = json.loads((work / "in.json").read_text(encoding="utf-8"))
    result = run(host, work, ["renumber", "--by", "row", "in.json", "--output", "out.json"])
    if result.returncode != 0:
        failures.append(f"json: renumber exited {result.returncode}: {result.stderr.strip()}")
    else:
        try:
            after = json.loads((work / "out.json").read_text(encoding="utf-8"))
        except ValueError as error:
            after = None
            failures.append(f"json: out.json is not JSON any more: {error}")
        if after is not None:
            names_before = [a["name"] for a in before["artboards"]]
            names_after = [a["name"] for a in after["artboards"]]
            if names_after == names_before:
                failures.append("json: the renumber moved nothing, so nothing was tested")
            if sorted(names_after) != sorted(names_before):
                failures.append(f"json: the names changed: {names_before} -> {names_after}")
            canon = lambda doc: sorted(json.dumps(a.get("note"), sort_keys=True)
                                       for a in doc["artboards"])
            if canon(after) != canon(before):
                failures.append("json: a value kept as written decodes differently now:\n  "
                                + "\n  ".join(sorted(set(canon(after)) ^ set(canon(before)))))
        # And read back by the program itself: the same names.
        shown = run(host, work, ["show", "out.json"])
        if shown.returncode != 0:
            failures.append(f"json: out.json cannot be read back: {shown.stderr.strip()}")

    (work / "in.svg").write_text(svg_document(), encoding="utf-8")
    want = labels(work / "in.svg")
    result = run(host, work, ["renumber", "--by", "row", "in.svg", "--output", "out.svg"])
    if result.returncode != 0:
        failures.append(f"svg: renumber exited {result.returncode}: {result.stderr.strip()}")
    else:
        try:
            got = labels(work / "out.svg")
        except ElementTree.ParseError as error:
            got = None
            failures.append(f"svg: out.svg is not XML any more: {error}")
        if got is not None and got != want:
            failures.append(f"svg: the labels read back differ: {want} -> {got}")

    for failure in failures:
        print("FAIL " + failure)
    if not failures:
        print(f"ok   {len(KEPT)} JSON values and {len(SVG_LABELS)} SVG labels kept through a renumber")
        shutil.rmtree(work)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
