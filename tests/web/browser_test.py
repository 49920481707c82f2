#!/usr/bin/python3
"""The web page in a real headless Chromium, driven as a person would: by its visible labels.

One browser session runs every case: each document of cases.json's browser sample under every
option combination (the bundled examples) or a few (the rest), each download compared byte for
byte with native `quorvane-host renumber`; a bad file shows the command line's message; no
network request after the page has loaded; a few name patterns (a bad one shows the command
line's message); a keyboard-only flow; the self-contained
quorvane.html opened from disk with the network off; dark mode; a screenshot kept in WORK.

    browser_test.py --page PAGE --host NATIVE-HOST --source SOURCE --work WORK

Needs Debian's chromium, chromium-driver and python3-selenium; exit status 77 (skipped) when
one of them or the native program is missing.
"""
import argparse
import functools
import glob
import http.server
import json
import os
import pathlib
import shutil
import subprocess
import sys
import threading
import time

SKIP = 77
CHROMIUM = "/usr/bin/chromium"
DRIVER = "/usr/bin/chromedriver"

try:
    from selenium import webdriver
    from selenium.common.exceptions import TimeoutException
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    print("skipped: python3-selenium is not installed")
    sys.exit(SKIP)

FAILURES = []


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print("FAIL " + what, flush=True)
    return condition


class Server(http.server.ThreadingHTTPServer):
    """A static server of the page folder that remembers every request."""

    def __init__(self, folder):
        self.requests = []
        handler = functools.partial(Handler, directory=str(folder))
        super().__init__(("127.0.0.1", 0), handler)


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript"}

    def log_message(self, *args):
        pass

    def do_GET(self):
        self.server.requests.append(self.path)
        super().do_GET()


def documents(source, patterns):
    found = []
    for pattern in patterns:
        found += sorted(glob.glob(str(source / pattern)))
    result = []
    for file in found:
        name = os.path.basename(file)
        if not name.lower().endswith((".svg", ".json")):
            first = pathlib.Path(file).read_text(errors="replace").lstrip()[:1]
            name += ".json" if first == "{" else ".svg"
        result.append((pathlib.Path(file), name))
    return result


COMBINATIONS = [dict(order=order, right_to_left=rtl, bottom_up=bu, tolerance=tol)
                for order in ("row", "column") for rtl in (False, True)
                for bu in (False, True) for tol in ("0", "2")]


def native(host, folder, name, options, rename=None):
    out = folder / ("out" + pathlib.Path(name).suffix)
    out.unlink(missing_ok=True)
    args = [host, "renumber", "--by", options["order"]]
    if options["right_to_left"]:
        args.append("--right-to-left")
    if options["bottom_up"]:
        args.append("--bottom-up")
    if options["tolerance"] != "0":
        args += ["--tolerance", options["tolerance"]]
    if rename is not None:
        args += ["--rename", rename]
    args += ["--output", out.name, name]
    run = subprocess.run(args, cwd=folder, capture_output=True)
    lines = [line for line in run.stderr.decode("utf-8", "replace").split("\n") if line]
    return run.returncode, (out.read_bytes() if out.exists() else b""), lines


class Page:
    """The page as a person sees it: controls found by their visible labels."""

    def __init__(self, driver, downloads):
        self.driver = driver
        self.downloads = downloads

    def wait(self, condition, seconds=60):
        return WebDriverWait(self.driver, seconds, poll_frequency=0.02).until(condition)

    def load(self, url):
        self.driver.get(url)
        self.wait(lambda d: d.execute_script("return document.body.dataset.engine") == "ready")

    def labelled(self, text):
        label = self.driver.find_element(
            By.XPATH, f"//label[normalize-space(.)={json.dumps(text, ensure_ascii=False)}]")
        target = label.get_attribute("for")
        if target:
            return label, self.driver.find_element(By.ID, target)
        return label, label.find_element(By.TAG_NAME, "input")

    def button(self, text):
        return self.driver.find_element(By.XPATH, f"//button[normalize-space(.)={json.dumps(text, ensure_ascii=False)}]")

    def done(self):
        return self.driver.execute_script("return document.body.dataset.done || ''")

    def settle(self, before):
        self.wait(lambda d: d.execute_script(
            "return (document.body.dataset.done || '') !== arguments[0] && !document.body.dataset.busy",
            before))

    def act(self, action):
        before = self.done()
        action()
        self.settle(before)

    def type_pattern(self, text):
        """Types a name pattern over the one shown, then waits for the last keystroke's result."""
        _, field = self.labelled("Name pattern")
        before = self.done()
        field.send_keys(Keys.CONTROL, "a")
        field.send_keys(Keys.BACKSPACE)
        field.send_keys(text)
        self.wait(lambda d: d.execute_script(
            "const b = document.body.dataset; return !b.busy && (b.done || '') !== arguments[0]"
            " && b.done === b.asked", before))

    def open(self, path):
        _, chooser = self.labelled("Choose a document…")
        self.act(lambda: chooser.send_keys(str(path)))

    def set_box(self, text, wanted):
        label, box = self.labelled(text)
        if box.is_selected() != wanted:
            self.act(label.click)

    def choose(self, options):
        label, radio = self.labelled("By row" if options["order"] == "row" else "By column")
        if not radio.is_selected():
            self.act(label.click)
        self.set_box("Right to left", options["right_to_left"])
        self.set_box("Bottom up", options["bottom_up"])
        _, tolerance = self.labelled("Tolerance (document units)")
        if tolerance.get_attribute("value") != options["tolerance"]:
            def type_it():
                tolerance.send_keys(Keys.CONTROL, "a")
                tolerance.send_keys(options["tolerance"])
            self.act(type_it)

    def text(self, element_id):
        return self.driver.find_element(By.ID, element_id).text

    def download(self, name, press=None):
        target = self.downloads / name
        target.unlink(missing_ok=True)
        button = self.button("Download")
        if not check(button.is_enabled(), f"{name}: Download is enabled"):
            return b""
        (press or button.click)()
        try:
            self.wait(lambda d: target.exists() and not any(self.downloads.glob("*.crdownload")), 30)
        except TimeoutException:
            check(False, f"{name}: the download arrived")
            return b""
        time.sleep(0.05)
        return target.read_bytes()


def start_browser(work, downloads):
    profile = work / "profile"
    shutil.rmtree(profile, ignore_errors=True)
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 f"--user-data-dir={profile}", "--window-size=1200,1600"):
        options.add_argument(flag)
    options.add_experimental_option("prefs", {
        "download.default_directory": str(downloads), "download.prompt_for_download": False,
        "download.directory_upgrade": True, "safebrowsing.enabled": False})
    options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
    service = Service(DRIVER, log_path=str(work / "chromedriver.log"))
    driver = webdriver.Chrome(service=service, options=options)
    driver.execute_cdp_cmd("Page.setDownloadBehavior",
                           {"behavior": "allow", "downloadPath": str(downloads)})
    return driver


def network_requests(driver):
    """URLs the browser asked for since the last call (the performance log)."""
    urls = []
    for entry in driver.get_log("performance"):
        message = json.loads(entry["message"])["message"]
        if message.get("method") == "Network.requestWillBeSent":
            url = message["params"]["request"]["url"]
            if not url.startswith(("data:", "blob:")):
                urls.append(url)
    return urls


def main():
    parser = argparse.ArgumentParser()
    for option in ("--page", "--host", "--source", "--work"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    page_dir, source, work = (pathlib.Path(p).resolve() for p in (args.page, args.source, args.work))
    for needed in (CHROMIUM, DRIVER, args.host):
        if not os.path.exists(needed):
            print(f"skipped: {needed} is missing")
            return SKIP
    shutil.rmtree(work, ignore_errors=True)
    downloads = work / "downloads"
    downloads.mkdir(parents=True)
    cases = json.loads((pathlib.Path(__file__).parent / "cases.json").read_text())
    examples = {str(source / "examples" / n) for n in os.listdir(source / "examples")}

    server = Server(page_dir)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_address[1]}/index.html"
    driver = start_browser(work, downloads)
    page = Page(driver, downloads)
    started = time.monotonic()
    try:
        page.load(url)
        network_requests(driver)
        loaded = len(server.requests)
        check(set(server.requests) >= {"/index.html", "/app.js", "/worker.js", "/quorvane.wasm"},
              f"the page loaded its files: {server.requests}")

        # Every document of the sample, downloads against native.
        runs = 0
        for path, name in documents(source, cases["browser_sample"]):
            folder = work / "native" / name
            folder.mkdir(parents=True, exist_ok=True)
            shutil.copyfile(path, folder / name)
            page.open(folder / name)
            combinations = COMBINATIONS if str(path) in examples else COMBINATIONS[::5]
            for options in combinations:
                status, expected, lines = native(args.host, folder, name, options)
                page.choose(options)
                label = f"{name} {options}"
                runs += 1
                if status != 0:
                    message = page.text("error")
                    check(message == lines[-1], f"{label}: the page says {message!r}, native {lines[-1]!r}")
                    check(page.button("Download").get_attribute("disabled") is not None,
                          f"{label}: nothing to download after a failure")
                    print(f"ok {name}: {message}", flush=True)
                    break
                warnings = [w.text for w in driver.find_elements(By.CSS_SELECTOR, "#warnings li")]
                native_warnings = [l for l in lines if l.startswith("quorvane-host: warning: ")]
                check([w.split("\n")[0] for w in warnings] == native_warnings,
                      f"{label}: warnings {warnings}, native {native_warnings}")
                got = page.download(name)
                check(got == expected, f"{label}: the download differs from native ({len(got)} and {len(expected)} bytes)")
            # Back to the current numbering for the next document.
            driver.execute_script("for (const r of document.querySelectorAll('input[name=order]')) r.checked = false;")
        print(f"ok {runs} option runs in the browser", flush=True)

        renaming(page, driver, args.host, source, work)

        # A file that is neither format.
        notes = work / "native" / "notes.txt"
        notes.write_text("not a document\n")
        _, chooser = page.labelled("Choose a document…")
        chooser.send_keys(str(notes))
        page.wait(lambda d: d.find_element(By.ID, "error").text != "")
        check(page.text("error") == "quorvane-host: notes.txt: is neither a .json nor an .svg document",
              f"notes.txt: the page says {page.text('error')!r}")

        # Nothing was asked of the network after the page had loaded.
        later = network_requests(driver)
        check(len(server.requests) == loaded and later == [],
              f"no request after load: server saw {server.requests[loaded:]}, browser {later}")

        # Dark mode: the page follows the browser's scheme.
        driver.execute_cdp_cmd("Emulation.setEmulatedMedia",
                               {"features": [{"name": "prefers-color-scheme", "value": "dark"}]})
        background = driver.execute_script("return getComputedStyle(document.body).backgroundColor")
        check(background == "rgb(22, 24, 28)", f"dark mode background {background}")
        driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": []})

        keyboard_flow(page, driver, args.host, source, work)
        page.driver.save_screenshot(str(work / "screenshot.png"))
        self_contained(page, driver, page_dir, args.host, source, work)
    finally:
        driver.quit()
        server.shutdown()
    print(f"browser tests took {time.monotonic() - started:.1f} s; screenshot: {work / 'screenshot.png'}")
    if FAILURES:
        print(f"{len(FAILURES)} failures")
        return 1
    return 0


def renaming(page, driver, host, source, work):
    """Number them by a name pattern, typed live: the download, the table, a bad pattern."""
    for name in ("zine-pages.svg", "festival-posters.json"):
        folder = work / "rename" / name
        folder.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(source / "examples" / name, folder / name)
        page.open(folder / name)
        options = dict(order="row", right_to_left=False, bottom_up=False, tolerance="0")
        page.choose(options)
        label, _ = page.labelled("Number them")
        check(not page.labelled("Name pattern")[1].is_enabled(), "Name pattern waits for Number them")
        page.act(label.click)
        for pattern in ("Page {n}", "{n:02} {name}"):
            page.type_pattern(pattern)
            _, expected, _ = native(host, folder, name, options, rename=pattern)
            got = page.download(name)
            check(got == expected, f"{name} --rename {pattern!r}: the download differs from native")
        names = [cell.text for cell in driver.find_elements(By.CSS_SELECTOR, "#table tbody td:nth-child(2)")]
        check(names and all(n.startswith(f"{k + 1:02} ") for k, n in enumerate(names)),
              f"{name}: the table shows the new names ({names})")
        page.type_pattern("Page {")
        status, _, lines = native(host, folder, name, options, rename="Page {")
        check(status == 2 and page.text("error") == lines[-1],
              f"{name}: a bad pattern shows {page.text('error')!r}, native {lines[-1]!r}")
        check(page.button("Download").get_attribute("disabled") is not None,
              f"{name}: nothing to download with a bad pattern")
        page.type_pattern("Page {n}")
        check(page.text("error") == "", f"{name}: the message goes once the pattern is mended")
        page.act(page.labelled("Keep names")[0].click)
        _, expected, _ = native(host, folder, name, options)
        check(page.download(name) == expected, f"{name}: Keep names downloads what native writes")
    driver.execute_script("for (const r of document.querySelectorAll('input[name=order]')) r.checked = false;")
    print("ok renaming", flush=True)


def keyboard_flow(page, driver, host, source, work):
    """The keyboard alone: the focus order, every control's label, the live region."""
    page.load(driver.current_url)
    name = "festival-posters.json"
    folder = work / "keyboard"
    folder.mkdir(parents=True, exist_ok=True)
    shutil.copyfile(source / "examples" / name, folder / name)
    for control in ("file", "by-row", "by-column", "right-to-left", "bottom-up", "tolerance",
                    "keep-names", "number-them", "name-pattern"):
        labels = driver.execute_script(
            "return [...document.getElementById(arguments[0]).labels].map(l => l.textContent.trim())",
            control)
        check(labels != [], f"{control} has a visible label")
    status = driver.find_element(By.ID, "status")
    check(status.get_attribute("aria-live") == "polite" and status.get_attribute("role") == "status",
          "the results are announced in a live region")
    # From the page's start (just loaded, nothing focused), Tab walks the controls in order.
    order = []
    active = lambda: driver.switch_to.active_element
    press = lambda key: ActionChains(driver).send_keys(key).perform()
    for _ in range(5):
        press(Keys.TAB)
        order.append(active().get_attribute("id") or active().tag_name)
    check(order == ["file", "by-row", "right-to-left", "bottom-up", "tolerance"],
          f"the focus order {order}")
    # Choosing the file itself is the system's dialog; the rest is keys alone.
    page.act(lambda: driver.find_element(By.ID, "file").send_keys(str(folder / name)))
    driver.execute_script("document.getElementById('file').focus()")
    press(Keys.TAB)                                          # to the order
    page.act(lambda: press(Keys.SPACE))                      # By row
    page.act(lambda: press(Keys.ARROW_RIGHT))                # By column
    check(driver.find_element(By.ID, "by-column").is_selected(), "the arrow keys choose By column")
    press(Keys.TAB)                                          # Right to left
    page.act(lambda: press(Keys.SPACE))
    for _ in range(3):
        press(Keys.TAB)                                      # Bottom up, Tolerance, Names
    check(active().get_attribute("id") == "keep-names", f"Names follow ({active().get_attribute('id')!r})")
    page.act(lambda: press(Keys.ARROW_RIGHT))                # Number them
    press(Keys.TAB)                                          # Name pattern ("Page {n}")
    check(active().get_attribute("id") == "name-pattern", f"then the Name pattern ({active().get_attribute('id')!r})")
    press(Keys.TAB)                                          # Download
    check(active().text == "Download", f"Download is reached by the keyboard ({active().text!r})")
    _, expected, _ = native(host, folder, name, dict(order="column", right_to_left=True,
                                                     bottom_up=False, tolerance="0"),
                            rename="Page {n}")
    check("renumbered by column, right to left" in status.text, f"the live region says {status.text!r}")
    got = page.download(name, press=lambda: press(Keys.ENTER))
    check(got == expected, "the keyboard flow's download equals native")
    print("ok keyboard flow", flush=True)


def self_contained(page, driver, page_dir, host, source, work):
    """quorvane.html opened from disk with the network off."""
    network_requests(driver)  # what the pages before it asked for
    driver.execute_cdp_cmd("Network.enable", {})
    driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
    page.load((page_dir / "quorvane.html").as_uri())
    name = "zine-pages.svg"
    folder = work / "self-contained"
    folder.mkdir(parents=True, exist_ok=True)
    shutil.copyfile(source / "examples" / name, folder / name)
    page.open(folder / name)
    options = dict(order="column", right_to_left=False, bottom_up=True, tolerance="0")
    page.choose(options)
    _, expected, _ = native(host, folder, name, options)
    check(page.download(name) == expected, "quorvane.html from disk: the download equals native")
    requests = [u for u in network_requests(driver) if not u.startswith("file:")]
    check(requests == [], f"quorvane.html from disk asked the network for {requests}")
    print("ok self-contained page from disk", flush=True)


if __name__ == "__main__":
    sys.exit(main())
