// The exported page in a real browser: the system's chromium, headless,
// opens the page from its file. Both screens are drawn before any input, a
// held arrow key moves the hero (an instance that stands still while no key
// is held), a high score survives a reload (localStorage), the key line is
// whole in a small window, and nothing is reported on the page's console.
//
//   node browser.mjs PAGE.html CHROMIUM SCREENSHOT.png
import puppeteer from "puppeteer-core";
import fs from "node:fs";
import path from "node:path";

const [page_file, chromium, screenshot] = process.argv.slice(2);
const failures = [];
const problems = [];
const fail = (text) => failures.push(text);

const browser = await puppeteer.launch({
  executablePath: chromium,
  headless: true,
  args: ["--no-sandbox", "--disable-gpu", "--window-size=800,900"],
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 800, height: 900 });
  page.on("console", (m) => { if (m.type() === "error" || m.type() === "warn") problems.push(`console ${m.type()}: ${m.text()}`); });
  page.on("pageerror", (e) => problems.push(`page error: ${e.message}`));
  await page.goto("file://" + path.resolve(page_file), { waitUntil: "load" });
  await page.waitForFunction(() => window.lurvikGame && window.lurvikGame.frames() > 30, { timeout: 10000 });

  // Before any input: both screens drawn.
  const screens = await page.evaluate(() => {
    const c = document.getElementById("lvk-screens");
    const d = c.getContext("2d").getImageData(0, 0, c.width, c.height).data;
    const count = (top, bottom) => {
      const colours = new Set();
      let white = 0;
      for (let y = top; y < bottom; ++y)
        for (let x = 0; x < c.width; ++x) {
          const i = (y * c.width + x) * 4;
          colours.add((d[i] << 16) | (d[i + 1] << 8) | d[i + 2]);
          if (d[i] === 255 && d[i + 1] === 255 && d[i + 2] === 255) ++white;
        }
      return { colours: colours.size, white };
    };
    return { upper: count(0, 192), lower: count(c.height - 192, c.height), error: document.getElementById("lvk-error").style.display,
             width: c.getBoundingClientRect().width };
  });
  if (screens.upper.white < 200) fail(`the upper screen shows no text (${screens.upper.white} white pixels)`);
  if (screens.lower.colours < 4) fail(`the lower screen shows ${screens.lower.colours} colours: not the level`);
  if (screens.error === "block") fail("the page shows an error");
  if (screens.width !== 512) fail(`the screens are ${screens.width} pixels wide in an 800x900 window, not at zoom 2`);

  const positions = () => page.evaluate(() => {
    const w = window.lurvikGame.exports;
    const out = [];
    for (let s = 0; s < w.lvk_web_instance_count(); ++s)
      out.push({ alive: w.lvk_web_instance_alive(s), x: w.lvk_web_instance_x(s) / 16, y: w.lvk_web_instance_y(s) / 16 });
    return out;
  });
  const frame = () => page.evaluate(() => window.lurvikGame.frames());
  const waitFrames = async (n) => {
    const until = (await frame()) + n;
    await page.waitForFunction((f) => window.lurvikGame.frames() >= f, { timeout: 10000 }, until);
  };
  const idleFrom = await positions();
  await waitFrames(30);
  const idleTo = await positions();
  await page.keyboard.down("ArrowRight");
  await waitFrames(30);
  await page.keyboard.up("ArrowRight");
  const held = await positions();
  const hero = idleFrom.findIndex((p, s) => p.alive && idleTo[s].alive && held[s].alive && p.x === idleTo[s].x &&
                                             p.y === idleTo[s].y && held[s].x >= idleTo[s].x + 8);
  if (hero < 0) fail("no instance that stands still without keys moved right while the right arrow was held");
  else console.log(`the hero (slot ${hero}) walked from x ${idleTo[hero].x} to ${held[hero].x}`);

  // The key was the first input: the sound is on.
  const bar = await page.evaluate(() => document.getElementById("lvk-bar").textContent);
  if (/No sound|Sound starts/.test(bar)) fail(`the sound did not start: ${bar}`);

  await page.screenshot({ path: screenshot });
  const hidden = await page.evaluate(() => document.getElementById("lvk-error").style.display);
  if (hidden === "block") fail("the page shows an error after playing");

  // A high score survives a reload: the sample played to its end on the
  // page (right past four coins, then the clock runs out), the initials
  // entered, the page opened again from its file.
  const scored = await page.evaluate(() => {
    const w = window.lurvikGame.exports, RIGHT = 16, A = 1;
    for (let i = 0; i < 150; ++i) w.lvk_web_step(RIGHT, 0, 0);
    for (let i = 0; i < 91 * 60; ++i) w.lvk_web_step(0, 0, 0);
    w.lvk_web_step(A, 0, 0);
    w.lvk_web_step(0, 0, 0);
    window.lurvikGame.keepStore();
    return { best: w.lvk_web_high_score(0), kept: (window.localStorage.getItem("lurvik-save:" + document.title) || "").length };
  });
  if (scored.best !== 40) fail(`the game's end kept the high score ${scored.best}, not 40`);
  if (scored.kept < 5000) fail(`localStorage keeps ${scored.kept} characters of Base64, not a store's 5,464`);
  await page.reload({ waitUntil: "load" });
  await page.waitForFunction(() => window.lurvikGame && window.lurvikGame.frames() > 5, { timeout: 10000 });
  const reloaded = await page.evaluate(() => window.lurvikGame.exports.lvk_web_high_score(0));
  if (reloaded !== 40) fail(`after a reload the high score is ${reloaded}, not 40`);
  else console.log("the high score 40 survived a reload");

  // In an 800x600 window the key line wraps: all of it in view, below the
  // screens, nothing cut off.
  const small = await browser.newPage();
  await small.setViewport({ width: 800, height: 600 });
  await small.goto("file://" + path.resolve(page_file), { waitUntil: "load" });
  await small.waitForFunction(() => window.lurvikGame && window.lurvikGame.frames() > 5, { timeout: 10000 });
  const line = await small.evaluate(() => {
    const b = document.getElementById("lvk-bar"), r = b.getBoundingClientRect();
    const s = document.getElementById("lvk-screens").getBoundingClientRect();
    return { text: b.textContent, cut: b.scrollWidth > b.clientWidth || b.scrollHeight > b.clientHeight,
             top: r.top, bottom: r.bottom, screensBottom: s.bottom, height: window.innerHeight };
  });
  if (!/Select:\s.*Pen: mouse or touch on the lower screen$/.test(line.text)) fail(`the key line says: ${line.text}`);
  if (line.cut) fail("the key line is cut off in an 800x600 window");
  if (line.bottom > line.height) fail(`the key line ends at ${line.bottom}, below the 600-pixel window`);
  if (line.screensBottom > line.top) fail(`the screens (to ${line.screensBottom}) cover the key line (from ${line.top})`);
  await small.screenshot({ path: screenshot.replace(/\.png$/, "") + "-800x600.png" });

  // A page whose game data was damaged on its way says so, on the page.
  const damagedFile = path.join(path.dirname(page_file), "Damaged.html");
  fs.writeFileSync(damagedFile, fs.readFileSync(page_file, "latin1").replace('id="lvk-game">', 'id="lvk-game">AAAAAAAA'), "latin1");
  const damaged = await browser.newPage();
  await damaged.goto("file://" + path.resolve(damagedFile), { waitUntil: "load" });
  await damaged.waitForFunction(() => document.getElementById("lvk-error").style.display === "block", { timeout: 10000 })
    .catch(() => fail("a page with damaged game data shows no error"));
  const said = await damaged.evaluate(() => document.getElementById("lvk-error").textContent);
  if (!/game data/.test(said)) fail(`the damaged page says: ${said}`);
} finally {
  await browser.close();
}
for (const p of problems) fail(p);
if (failures.length) {
  for (const f of failures) console.error("FAILED: " + f);
  process.exit(1);
}
console.log("the page plays in chromium");
