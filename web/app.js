// The page: opens a document, keeps the options, asks the worker for the numbering and shows
// what comes back. Nothing is sent anywhere: the document is read from the user's own disk and
// renumbered in this browser.
"use strict";

(function () {
  const $ = (id) => document.getElementById(id);
  const controls = {
    file: $("file"), byRow: $("by-row"), byColumn: $("by-column"),
    rightToLeft: $("right-to-left"), bottomUp: $("bottom-up"), tolerance: $("tolerance"),
    keepNames: $("keep-names"), numberThem: $("number-them"), pattern: $("name-pattern"),
    download: $("download"),
  };
  const state = {
    name: "", ready: false, opened: false, running: false, pending: false, next: 1,
    result: null, pictureUrl: null,
  };

  function say(text) { $("status").textContent = text; }

  function makeWorker() {
    const bundled = $("worker-source");
    if (!bundled) {
      return {worker: new Worker("worker.js"), wasm: null};
    }
    const decode = (id) => Uint8Array.from(atob($(id).textContent.trim()), (c) => c.charCodeAt(0));
    const source = new Blob([decode("worker-source")], {type: "text/javascript"});
    return {worker: new Worker(URL.createObjectURL(source)), wasm: decode("engine-wasm")};
  }

  const made = makeWorker();
  const worker = made.worker;
  worker.onmessage = (event) => handle(event.data);
  worker.onerror = (event) => {
    say("");
    showError("The engine could not start: " + (event.message || "unknown reason"));
  };
  worker.postMessage({type: "init", wasm: made.wasm});

  function order() {
    if (controls.byRow.checked) return 0;
    if (controls.byColumn.checked) return 1;
    return -1;  // the current numbering
  }

  function tolerance() {
    const text = controls.tolerance.value.trim();
    return text === "" ? 0 : Number(text);
  }

  // The name pattern as `--rename` would take it, or null to keep the names.
  function rename() {
    return controls.numberThem.checked ? controls.pattern.value : null;
  }

  function request() {
    if (!state.ready || !state.opened) return;
    if (state.running) { state.pending = true; return; }
    state.running = true;
    state.pending = false;
    const id = state.next++;
    state.current = id;
    document.body.dataset.busy = "true";
    document.body.dataset.asked = String(id);
    worker.postMessage({type: "run", id, order: order(), tolerance: tolerance(),
                        rightToLeft: controls.rightToLeft.checked,
                        bottomUp: controls.bottomUp.checked, rename: rename()});
  }

  function showError(text) {
    $("error").textContent = text;
    $("error").hidden = !text;
  }

  function showWarnings(warnings) {
    const list = $("warnings");
    list.replaceChildren(...warnings.map((w) => {
      const item = document.createElement("li");
      item.textContent = w;
      return item;
    }));
    list.hidden = warnings.length === 0;
  }

  function showTable(rows, caption) {
    const body = $("table").tBodies[0];
    const cell = (text, number) => {
      const td = document.createElement("td");
      td.textContent = text;
      if (number) td.className = "number";
      return td;
    };
    body.replaceChildren(...rows.map((row) => {
      const tr = document.createElement("tr");
      tr.append(cell(row.number, true), cell(row.name), cell(row.left, true), cell(row.top, true),
                cell(row.was, true));
      return tr;
    }));
    $("table-caption").textContent = caption;
  }

  function showPicture(svg, caption) {
    if (state.pictureUrl) URL.revokeObjectURL(state.pictureUrl);
    state.pictureUrl = URL.createObjectURL(new Blob([svg], {type: "image/svg+xml"}));
    $("picture").src = state.pictureUrl;
    $("picture").alt = caption;
    $("picture-caption").textContent = caption;
  }

  function handle(message) {
    if (message.type === "ready") {
      state.ready = true;
      document.body.dataset.engine = "ready";
      say(state.opened ? "" : "Ready. Choose a document to begin.");
      request();
      return;
    }
    if (message.type === "failed") {
      showError("The engine could not start: " + message.text);
      return;
    }
    if (message.type === "progress") {
      say(message.text);
      return;
    }
    if (message.type !== "result") return;
    state.running = false;
    delete document.body.dataset.busy;
    if (state.pending) { request(); return; }
    const report = message.report;
    showWarnings(report.warnings || []);
    if (message.status !== 0) {
      state.result = null;
      controls.download.disabled = true;
      $("result-section").hidden = true;
      showError(report.error);
      say("Nothing to download: " + state.name + " could not be renumbered.");
      document.body.dataset.done = String(message.id);
      return;
    }
    showError("");
    const showing = order() < 0;
    state.result = showing ? null : message.document;
    controls.download.disabled = showing;
    $("result-section").hidden = false;
    const caption = showing ? state.name + ": the current numbering (" + report.rows.length +
                                  " artboards)"
                            : state.name + ": " + report.summary;
    showTable(report.rows, caption);
    showPicture(message.picture, caption);
    say(showing ? caption + ". Choose By row or By column to renumber." : caption + ".");
    document.body.dataset.done = String(message.id);
  }

  function open(file) {
    if (!file) return;
    const lower = file.name.toLowerCase();
    state.name = file.name;
    $("file-name").textContent = file.name;
    showWarnings([]);
    state.result = null;
    controls.download.disabled = true;
    if (!lower.endsWith(".svg") && !lower.endsWith(".json")) {
      state.opened = false;
      $("result-section").hidden = true;
      showError("quorvane-host: " + file.name + ": is neither a .json nor an .svg document");
      return;
    }
    say("Reading " + file.name + "…");
    file.arrayBuffer().then((bytes) => {
      worker.postMessage({type: "open", name: file.name, bytes}, [bytes]);
      state.opened = true;
      request();
    }, (error) => showError("quorvane-host: " + file.name + ": cannot be read: " + error));
  }

  controls.file.addEventListener("change", () => open(controls.file.files[0]));
  for (const control of [controls.byRow, controls.byColumn, controls.rightToLeft,
                         controls.bottomUp]) {
    control.addEventListener("change", request);
  }
  // The pattern can be typed only while the artboards are to be numbered (and stays as typed).
  function namesChosen() {
    controls.pattern.disabled = !controls.numberThem.checked;
  }
  namesChosen();
  for (const control of [controls.keepNames, controls.numberThem]) {
    control.addEventListener("change", () => { namesChosen(); request(); });
  }
  controls.pattern.addEventListener("input", request);
  controls.tolerance.addEventListener("input", () => {
    const value = tolerance();
    if (!Number.isFinite(value) || value < 0) {
      showError("The tolerance must be a number of document units, 0 or more, not \"" +
                controls.tolerance.value + "\"");
      return;
    }
    request();
  });

  controls.download.addEventListener("click", () => {
    if (!state.result) return;
    const type = state.name.toLowerCase().endsWith(".svg") ? "image/svg+xml" : "application/json";
    const url = URL.createObjectURL(new Blob([state.result], {type}));
    const link = document.createElement("a");
    link.href = url;
    link.download = state.name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
    say("Downloaded " + state.name + ".");
  });

  // Drop a file anywhere on the page.
  let depth = 0;
  document.addEventListener("dragenter", (e) => { e.preventDefault(); depth++; document.body.classList.add("dragging"); });
  document.addEventListener("dragleave", () => { if (--depth <= 0) { depth = 0; document.body.classList.remove("dragging"); } });
  document.addEventListener("dragover", (e) => e.preventDefault());
  document.addEventListener("drop", (e) => {
    e.preventDefault();
    depth = 0;
    document.body.classList.remove("dragging");
    if (e.dataTransfer && e.dataTransfer.files.length > 0) open(e.dataTransfer.files[0]);
  });
})();
