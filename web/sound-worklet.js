// The page's sound on the audio thread: the frames the page posts each
// period (left and right in turn, or a count of silent frames), played in
// order a lead behind. While none are queued it plays silence, and where
// that breaks off a sound it tells the page: an underrun. What comes after
// a gap waits the lead again; what piles up past the most it keeps is
// dropped, so that the sound never falls further behind.
"use strict";

class QuenmarSound extends AudioWorkletProcessor {
  constructor({ processorOptions: { lead, most } }) {
    super();
    this.lead = lead; // frames of silence before what follows a gap
    this.most = most; // frames it keeps queued at the most
    this.queue = []; // Float32Arrays of frames, or numbers of silent frames
    this.queued = 0; // frames in the queue, less those played of the first
    this.at = 0; // frames played of the first
    this.heard = false; // the last frames played were not silent
    this.port.onmessage = (event) => this.take(event.data);
  }

  static frames(chunk) {
    return typeof chunk === "number" ? chunk : chunk.length / 2;
  }

  take(chunk) {
    if (this.queue.length === 0) this.add(this.lead);
    this.add(chunk);
    while (this.queued > this.most) {
      this.queued -= QuenmarSound.frames(this.queue.shift()) - this.at;
      this.at = 0;
    }
  }

  add(chunk) {
    this.queue.push(chunk);
    this.queued += QuenmarSound.frames(chunk);
  }

  process(inputs, outputs) {
    const [left, right] = outputs[0];
    for (let f = 0; f < left.length;) {
      const chunk = this.queue[0];
      if (chunk === undefined) {
        left.fill(0, f);
        right.fill(0, f);
        if (this.heard) this.port.postMessage("underrun");
        this.heard = false;
        return true;
      }
      const count = Math.min(QuenmarSound.frames(chunk) - this.at, left.length - f);
      if (typeof chunk === "number") {
        left.fill(0, f, f + count);
        right.fill(0, f, f + count);
      } else {
        for (let i = 0; i < count; ++i) {
          left[f + i] = chunk[2 * (this.at + i)];
          right[f + i] = chunk[2 * (this.at + i) + 1];
        }
      }
      this.heard = typeof chunk !== "number";
      f += count;
      this.at += count;
      this.queued -= count;
      if (this.at === QuenmarSound.frames(chunk)) {
        this.queue.shift();
        this.at = 0;
      }
    }
    return true;
  }
}

registerProcessor("quenmar-sound", QuenmarSound);
