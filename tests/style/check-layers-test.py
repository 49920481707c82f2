#!/usr/bin/env python3
"""The layer checker itself: a small tree with a table of three layers, one right include
after another planted in it and accepted, one wrong include after another planted and
refused with the file, the line and the header named.

    check-layers-test.py CHECKER WORK_DIR
"""
import pathlib
import shutil
import subprocess
import sys

TABLE = """# Contributing

## Layers

| folder | what it is for | may include |
|---|---|---|
| `host/` | the module's view of the host | |
| `hostsim/abi/` | the binary interface | |
| `hostsim/model/` | the host's state | `hostsim/abi/` |
| `hostsim/suites/` | the suites | `hostsim/model/`, `hostsim/abi/` |

## After the table
| `hostsim/elsewhere/` | a row outside the section counts for nothing | `hostsim/suites/` |
"""

# Headers every case's tree holds.
HEADERS = ["host/Wrapper.h", "hostsim/abi/Codes.h", "hostsim/model/Document.h",
           "hostsim/suites/Suite.h"]

# (name, file planted, its text, refused?)
CASES = [
    ("own folder, with its folder", "hostsim/model/A.cpp", '#include "hostsim/model/Document.h"', False),
    ("own folder, without a folder", "hostsim/model/A.cpp", '#include "Document.h"', False),
    ("a row below", "hostsim/suites/A.cpp", '#include "hostsim/abi/Codes.h"', False),
    ("a row below, relative", "hostsim/model/A.cpp", '#include "../abi/Codes.h"', False),
    ("a row below, angle brackets", "hostsim/suites/A.cpp", "#include <hostsim/model/Document.h>", False),
    ("a system header", "hostsim/abi/A.cpp", "#include <vector>", False),
    ("a third-party header in quotes", "hostsim/abi/A.cpp", '#include "expat.h"', False),
    ("spaces after the hash", "hostsim/suites/A.cpp", '#  include "hostsim/model/Document.h"', False),
    ("a row above", "hostsim/model/A.cpp", '#include "hostsim/suites/Suite.h"', True),
    ("a row above, relative", "hostsim/model/A.cpp", '#include "../suites/Suite.h"', True),
    ("a row above, angle brackets", "hostsim/abi/A.h", "#include <hostsim/model/Document.h>", True),
    ("a row above, without a folder (an include folder of its own)", "hostsim/abi/A.cpp",
     '#include "Suite.h"', True),
    ("across the interface", "host/A.cpp", '#include "hostsim/abi/Codes.h"', True),
    ("across the interface, the other way", "hostsim/suites/A.cpp", '#include "host/Wrapper.h"', True),
    ("a folder in no row", "hostsim/newfolder/A.cpp", "#include <vector>", True),
    ("a row outside the section", "hostsim/elsewhere/A.cpp", '#include "hostsim/suites/Suite.h"', True),
]


def make_tree(tree, planted, text):
    if tree.exists():
        shutil.rmtree(tree)
    for header in HEADERS:
        (tree / header).parent.mkdir(parents=True, exist_ok=True)
        (tree / header).write_text("#pragma once\n", encoding="utf-8")
    (tree / "CONTRIBUTING.md").write_text(TABLE, encoding="utf-8")
    (tree / planted).parent.mkdir(parents=True, exist_ok=True)
    (tree / planted).write_text(f"// planted\n#include <cstdint>\n{text}\n", encoding="utf-8")


def main():
    checker, work = sys.argv[1], pathlib.Path(sys.argv[2]) / "check-layers-test"
    failures = 0
    for name, planted, text, refused in CASES:
        make_tree(work, planted, text)
        run = subprocess.run([sys.executable, checker, str(work)], capture_output=True, text=True)
        wanted = 1 if refused else 0
        ok = run.returncode == wanted
        if refused and ok:
            # The finding names the file, and the line unless the whole file is out of place.
            ok = run.stdout.startswith(planted + (":3:" if "no row" not in name and "outside" not in name else ":"))
        if not refused and ok:
            ok = run.stdout == ""
        print(f"{'ok  ' if ok else 'FAIL'} {name}: {planted}: {text}")
        if not ok:
            print(f"     exit {run.returncode} (wanted {wanted}); output:\n{run.stdout}{run.stderr}")
            failures += 1
    # Without a table there is nothing to hold the tree to: that is an error, not a pass.
    make_tree(work, "hostsim/abi/A.cpp", "")
    (work / "CONTRIBUTING.md").write_text("# Contributing\n", encoding="utf-8")
    run = subprocess.run([sys.executable, checker, str(work)], capture_output=True, text=True)
    if run.returncode != 1 or "no table" not in run.stdout:
        print(f"FAIL no table: exit {run.returncode}\n{run.stdout}")
        failures += 1
    else:
        print("ok   no table of layers is an error")
    shutil.rmtree(work)
    print(f"{len(CASES) + 1 - failures} of {len(CASES) + 1} cases as they should be")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
