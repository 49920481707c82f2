#!/usr/bin/env python3
"""Makes the one-file page: the page's HTML with its style sheet and script inline, and the
worker (the engine's JavaScript and the worker's own) and the engine's WebAssembly embedded as
base64, so that the file works opened straight from disk with nothing beside it.

    bundle.py PAGE-FOLDER OUTPUT

The output depends on the input files alone (no dates, no paths), so that two builds give the
same bytes."""
import base64
import pathlib
import sys


def main():
    page = pathlib.Path(sys.argv[1])
    output = pathlib.Path(sys.argv[2])
    html = (page / "index.html").read_text(encoding="utf-8")
    css = (page / "quorvane.css").read_text(encoding="utf-8")
    app = (page / "app.js").read_text(encoding="utf-8")
    worker = (page / "quorvane.js").read_bytes() + b"\n" + (page / "worker.js").read_bytes()
    wasm = (page / "quorvane.wasm").read_bytes()
    for name, text in (("quorvane.css", css), ("app.js", app)):
        if "</" + ("style" if name.endswith(".css") else "script") in text.lower():
            sys.exit(f"bundle.py: {page / name} holds a closing tag and cannot be put inline")

    def replace(text, old, new):
        if text.count(old) != 1:
            sys.exit(f"bundle.py: {page / 'index.html'} does not hold {old!r} exactly once")
        return text.replace(old, new)

    html = replace(html, '<link rel="stylesheet" href="quorvane.css">', "<style>\n" + css + "</style>")
    embedded = (
        '<script id="worker-source" type="application/octet-stream">'
        + base64.b64encode(worker).decode("ascii")
        + "</script>\n"
        + '<script id="engine-wasm" type="application/octet-stream">'
        + base64.b64encode(wasm).decode("ascii")
        + "</script>\n"
    )
    html = replace(html, '<script src="app.js"></script>', embedded + "<script>\n" + app + "</script>")
    output.write_bytes(html.encode("utf-8"))


if __name__ == "__main__":
    main()
