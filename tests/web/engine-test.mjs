// The web page's engine under node against native quorvane-host: for every document of
// cases.json and every option combination, the engine's document, picture, warnings, summary
// and (for a document that cannot be read) message must be what the command line writes; then
// a few name patterns (--rename), good and bad, alike.
//
//   node --no-experimental-fetch engine-test.mjs PAGE NATIVE-HOST SOURCE WORK
import {execFileSync, spawnSync} from "node:child_process";
import fs from "node:fs";
import {createRequire} from "node:module";
import path from "node:path";

const [page, host, source, work] = process.argv.slice(2).map((p) => path.resolve(p));
if (!fs.existsSync(host)) {
  console.log(`skipped: ${host} is not built (the native tree builds it)`);
  process.exit(77);
}
const require = createRequire(import.meta.url);
const QuorvaneEngine = require(path.join(page, "quorvane.js"));
const engine = await QuorvaneEngine({
  wasmBinary: fs.readFileSync(path.join(page, "quorvane.wasm")),
  print: () => {}, printErr: () => {},
});

export function documents(sourceDir, patterns) {
  const found = [];
  for (const pattern of patterns) {
    if (pattern.endsWith("/*")) {
      const folder = path.join(sourceDir, pattern.slice(0, -2));
      for (const name of fs.readdirSync(folder).sort()) found.push(path.join(folder, name));
    } else {
      found.push(path.join(sourceDir, pattern));
    }
  }
  return found.map((file) => {
    let name = path.basename(file);
    if (!/\.(svg|json)$/i.test(name)) {
      const first = fs.readFileSync(file, "utf8").trimStart()[0];
      name += first === "{" ? ".json" : ".svg";
    }
    return {file, name};
  });
}

function runEngine(name, bytes, options) {
  const encoder = new TextEncoder();
  const nameBytes = encoder.encode(name + "\0");
  const namePointer = engine._quorvane_alloc(nameBytes.length);
  engine.HEAPU8.set(nameBytes, namePointer);
  const bytesPointer = engine._quorvane_alloc(bytes.length);
  engine.HEAPU8.set(bytes, bytesPointer);
  let patternPointer = 0;
  if (options.rename !== undefined) {
    const patternBytes = encoder.encode(options.rename + "\0");
    patternPointer = engine._quorvane_alloc(patternBytes.length);
    engine.HEAPU8.set(patternBytes, patternPointer);
  }
  const status = engine._quorvane_renumber(namePointer, bytesPointer, bytes.length,
                                           options.order, options.tolerance,
                                           options.rightToLeft ? 1 : 0, options.bottomUp ? 1 : 0,
                                           patternPointer);
  engine._quorvane_free(namePointer);
  engine._quorvane_free(bytesPointer);
  if (patternPointer) engine._quorvane_free(patternPointer);
  const output = (which) => {
    const at = engine._quorvane_output(which);
    return Buffer.from(engine.HEAPU8.slice(at, at + engine._quorvane_output_size(which)));
  };
  return {status, document: output(0), picture: output(1),
          report: JSON.parse(output(2).toString("utf8"))};
}

function runNative(folder, name, options) {
  const out = "out" + path.extname(name);
  for (const file of [out, "picture.svg"]) fs.rmSync(path.join(folder, file), {force: true});
  const args = ["renumber", "--by", options.order === 1 ? "column" : "row"];
  if (options.rightToLeft) args.push("--right-to-left");
  if (options.bottomUp) args.push("--bottom-up");
  if (options.tolerance) args.push("--tolerance", String(options.tolerance));
  if (options.rename !== undefined) args.push("--rename", options.rename);
  args.push("--output", out, "--picture", "picture.svg", name);
  const run = spawnSync(host, args, {cwd: folder, encoding: "buffer"});
  const read = (file) => fs.existsSync(path.join(folder, file))
                             ? fs.readFileSync(path.join(folder, file)) : Buffer.alloc(0);
  return {status: run.status, stdout: run.stdout.toString("utf8"),
          stderr: run.stderr.toString("utf8"), document: read(out), picture: read("picture.svg")};
}

export const combinations = [];
for (const order of [0, 1]) {
  for (const rightToLeft of [false, true]) {
    for (const bottomUp of [false, true]) {
      for (const tolerance of [0, 2]) combinations.push({order, rightToLeft, bottomUp, tolerance});
    }
  }
}

const cases = JSON.parse(fs.readFileSync(new URL("./cases.json", import.meta.url), "utf8"));
let failures = 0;
let checked = 0;
const fail = (what) => { failures++; console.log("FAIL " + what); };

// Runs the engine and native quorvane-host alike on the document `name` (its bytes also in
// `folder`) and compares everything; returns the native status, or null when the statuses
// differ.
function compare(folder, name, bytes, options) {
  const label = `${name} ${JSON.stringify(options)}`;
  const native = runNative(folder, name, options);
  const web = runEngine(name, bytes, options);
  checked++;
  if (web.status !== native.status) {
    fail(`${label}: status ${web.status}, native ${native.status}: ${native.stderr}`);
    return null;
  }
  const nativeLines = native.stderr.split("\n").filter((line) => line !== "");
  if (native.status !== 0) {
    const expected = nativeLines[nativeLines.length - 1];
    if (web.report.error !== expected) fail(`${label}: message ${web.report.error}, native ${expected}`);
    if (web.document.length !== 0) fail(`${label}: a document after a failure`);
    return native.status;
  }
  if (!web.document.equals(native.document)) fail(`${label}: the document differs from native`);
  if (!web.picture.equals(native.picture)) fail(`${label}: the picture differs from native`);
  const warnings = native.stderr.split(/\n(?=quorvane-host: )/).map((w) => w.replace(/\n$/, ""))
                       .filter((w) => w !== "");
  if (JSON.stringify(web.report.warnings) !== JSON.stringify(warnings)) {
    fail(`${label}: warnings ${JSON.stringify(web.report.warnings)}, native ${JSON.stringify(warnings)}`);
  }
  const summary = native.stdout.split("\n")[0].replace(/^out\.(json|svg): /, "");
  if (web.report.summary !== summary) fail(`${label}: summary ${web.report.summary}, native ${summary}`);
  return native.status;
}

function copyIn(file, name) {
  const folder = path.join(work, name);
  fs.mkdirSync(folder, {recursive: true});
  const bytes = fs.readFileSync(file);
  fs.writeFileSync(path.join(folder, name), bytes);
  return {folder, bytes};
}

for (const {file, name} of documents(source, cases.documents)) {
  const {folder, bytes} = copyIn(file, name);
  for (const options of combinations) {
    const status = compare(folder, name, bytes, options);
    if (status !== null && status !== 0) {
      const web = runEngine(name, bytes, options);
      if (options.order === 0 && !options.rightToLeft && !options.bottomUp && !options.tolerance) {
        console.log(`ok ${name}: ${web.report.error}`);
      }
      break;  // a document that cannot be read fails alike under every option
    }
  }
}

// Renaming: each pattern on each of its documents, by row and by column, the names in the
// document, the picture and the table as --rename gives them; a bad pattern refused with the
// command line's message, also when the document cannot be read.
for (const {document, patterns} of cases.rename) {
  const [{file, name}] = documents(source, [document]);
  const {folder, bytes} = copyIn(file, name);
  for (const rename of patterns) {
    for (const order of [0, 1]) {
      const options = {order, rightToLeft: false, bottomUp: order === 1, tolerance: 0, rename};
      const status = compare(folder, name, bytes, options);
      // The table shows the new names (the document's are compared above).
      const rows = status === 0 ? runEngine(name, bytes, options).report.rows : [];
      if (rename === "Page {n}" && !rows.every((row) => row.name === `Page ${row.number}`)) {
        fail(`${name} ${JSON.stringify(options)}: the table's names ${JSON.stringify(rows)}`);
      }
    }
  }
  console.log(`ok ${name}: ${patterns.length} name patterns`);
}
console.log(`${checked} runs checked, ${failures} failed`);
process.exit(failures === 0 ? 0 : 1);
