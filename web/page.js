// The battle in a page: the field is a <canvas>, Result and Help are
// <dialog>s. The game itself (quenmar.wasm) runs the battle session; this
// script runs its periods, a fixed 25 ms apart, from requestAnimationFrame,
// hands it the page's events, and shows what it asks to be shown.
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
    running = false;
    for (const id of ["result", "help"]) element(id).close();
    element("ended-message").textContent =
      message !== "" ? message : "The game has ended. A tab cannot close itself: close it, or play again.";
    element("ended").hidden = false;
    element("new-game").focus();
  },
};

// A read-only view of the battle, for tests.
window.quenmar = {
  state() {
    const s = (index) => game.state(index);
    return {
      periods: s(0), ticks: s(1), level: s(2), wins: s(3), losses: s(4), running: s(5) === 1,
      dialog: s(6) ? "result" : s(7) ? "help" : null,
      player: { x: s(8), y: s(9), speed: s(10) },
    };
  },
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
}

function newGame() {
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
    element(id).addEventListener("click", () => game.click(button));
  }
  element("new-game").addEventListener("click", newGame);

  // As on the desktop, the field keeps the mouse from a press to its release.
  field.addEventListener("mousedown", (event) => {
    event.preventDefault();
    field.focus();
    heldOnField |= 1 << event.button;
    game.mouse(0, event.button, event.buttons, ...pointer(event), modifiers(event));
  });
  window.addEventListener("mousemove", (event) => {
    if (event.target !== field && heldOnField === 0) return;
    game.mouse(1, event.button, event.buttons, ...pointer(event), modifiers(event));
  });
  window.addEventListener("mouseup", (event) => {
    if ((heldOnField & (1 << event.button)) === 0) return;
    heldOnField &= ~(1 << event.button);
    game.mouse(2, event.button, event.buttons, ...pointer(event), modifiers(event));
  });
  field.addEventListener("contextmenu", (event) => event.preventDefault());
  window.addEventListener("blur", () => game.keyboardLost());
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
    };
    context = element("field").getContext("2d");
    listen();
    newGame();
    requestAnimationFrame(frame);
  },
};
