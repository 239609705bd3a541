// The page's keys, mouse, touches and game pads, handed to the game: keys as
// they come, by their place and what they type, with the part of the page
// that has the keyboard; the pointer in drawing units; fingers on the drive
// pad and on the field; pads in the browser's standard mapping, read once a
// period once one has shown itself (a browser shows a pad once a button is
// pressed). The game says which keys it took; the rest do what the browser
// does with them, but for those that would scroll the page or open the
// browser's help while the field has the keyboard. Hits are felt here too: a
// pad's rumble, or a phone's vibration while it is played by touch.

import * as dialogs from "./dialogs.js";
import * as field from "./field.js";

const element = (id) => document.getElementById(id);
// Keys that would scroll the page, move the keyboard or open the browser's help.
const PAGE_KEYS = new Set([
  " ",
  "Tab",
  "PageUp",
  "PageDown",
  "Home",
  "End",
  "F1",
  "Backspace",
  "ArrowLeft",
  "ArrowUp",
  "ArrowRight",
  "ArrowDown",
]);

const VIBRATION_KEY = "quenmar-vibration-off"; // localStorage: the player's choice of rumble

let game = null;
let heldOnField = 0; // mouse buttons pressed on the field and not yet released
const pads = new Set(); // the indexes of the pads connected

function modifiers(event) {
  return (event.shiftKey ? 1 : 0) | (event.ctrlKey ? 2 : 0) | (event.altKey ? 4 : 0);
}

const openDialog = () => ["result", "help"].find((id) => element(id).open) ?? "field";

// Each pad connected, once a period.
export function readPads() {
  if (pads.size === 0) return;
  for (const pad of navigator.getGamepads()) {
    if (!pad?.connected || pad.mapping !== "standard") continue;
    const pressed = pad.buttons.reduce(
      (mask, button, i) => mask | (button.pressed ? 1 << i : 0),
      0,
    );
    const trigger = (i) => pad.buttons[i]?.value ?? 0;
    const axis = (i) => pad.axes[i] ?? 0;
    game.pad(
      pad.index,
      pressed,
      trigger(6),
      trigger(7),
      axis(0),
      axis(1),
      axis(2),
      axis(3),
      openDialog(),
    );
  }
}

function listenToPads() {
  window.addEventListener("gamepadconnected", ({ gamepad }) => {
    pads.add(gamepad.index);
    document.body.classList.add("pad");
  });
  window.addEventListener("gamepaddisconnected", ({ gamepad }) => {
    pads.delete(gamepad.index);
    game.padGone(gamepad.index, openDialog());
    document.body.classList.toggle("pad", pads.size > 0);
  });
}

// The rumble button says what it does.
function sayVibrationOff(off) {
  const button = element("vibration");
  button.textContent = off ? "Rumble on" : "Rumble off";
  button.setAttribute("aria-pressed", String(off));
}

// The player turned the rumble off or on: kept for the next visit.
export function keepVibrationOff(off) {
  try {
    localStorage.setItem(VIBRATION_KEY, off ? "1" : "0");
  } catch {}
  sayVibrationOff(off);
}

// A hit felt: the pads in use rumble, and a phone played by touch vibrates.
export function rumble(strength, ms) {
  for (const index of pads) {
    navigator
      .getGamepads()
      [index]?.vibrationActuator?.playEffect("dual-rumble", {
        duration: ms,
        strongMagnitude: strength,
        weakMagnitude: strength,
      })
      .catch(() => {});
  }
  if (document.body.classList.contains("touch")) navigator.vibrate?.(ms);
}

// A key pressed or released in a part of the page ("field", "result", "help").
function key(pressed, part, event) {
  return game.key(pressed, part, event.code, event.key, event.repeat);
}

function listenToKeys() {
  const fieldElement = element("field");
  for (const type of ["keydown", "keyup"]) {
    fieldElement.addEventListener(type, (event) => {
      if (key(type === "keydown", "field", event) || PAGE_KEYS.has(event.key)) {
        event.preventDefault();
      }
    });
  }
  for (const part of ["result", "help"]) {
    const dialog = element(part);
    dialog.addEventListener("keydown", (event) => {
      if (event.key === "Tab") {
        // While a dialog is open, Tab and Shift+Tab go round its own buttons.
        event.preventDefault();
        dialogs.moveFocus(part === "help", event.shiftKey ? -1 : 1);
        return;
      }
      // What the game does not take goes to the dialog's buttons: only Space and Enter.
      if (key(true, part, event) || (event.key !== " " && event.key !== "Enter")) {
        event.preventDefault();
      }
    });
    dialog.addEventListener("cancel", (event) => event.preventDefault()); // Esc is the game's
  }
  for (const button of document.querySelectorAll("dialog button[data-button]")) {
    button.addEventListener("click", () => game.click(button.dataset.button));
  }
  window.addEventListener("blur", () => game.keyboardLost());
}

function listenToMouse() {
  const fieldElement = element("field");
  // As on the desktop, the field keeps the mouse from a press to its release.
  fieldElement.addEventListener("mousedown", (event) => {
    event.preventDefault();
    fieldElement.focus();
    heldOnField |= 1 << event.button;
    game.mouse("down", event.button, event.buttons, ...field.pointer(event), modifiers(event));
  });
  window.addEventListener("mousemove", (event) => {
    if (event.target !== fieldElement && heldOnField === 0) return;
    game.mouse("move", event.button, event.buttons, ...field.pointer(event), modifiers(event));
  });
  window.addEventListener("mouseup", (event) => {
    if ((heldOnField & (1 << event.button)) === 0) return;
    heldOnField &= ~(1 << event.button);
    game.mouse("up", event.button, event.buttons, ...field.pointer(event), modifiers(event));
  });
  document.addEventListener("contextmenu", (event) => event.preventDefault());
}

// Shows the touch controls in place of the keyboard's line.
export function useTouch() {
  if (document.body.classList.contains("touch")) return;
  document.body.classList.add("touch");
  if (field.fit()) game.setScale(field.pixelsToUnit());
}

function listenToTouch() {
  const fieldElement = element("field"),
    pad = element("pad");
  const phases = { touchstart: "start", touchmove: "move", touchend: "end", touchcancel: "end" };
  const padPlace = (touch) => {
    const box = pad.getBoundingClientRect();
    return [
      ((touch.clientX - box.left) * 2) / box.width - 1,
      ((touch.clientY - box.top) * 2) / box.height - 1,
    ];
  };
  for (const [type, phase] of Object.entries(phases)) {
    const fingers = (place, onPad) => (event) => {
      event.preventDefault();
      if (!onPad) fieldElement.focus();
      for (const touch of event.changedTouches) {
        game.touch(phase, touch.identifier, onPad, ...place(touch));
      }
    };
    fieldElement.addEventListener(type, fingers(field.pointer, false), { passive: false });
    pad.addEventListener(type, fingers(padPlace, true), { passive: false });
  }
  document.addEventListener("touchstart", useTouch, { passive: true, capture: true });
  // The buttons beside the field press their keys; the keyboard stays where it is.
  for (const button of element("keys").querySelectorAll("button")) {
    button.tabIndex = -1;
    button.addEventListener("mousedown", (event) => event.preventDefault());
    button.addEventListener("click", () => {
      const pressed = { key: button.dataset.key, code: button.dataset.code ?? button.dataset.key };
      key(true, openDialog(), { ...pressed, repeat: false });
      key(false, openDialog(), { ...pressed, repeat: false });
    });
  }
}

export function start(theGame) {
  game = theGame;
  listenToKeys();
  listenToMouse();
  listenToTouch();
  listenToPads();
  let off = false;
  try {
    off = localStorage.getItem(VIBRATION_KEY) === "1";
  } catch {}
  game.setVibrationOff(off);
  sayVibrationOff(off);
  if (window.matchMedia("(pointer: coarse)").matches) useTouch();
}
