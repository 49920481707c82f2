// The page's worker: runs the engine (the module and host in WebAssembly) off the main thread.
// Messages in: {type: "init", wasm?}, {type: "open", name, bytes}, {type: "run", id, order,
// tolerance, rightToLeft, bottomUp, rename} (rename: a name pattern, or null to keep names). Messages out: {type: "ready"}, {type: "progress", id,
// text}, {type: "result", id, status, report, document, picture}, {type: "failed", text}.
"use strict";

let engine = null;
let documentName = "";
let documentBytes = null;

function start(wasm) {
  if (typeof QuorvaneEngine === "undefined") {
    importScripts("quorvane.js");
  }
  const settings = {print: () => {}, printErr: () => {}};
  if (wasm) {
    settings.wasmBinary = wasm;
  }
  QuorvaneEngine(settings).then((instance) => {
    engine = instance;
    postMessage({type: "ready"});
  }, (error) => postMessage({type: "failed", text: String(error)}));
}

// Copies `bytes` into the engine's memory; the caller frees the address.
function place(bytes) {
  const address = engine._quorvane_alloc(bytes.length);
  if (!address) {
    throw new Error("out of memory");
  }
  engine.HEAPU8.set(bytes, address);
  return address;
}

function output(which) {
  const address = engine._quorvane_output(which);
  const size = engine._quorvane_output_size(which);
  return engine.HEAPU8.slice(address, address + size);
}

function run(message) {
  const encoder = new TextEncoder();
  const decoder = new TextDecoder();
  postMessage({type: "progress", id: message.id,
               text: (message.order < 0 ? "Reading " : "Renumbering ") + documentName + "…"});
  const name = place(encoder.encode(documentName + "\0"));
  const bytes = place(documentBytes);
  const pattern = typeof message.rename === "string" ? place(encoder.encode(message.rename + "\0"))
                                                     : 0;
  let status;
  try {
    status = engine._quorvane_renumber(name, bytes, documentBytes.length, message.order,
                                       message.tolerance, message.rightToLeft ? 1 : 0,
                                       message.bottomUp ? 1 : 0, pattern);
  } finally {
    engine._quorvane_free(name);
    engine._quorvane_free(bytes);
    if (pattern) engine._quorvane_free(pattern);
  }
  const report = JSON.parse(decoder.decode(output(2)));
  const document = output(0);
  const picture = decoder.decode(output(1));
  postMessage({type: "result", id: message.id, status, report, document, picture},
              [document.buffer]);
}

onmessage = (event) => {
  const message = event.data;
  try {
    if (message.type === "init") {
      start(message.wasm);
    } else if (message.type === "open") {
      documentName = message.name;
      documentBytes = new Uint8Array(message.bytes);
    } else if (message.type === "run") {
      run(message);
    }
  } catch (error) {
    postMessage({type: "result", id: message.id, status: 2,
                 report: {status: 2, error: "quorvane-host: " + documentName + ": " + String(error)},
                 document: new Uint8Array(0), picture: ""});
  }
};
