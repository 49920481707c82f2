"""The table under "## Layers" in CONTRIBUTING.md, read once for the scripts that use it
(check-layers.py: which folders each may include; folder-purposes.py: what each is for)."""
import re

ROW = re.compile(r"^\|\s*`([a-z/]+)/`\s*\|(.*)\|\s*$")


def read_rows(contributing):
    """folder -> the cells of its row after the folder's own, in order, stripped."""
    rows = {}
    in_section = False
    for line in contributing.read_text(encoding="utf-8").splitlines():
        if line.startswith("## "):
            in_section = line.strip() == "## Layers"
            continue
        match = ROW.match(line) if in_section else None
        if match:
            rows[match.group(1)] = [cell.strip() for cell in match.group(2).split("|")]
    return rows
