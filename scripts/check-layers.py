#!/usr/bin/env python3
"""Holds the #include lines of the module and the stand-in host to the layers CONTRIBUTING.md
lists: a file may include headers of its own folder and of the folders its row names, nothing
else of the repository's. Every include is held: with a folder or without one (then found
beside the file), in quotes or angle brackets, and relative ones ("../model/Document.h"). A folder with sources that the table does not list fails too, so a
new folder is placed in the layers when it is made.

    check-layers.py SOURCE_DIR

Prints each offending line as FILE:LINE: ... and exits 1; 0 when every line keeps its layer.
"""
import pathlib
import posixpath
import re
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree the packages copy
from layers_table import read_rows  # noqa: E402

FOLDER = re.compile(r"`([a-z/]+)/`")
INCLUDE = re.compile(r'^\s*#\s*include\s*(?:"([^"]+)"|<([^>]+)>)')
SOURCES = (".h", ".hpp", ".c", ".cc", ".cpp", ".inc")


def read_layers(contributing):
    """The table under '## Layers': folder -> the folders it may include."""
    return {
        folder: set(FOLDER.findall(" | ".join(cells)))
        for folder, cells in read_rows(contributing).items()
    }


def folder_of(path, layers):
    """The longest listed folder that holds `path`, or None."""
    best = None
    for folder in layers:
        if path.startswith(folder + "/") and (best is None or len(folder) > len(best)):
            best = folder
    return best


def resolve(root, relative, written, quoted, names):
    """The repository path an include names: beside the including file first (quoted only),
    then from the root, the one include folder the build gives. None for a header that is not
    ours. A name without a folder that is found neither way but is the name of one of our
    headers elsewhere is returned as that header's path: it can only be reached through an
    include folder of its own, which would hide its layer."""
    if quoted:
        beside = posixpath.normpath(posixpath.join(posixpath.dirname(relative), written))
        if (root / beside).is_file():
            return beside
    from_root = posixpath.normpath(written)
    if (root / from_root).is_file() or "/" in written:
        return from_root
    found = names.get(posixpath.basename(written))
    return found[0] if found else None


def check(root):
    """The offending lines of the tree at `root`, one text each."""
    layers = read_layers(root / "CONTRIBUTING.md")
    if not layers:
        return ["CONTRIBUTING.md: no table of layers under '## Layers'"]
    problems = []
    tops = {folder.split("/")[0] for folder in layers}
    sources = []
    names = {}
    for source in sorted(root.rglob("*")):
        relative = source.relative_to(root).as_posix()
        if source.suffix in SOURCES and relative.split("/")[0] in tops and source.is_file():
            sources.append((source, relative))
            names.setdefault(source.name, []).append(relative)
    for source, relative in sources:
        own = folder_of(relative, layers)
        if own is None:
            problems.append(f"{relative}: its folder is in no layer of CONTRIBUTING.md")
            continue
        allowed = layers[own] | {own}
        for number, line in enumerate(source.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            written = match.group(1) or match.group(2)
            path = resolve(root, relative, written, match.group(1) is not None, names)
            if path is None or path.split("/")[0] not in tops:
                continue  # not one of ours (a system or third-party header)
            target = folder_of(path, layers)
            if target not in allowed:
                shown = written if written == path else f"{written} ({path})"
                problems.append(f"{relative}:{number}: includes {shown}, but {own}/ "
                                f"may include only {', '.join(sorted(allowed))}")
    return problems


def main():
    if len(sys.argv) != 2:
        print("usage: check-layers.py SOURCE_DIR", file=sys.stderr)
        return 2
    problems = check(pathlib.Path(sys.argv[1]))
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
