// The web engine plays the same game as the editor's: runs the host half
// (lurvik_web_trace) for a game, plays the packed tables it wrote with the
// same scripted input in the WebAssembly module, and compares both traces
// frame by frame: the level, every instance's position and life, every
// variable and the upper screen's rows.
//
//   node same_game.mjs ENGINE.wasm TRACE_PROGRAM GAME.lvk WORK_FOLDER FRAMES
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import path from "node:path";

const [wasmFile, traceProgram, gameFile, work, framesText] = process.argv.slice(2);
fs.mkdirSync(work, { recursive: true });
const packedFile = path.join(work, "packed.bin");
const scriptFile = path.join(work, "script.txt");
const host = execFileSync(traceProgram, [gameFile, packedFile, scriptFile, framesText],
                          { maxBuffer: 1 << 30, encoding: "latin1" }).split("\n").filter((l) => l);

const { instance } = await WebAssembly.instantiate(fs.readFileSync(wasmFile), {});
const w = instance.exports;
const packed = fs.readFileSync(packedFile);
const at = w.lvk_web_alloc(packed.length);
new Uint8Array(w.memory.buffer, at, packed.length).set(packed);
const loaded = w.lvk_web_load(at, packed.length);
if (loaded !== 0) {
  console.error(`${gameFile}: the module refuses the packed tables (${loaded})`);
  process.exit(1);
}

function printable(bytes) {
  let out = "";
  for (const c of bytes) out += c >= 32 && c < 127 && c !== 92 ? String.fromCharCode(c) : "\\x" + c.toString(16).padStart(2, "0");
  return out;
}

function traceLine() {
  let line = `F${w.lvk_web_frame()} L${w.lvk_web_level()} I`;
  const count = w.lvk_web_instance_count();
  for (let s = 0; s < count; ++s)
    line += ` ${s}:${w.lvk_web_instance_alive(s)},${w.lvk_web_instance_x(s)},${w.lvk_web_instance_y(s)}`;
  line += " V";
  for (let v = 0; v < w.lvk_web_variable_count(); ++v) {
    const slots = w.lvk_web_variable_scope(v) === 1 ? count : 1;
    for (let s = 0; s < slots; ++s) line += " " + w.lvk_web_variable(v, s);
  }
  line += " T";
  for (let r = 0; r < 24; ++r) {
    const row = new Uint8Array(w.memory.buffer, w.lvk_web_text_row(r), 32);
    let end = 32;
    while (end > 0 && row[end - 1] === 32) --end;
    line += "|" + printable(row.subarray(0, end));
  }
  return line;
}

const script = fs.readFileSync(scriptFile, "utf8").split("\n").filter((l) => l).map((l) => l.split(" ").map(Number));
const web = [traceLine()];
for (const [keys, x, y] of script) {
  w.lvk_web_step(keys, x, y);
  web.push(traceLine());
}

const name = path.basename(gameFile);
if (host.length !== web.length) {
  console.error(`${name}: the host traced ${host.length} frames, the module ${web.length}`);
  process.exit(1);
}
for (let f = 0; f < host.length; ++f) {
  if (host[f] === web[f]) continue;
  let c = 0;
  while (host[f][c] === web[f][c]) ++c;
  const from = Math.max(0, c - 60);
  console.error(`${name}: frame ${f} differs at character ${c}:\n  host: ...${host[f].slice(from, c + 60)}\n  web:  ...${web[f].slice(from, c + 60)}`);
  process.exit(1);
}
const levels = new Set(host.map((l) => l.split(" ")[1]));
console.log(`${name}: ${host.length} frames alike (levels ${[...levels].join(" ")})`);
