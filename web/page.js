// The battle in a page: the field is a <canvas>, Result and Help are
// <dialog>s. The game itself (quenmar.wasm) runs the battle session; this
// script runs its periods, a fixed 25 ms apart, from requestAnimationFrame,
// hands it the page's events, and shows what it asks to be shown.
// Each battle can be handed on as a link (#battle= and the battle file,
// deflated and base64url-encoded) or saved as a .battle file; a page opened
// with such a link, or given such a file, shows that battle again.
"use strict";

const FIELD_WIDTH = 723;  // drawing units
const FIELD_HEIGHT = 651;
const PERIOD_MS = 25;
const STALL_MS = 100;  // further behind than this, the battle goes on where it stood
const PARTS = { field: 0, result: 1, help: 2 };
const BUTTONS = { quit: 0, back: 1, "next-level": 2, close: 3 };
// Keys that would scroll the page or open the browser's help.
const PAGE_KEYS = new Set([" ", "PageUp", "PageDown", "Home", "End", "F1",
                           "ArrowLeft", "ArrowUp", "ArrowRight", "ArrowDown"]);

const element = (id) => document.getElementById(id);
let game = null;       // the game's exported calls, once it has loaded
let context = null;    // the field's 2D context
let picture = null;    // the game's picture, as the canvas takes it
let scale = 1;         // pixels to a drawing unit
let running = false;   // the session runs its periods
let last = null;       // when the last period was due, in rAF time
let heldOnField = 0;   // mouse buttons pressed on the field and not yet released
let replaying = false; // a kept battle is shown again; the viewer's keys alone act
const LONGEST_BATTLE = 64 << 20;  // bytes of a battle file taken from a link or a file

function modifiers(event) {
  return (event.shiftKey ? 1 : 0) | (event.ctrlKey ? 2 : 0) | (event.altKey ? 4 : 0);
}

// The page's side of the seam: what the game asks of it.
window.quenmarPage = {
  show(left, top, width, height) {
    const w = game.pictureWidth(), h = game.pictureHeight(), at = game.picture();
    const canvas = element("field");
    if (canvas.width !== w || canvas.height !== h) {
      canvas.width = w;
      canvas.height = h;
    }
    if (!picture || picture.data.buffer !== Module.HEAPU8.buffer ||
        picture.data.byteOffset !== at || picture.width !== w || picture.height !== h) {
      picture = new ImageData(new Uint8ClampedArray(Module.HEAPU8.buffer, at, w * h * 4), w, h);
    }
    context.putImageData(picture, 0, 0, left, top, width, height);
  },
  openResult(wins, losses) {
    element("wins").textContent = String(wins);
    element("losses").textContent = String(losses);
    element("result").show();
    element("back").focus();
  },
  openHelp() {
    element("help").show();
    element("close").focus();
  },
  close(help) {
    element(help ? "help" : "result").close();
    element("field").focus();
  },
  end(status, message) {
    ended(message !== "" ? message : "The game has ended. A tab cannot close itself: close it, or play again.");
  },
};

// The ended screen, saying `message`; a replay's end offers no battle to keep.
function ended(message) {
  running = false;
  for (const id of ["result", "help"]) element(id).close();
  element("ended-message").textContent = message;
  for (const button of element("ended").querySelectorAll(".copy-link, .save")) button.hidden = replaying;
  element("ended").hidden = false;
  element("new-game").focus();
}

// Bytes through a compression or decompression stream of the browser's own.
async function through(stream, bytes) {
  const out = new Response(new Blob([bytes]).stream().pipeThrough(stream));
  return new Uint8Array(await out.arrayBuffer());
}

function base64url(bytes) {
  let text = "";
  for (const b of bytes) text += String.fromCharCode(b);
  return btoa(text).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
}

// The page's own address with the battle played so far.
async function battleLink() {
  const deflated = await through(new CompressionStream("deflate"), new TextEncoder().encode(game.battle()));
  return `${location.origin}${location.pathname}${location.search}#battle=${base64url(deflated)}`;
}

// The battle file in a link, or the one line that says why there is none.
async function battleFromLink(data) {
  let bytes;
  try {
    const text = atob(data.replace(/-/g, "+").replace(/_/g, "/"));
    bytes = Uint8Array.from(text, (c) => c.charCodeAt(0));
  } catch {
    throw new Error("link: the battle in the link is not base64url text");
  }
  try {
    const inflated = await through(new DecompressionStream("deflate"), bytes);
    if (inflated.length > LONGEST_BATTLE) throw new Error("too long");
    return new TextDecoder().decode(inflated);
  } catch {
    throw new Error("link: the battle in the link is damaged (it does not inflate to a battle file)");
  }
}

// Shows `text` again, or the one line that says what is wrong with it.
function replayBattle(text, name) {
  const wrong = game.replay(text, name, window.devicePixelRatio);
  if (wrong !== "") {
    replaying = true;
    ended(wrong);
    return;
  }
  scale = window.devicePixelRatio;
  replaying = true;
  element("ended").hidden = true;
  running = true;
  last = null;
  element("field").focus();
}

// Shows the battle in the page's address again, if it holds one.
function openFromLink() {
  if (!location.hash.startsWith("#battle=")) return false;
  const link = location.hash.match(/^#battle=([A-Za-z0-9_-]*)$/);
  const opened = link ? battleFromLink(link[1]) : Promise.reject(new Error("link: the battle in the link is not base64url text"));
  opened.then((text) => replayBattle(text, "link"), (error) => { replaying = true; ended(error.message); });
  return true;
}

function keepButtons() {
  for (const button of document.querySelectorAll(".copy-link")) {
    button.addEventListener("click", async () => {
      const link = await battleLink();
      const note = element("link-note");
      try {
        await navigator.clipboard.writeText(link);
        note.textContent = `The link is copied (${link.length} characters).`;
      } catch {
        note.textContent = `Copy the link: ${link}`;
      }
      note.hidden = !element("ended").contains(note) || element("ended").hidden;
      button.textContent = "Link copied";
      setTimeout(() => { button.textContent = "Copy link"; }, 2000);
    });
  }
  for (const button of document.querySelectorAll(".save")) {
    button.addEventListener("click", () => {
      const a = document.createElement("a");
      a.href = URL.createObjectURL(new Blob([game.battle()], { type: "text/plain" }));
      a.download = `quenmar-${new Date().toISOString().replace(/[:.]/g, "-")}.battle`;
      a.click();
      setTimeout(() => URL.revokeObjectURL(a.href), 1000);
    });
  }
  const openFile = (file) => {
    if (file.size > LONGEST_BATTLE) {
      replaying = true;
      ended(`${file.name}: too large for a battle file`);
      return;
    }
    file.text().then((text) => replayBattle(text, file.name));
  };
  element("battle-file").addEventListener("change", (event) => {
    if (event.target.files.length > 0) openFile(event.target.files[0]);
  });
  document.addEventListener("dragover", (event) => event.preventDefault());
  document.addEventListener("drop", (event) => {
    event.preventDefault();
    if (event.dataTransfer.files.length > 0) openFile(event.dataTransfer.files[0]);
  });
}

// A read-only view of the battle, for tests.
window.quenmar = {
  state() {
    const s = (index) => game.state(index);
    return {
      periods: s(0), ticks: s(1), level: s(2), wins: s(3), losses: s(4), running: s(5) === 1,
      dialog: s(6) ? "result" : s(7) ? "help" : null,
      player: { x: s(8), y: s(9), speed: s(10) },
      replay: ["running", "over", "parted"][game.replayState()] || null,
    };
  },
  battle() { return game.battle(); },
  link: battleLink,
};

function frame(now) {
  requestAnimationFrame(frame);
  if (!running) return;
  if (window.devicePixelRatio !== scale) {
    scale = window.devicePixelRatio;
    game.setScale(scale);
  }
  if (last === null || now - last > STALL_MS) last = now - PERIOD_MS;
  while (running && now - last >= PERIOD_MS) {
    game.period(document.hidden ? 0 : 1);
    last += PERIOD_MS;
  }
  if (replaying && running && game.replayState() > 0) ended(game.replayMessage());
}

function newGame() {
  replaying = false;
  element("link-note").hidden = true;
  scale = window.devicePixelRatio;
  game.start(FIELD_WIDTH, FIELD_HEIGHT, scale);
  element("ended").hidden = true;
  running = true;
  last = null;
  element("field").focus();
}

// The pointer in drawing units, wherever the field is shown and at what size.
function pointer(event) {
  const box = element("field").getBoundingClientRect();
  return [(event.clientX - box.left) * FIELD_WIDTH / box.width,
          (event.clientY - box.top) * FIELD_HEIGHT / box.height];
}

function listen() {
  const field = element("field");
  const key = (type, part) => (event) => {
    if (replaying) {
      // The viewer's keys: p or Space pauses and resumes, Esc ends the replay.
      event.preventDefault();
      if (type !== 0 || event.repeat) return;
      if (event.key === "p" || event.key === "P" || event.key === " ") game.replayPause();
      if (event.key === "Escape") ended(game.replayMessage() || "The replay has ended.");
      return;
    }
    const taken = game.key(type, part, event.code, event.key, event.repeat ? 1 : 0, modifiers(event));
    // On the field no key scrolls the page or opens the browser's help; in a
    // dialog only Tab, Space and Enter reach its buttons.
    const ownKey = event.key === "Tab" || event.key === " " || event.key === "Enter";
    if (part === PARTS.field ? taken || PAGE_KEYS.has(event.key) : !ownKey) event.preventDefault();
  };
  field.addEventListener("keydown", key(0, PARTS.field));
  field.addEventListener("keyup", key(1, PARTS.field));
  for (const part of ["result", "help"]) element(part).addEventListener("keydown", key(0, PARTS[part]));
  for (const [id, button] of Object.entries(BUTTONS)) {
    element(id).addEventListener("click", () => { if (!replaying) game.click(button); });
  }
  element("new-game").addEventListener("click", newGame);

  // As on the desktop, the field keeps the mouse from a press to its release.
  field.addEventListener("mousedown", (event) => {
    event.preventDefault();
    if (replaying) return;
    field.focus();
    heldOnField |= 1 << event.button;
    game.mouse(0, event.button, event.buttons, ...pointer(event), modifiers(event));
  });
  window.addEventListener("mousemove", (event) => {
    if (replaying) return;
    if (event.target !== field && heldOnField === 0) return;
    game.mouse(1, event.button, event.buttons, ...pointer(event), modifiers(event));
  });
  window.addEventListener("mouseup", (event) => {
    if ((heldOnField & (1 << event.button)) === 0) return;
    heldOnField &= ~(1 << event.button);
    game.mouse(2, event.button, event.buttons, ...pointer(event), modifiers(event));
  });
  field.addEventListener("contextmenu", (event) => event.preventDefault());
  window.addEventListener("blur", () => { if (!replaying) game.keyboardLost(); });
  keepButtons();
}

var Module = {
  onRuntimeInitialized() {
    const call = (name, result, args) => Module.cwrap(name, result, args);
    const numbers = (n) => Array(n).fill("number");
    game = {
      start: call("quenmar_start", null, numbers(3)),
      period: call("quenmar_period", "number", numbers(1)),
      setScale: call("quenmar_set_scale", null, numbers(1)),
      key: call("quenmar_key", "number", ["number", "number", "string", "string", "number", "number"]),
      mouse: call("quenmar_mouse", null, numbers(6)),
      click: call("quenmar_click", null, numbers(1)),
      keyboardLost: call("quenmar_keyboard_lost", null, []),
      picture: call("quenmar_picture", "number", []),
      pictureWidth: call("quenmar_picture_width", "number", []),
      pictureHeight: call("quenmar_picture_height", "number", []),
      state: call("quenmar_state", "number", numbers(1)),
      replay: call("quenmar_replay", "string", ["string", "string", "number"]),
      replayState: call("quenmar_replay_state", "number", []),
      replayMessage: call("quenmar_replay_message", "string", []),
      replayPause: call("quenmar_replay_pause", null, []),
      battle: call("quenmar_battle", "string", []),
    };
    context = element("field").getContext("2d");
    listen();
    window.addEventListener("hashchange", openFromLink);
    if (!openFromLink()) newGame();
    requestAnimationFrame(frame);
  },
};
