#!/usr/bin/env python3
"""Holds the #include lines of the module and the stand-in host to the layers CONTRIBUTING.md
lists: a file may include headers of its own folder and of the folders its row names, nothing
else of the repository's. A folder with sources that the table does not list fails too, so a
new folder is placed in the layers when it is made.

    check-layers.py SOURCE_DIR

Prints each offending line as FILE:LINE: ... and exits 1; 0 when every line keeps its layer.
"""
import pathlib
import re
import sys

ROW = re.compile(r"^\|\s*`([a-z/]+)/`\s*\|(.*)\|\s*$")
FOLDER = re.compile(r"`([a-z/]+)/`")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def read_layers(contributing):
    """The table under '## Layers': folder -> the folders it may include."""
    layers = {}
    in_section = False
    for line in contributing.read_text(encoding="utf-8").splitlines():
        if line.startswith("## "):
            in_section = line.strip() == "## Layers"
            continue
        match = ROW.match(line) if in_section else None
        if match:
            layers[match.group(1)] = set(FOLDER.findall(match.group(2)))
    return layers


def folder_of(path, layers):
    """The longest listed folder that holds `path`, or None."""
    best = None
    for folder in layers:
        if path.startswith(folder + "/") and (best is None or len(folder) > len(best)):
            best = folder
    return best


def main():
    root = pathlib.Path(sys.argv[1])
    layers = read_layers(root / "CONTRIBUTING.md")
    if not layers:
        print("CONTRIBUTING.md: no table of layers under '## Layers'")
        return 1
    problems = []
    tops = {folder.split("/")[0] for folder in layers}
    for source in sorted(root.rglob("*")):
        relative = source.relative_to(root).as_posix()
        if source.suffix not in (".h", ".cpp") or relative.split("/")[0] not in tops:
            continue
        own = folder_of(relative, layers)
        if own is None:
            problems.append(f"{relative}: its folder is in no layer of CONTRIBUTING.md")
            continue
        allowed = layers[own] | {own}
        for number, line in enumerate(source.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match or "/" not in match.group(1):
                continue
            target = folder_of(match.group(1), layers)
            top = match.group(1).split("/")[0]
            if target is None and top not in tops:
                continue  # not one of ours (a system or third-party header)
            if target not in allowed:
                problems.append(f"{relative}:{number}: includes {match.group(1)}, but {own}/ "
                                f"may include only {', '.join(sorted(allowed))}")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
