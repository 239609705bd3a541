// The battle in a page: the field is a <canvas>, Result and Help are
// <dialog>s. The game itself (quenmar.wasm) runs the battle's match and gives
// the page its texts, the field's size and the period; this module runs the
// periods from a timer of that period, as the desktop does (a frame with no
// period due costs nothing), keeps the battle as it is fought, and brings
// back the last one where the page was dropped before it ended. Its parts:
// the field, the input, the dialogs, the sound, links, the replay and the
// storage.

import createGame from "./quenmar.js";
import * as dialogs from "./dialogs.js";
import * as field from "./field.js";
import * as input from "./input.js";
import * as link from "./link.js";
import * as replay from "./replay.js";
import * as sound from "./sound.js";
import * as storage from "./storage.js";

const STALL_MS = 100; // further behind than this, the battle goes on where it stood
const KEPT_NAME = "kept battle"; // what the player's own battle is called in a message

const element = (id) => document.getElementById(id);
let game = null;
let texts = null; // what the game says, its field's size and its period
let running = false; // the match runs its periods
let last = null; // when the last period was due, in performance.now() time
let shownLevel = -1;
let sinceKept = 0; // periods since the battle was last kept

// One line to the player, under the field.
function note(line) {
  element("note").textContent = line;
  element("note").hidden = line === "";
}

// The ended screen, saying `message` (and the final score), offering the
// battle played to keep if there is one.
function ended(message, score = "", keep = false) {
  running = false;
  dialogs.closeAll();
  element("ended-message").textContent = message;
  element("final-score").textContent = score;
  element("final-score").hidden = score === "";
  for (const button of element("ended").querySelectorAll(".copy-link, .save")) {
    button.hidden = !keep;
  }
  element("ended").hidden = false;
  element("new-game").focus();
}

function run() {
  element("ended").hidden = true;
  running = true;
  last = null;
  element("field").focus();
}

function newGame() {
  shownLevel = -1;
  element("link-note").hidden = true;
  game.start(texts.fieldWidth, texts.fieldHeight, field.pixelsToUnit());
  run();
}

// Shows the battle in `bytes` again, or the one line that says what is wrong with it.
function replayBattle(bytes, name) {
  keep();
  const wrong = game.replay(bytes, name, field.pixelsToUnit());
  if (wrong !== "") {
    ended(wrong);
    return;
  }
  run();
}

// Brings back the newest battle kept without its end; else a new battle.
async function bringBack() {
  const kept = await storage.lastUnended();
  performance.mark("bringing back");
  const brought = kept ? game.bringBack(kept.text, KEPT_NAME, field.pixelsToUnit()) : null;
  performance.measure("brought back", "bringing back"); // for make bench-web
  if (brought?.back) {
    storage.goOn(kept);
    run();
    return;
  }
  if (kept) storage.leave(kept, brought.why !== "");
  if (brought?.why) note(`${brought.why}; it is kept aside, and a new battle starts.`);
  newGame();
}

function keep() {
  sinceKept = 0;
  storage.keep(game.toKeep());
}

// The game's side of the seam: what it asks of the page.
const seam = {
  show: field.show,
  openResult: dialogs.openResult,
  openHelp: dialogs.openHelp,
  close: dialogs.close,
  moveFocus: dialogs.moveFocus,
  pressFocused: dialogs.pressFocused,
  rumble: input.rumble,
  keepMuted: sound.keepMuted,
  keepVibrationOff: input.keepVibrationOff,
  showReplay: replay.show,
  end(status, message) {
    keep();
    if (replay.showing()) {
      ended(message !== "" ? message : "The replay has ended.");
      return;
    }
    const { wins, losses } = game.state();
    ended(
      message !== ""
        ? message
        : "The game has ended. A tab cannot close itself: close it, or play again.",
      status === 0 ? `${texts.wins} ${wins}   ${texts.losses} ${losses}` : "",
      true,
    );
  },
};

function fitField() {
  if (field.fit() && game) game.setScale(field.pixelsToUnit());
}

function frame() {
  if (!running) return;
  const now = performance.now();
  if (field.movedScreens()) fitField(); // moved to another screen, or zoomed
  if (last === null || now - last > STALL_MS) last = now - texts.periodMs;
  if (now - last < texts.periodMs) return;
  while (running && now - last >= texts.periodMs) {
    input.readPads();
    game.period(!document.hidden);
    sound.playPeriod();
    last += texts.periodMs;
    if (++sinceKept >= texts.keepPeriods) keep();
  }
  if (replay.showing()) return;
  const level = game.level();
  if (level === shownLevel) return;
  shownLevel = level;
  element("level").textContent = `Level ${level}`;
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
      pointer: { x: s.pointerX, y: s.pointerY },
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
      sound: { muted: s.muted, shotsPlayed: s.shotsPlayed, ...sound.view() },
    };
  },
  battle: () => game.battle(),
  link: link.battleLink,
};

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

game = await createGame({ page: seam });
texts = game.texts();
field.start({ width: texts.fieldWidth, height: texts.fieldHeight });
dialogs.start(texts);
field.fit();
new ResizeObserver(fitField).observe(element("stage"));
input.start(game);
replay.start(game, fitField);
link.start(game, texts, replayBattle, ended);
fullScreenButton();
sound.start(game, texts);
element("new-game").addEventListener("click", newGame);
// What was fought is kept at once when the page may be dropped.
document.addEventListener("visibilitychange", () => document.hidden && running && keep());
document.addEventListener("freeze", () => running && keep());
window.addEventListener("pagehide", () => running && keep());
await storage.open(note);
if (!link.openFromLink()) await bringBack();
setInterval(frame, texts.periodMs);
if ("serviceWorker" in navigator) {
  navigator.serviceWorker.register("sw.js", { updateViaCache: "none" }).catch(() => {});
}
