#!/usr/bin/env python3
"""What a safe write promises below the file's contents, seen in the system calls (strace):
the new bytes go to a fresh file beside the target (opened with O_EXCL and O_NOFOLLOW), every
write to it comes before its fsync, the fsync before its close, the close before the rename
onto the target, and the folder is flushed after the rename. A file replaced in place gives
the new one its mode (fchmod) before that fsync. Nothing opens the target itself for writing.
A test of the contents alone cannot tell a write without fsync, or a rename before it, from a
safe one.

    write-order-test.py QUORVANE_HOST EXAMPLES_DIR WORK_DIR

Exits 77 (skipped) when strace is missing or may not trace here.
"""
import pathlib
import posixpath
import re
import shutil
import subprocess
import sys

CALL = re.compile(r"^(?:\[pid\s+)?(\d+)\]?\s+(\w+)\((.*)\)\s+=\s+(-?\d+)")

# (name, the document copied in, the arguments after the program, the file written, whether
# it replaces a file that was there)
CASES = [
    ("json output beside the document", "festival-posters.json",
     ["renumber", "--by", "row", "festival-posters.json", "--output", "out.json"], "out.json",
     False),
    ("svg output in a folder", "zine-pages.svg",
     ["renumber", "--by", "column", "zine-pages.svg", "--output", "sub/out.svg"], "sub/out.svg",
     False),
    ("the document replaced in place", "festival-posters.json",
     ["renumber", "--by", "column", "festival-posters.json", "--output", "festival-posters.json"],
     "festival-posters.json", True),
    ("the document replaced in place, short options", "festival-posters.json",
     ["renumber", "--by", "row", "festival-posters.json", "-o", "festival-posters.json"],
     "festival-posters.json", True),
    ("the picture", "festival-posters.json",
     ["renumber", "--by", "row", "--picture", "picture.svg", "festival-posters.json",
      "--output", "out.json"], "picture.svg", False),
]


def trace(host, work, arguments):
    log = work / "trace.txt"
    run = subprocess.run(
        ["strace", "-f", "-qq", "-o", str(log), "-e",
         "trace=openat,open,write,pwrite64,writev,fchmod,fsync,fdatasync,close,rename,renameat,"
         "renameat2",
         host] + arguments, cwd=work, capture_output=True, text=True)
    calls = []
    for line in log.read_text(encoding="utf-8", errors="replace").splitlines():
        match = CALL.match(line)
        if match:
            calls.append((match.group(2), match.group(3), int(match.group(4))))
    return run, calls


def first_string(arguments):
    match = re.search(r'"((?:[^"\\]|\\.)*)"', arguments)
    return match.group(1) if match else None


def strings(arguments):
    return re.findall(r'"((?:[^"\\]|\\.)*)"', arguments)


def check(calls, target, work, replaces):
    """What is wrong with the order of the calls that wrote `target`; "" when nothing."""
    name = pathlib.PurePosixPath(target)
    folder = str(name.parent)
    renames = [i for i, (call, args, result) in enumerate(calls)
               if call.startswith("rename") and result == 0
               and pathlib.PurePosixPath(strings(args)[-1]).name == name.name]
    if len(renames) != 1:
        return f"{target}: {len(renames)} renames onto it instead of one"
    at = renames[0]
    temporary = strings(calls[at][1])[0]
    beside = posixpath.join(str(work), folder)
    if posixpath.normpath(posixpath.join(str(work), posixpath.dirname(temporary))) != \
            posixpath.normpath(beside):
        return f"{target}: the new file {temporary} is not beside it"
    opened = [i for i, (call, args, result) in enumerate(calls[:at])
              if call.startswith("open") and first_string(args) == temporary and result >= 0]
    if not opened:
        return f"{target}: {temporary} was not opened before the rename"
    start = opened[-1]
    for flag in ("O_EXCL", "O_NOFOLLOW"):
        if flag not in calls[start][1]:
            return f"{target}: {temporary} was opened without {flag}"
    fd = calls[start][2]
    events = []
    for call, args, result in calls[start + 1:at]:
        if args.split(",")[0].strip() == str(fd) and call in (
                "write", "pwrite64", "writev", "fchmod", "fsync", "fdatasync", "close"):
            events.append(call)
            if call == "close":
                break
    writes = [i for i, e in enumerate(events) if e in ("write", "pwrite64", "writev")]
    syncs = [i for i, e in enumerate(events) if e in ("fsync", "fdatasync")]
    closes = [i for i, e in enumerate(events) if e == "close"]
    if not writes:
        return f"{target}: nothing was written to {temporary}"
    if not syncs:
        return f"{target}: {temporary} was renamed without an fsync ({' '.join(events)})"
    if not closes:
        return f"{target}: {temporary} was renamed before it was closed ({' '.join(events)})"
    if max(writes) > syncs[-1] or syncs[-1] > closes[0]:
        return f"{target}: the calls on {temporary} ran {' '.join(events)}, not write, fsync, close"
    if replaces and not any(e == "fchmod" for e in events[:syncs[-1]]):
        return f"{target}: {temporary} was not given the mode of the file it replaces before " \
               f"its fsync ({' '.join(events)})"
    for call, args, result in calls[:at]:
        if call.startswith("open") and posixpath.normpath(
                posixpath.join(str(work), first_string(args) or "")) == posixpath.normpath(
                posixpath.join(str(work), target)) and (
                "O_WRONLY" in args or "O_RDWR" in args or "O_TRUNC" in args):
            return f"{target}: was opened for writing itself: {call}({args})"
    after = calls[at + 1:]
    folders = [i for i, (call, args, result) in enumerate(after)
               if call.startswith("open") and "O_DIRECTORY" in args and result >= 0
               and posixpath.normpath(posixpath.join(str(work), first_string(args) or "")) ==
               posixpath.normpath(beside)]
    if not folders:
        return f"{target}: its folder {folder} was not opened after the rename"
    dfd = after[folders[0]][2]
    if not any(call == "fsync" and args.strip() == str(dfd) for call, args, _ in after[folders[0]:]):
        return f"{target}: its folder {folder} was not flushed after the rename"
    return ""


def main():
    host = str(pathlib.Path(sys.argv[1]).resolve())
    examples, work_root = pathlib.Path(sys.argv[2]).resolve(), pathlib.Path(sys.argv[3]).resolve()
    if shutil.which("strace") is None:
        print("skipped: strace is not installed")
        return 77
    failures = 0
    for name, document, arguments, target, replaces in CASES:
        work = work_root / re.sub(r"[^a-z0-9]+", "-", name)
        if work.exists():
            shutil.rmtree(work)
        (work / "sub").mkdir(parents=True)
        shutil.copy(examples / document, work / document)
        run, calls = trace(host, work, arguments)
        if run.returncode != 0 and "ptrace" in run.stderr:
            print(f"skipped: strace may not trace here: {run.stderr.strip()}")
            return 77
        problem = f"exit {run.returncode}: {run.stderr.strip()}" if run.returncode != 0 else check(
            calls, target, work, replaces)
        print(f"{'ok  ' if not problem else 'FAIL'} {name}{': ' + problem if problem else ''}")
        failures += bool(problem)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
