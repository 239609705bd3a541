// The battle in a page: the field is a <canvas>, Result and Help are
// <dialog>s. The game itself (quenmar.wasm) runs the battle's match and gives
// the page its texts, the field's size and the period; this script runs the
// periods from a timer of that period, as the desktop does (a frame with no
// period due costs nothing), hands the game the page's keys, mouse and
// touches, and shows what it asks to be shown. Where the pointer is
// coarse, or from the first touch, a drive pad and the game's buttons stand
// beside the field (in a replay, the replay's).
// The game's sound plays through Web Audio: each period the page posts the
// game's mixed frames to its worklet (sound.js) on the audio thread, which
// plays them in order, a little behind. The context starts suspended, and
// the first key, click or touch wakes it.
// Each battle can be handed on as a link (#battle= and the battle in the
// game's compact link form, deflated and base64url-encoded; a link of a whole
// battle file, as older pages made them, opens too) or saved as a .battle
// file; a page opened with such a link, or given such a file, shows that
// battle again, with a position bar under the field and the replay's buttons
// beside it.
"use strict";

const STALL_MS = 100; // further behind than this, the battle goes on where it stood
// Keys that would scroll the page, move the keyboard or open the browser's help.
const PAGE_KEYS = new Set([
  " ",
  "Tab",
  "PageUp",
  "PageDown",
  "Home",
  "End",
  "F1",
  "ArrowLeft",
  "ArrowUp",
  "ArrowRight",
  "ArrowDown",
]);
const HOW_TO_PLAY = {
  keys: "Arrows or W, A, S, D drive; the mouse aims, its left button fires; Esc: score, F1: help, p: pause.",
  touch:
    "The pad drives, a finger on the field aims and fires, a second finger on a tank sets every tank on it.",
};

const MUTED_KEY = "quenmar-sound-off"; // localStorage: the player's choice of sound
const SOUND_LEAD_S = 0.03; // how much sound the worklet has queued ahead of what it plays
const RENDER_QUANTUM = 128; // frames the audio thread asks the worklet for at a time

const element = (id) => document.getElementById(id);
let game = null; // the game's calls, once it has loaded
let texts = null; // what the game says, its field's size and its period
let context = null; // the field's 2D context
let picture = null; // the game's picture, as the canvas takes it
let scale = 0; // pixels to a drawing unit
let ratio = 0; // the device pixel ratio the field was fitted at
let running = false; // the session runs its periods
let last = null; // when the last period was due, in performance.now() time
let heldOnField = 0; // mouse buttons pressed on the field and not yet released
let shownLevel = -1;
let barHeld = false; // the position bar is being dragged: the replay follows it
let audio = null; // the AudioContext, suspended until the first key, click or touch
let player = null; // its worklet, which plays the frames posted to it
const sound = { posted: 0, heard: 0, underruns: 0 }; // periods posted, of them not silent, gaps

function modifiers(event) {
  return (event.shiftKey ? 1 : 0) | (event.ctrlKey ? 2 : 0) | (event.altKey ? 4 : 0);
}

const openDialog = () => ["result", "help"].find((id) => element(id).open) ?? null;

// The page's side of the seam: what the game asks of it.
window.quenmarPage = {
  // A box of the picture, w x h pixels of red, green, blue, alpha bytes at `at` in the game's memory.
  show(memory, at, w, h, left, top, width, height) {
    const canvas = element("field");
    if (canvas.width !== w || canvas.height !== h) {
      canvas.width = w;
      canvas.height = h;
    }
    if (
      !picture ||
      picture.data.buffer !== memory ||
      picture.data.byteOffset !== at ||
      picture.width !== w ||
      picture.height !== h
    ) {
      picture = new ImageData(new Uint8ClampedArray(memory, at, w * h * 4), w, h);
    }
    context.putImageData(picture, 0, 0, left, top, width, height);
  },
  openResult(wins, losses) {
    element("wins").textContent = String(wins);
    element("losses").textContent = String(losses);
    element("result").showModal();
    element("back").focus();
  },
  openHelp() {
    element("help").showModal();
    element("close").focus();
  },
  close(help) {
    element(help ? "help" : "result").close();
    element("field").focus();
  },
  // The player turned the sound off or on: kept for the next visit.
  keepMuted(muted) {
    try {
      localStorage.setItem(MUTED_KEY, muted ? "1" : "0");
    } catch {}
    sayMuted(muted);
  },
  // Where a replay stands, under the field; nothing while a battle is played.
  showReplay(line, note) {
    element("level").textContent = note !== "" ? `${line} · ${note}` : line;
    shownLevel = -1;
    const was = document.body.classList.contains("replay");
    document.body.classList.toggle("replay", line !== "");
    // Refitted once the game's call is over, so that the game, started or
    // not, is told the field's new size rather than called into again.
    if (was !== (line !== "")) queueMicrotask(fitField);
  },
  end(status, message) {
    const { wins, losses, replay } = game.state();
    if (replay !== "") {
      ended(message !== "" ? message : "The replay has ended.");
      return;
    }
    ended(
      message !== ""
        ? message
        : "The game has ended. A tab cannot close itself: close it, or play again.",
      status === 0 ? `${texts.wins} ${wins}   ${texts.losses} ${losses}` : "",
      true,
    );
  },
};

// The sound button says what it does.
function sayMuted(muted) {
  const button = element("sound");
  button.textContent = muted ? "Sound on" : "Sound off";
  button.setAttribute("aria-pressed", String(muted));
}

// The page's sound: a context made at once, which stays suspended until the
// player's first key, click or touch wakes it, and its worklet.
function startSound() {
  try {
    audio = new AudioContext({ sampleRate: texts.sampleRate, latencyHint: "interactive" });
    audio.audioWorklet
      .addModule("sound.js")
      .then(() => {
        const lead = Math.round(SOUND_LEAD_S * texts.sampleRate);
        player = new AudioWorkletNode(audio, "quenmar-sound", {
          outputChannelCount: [2],
          processorOptions: { lead, most: 3 * lead },
        });
        player.port.onmessage = () => ++sound.underruns;
        player.connect(audio.destination);
      })
      .catch(() => {});
  } catch {
    audio = null; // no Web Audio: the page plays on without sound
  }
  const wake = () => {
    if (audio && audio.state === "suspended") audio.resume().catch(() => {});
  };
  for (const type of ["keydown", "mousedown", "touchstart", "click"]) {
    document.addEventListener(type, wake, { capture: true, passive: true });
  }
  const muted = localStorage.getItem(MUTED_KEY) === "1";
  game.setMuted(muted);
  sayMuted(muted);
}

// The period's sound, posted to the worklet behind the last period's (a
// silent period as its length alone).
function playPeriod() {
  const frames = (texts.sampleRate * texts.periodMs) / 1000;
  const mixed = game.sound(frames); // the mixer goes on even while nothing is heard
  if (!player || audio.state !== "running") return;
  const silent = mixed.every((sample) => sample === 0);
  if (silent) {
    player.port.postMessage(frames);
  } else {
    const copy = new Float32Array(mixed);
    player.port.postMessage(copy, [copy.buffer]);
    ++sound.heard;
  }
  ++sound.posted;
}

// The ended screen, saying `message` (and the final score), offering the
// battle played to keep if there is one.
function ended(message, score = "", keep = false) {
  running = false;
  for (const id of ["result", "help"]) element(id).close();
  element("ended-message").textContent = message;
  element("final-score").textContent = score;
  element("final-score").hidden = score === "";
  for (const button of element("ended").querySelectorAll(".copy-link, .save"))
    button.hidden = !keep;
  element("ended").hidden = false;
  element("new-game").focus();
}

// The texts the game gives, in the dialogs.
function fillTexts() {
  element("result").querySelector("h1").textContent = texts.resultTitle;
  element("result").setAttribute("aria-label", texts.resultTitle);
  element("wins-caption").textContent = texts.wins;
  element("losses-caption").textContent = texts.losses;
  element("quit").textContent = texts.quit;
  element("back").textContent = texts.back;
  element("next-level").textContent = texts.nextLevel;
  element("help").querySelector("h1").textContent = texts.helpTitle;
  element("help").setAttribute("aria-label", texts.helpTitle);
  element("close").textContent = texts.close;
  for (const line of [...texts.help, texts.soundHelp]) {
    const p = document.createElement("p");
    p.textContent = line;
    element("help-lines").append(p);
  }
}

// Bytes through a compression or decompression stream of the browser's own,
// refused once more than `most` come out.
async function through(stream, bytes, most = Infinity) {
  const reader = new Blob([bytes]).stream().pipeThrough(stream).getReader();
  const parts = [];
  for (let size = 0; ;) {
    const { done, value } = await reader.read();
    if (done) return new Uint8Array(await new Blob(parts).arrayBuffer());
    size += value.length;
    if (size > most) {
      reader.cancel();
      throw new RangeError("too large");
    }
    parts.push(value);
  }
}

function base64url(bytes) {
  let text = "";
  for (const b of bytes) text += String.fromCharCode(b);
  return btoa(text).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
}

// The page's own address with the battle played so far.
async function battleLink() {
  const deflated = await through(
    new CompressionStream("deflate"),
    new Uint8Array(game.battleLink()),
  );
  return `${location.origin}${location.pathname}${location.search}#battle=${base64url(deflated)}`;
}

// The battle's bytes in a link, or the one line that says why there are none.
async function battleFromLink(data) {
  let bytes;
  try {
    const text = atob(data.replace(/-/g, "+").replace(/_/g, "/"));
    bytes = Uint8Array.from(text, (c) => c.charCodeAt(0));
  } catch {
    throw new Error("link: the battle in the link is not base64url text");
  }
  try {
    return await through(new DecompressionStream("deflate"), bytes, texts.longestBattle);
  } catch (error) {
    throw new Error(
      error instanceof RangeError
        ? "link: the battle in the link is too large"
        : "link: the battle in the link is damaged (it does not inflate)",
    );
  }
}

// Shows the battle in `bytes` again, or the one line that says what is wrong with it.
function replayBattle(bytes, name) {
  const wrong = game.replay(bytes, name, scale);
  if (wrong !== "") {
    ended(wrong);
    return;
  }
  element("ended").hidden = true;
  running = true;
  last = null;
  element("field").focus();
}

// Shows the battle in the page's address again, if it holds one.
function openFromLink() {
  if (!location.hash.startsWith("#battle=")) return false;
  const link = location.hash.match(/^#battle=([A-Za-z0-9_-]*)$/);
  const opened = link
    ? battleFromLink(link[1])
    : Promise.reject(new Error("link: the battle in the link is not base64url text"));
  opened.then(
    (bytes) => replayBattle(bytes, "link"),
    (error) => ended(error.message),
  );
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
      setTimeout(() => {
        button.textContent = "Copy link";
      }, 2000);
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
    if (file.size > texts.longestBattle) {
      ended(`${file.name}: too large for a battle`);
      return;
    }
    file.arrayBuffer().then((buffer) => replayBattle(new Uint8Array(buffer), file.name));
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
    const s = game.state();
    return {
      periods: s.periods,
      ticks: s.ticks,
      level: s.level,
      wins: s.wins,
      losses: s.losses,
      running: s.running,
      dialog: s.resultOpen ? "result" : s.helpOpen ? "help" : null,
      player: {
        x: s.playerX,
        y: s.playerY,
        speed: s.playerSpeed,
        dir: s.playerDir,
        shell: s.playerShell,
      },
      world: s.world,
      replay:
        s.replay === ""
          ? null
          : {
              state: s.replay,
              period: s.replayPeriod,
              length: s.replayLength,
              speed: s.replaySpeed,
              paused: s.replayPaused,
            },
      // The context's state, the periods posted and heard, the gaps, the
      // player's shots played, and the seconds from a period to its sound.
      sound: {
        context: audio ? audio.state : null,
        muted: s.muted,
        ...sound,
        shotsPlayed: s.shotsPlayed,
        lead: SOUND_LEAD_S,
        latency: audio
          ? SOUND_LEAD_S +
            RENDER_QUANTUM / texts.sampleRate +
            audio.baseLatency +
            (audio.outputLatency || 0)
          : null,
      },
    };
  },
  battle() {
    return game.battle();
  },
  link: battleLink,
};

// The line under the field: how to play with what this device has, and the
// level; in a replay, where it stands, and its position bar.
function sayLevel() {
  const s = game.state();
  if (s.replay !== "") {
    const bar = element("position");
    bar.max = String(s.replayLength);
    if (!barHeld) bar.value = String(s.replayPeriod);
    return;
  }
  if (s.level === shownLevel) return;
  shownLevel = s.level;
  element("level").textContent = `Level ${s.level}`;
}

function frame() {
  if (!running) return;
  const now = performance.now();
  if (window.devicePixelRatio !== ratio) fitField(); // moved to another screen, or zoomed
  if (last === null || now - last > STALL_MS) last = now - texts.periodMs;
  if (now - last < texts.periodMs) return;
  while (running && now - last >= texts.periodMs) {
    game.period(!document.hidden);
    playPeriod();
    last += texts.periodMs;
  }
  sayLevel();
}

function newGame() {
  shownLevel = -1;
  element("link-note").hidden = true;
  game.start(texts.fieldWidth, texts.fieldHeight, scale);
  element("ended").hidden = true;
  running = true;
  last = null;
  element("field").focus();
}

// The field at the largest size that fits its place, drawn at the screen's own
// pixels for that size: a whole number of them, shown one to one, for a
// canvas the browser had to rescale would cost it a filtering pass a frame.
function fitField() {
  const stage = element("stage"),
    canvas = element("field");
  const line =
    element("line").getBoundingClientRect().height +
    element("position").getBoundingClientRect().height +
    6;
  const width = Math.max(
    1,
    Math.min(
      stage.clientWidth,
      ((stage.clientHeight - line) * texts.fieldWidth) / texts.fieldHeight,
    ),
  );
  ratio = window.devicePixelRatio;
  const pixels = Math.max(1, Math.floor(width * ratio));
  canvas.style.width = `${pixels / ratio}px`;
  canvas.style.height = `${Math.round((texts.fieldHeight * pixels) / texts.fieldWidth) / ratio}px`;
  element("position").style.width = canvas.style.width;
  if (pixels / texts.fieldWidth !== scale) {
    scale = pixels / texts.fieldWidth;
    if (running) game.setScale(scale);
  }
}

// The pointer in drawing units, wherever the field is shown and at what size.
function pointer(event) {
  const box = element("field").getBoundingClientRect();
  return [
    ((event.clientX - box.left) * texts.fieldWidth) / box.width,
    ((event.clientY - box.top) * texts.fieldHeight) / box.height,
  ];
}

// A key pressed or released in a part of the page ("field", "result", "help").
function key(down, part, event) {
  return game.key(down, part, event.code, event.key, event.repeat, modifiers(event));
}

// While a dialog is open, Tab and Shift+Tab go round its own buttons.
function tabWithin(dialog, event) {
  const buttons = [...dialog.querySelectorAll("button")].filter((b) => !b.hidden);
  const at = buttons.indexOf(document.activeElement);
  const next = (at + (event.shiftKey ? -1 : 1) + buttons.length) % buttons.length;
  buttons[at < 0 ? 0 : next].focus();
}

function listenToKeys() {
  const field = element("field");
  for (const type of ["keydown", "keyup"]) {
    field.addEventListener(type, (event) => {
      // On the field no key scrolls the page, moves the keyboard or opens the browser's help.
      if (key(type === "keydown", "field", event) || PAGE_KEYS.has(event.key))
        event.preventDefault();
    });
  }
  for (const part of ["result", "help"]) {
    const dialog = element(part);
    dialog.addEventListener("keydown", (event) => {
      if (event.key === "Tab") {
        event.preventDefault();
        tabWithin(dialog, event);
        return;
      }
      key(true, part, event);
      // Only Space and Enter reach its buttons.
      if (event.key !== " " && event.key !== "Enter") event.preventDefault();
    });
    dialog.addEventListener("cancel", (event) => event.preventDefault()); // Esc is the game's
  }
  const buttons = {
    quit: texts.quit,
    back: texts.back,
    "next-level": texts.nextLevel,
    close: texts.close,
  };
  for (const [id, text] of Object.entries(buttons)) {
    element(id).addEventListener("click", () => game.click(text));
  }
  element("new-game").addEventListener("click", newGame);
  window.addEventListener("blur", () => game.keyboardLost());
}

function listenToMouse() {
  const field = element("field");
  // As on the desktop, the field keeps the mouse from a press to its release.
  field.addEventListener("mousedown", (event) => {
    event.preventDefault();
    field.focus();
    heldOnField |= 1 << event.button;
    game.mouse("down", event.button, event.buttons, ...pointer(event), modifiers(event));
  });
  window.addEventListener("mousemove", (event) => {
    if (event.target !== field && heldOnField === 0) return;
    game.mouse("move", event.button, event.buttons, ...pointer(event), modifiers(event));
  });
  window.addEventListener("mouseup", (event) => {
    if ((heldOnField & (1 << event.button)) === 0) return;
    heldOnField &= ~(1 << event.button);
    game.mouse("up", event.button, event.buttons, ...pointer(event), modifiers(event));
  });
  document.addEventListener("contextmenu", (event) => event.preventDefault());
}

// Shows the touch controls and the touch line.
function useTouch() {
  if (document.body.classList.contains("touch")) return;
  document.body.classList.add("touch");
  element("how").textContent = HOW_TO_PLAY.touch;
  fitField();
}

function listenToTouch() {
  const field = element("field"),
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
    field.addEventListener(
      type,
      (event) => {
        event.preventDefault();
        field.focus();
        for (const touch of event.changedTouches)
          game.touch(phase, touch.identifier, false, ...pointer(touch));
      },
      { passive: false },
    );
    pad.addEventListener(
      type,
      (event) => {
        event.preventDefault();
        for (const touch of event.changedTouches)
          game.touch(phase, touch.identifier, true, ...padPlace(touch));
      },
      { passive: false },
    );
  }
  document.addEventListener("touchstart", useTouch, { passive: true, capture: true });
  // The buttons beside the field press their keys; the keyboard stays where it is.
  for (const button of element("keys").querySelectorAll("button")) {
    button.tabIndex = -1;
    button.addEventListener("mousedown", (event) => event.preventDefault());
    button.addEventListener("click", () => {
      const pressed = {
        key: button.dataset.key,
        code: button.dataset.code ?? button.dataset.key,
        repeat: false,
      };
      const part = openDialog() ?? "field";
      key(true, part, pressed);
      key(false, part, pressed);
    });
  }
}

// The replay's position bar: dragged by mouse or finger, the replay follows.
function listenToBar() {
  const bar = element("position");
  bar.addEventListener("pointerdown", () => {
    barHeld = true;
  });
  for (const type of ["pointerup", "pointercancel"]) {
    bar.addEventListener(type, () => {
      barHeld = false;
      element("field").focus();
    });
  }
  bar.addEventListener("input", () => game.seek(Number(bar.value)));
}

function fullScreenButton() {
  if (!document.fullscreenEnabled) return;
  const button = element("fullscreen");
  button.hidden = false;
  button.addEventListener("click", () => {
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen().catch(() => {});
  });
  document.addEventListener("fullscreenchange", () => {
    button.textContent = document.fullscreenElement ? "Leave full screen" : "Full screen";
    element("field").focus();
  });
}

var Module = {
  onRuntimeInitialized() {
    game = Module;
    texts = game.texts();
    fillTexts();
    // Presented as soon as drawn, without waiting for the page's next frame.
    context = element("field").getContext("2d", { alpha: false, desynchronized: true });
    element("field").setAttribute("aria-label", `The battle. ${HOW_TO_PLAY.keys}`);
    element("how").textContent = HOW_TO_PLAY.keys;
    if (window.matchMedia("(pointer: coarse)").matches) useTouch();
    fitField();
    new ResizeObserver(fitField).observe(element("stage"));
    listenToKeys();
    listenToMouse();
    listenToTouch();
    listenToBar();
    keepButtons();
    fullScreenButton();
    startSound();
    window.addEventListener("hashchange", openFromLink);
    if (!openFromLink()) newGame();
    setInterval(frame, texts.periodMs);
    if ("serviceWorker" in navigator)
      navigator.serviceWorker.register("sw.js", { updateViaCache: "none" }).catch(() => {});
  },
};
