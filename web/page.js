// The page's loader: starts the engine module with the game's tables and
// moves bytes between it and the browser: keys, pen, game pad in; the two
// screens and the sound out. The rules of play, the drawing and the mixing
// are the module's. Any failure ends on the page as a message, never blank.
"use strict";
(function () {
  const FPS = 60;               // the DS's frames a second
  const MAX_CATCH_UP = 4;       // after a stall the game slows down instead of jumping
  const MAX_QUEUED = 32;        // input changes waiting for their frames
  const WIDTH = 256, SCREEN_HEIGHT = 192;
  const UNPACK_ERRORS = {
    1: "The game data in this page is not readable.",
    2: "The game data in this page is cut short.",
    3: "The game data in this page was made for another version of the engine.",
    4: "The game data in this page does not fit together."
  };
  // The play window's key names (Qt's) as the browser names them.
  const DOM_KEYS = { Up: "ArrowUp", Down: "ArrowDown", Left: "ArrowLeft", Right: "ArrowRight", Return: "Enter" };
  // The standard game pad's buttons, by the DS key each stands for (where
  // the DS has its A, B, X and Y).
  const PAD_BUTTONS = { 0: "B", 1: "A", 2: "Y", 3: "X", 4: "L", 5: "R", 8: "Select", 9: "Start",
                        12: "Up", 13: "Down", 14: "Left", 15: "Right" };

  const canvas = document.getElementById("lvk-screens");
  const bar = document.getElementById("lvk-bar");
  const errorBox = document.getElementById("lvk-error");
  let failed = false;

  function showError(text) {
    failed = true;
    errorBox.textContent = "This game stopped with an error:\n\n" + text;
    errorBox.style.display = "block";
    bar.textContent = "";
  }
  window.addEventListener("error", (e) => showError(e.message || String(e.error)));
  window.addEventListener("unhandledrejection", (e) => showError(String(e.reason && e.reason.message || e.reason)));

  function bytesOf(id) {
    const text = document.getElementById(id).textContent.replace(/\s+/g, "");
    const raw = atob(text);
    const out = new Uint8Array(raw.length);
    for (let i = 0; i < raw.length; ++i) out[i] = raw.charCodeAt(i);
    return out;
  }

  async function start() {
    if (typeof WebAssembly !== "object") throw new Error("This browser cannot run WebAssembly.");
    const { instance } = await WebAssembly.instantiate(bytesOf("lvk-engine"), {});
    const w = instance.exports;
    const memory = () => w.memory.buffer;
    const cString = (at, max) => {
      const b = new Uint8Array(memory(), at, max || 256);
      let n = 0;
      while (n < b.length && b[n]) ++n;
      return String.fromCharCode.apply(null, b.subarray(0, n));
    };

    // Saved games: the store in localStorage, Base64, under the game's name
    // (also for a page opened from a disk, whose origin is its file).
    const storeKey = "lurvik-save:" + document.title;
    const STORE_SIZE = 4096;
    let storeNote = "";
    try {
      const kept = window.localStorage.getItem(storeKey);
      if (kept) {
        const raw = atob(kept);
        const room = new Uint8Array(memory(), w.lvk_web_store(), STORE_SIZE);
        for (let i = 0; i < raw.length && i < STORE_SIZE; ++i) room[i] = raw.charCodeAt(i);
        w.lvk_web_store_set_length(raw.length);
      }
    } catch (e) {
      storeNote = "This browser keeps no saved games here.";
    }
    function keepStore() {
      if (!w.lvk_web_store_taken()) return;
      const room = new Uint8Array(memory(), w.lvk_web_store(), STORE_SIZE);
      try {
        window.localStorage.setItem(storeKey, btoa(String.fromCharCode.apply(null, room)));
      } catch (e) {
        storeNote = "The game could not be saved in this browser.";
        showKeys();
      }
    }

    const game = bytesOf("lvk-game");
    const at = w.lvk_web_alloc(game.length);
    if (!at) throw new Error("There is not enough memory for the game.");
    new Uint8Array(memory(), at, game.length).set(game);
    const loaded = w.lvk_web_load(at, game.length);
    if (loaded !== 0) showError(UNPACK_ERRORS[loaded] || "The game data cannot be read (" + loaded + ").");
    if (!storeNote && w.lvk_web_store_note()) storeNote = cString(w.lvk_web_store_note()) + ".";

    // The play window's key table, from the module.
    const keys = [];
    for (let i = 0; i < w.lvk_web_key_count(); ++i)
      keys.push({ bit: w.lvk_web_key_bit(i), name: cString(w.lvk_web_key_name(i)), ds: cString(w.lvk_web_key_ds_name(i)) });
    const TOUCH = w.lvk_web_touch_bit();
    const keyOf = (e) => keys.findIndex((k) => (DOM_KEYS[k.name] || k.name).toLowerCase() === e.key.toLowerCase());
    const bitOfDs = (name) => {
      const k = keys.find((k) => k.ds === name || (k.ds === "D-pad" && k.name === name));
      return k ? k.bit : 0;
    };

    // ---- Input: held now, and the changes waiting for their frames ----
    let heldKeys = 0, padKeys = 0, pen = null;
    let now = { keys: 0, x: 0, y: 0 }, stepped = { keys: 0, x: 0, y: 0 };
    const queued = [];
    const same = (a, b) => a.keys === b.keys && a.x === b.x && a.y === b.y;
    // A change joins the last waiting frame unless it undoes a change of
    // that frame: then it waits a frame of its own, so the engine sees a
    // key pressed and let go between two frames.
    function inputChanged() {
      const input = { keys: heldKeys | padKeys | (pen ? TOUCH : 0), x: pen ? pen.x : 0, y: pen ? pen.y : 0 };
      now = input;
      const last = queued.length ? queued[queued.length - 1] : stepped;
      if (same(input, last)) return;
      const before = queued.length > 1 ? queued[queued.length - 2] : stepped;
      const undoes = ((input.keys ^ last.keys) & (last.keys ^ before.keys)) !== 0;
      if (!queued.length || (undoes && queued.length < MAX_QUEUED)) queued.push(input);
      else queued[queued.length - 1] = input;
    }
    function releaseAll() {
      heldKeys = padKeys = 0;
      pen = null;
      inputChanged();
    }

    // ---- Sound: browsers allow it only after the user's first input ----
    // The module mixes a little ahead of the sound device's clock, each
    // frame, and an audio worklet plays the blocks in order; where the
    // browser has no worklets (pages not served securely) a script
    // processor asks the module for each block itself.
    const AHEAD = 0.08;          // seconds mixed ahead of the device
    const WORKLET = `registerProcessor("lvk-sound", class extends AudioWorkletProcessor {
      constructor() { super(); this.blocks = []; this.at = 0;
        this.port.onmessage = (e) => { if (e.data === "stop") this.blocks = []; else this.blocks.push(e.data); }; }
      process(inputs, outputs) { const out = outputs[0][0];
        for (let i = 0; i < out.length; ++i) { const b = this.blocks[0]; if (!b) { out[i] = 0; continue; }
          out[i] = b[this.at++]; if (this.at === b.length) { this.blocks.shift(); this.at = 0; } }
        return true; } });`;
    let audio = null, worklet = null, mixedUntil = 0;
    function mix(count) {
      const out = new Float32Array(count);
      const samples = new Int16Array(memory(), w.lvk_web_mix(count), count);
      for (let i = 0; i < count; ++i) out[i] = samples[i] / 32768;
      return out;
    }
    function pumpAudio() {
      if (!worklet || audio.state !== "running") return;
      const rate = audio.sampleRate;
      const now = Math.round(audio.currentTime * rate);
      if (mixedUntil < now) mixedUntil = now; // fell behind: what is past is past
      for (let due = Math.round((audio.currentTime + AHEAD) * rate); mixedUntil < due;) {
        const block = mix(Math.min(due - mixedUntil, 4096));
        mixedUntil += block.length;
        worklet.port.postMessage(block, [block.buffer]);
      }
    }
    function audioOn(on) {
      w.lvk_web_audio(on ? 1 : 0, audio.sampleRate);
      if (worklet) worklet.port.postMessage("stop");
      mixedUntil = 0;
    }
    async function startAudio() {
      if (audio || failed) return;
      const Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) return;
      audio = new Context();
      audio.resume();
      if (audio.audioWorklet) {
        await audio.audioWorklet.addModule("data:text/javascript;charset=utf-8," + encodeURIComponent(WORKLET));
        worklet = new AudioWorkletNode(audio, "lvk-sound", { numberOfInputs: 0, outputChannelCount: [1] });
        worklet.connect(audio.destination);
      } else {
        const node = audio.createScriptProcessor(2048, 0, 1);
        node.onaudioprocess = (e) => e.outputBuffer.getChannelData(0).set(mix(e.outputBuffer.length));
        node.connect(audio.destination);
      }
      audioOn(!paused);
      showKeys();
    }

    // ---- Frames ----
    let paused = false, clockStart = performance.now(), clockFrames = 0;
    const image = new ImageData(WIDTH, w.lvk_web_frame_height());
    const context = canvas.getContext("2d");
    function draw() {
      const pixels = new Uint8ClampedArray(memory(), w.lvk_web_draw(), image.data.length);
      image.data.set(pixels);
      context.putImageData(image, 0, 0);
    }
    function step() {
      stepped = queued.length ? queued.shift() : now;
      w.lvk_web_step(stepped.keys, stepped.x, stepped.y);
      keepStore();
    }
    function pollPads() {
      if (!navigator.getGamepads) return;
      let bits = 0;
      for (const pad of navigator.getGamepads()) {
        if (!pad) continue;
        pad.buttons.forEach((b, i) => { if (b.pressed && PAD_BUTTONS[i]) bits |= bitOfDs(PAD_BUTTONS[i]); });
        const [x, y] = pad.axes;
        if (x < -0.5) bits |= bitOfDs("Left");
        if (x > 0.5) bits |= bitOfDs("Right");
        if (y < -0.5) bits |= bitOfDs("Up");
        if (y > 0.5) bits |= bitOfDs("Down");
      }
      if (bits !== padKeys) {
        padKeys = bits;
        inputChanged();
      }
    }
    function tick(time) {
      requestAnimationFrame(tick);
      if (paused || failed) return;
      pollPads();
      const due = Math.floor((time - clockStart) * FPS / 1000);
      const count = Math.min(due - clockFrames, MAX_CATCH_UP);
      clockFrames = Math.max(due, clockFrames);
      for (let i = 0; i < count; ++i) step();
      if (count > 0) draw();
      pumpAudio();
    }
    function setPaused(on) {
      if (on === paused) return;
      paused = on;
      if (on) releaseAll();
      if (audio) audioOn(!on);
      clockStart = performance.now();
      clockFrames = 0;
      showKeys();
    }
    document.addEventListener("visibilitychange", () => setPaused(document.hidden));

    // ---- Keys, pen and zoom ----
    // Without sound the game still plays; the bar says why it is silent.
    let silentBecause = "";
    const firstInput = () => startAudio().catch((e) => {
      silentBecause = "No sound: " + (e && e.message ? e.message : e) + ".  ";
      showKeys();
    });
    window.addEventListener("keydown", (e) => {
      firstInput();
      const i = keyOf(e);
      if (i < 0 || e.ctrlKey || e.altKey || e.metaKey) return;
      e.preventDefault();
      if (e.repeat) return;
      heldKeys |= keys[i].bit;
      inputChanged();
    });
    window.addEventListener("keyup", (e) => {
      const i = keyOf(e);
      if (i < 0) return;
      e.preventDefault();
      // Another table entry of the same DS key may still be held; the
      // browser does not say, so the DS key goes up with any of them.
      heldKeys &= ~keys[i].bit;
      inputChanged();
    });
    window.addEventListener("blur", releaseAll);

    // The pen: a point of the lower screen, clamped to its edges while dragged.
    function penAt(e) {
      const r = canvas.getBoundingClientRect();
      const x = Math.floor((e.clientX - r.left) * canvas.width / r.width);
      const y = Math.floor((e.clientY - r.top) * canvas.height / r.height) - (canvas.height - SCREEN_HEIGHT);
      return { x: Math.min(Math.max(x, 0), WIDTH - 1), y: Math.min(Math.max(y, 0), SCREEN_HEIGHT - 1), inside: y >= 0 };
    }
    canvas.addEventListener("pointerdown", (e) => {
      firstInput();
      canvas.focus();
      const p = penAt(e);
      if (!p.inside || e.button !== 0) return;
      canvas.setPointerCapture(e.pointerId);
      pen = p;
      inputChanged();
      e.preventDefault();
    });
    canvas.addEventListener("pointermove", (e) => {
      if (!pen) return;
      pen = penAt(e);
      inputChanged();
    });
    const lift = () => {
      if (!pen) return;
      pen = null;
      inputChanged();
    };
    canvas.addEventListener("pointerup", lift);
    canvas.addEventListener("pointercancel", lift);
    document.addEventListener("pointerdown", firstInput);
    document.addEventListener("touchstart", firstInput, { passive: true });

    // The largest whole zoom of the DS's pixels that fits the window.
    function fit() {
      const stage = canvas.parentElement.getBoundingClientRect();
      const ratio = window.devicePixelRatio || 1;
      const zoom = Math.max(1, Math.floor(Math.min(stage.width * ratio / canvas.width,
                                                   stage.height * ratio / canvas.height)));
      canvas.style.width = (canvas.width * zoom / ratio) + "px";
      canvas.style.height = (canvas.height * zoom / ratio) + "px";
    }
    window.addEventListener("resize", fit);

    function showKeys() {
      const groups = [];
      for (const k of keys) {
        const name = k.name === "Return" ? "Enter" : k.name;
        const group = groups.find((g) => g.ds === k.ds);
        if (!group) groups.push({ ds: k.ds, names: [name] });
        else if (!group.names.includes(name)) group.names.push(name);
      }
      // A wrapped line breaks between the keys, never inside one.
      const text = groups.map((g) => (g.ds + ": " + (g.ds === "D-pad" ? "arrow keys" : g.names.join("/")))
        .replace(/ /g, "\u00a0")).join("  \u00b7  ");
      bar.textContent = (storeNote ? storeNote + "  " : "") + (paused ? "Paused.  " : silentBecause || (audio ? "" : "Sound starts with the first key or click.  ")) +
                        text + "  \u00b7  Pen: mouse or touch on the lower screen";
      // A line that wraps anew leaves the screens another height.
      fit();
    }

    canvas.height = w.lvk_web_frame_height();
    fit();
    showKeys();
    draw();
    canvas.focus();
    requestAnimationFrame(tick);
    // For whoever drives the page from outside (the browser test).
    window.lurvikGame = { exports: w, frames: () => w.lvk_web_frame(), keepStore };
  }

  start().catch((e) => showError(e && e.message ? e.message : String(e)));
})();
