// The game's sound through Web Audio: each period the page posts the game's
// mixed frames to its worklet (sound-worklet.js) on the audio thread, which
// plays them in order, a little behind. The context starts suspended, and
// the first key, click or touch wakes it. While nothing can be heard, the
// game mixes nothing and a period's silence is posted as its length alone.

const MUTED_KEY = "quenmar-sound-off"; // localStorage: the player's choice of sound
const SOUND_LEAD_S = 0.03; // how much sound the worklet has queued ahead of what it plays
const RENDER_QUANTUM = 128; // frames the audio thread asks the worklet for at a time

let game = null;
let rate = 0; // frames a second
let frames = 0; // frames a period
let audio = null; // the AudioContext, suspended until the first key, click or touch
let player = null; // its worklet, which plays the frames posted to it
let muted = false;
const counted = { posted: 0, heard: 0, underruns: 0 }; // periods posted, of them not silent, gaps

// The sound button says what it does.
function sayMuted() {
  const button = document.getElementById("sound");
  button.textContent = muted ? "Sound on" : "Sound off";
  button.setAttribute("aria-pressed", String(muted));
}

// A context made at once, which stays suspended until the player's first
// key, click or touch wakes it, and its worklet; the player's last choice.
export function start(theGame, texts) {
  game = theGame;
  rate = texts.sampleRate;
  frames = (texts.sampleRate * texts.periodMs) / 1000;
  try {
    audio = new AudioContext({ sampleRate: rate, latencyHint: "interactive" });
    audio.audioWorklet
      .addModule("sound-worklet.js")
      .then(() => {
        const lead = Math.round(SOUND_LEAD_S * rate);
        player = new AudioWorkletNode(audio, "quenmar-sound", {
          outputChannelCount: [2],
          processorOptions: { lead, most: 3 * lead },
        });
        player.port.onmessage = () => ++counted.underruns;
        player.connect(audio.destination);
      })
      .catch(() => {});
  } catch {
    audio = null; // no Web Audio: the page plays on without sound
  }
  const wake = () => {
    if (!audio || audio.state !== "suspended") return;
    game.silence(); // what was played before is not heard late
    audio.resume().catch(() => {});
  };
  for (const type of ["keydown", "mousedown", "touchstart", "click"]) {
    document.addEventListener(type, wake, { capture: true, passive: true });
  }
  try {
    muted = localStorage.getItem(MUTED_KEY) === "1";
  } catch {}
  game.setMuted(muted);
  sayMuted();
}

// The player turned the sound off or on: kept for the next visit.
export function keepMuted(off) {
  muted = off;
  try {
    localStorage.setItem(MUTED_KEY, off ? "1" : "0");
  } catch {}
  sayMuted();
}

// The period's sound, posted to the worklet behind the last period's.
export function playPeriod() {
  if (!player || audio.state !== "running") return;
  const mixed = game.sound(frames);
  if (mixed === null) {
    player.port.postMessage(frames);
  } else {
    const copy = new Float32Array(mixed);
    player.port.postMessage(copy, [copy.buffer]);
    ++counted.heard;
  }
  ++counted.posted;
}

// For tests: the context's state, the periods posted and heard, the gaps,
// and the seconds from a period to its sound.
export function view() {
  return {
    context: audio ? audio.state : null,
    ...counted,
    lead: SOUND_LEAD_S,
    latency: audio
      ? SOUND_LEAD_S + RENDER_QUANTUM / rate + audio.baseLatency + (audio.outputLatency || 0)
      : null,
  };
}
