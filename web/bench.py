#!/usr/bin/python3
"""Times the web page's engine beside native quorvane-host on shuffled square grids (one run
each, on the same machine), for bench/RESULTS.md:

    web/bench.py NATIVE-BIN PAGE WORK

NATIVE-BIN holds quorvane-host (the native tree), PAGE
the web page (build/web/page). Native: CPU time (user + sys) of `quorvane-host renumber --by
row --output`. Node: CPU time of the engine's renumbering of the same bytes. Chromium: the
time from choosing By row until the page shows the result (wall clock, headless)."""
import json
import os
import pathlib
import resource
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "web"))

NODE_RUN = r"""
const fs = require("fs");
const [page, file] = process.argv.slice(1);
const QuorvaneEngine = require(page + "/quorvane.js");
QuorvaneEngine({wasmBinary: fs.readFileSync(page + "/quorvane.wasm"), print() {}, printErr() {}}).then((e) => {
  const bytes = fs.readFileSync(file);
  const name = new TextEncoder().encode(require("path").basename(file) + "\0");
  const n = e._quorvane_alloc(name.length); e.HEAPU8.set(name, n);
  const b = e._quorvane_alloc(bytes.length); e.HEAPU8.set(bytes, b);
  const before = process.cpuUsage();
  const status = e._quorvane_renumber(n, b, bytes.length, 0, 0, 0, 0, 0);  // names kept
  const used = process.cpuUsage(before);
  console.log(JSON.stringify({status, seconds: (used.user + used.system) / 1e6,
                              output: e._quorvane_output_size(0)}));
});
"""


def grid(count):
    """A square grid of `count` A4 artboards in a shuffled order (fixed seed), as JSON."""
    import random
    side = int(count ** 0.5 + 0.999)
    cells = [(k % side, k // side) for k in range(count)]
    random.Random(20261210).shuffle(cells)
    boards = ",\n".join(
        f'    {{"name": "Board {n + 1}", "bounds": [{x * 700}, {-y * 900}, {x * 700 + 595}, {-y * 900 - 842}]}}'
        for n, (x, y) in enumerate(cells))
    return '{"artboards": [\n' + boards + "\n]}\n"


def cpu_of(command, cwd):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(command, cwd=cwd, check=True, capture_output=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def main():
    native, page, work = (pathlib.Path(a).resolve() for a in sys.argv[1:4])
    work.mkdir(parents=True, exist_ok=True)
    rows = []
    import threading

    import browser_test  # the same browser set-up and static server as the tests
    server = browser_test.Server(page)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_address[1]}/index.html"
    driver = browser_test.start_browser(work, work)
    page_object = browser_test.Page(driver, work)
    try:
        for count in (10000, 50000):
            document = work / f"grid-{count}.json"
            document.write_text(grid(count))
            native_seconds = cpu_of([native / "quorvane-host", "renumber", "--by", "row",
                                     "--output", "out.json", document.name], work)
            run = subprocess.run(["/usr/bin/node", "--no-experimental-fetch", "-e", NODE_RUN,
                                  str(page), str(document)], capture_output=True, check=True)
            node = json.loads(run.stdout)
            page_object.load(url)
            page_object.open(document)
            label, _ = page_object.labelled("By row")
            start = time.monotonic()
            page_object.act(label.click)
            chromium_seconds = time.monotonic() - start
            rows.append((count, native_seconds, node["seconds"], chromium_seconds))
    finally:
        driver.quit()
        server.shutdown()
    size = os.path.getsize(page / "quorvane.wasm")
    print("| artboards | native (CPU) | node (CPU) | Chromium (wall, headless) | node / native | Chromium / native |")
    print("|---:|---:|---:|---:|---:|---:|")
    for count, n, w, c in rows:
        print(f"| {count:,} | {n:.2f} s | {w:.2f} s | {c:.2f} s | {w / n:.2f} × | {c / n:.2f} × |")
    print(f"\nquorvane.wasm: {size:,} bytes")


if __name__ == "__main__":
    main()
