#!/usr/bin/env python3
"""Each folder's purpose is written once: in the table under "## Layers" in CONTRIBUTING.md
("what it is for"). The copies elsewhere are made from it or checked against it:

- the first comment lines of a listed folder's CMakeLists.txt are the table's line for it,
  "# <folder>/: <what it is for>." (made by --write);
- the architecture diagram in docs/ARCHITECTURE.md names every listed folder (checked; its
  captions are shorter on purpose).

    folder-purposes.py SOURCE_DIR            checks, prints FILE: what differs, exits 1 if any
    folder-purposes.py SOURCE_DIR --write    rewrites the CMakeLists.txt lines from the table
"""
import pathlib
import re
import sys
import textwrap

sys.dont_write_bytecode = True  # no __pycache__ in the source tree the packages copy
from layers_table import read_rows  # noqa: E402



def read_purposes(contributing):
    """folder -> what it is for, from the table under '## Layers'."""
    return {folder: cells[0] for folder, cells in read_rows(contributing).items()}


def heading(folder, purpose):
    """The first comment lines of the folder's CMakeLists.txt."""
    text = f"{folder}/: {purpose.replace('`', '')}."
    return [f"# {line}" for line in textwrap.wrap(text, width=98, break_on_hyphens=False)]


def split_heading(text):
    """(the leading comment lines, the rest) of a CMakeLists.txt."""
    lines = text.splitlines()
    count = 0
    while count < len(lines) and lines[count].startswith("#"):
        count += 1
    return lines[:count], lines[count:]


def diagram_of(architecture):
    """The first fenced block of docs/ARCHITECTURE.md: the diagram."""
    blocks = architecture.read_text(encoding="utf-8").split("```")
    return blocks[1] if len(blocks) > 2 else ""


def main():
    if len(sys.argv) not in (2, 3) or (len(sys.argv) == 3 and sys.argv[2] != "--write"):
        print("usage: folder-purposes.py SOURCE_DIR [--write]", file=sys.stderr)
        return 2
    root = pathlib.Path(sys.argv[1])
    write = len(sys.argv) == 3
    purposes = read_purposes(root / "CONTRIBUTING.md")
    if not purposes:
        print("CONTRIBUTING.md: no table of layers under '## Layers'")
        return 1
    problems = []
    for folder, purpose in sorted(purposes.items()):
        cmake = root / folder / "CMakeLists.txt"
        if not cmake.is_file():
            continue
        lines, rest = split_heading(cmake.read_text(encoding="utf-8"))
        wanted = heading(folder, purpose)
        if lines == wanted:
            continue
        if write:
            cmake.write_text("\n".join(wanted + rest) + "\n", encoding="utf-8")
            print(f"{folder}/CMakeLists.txt: written from CONTRIBUTING.md")
        else:
            problems.append(f"{folder}/CMakeLists.txt: its first lines are not the folder's row "
                            f"of CONTRIBUTING.md's Layers table; wanted:\n" + "\n".join(wanted))
    diagram = diagram_of(root / "docs" / "ARCHITECTURE.md")
    for folder in sorted(purposes):
        shown = folder.split("/", 1)[1] if folder.startswith("hostsim/") else folder
        if not re.search(r"(^|\s)" + re.escape(shown) + r"/(\s|$)", diagram, re.MULTILINE):
            problems.append(f"docs/ARCHITECTURE.md: the diagram does not name {shown}/ "
                            f"({folder}/ of CONTRIBUTING.md's Layers table)")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
