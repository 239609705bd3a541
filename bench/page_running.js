// The page playing in headless Chromium, measured from outside: CPU use of
// all of Chromium's processes over RUN_SECONDS (20), first of the floor (a
// page that does nothing but put a field-sized picture on a canvas 40 times
// a second, bench/floor/), then of the page at level 1 and, brought there as
// a player does (Esc, "Next level", again and again), at level 50, its sound
// woken by a first key; at level 50 once more with the sound turned off by m,
// and once more with its storage refused, so that it keeps nothing. With the
// sound: the gaps in it, and how long a cue takes to be heard. Last, the
// page brings back a kept battle (KEPT_BATTLE, a file) and says how long it
// took. The window is sized so that the field is 723 x 651 pixels, as on the
// desktop.
// Usage: NODE_PATH=/usr/share/nodejs node bench/page_running.js BUILD_WEB_DIR [KEPT_BATTLE]
"use strict";
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const { Browser } = require("../tests/web/browser.js");

const SECONDS = Number(process.env.RUN_SECONDS || 20);
const SOUND_SECONDS = Number(process.env.SOUND_SECONDS || 60); // level 50 with its sound: a minute
const HZ = 100; // clock ticks a second in /proc/PID/stat (getconf CLK_TCK on Linux)
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// User and system CPU ticks of a process and all below it.
function cpuTicks(root) {
  const children = new Map();
  const ticks = new Map();
  for (const pid of fs.readdirSync("/proc").filter((name) => /^\d+$/.test(name))) {
    let stat;
    try {
      stat = fs.readFileSync(`/proc/${pid}/stat`, "utf8");
    } catch {
      continue;
    }
    const fields = stat.slice(stat.lastIndexOf(")") + 2).split(" ");
    const parent = Number(fields[1]);
    ticks.set(Number(pid), Number(fields[11]) + Number(fields[12]));
    if (!children.has(parent)) children.set(parent, []);
    children.get(parent).push(Number(pid));
  }
  let total = 0;
  for (const pending = [root]; pending.length > 0;) {
    const pid = pending.pop();
    total += ticks.get(pid) ?? 0;
    pending.push(...(children.get(pid) ?? []));
  }
  return total;
}

async function measure(browser, span = SECONDS) {
  await sleep(1500);
  const [cpu0, t0, ticks0] = [
    cpuTicks(browser.chromium.pid),
    Date.now(),
    (await browser.state()).ticks,
  ];
  await sleep(span * 1000);
  const [cpu1, t1, ticks1] = [
    cpuTicks(browser.chromium.pid),
    Date.now(),
    (await browser.state()).ticks,
  ];
  const seconds = (t1 - t0) / 1000;
  return { cpu: (100 * (cpu1 - cpu0)) / HZ / seconds, ticksPerSecond: (ticks1 - ticks0) / seconds };
}

(async () => {
  // The site and the floor side by side, served from one folder.
  const root = fs.mkdtempSync(path.join(os.tmpdir(), "quenmar-bench-"));
  fs.cpSync(
    path.join(path.resolve(process.argv[2] || "build-web"), "site"),
    path.join(root, "site"),
    {
      recursive: true,
    },
  );
  fs.cpSync(path.join(__dirname, "floor"), path.join(root, "floor"), { recursive: true });
  const browser = new Browser();
  await browser.open(root);
  await browser.send("Emulation.setDeviceMetricsOverride", {
    width: 739,
    height: 720,
    deviceScaleFactor: 1,
    mobile: false,
  });
  browser.page = `${browser.origin}/floor/`;
  await browser.send("Page.navigate", { url: browser.page });
  const floor = await measure(browser);
  browser.page = `${browser.origin}/site/`;
  await browser.load();
  await browser.key("Tab", "Tab", 9); // wakes the sound, and does nothing else
  const width = await browser.evaluate("field.width");
  const level1 = await measure(browser);
  for (
    let level = (await browser.state()).level;
    level < 50;
    level = (await browser.state()).level
  ) {
    await browser.key("Escape", "Escape", 27);
    await browser.until("window.quenmar.state().dialog", (dialog) => dialog === "result", "Result");
    await browser.click("#next-level");
    await browser.until(
      "window.quenmar.state()",
      (s) => s.dialog === null && s.level > level,
      `the level after ${level}`,
    );
  }
  const gaps = (await browser.state()).sound.underruns;
  const level50 = await measure(browser, SOUND_SECONDS);
  const { sound } = await browser.state();
  await browser.key("m", "KeyM", 77, 0, "m");
  const muted = await measure(browser);
  // Its storage refused, the page keeps nothing: what keeping costs.
  await browser.send("Storage.overrideQuotaForOrigin", { origin: browser.origin, quotaSize: 1 });
  const unkept = await measure(browser);
  await browser.send("Storage.overrideQuotaForOrigin", { origin: browser.origin });
  const say = ({ cpu, ticksPerSecond }) =>
    `${cpu.toFixed(2)} % of one core (all of Chromium), ${ticksPerSecond.toFixed(2)} ticks/s`;
  console.log(`field: ${width} pixels wide`);
  console.log(`floor: ${say(floor)}`);
  console.log(`level 1:  ${say(level1)}`);
  console.log(`level 50: ${say(level50)}`);
  console.log(`level 50, sound off: ${say(muted)}`);
  console.log(`level 50, sound off, keeping nothing: ${say(unkept)}`);
  console.log(`level 1 against the floor: ${(level1.cpu / floor.cpu).toFixed(2)} x`);
  console.log(
    `level 50 with its sound against the floor: ${(level50.cpu / floor.cpu).toFixed(2)} x`,
  );
  console.log(`keeping costs: ${(muted.cpu - unkept.cpu).toFixed(2)} % of one core at level 50`);
  console.log(
    `sound: ${sound.context}, ran out of frames ${sound.underruns - gaps} times in ${SOUND_SECONDS} s at level 50`,
  );
  console.log(
    `cue to sound: ${(1000 * sound.latency).toFixed(1)} ms (${1000 * sound.lead} ms queued in the worklet, ` +
      `a render quantum, and the context's base and output latency)`,
  );
  if (process.argv[3]) {
    // The kept battle as the newest the page keeps, and the page loaded again.
    const text = fs.readFileSync(process.argv[3], "utf8");
    await browser.keepBattle(text);
    await browser.send("Page.reload");
    await browser.until(
      "window.quenmar?.state().replay",
      (replay) => replay?.paused,
      "the battle back",
      30,
    );
    const took = await browser.evaluate("performance.getEntriesByName('brought back')[0].duration");
    const periods = (await browser.state()).replay.length;
    console.log(`brought back: ${periods} periods at level 50 in ${took.toFixed(0)} ms`);
  }
  await browser.close();
  fs.rmSync(root, { recursive: true });
})();
