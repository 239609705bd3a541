// The page in headless Chromium, driven by real input events over the
// DevTools protocol. Usage: node tests/web/page_test.js BUILD_WEB_DIR QUENMAR_SIM
// (Debian's node-ws: NODE_PATH=/usr/share/nodejs).
"use strict";
const test = require("node:test");
const assert = require("node:assert");
const { spawnSync } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const { Browser } = require("./browser.js");

const BUILD = path.resolve(process.argv[2] || "build-web");
// A copy of the served folder, under a path of its own as a static server may put it.
const ROOT = fs.mkdtempSync(path.join(os.tmpdir(), "quenmar-served-"));
const SITE = path.join(ROOT, "games", "quenmar");
fs.cpSync(path.join(BUILD, "site"), SITE, { recursive: true });
const NATIVE_SIM = process.argv[3];

const ESC = ["Escape", "Escape", 27],
  F1 = ["F1", "F1", 112],
  TAB = ["Tab", "Tab", 9];
const SPACE = [" ", "Space", 32, 0, " "],
  UP = ["ArrowUp", "ArrowUp", 38],
  P = ["p", "KeyP", 80, 0, "p"];
const LEFT = ["ArrowLeft", "ArrowLeft", 37],
  HOME = ["Home", "Home", 36],
  END = ["End", "End", 35];
const KEY_UP = { key: "ArrowUp", code: "ArrowUp", windowsVirtualKeyCode: 38 };
const STEP = [".", "Period", 190, 0, "."],
  PLUS = ["+", "Equal", 187, 8, "+"],
  MINUS = ["-", "Minus", 189, 0, "-"];
const EQUAL = ["=", "Equal", 187, 0, "="];
const ENTER = ["Enter", "Enter", 13, 0, "\r"],
  RIGHT = ["ArrowRight", "ArrowRight", 39],
  BACKSPACE = ["Backspace", "Backspace", 8];
const KEPT = path.join(__dirname, "../battles/desktop.battle");
const KEPT_TEXT = fs.readFileSync(KEPT, "utf8");
const linkTo = (page) =>
  `${page}#battle=${require("node:zlib").deflateSync(KEPT_TEXT).toString("base64url")}`;

// The lines of a battle file up to a period, its end aside.
const linesUpTo = (text, period) =>
  text
    .split("\n")
    .filter(
      (line, i) =>
        i < 4 || (line !== "" && Number(line.split(" ")[0]) <= period && !line.endsWith(" end")),
    )
    .join("\n");

// The battles the page keeps, each its record and its lines, oldest first.
const KEPT_BATTLES = `new Promise((resolve) => { indexedDB.open("quenmar").onsuccess = ({ target: { result: db } }) => {
  const t = db.transaction(["battles", "lines"]);
  t.objectStore("battles").getAll().onsuccess = ({ target: { result: records } }) => {
    t.objectStore("lines").openCursor().onsuccess = ({ target: { result: cursor } }) => {
      if (!cursor) return resolve(records);
      const record = records.find((r) => r.id === cursor.key[0]);
      record.text = (record.text ?? "") + cursor.value;
      cursor.continue();
    };
  };
}; })`;

// A pad of the test's own in place of the browser's, in its standard mapping:
// window.pad, and the rumbles asked of it in window.rumbles; and a phone's
// vibrations in window.vibrations.
const STAND_IN_PAD = `(() => {
  const pad = { index: 0, id: "stand-in", connected: true, mapping: "standard", axes: [0, 0, 0, 0],
    buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })),
    vibrationActuator: { playEffect: (type, effect) => (rumbles.push(effect), Promise.resolve("complete")) } };
  const rumbles = [], vibrations = [];
  Object.assign(window, { pad, rumbles, vibrations });
  Object.defineProperty(navigator, "getGamepads", { value: () => [pad.connected ? pad : null] });
  Object.defineProperty(navigator, "vibrate", { value: (ms) => vibrations.push(ms) > 0 });
})()`;
const padEvent = (type) =>
  `window.dispatchEvent(Object.assign(new Event("${type}"), { gamepad: pad }))`;

// A battle file fought again in both quenmar-sims: every checkpoint holds, to its end.
function replaysWhole(battle) {
  const file = path.join(os.tmpdir(), `quenmar-page-${process.pid}.battle`);
  fs.writeFileSync(file, battle);
  for (const [program, ...args] of [["node", path.join(BUILD, "quenmar-sim.js")], [NATIVE_SIM]]) {
    const run = spawnSync(program, [...args, "--battle", file], { encoding: "utf8" });
    assert.strictEqual(run.status, 0, run.stderr);
    assert.match(run.stdout, /every checkpoint held/);
  }
  fs.rmSync(file);
}

// The field's picture, as a hash of what the canvas shows, and the world's.
const SHOWN = `(() => { const d = field.getContext("2d").getImageData(0, 0, field.width, field.height).data;
  let h = 2166136261; for (let i = 0; i < d.length; i++) h = Math.imul(h ^ d[i], 16777619) >>> 0;
  return [h, window.quenmar.state().world]; })()`;

// Sets window.playerFired once a shell leaves the player's tank, watching
// more often than the battle's periods run.
function watchPlayerShell(browser) {
  return browser.evaluate(`window.playerFired = false; clearInterval(window.shellWatch);
    window.shellWatch = setInterval(() => { if (window.quenmar.state().player.shell >= 2) window.playerFired = true; }, 5);`);
}

test("the page", async (t) => {
  const browser = new Browser();
  await browser.open(ROOT);
  browser.page = `${browser.origin}/games/quenmar/`;
  t.after(async () => {
    await browser.close();
    fs.rmSync(ROOT, { recursive: true });
  });

  await t.test("loads from its own files alone, a policy saying so, with no error", async () => {
    await browser.load();
    assert.ok(browser.requests.length >= 4);
    for (const url of browser.requests) assert.ok(url.startsWith(browser.origin), url);
    const policy = await browser.evaluate(
      "document.querySelector('meta[http-equiv=Content-Security-Policy]').content",
    );
    assert.match(policy, /default-src 'none'/);
    assert.deepStrictEqual(browser.errors, []);
  });

  await t.test(
    "sounds once a key has woken it: a shot plays its cue, and nothing is heard after m",
    async () => {
      const before = await browser.state();
      assert.strictEqual(
        before.sound.context,
        "suspended",
        "no sound before any key, click or touch",
      );
      assert.deepStrictEqual([browser.errors, browser.warnings], [[], []]);
      await browser.key(...TAB);
      await browser.until(
        "window.quenmar.state().sound.context",
        (context) => context === "running",
        "the sound to wake",
      );
      const box = await browser.evaluate(
        "(({x, y, width}) => ({x, y, width}))(field.getBoundingClientRect())",
      );
      const shoot = async () => {
        await browser.until(
          "window.quenmar.state().player.shell",
          (shell) => shell === 0,
          "the player's shell to be ready",
        );
        const { sound } = await browser.state();
        await browser.send("Input.dispatchMouseEvent", {
          type: "mouseMoved",
          x: box.x + box.width * 0.9,
          y: box.y + 20,
        });
        for (const type of ["mousePressed", "mouseReleased"]) {
          await browser.send("Input.dispatchMouseEvent", {
            type,
            x: box.x + box.width * 0.9,
            y: box.y + 20,
            button: "left",
            buttons: type === "mousePressed" ? 1 : 0,
            clickCount: 1,
          });
        }
        await browser.until(
          "window.quenmar.state().sound.shotsPlayed",
          (shots) => shots > sound.shotsPlayed,
          "the shot's cue",
        );
        return (await browser.state()).sound;
      };
      const shot = await shoot();
      await browser.until(
        "window.quenmar.state().sound.heard",
        (heard) => heard > before.sound.heard,
        "the shot to be heard",
      );
      const M = ["m", "KeyM", 77, 0, "m"];
      await browser.key(...M);
      await browser.until(
        "window.quenmar.state().sound.muted",
        (muted) => muted,
        "m to turn the sound off",
      );
      await new Promise((resolve) => setTimeout(resolve, 200)); // what was mixed before m plays out
      const { heard } = (await browser.state()).sound;
      await shoot();
      await new Promise((resolve) => setTimeout(resolve, 300));
      assert.strictEqual((await browser.state()).sound.heard, heard, "nothing is heard after m");
      assert.strictEqual(
        await browser.evaluate("localStorage.getItem('quenmar-sound-off')"),
        "1",
        "m is kept",
      );
      await browser.key(...M);
      assert.ok(shot.latency <= 0.08, `a cue is heard ${shot.latency} s after its period`);
      await browser.load(); // a battle afresh for what follows
    },
  );

  await t.test("drives the tank by the key in W's place, whatever its letter", async () => {
    await browser.send("Input.dispatchKeyEvent", {
      type: "keyDown",
      key: "z",
      code: "KeyW",
      windowsVirtualKeyCode: 90,
    });
    await browser.until(
      "window.quenmar.state().player.speed",
      (speed) => speed > 0.5,
      "the tank to move",
    );
    await browser.send("Input.dispatchKeyEvent", {
      type: "keyUp",
      key: "z",
      code: "KeyW",
      windowsVirtualKeyCode: 90,
    });
  });

  await t.test(
    "opens Result on Esc, which keeps the keyboard, Tab going round its own buttons",
    async () => {
      await browser.key(...TAB);
      assert.strictEqual(await browser.focused(), "field", "Tab on the field does nothing");
      // Keys pressed at once, before Result has opened, do not reach its buttons.
      await browser.keysAtOnce([ESC, TAB, SPACE]);
      const shown = await browser.until(
        "window.quenmar.state()",
        (s) => s.dialog === "result",
        "Result",
      );
      assert.strictEqual(shown.running, false);
      assert.strictEqual(await browser.focused(), "back");
      await browser.key(...UP);
      await browser.key(...P);
      await browser.key(...F1);
      assert.strictEqual(await browser.focused(), "back");
      assert.deepStrictEqual(
        [(await browser.state()).running, (await browser.state()).dialog],
        [false, "result"],
      );
      const order = [];
      for (const shift of [0, 0, 0, 0, 8, 8]) {
        await browser.key(...TAB, shift);
        order.push(
          await browser.evaluate("document.activeElement.id || document.activeElement.className"),
        );
      }
      assert.deepStrictEqual(order, [
        "next-level",
        "copy-link",
        "save",
        "quit",
        "save",
        "copy-link",
      ]);
      await browser.evaluate("document.getElementById('back').focus()");
      await browser.key(...SPACE);
      await browser.until(
        "window.quenmar.state()",
        (s) => s.dialog === null && s.running,
        "Back to resume",
      );
      assert.strictEqual(await browser.focused(), "field");
    },
  );

  await t.test("opens Help on F1 and closes it on F1", async () => {
    await browser.key(...F1);
    await browser.until("window.quenmar.state().dialog", (dialog) => dialog === "help", "Help");
    assert.strictEqual(await browser.focused(), "close");
    assert.ok(
      await browser.evaluate(
        "[...help.querySelectorAll('p')].every((p) => p.scrollWidth <= p.clientWidth && p.getBoundingClientRect().right <= help.getBoundingClientRect().right)",
      ),
      "Help fits its text",
    );
    assert.match(await browser.evaluate("help.innerText"), /Backspace goes back ten seconds/);
    await browser.key(...F1);
    await browser.until(
      "window.quenmar.state().dialog",
      (dialog) => dialog === null,
      "Help to close",
    );
  });

  await t.test("fires on a quick left click, and shows no context menu", async () => {
    await watchPlayerShell(browser);
    const box = await browser.evaluate(
      "(({x, y, width}) => ({x, y, width}))(field.getBoundingClientRect())",
    );
    const at = { x: box.x + (700 * box.width) / 723, y: box.y + (20 * box.width) / 723 };
    for (const type of ["mouseMoved", "mousePressed", "mouseReleased"]) {
      await browser.send("Input.dispatchMouseEvent", {
        type,
        ...at,
        button: "left",
        buttons: type === "mousePressed" ? 1 : 0,
        clickCount: 1,
      });
    }
    await browser.until("window.playerFired", (fired) => fired, "a shell from the player's tank");
    const prevented = await browser.evaluate(
      "!field.dispatchEvent(new MouseEvent('contextmenu', { cancelable: true, bubbles: true }))",
    );
    assert.strictEqual(prevented, true);
  });

  await t.test(
    "keeps the battle played, which replays from its link and in both quenmar-sims, and replays the desktop's",
    async () => {
      const battle = await browser.evaluate("window.quenmar.battle()");
      replaysWhole(battle);
      const link = await browser.evaluate("window.quenmar.link()");
      assert.ok(link.startsWith(`${browser.page}#battle=`), link);
      await browser.send("Page.navigate", { url: "about:blank" }); // opened afresh, as from a chat message
      await browser.send("Page.navigate", { url: link });
      await browser.until(
        "window.quenmar.state().replay",
        (replay) => replay?.state === "over",
        "the replay's end",
        60,
      );
      assert.strictEqual(
        await browser.evaluate("field.width"),
        await browser.evaluate(
          "Math.round(field.getBoundingClientRect().width * devicePixelRatio)",
        ),
        "drawn at the screen's own pixels",
      );
      await browser.key(...ESC);
      await browser.until(
        "document.getElementById('ended').hidden",
        (hidden) => hidden === false,
        "Esc to end the replay",
      );
      // The same battle with its last checkpoint altered parts from it there, in one line.
      const altered = battle.replace(
        /check (\w)(\w+)\n$/,
        (_, first, rest) => `check ${first === "0" ? "1" : "0"}${rest}\n`,
      );
      const alteredLink = await browser.evaluate(`(async () => {
      const bytes = new Uint8Array(await new Response(new Blob([${JSON.stringify(altered)}]).stream()
        .pipeThrough(new CompressionStream("deflate"))).arrayBuffer());
      return location.origin + location.pathname + "#battle=" + btoa(String.fromCharCode(...bytes)).split("+").join("-").split("/").join("_").replace(/=+$/, "");
    })()`);
      await browser.send("Page.navigate", { url: alteredLink });
      await browser.until(
        "window.quenmar.state().replay",
        (replay) => replay?.state === "parted",
        "the replay to part",
        60,
      );
      assert.match(
        await browser.evaluate("document.getElementById('ended-message').textContent"),
        /^link: period \d+: the battle parts from the recorded one/,
      );
      // A battle kept by the desktop game, chosen with the file picker.
      const { root } = await browser.send("DOM.getDocument");
      const { nodeId } = await browser.send("DOM.querySelector", {
        nodeId: root.nodeId,
        selector: "#battle-file",
      });
      await browser.send("DOM.setFileInputFiles", {
        nodeId,
        files: [path.join(__dirname, "../battles/desktop.battle")],
      });
      await browser.until(
        "window.quenmar.state()",
        (s) => s.replay?.state === "over" && s.periods === 1453,
        "the desktop's battle to its end",
        90,
      );
      await browser.send("Page.navigate", { url: `${browser.page}#battle=%%%` });
      await browser.until(
        "document.getElementById('ended-message').textContent",
        (m) => /not base64url/.test(m),
        "a bad link's line",
      );
      await browser.load();
    },
  );

  await t.test(
    "a replay goes faster, slower, pauses, steps and jumps by its keys and its bar, landing where watching does",
    async () => {
      const link = linkTo(browser.page);
      // A first touch brings the touch controls in first, so that the field keeps one size throughout.
      await browser.send("Emulation.setTouchEmulationEnabled", {
        enabled: true,
        maxTouchPoints: 5,
      });
      await browser.send("Input.dispatchTouchEvent", {
        type: "touchStart",
        touchPoints: [{ x: 2, y: 2 }],
      });
      await browser.send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
      await browser.send("Page.navigate", { url: link });
      await browser.until(
        "window.quenmar.state().replay",
        (r) => r?.state === "running",
        "the replay",
      );
      const replay = () => browser.evaluate("window.quenmar.state().replay");
      for (const [key, times, speed] of [
        [PLUS, 3, "8 ×"],
        [MINUS, 5, "¼ ×"],
        [EQUAL, 2, "1 ×"],
      ]) {
        for (let press = 0; press < times; ++press) await browser.key(...key);
        assert.strictEqual((await replay()).speed, speed);
      }
      await browser.key(...P);
      await browser.key(...HOME);
      assert.deepStrictEqual([(await replay()).paused, (await replay()).period], [true, 0]);
      assert.match(
        await browser.evaluate("document.getElementById('replay-line').textContent"),
        /^Level 0 · 0:00 \/ 0:36 · 1 × · Replay paused/,
      );
      // Watched a period at a time to `period` from the start: what it shows there.
      const watched = async (period) => {
        await browser.key(...HOME);
        for (let step = 0; step < period; ++step) await browser.key(...STEP);
        assert.strictEqual((await replay()).period, period);
        return browser.evaluate(SHOWN);
      };
      const at253 = await watched(253);
      await browser.key(...END);
      await browser.until(
        "window.quenmar.state().replay",
        (r) => r.state === "over",
        "the end",
        20,
      );
      for (let back = 0; back < 3; ++back) await browser.key(...LEFT);
      assert.strictEqual((await replay()).period, 253);
      assert.deepStrictEqual(
        await browser.evaluate(SHOWN),
        at253,
        "ten seconds back three times from the end",
      );
      // The bar, dragged from 80 % to 40 % by the mouse, and from 70 % to 30 % by a finger.
      let bar;
      const at = (fraction) => ({ x: bar.x + bar.width * fraction, y: bar.y + bar.height / 2 });
      const mouse = (type, fraction) =>
        browser.send("Input.dispatchMouseEvent", {
          type,
          ...at(fraction),
          button: "left",
          buttons: type === "mouseReleased" ? 0 : 1,
          clickCount: 1,
        });
      const finger = (type, fraction) =>
        browser.send("Input.dispatchTouchEvent", {
          type,
          touchPoints: type === "touchEnd" ? [] : [at(fraction)],
        });
      const dragged = [];
      for (const [drag, to] of [
        [
          [
            [mouse, "mousePressed", 0.8],
            [mouse, "mouseMoved", 0.5],
            [mouse, "mouseMoved", 0.4],
            [mouse, "mouseReleased", 0.4],
          ],
          0.4,
        ],
        [
          [
            [finger, "touchStart", 0.7],
            [finger, "touchMove", 0.5],
            [finger, "touchMove", 0.3],
            [finger, "touchEnd"],
          ],
          0.3,
        ],
      ]) {
        await browser.send("Emulation.setTouchEmulationEnabled", {
          enabled: drag[0][0] === finger,
          maxTouchPoints: 5,
        });
        bar = await browser.evaluate(
          "(({x, y, width, height}) => ({x, y, width, height}))(position.getBoundingClientRect())",
        );
        for (const [send, type, fraction] of drag) await send(type, fraction);
        const { period } = await replay();
        assert.ok(
          Math.abs(period - to * 1453) < 30,
          `dragged to ${to}, landed at period ${period}`,
        );
        dragged.push([period, await browser.evaluate(SHOWN)]);
      }
      await browser.send("Emulation.setTouchEmulationEnabled", { enabled: false });
      for (const [period, shown] of dragged)
        assert.deepStrictEqual(await watched(period), shown, `period ${period}`);
      await browser.load();
    },
  );

  await t.test(
    "keeps its battle as it is fought: killed, the browser brings it back paused, at most two seconds short, to go on in the same battle; a second tab starts its own",
    async () => {
      await browser.load();
      await browser.send("Input.dispatchKeyEvent", { type: "keyDown", ...KEY_UP });
      await new Promise((resolve) => setTimeout(resolve, 3000));
      const { periods } = await browser.state();
      await browser.kill();
      await browser.launch();
      await browser.send("Page.navigate", { url: browser.page });
      const back = await browser.until(
        "window.quenmar?.state().replay",
        (r) => r?.paused,
        "the battle back",
      );
      assert.ok(
        back.period >= periods - 80 && back.period <= periods,
        `${back.period} of ${periods}`,
      );
      assert.match(
        await browser.evaluate("document.getElementById('replay-line').textContent"),
        /Your battle is back/,
      );
      const second = await browser.tab();
      await browser.send("Page.navigate", { url: browser.page }, second);
      const own = await browser.until(
        "window.quenmar?.state()",
        (s) => s?.ticks > 2,
        "a second tab's battle",
        5,
        second,
      );
      assert.strictEqual(own.replay, null, "a battle of its own");
      await browser.key(...ENTER);
      await browser.until(
        "window.quenmar.state()",
        (s) => s.replay === null && s.ticks > back.period,
        "Enter to play on",
      );
      await new Promise((resolve) => setTimeout(resolve, 1500));
      const battle = await browser.evaluate("window.quenmar.battle()");
      const kept = await browser.evaluate(KEPT_BATTLES);
      assert.ok(
        kept.some((b) => b.text.length > back.period && battle.startsWith(b.text) && !b.ended),
      );
      replaysWhole(battle);
    },
  );

  await t.test(
    "a replay taken over by its button is driven by the arrows and kept from its lines to there; Backspace goes back ten seconds and Enter plays on from there",
    async () => {
      await browser.load();
      const link = linkTo(browser.page);
      await browser.send("Page.navigate", { url: link });
      await browser.until(
        "window.quenmar.state().replay",
        (r) => r?.state === "running",
        "the replay",
      );
      await browser.key(...P);
      await browser.key(...HOME);
      await browser.keysAtOnce([RIGHT, RIGHT]);
      await browser.until(
        "window.quenmar.state().replay",
        (r) => r.period === 800,
        "twenty seconds on",
      );
      await browser.click("#play-on");
      await browser.until(
        "window.quenmar.state().replay",
        (r) => r === null,
        "the battle taken over",
      );
      await browser.send("Input.dispatchKeyEvent", { type: "keyDown", ...KEY_UP });
      await browser.until(
        "window.quenmar.state().player.speed",
        (speed) => speed > 0.5,
        "the arrows to drive it",
      );
      await browser.send("Input.dispatchKeyEvent", { type: "keyUp", ...KEY_UP });
      await new Promise((resolve) => setTimeout(resolve, 1200));
      const taken = (await browser.evaluate(KEPT_BATTLES)).at(-1);
      assert.ok(taken.text.startsWith(linesUpTo(KEPT_TEXT, 800)), taken.text.slice(0, 400));
      await new Promise((resolve) => setTimeout(resolve, 10000));
      await browser.key(...BACKSPACE);
      await browser.until(
        "document.getElementById('replay-line').textContent",
        (line) => /shown again/.test(line),
        "ten seconds back",
      );
      await browser.key(...ENTER);
      await browser.until("window.quenmar.state().replay", (r) => r === null, "Enter to play on");
      await browser.until(
        KEPT_BATTLES,
        (kept) => {
          const from800 = kept.filter((b) => b.text.startsWith(linesUpTo(KEPT_TEXT, 800)));
          return from800.length === 2 && from800[0].ended && !from800[1].ended;
        },
        "the battle left behind, ended",
      );
      replaysWhole(await browser.evaluate("window.quenmar.battle()"));
    },
  );

  await t.test(
    "a kept battle that cannot be brought back gets one line, and a new battle starts; so does storage refused",
    async () => {
      const unended = KEPT_TEXT.slice(0, KEPT_TEXT.indexOf("1453 click quit"));
      for (const [text, says] of [
        [unended + "1460 mouse_mo", null],
        [
          linesUpTo(KEPT_TEXT, 0) + "\nx y\n",
          /^kept battle:5: period 'x' is not a whole number; it is kept aside/,
        ],
        [
          unended.replace("800 check c", "800 check 0"),
          /^kept battle: period 800: the battle parts from the recorded one/,
        ],
        ["", /^kept battle:1: empty, not a Quenmar battle file/],
      ]) {
        await browser.load();
        await browser.keepBattle(text);
        await browser.send("Page.reload");
        const s = await browser.until(
          "window.quenmar?.state()",
          (s) => s?.replay !== null || s?.ticks > 2,
          "the page",
        );
        const note = await browser.evaluate("note.hidden ? null : note.textContent");
        if (!says)
          assert.deepStrictEqual(
            [s.replay?.paused, note],
            [true, null],
            "brought back, cut line and all",
          );
        if (!says) continue;
        assert.match(note ?? "", says);
        assert.strictEqual(s.replay, null, "a new battle");
        assert.ok(
          (await browser.evaluate(KEPT_BATTLES)).some(
            (b) => b.id === "9" && b.setAside && b.text === text,
          ),
        );
      }
      await browser.send("Storage.overrideQuotaForOrigin", {
        origin: browser.origin,
        quotaSize: 1,
      });
      await browser.load();
      await browser.until(
        "note.hidden ? '' : note.textContent",
        (note) => /^This battle is not kept: the browser refuses its storage/.test(note),
        "the refusal's line",
      );
      await browser.send("Storage.overrideQuotaForOrigin", { origin: browser.origin });
    },
  );

  await t.test(
    "a game pad drives, aims, fires, opens the score and presses Back, pauses when it goes, and rumbles at a hit until v",
    async () => {
      const { identifier } = await browser.send("Page.addScriptToEvaluateOnNewDocument", {
        source: STAND_IN_PAD,
      });
      await browser.load();
      await browser.evaluate(padEvent("gamepadconnected"));
      assert.match(await browser.evaluate("line.innerText"), /game pad is in use/);
      const pad = (change) => browser.evaluate(`{ ${change} }`);
      const press = async (button) => {
        await pad(`pad.buttons[${button}] = { pressed: true, value: 1 }`);
        await new Promise((resolve) => setTimeout(resolve, 100));
        await pad(`pad.buttons[${button}] = { pressed: false, value: 0 }`);
        await new Promise((resolve) => setTimeout(resolve, 100));
      };
      const S = "window.quenmar.state()";
      const heading = (await browser.state()).player.dir;
      await pad("pad.axes[0] = -1; pad.axes[1] = -1");
      await browser.until(`${S}.player`, (p) => p.speed > 1 && p.dir > heading + 0.5, "a drive");
      await pad("pad.axes[0] = 0; pad.axes[1] = 0; pad.axes[2] = 1");
      const aimed = ({ pointer, player }) =>
        Math.hypot(pointer.x - player.x - 300, pointer.y - player.y);
      await browser.until(S, (s) => aimed(s) <= 2, "the right stick to aim");
      await pad("pad.axes[2] = 0; pad.buttons[7] = { pressed: true, value: 1 }");
      await browser.until(`${S}.player.shell`, (shell) => shell >= 2, "the trigger to fire");
      await pad("pad.buttons[7] = { pressed: false, value: 0 }");
      await press(9); // Start
      await browser.until(`${S}.dialog`, (dialog) => dialog === "result", "Result");
      await press(15); // the D-pad's right
      assert.strictEqual(await browser.focused(), "next-level");
      await press(14);
      await press(0); // A
      await browser.until(S, (s) => !s.dialog && s.running && s.level === 1, "A to press Back");
      await pad(`pad.connected = false; ${padEvent("gamepaddisconnected")}`);
      await browser.until(`${S}.running`, (running) => !running, "the pad gone to pause");
      // Hits felt: the desktop's battle shown again, its player hit at period 140.
      await browser.send("Page.navigate", { url: linkTo(browser.page) });
      await browser.until(`${S}.replay`, (replay) => replay, "the replay");
      await pad(`pad.connected = true; ${padEvent("gamepadconnected")}`);
      await browser.keysAtOnce([PLUS, PLUS, PLUS]);
      const [felt] = await browser.until("rumbles", (rumbles) => rumbles.length, "a rumble", 10);
      assert.deepStrictEqual(felt, { duration: 150, strongMagnitude: 0.5, weakMagnitude: 0.5 });
      await browser.key("v", "KeyV", 86, 0, "v");
      const before = (await browser.evaluate("rumbles")).length;
      await browser.key(...HOME);
      await browser.until(`${S}.replay.period`, (period) => period > 300, "the hits again");
      assert.strictEqual((await browser.evaluate("rumbles")).length, before, "no rumble after v");
      await browser.key("v", "KeyV", 86, 0, "v");
      await browser.send("Page.removeScriptToEvaluateOnNewDocument", { identifier });
      await browser.load();
    },
  );

  await t.test("ends on Quit, says so with the final score and offers a new game", async () => {
    await browser.key(...ESC);
    await browser.until("window.quenmar.state().dialog", (dialog) => dialog === "result", "Result");
    await browser.key(...TAB, 8);
    assert.strictEqual(await browser.focused(), "quit");
    await browser.key("Enter", "Enter", 13, 0, "\r");
    await browser.until(
      "document.getElementById('ended').hidden",
      (hidden) => hidden === false,
      "the end",
    );
    assert.match(
      await browser.evaluate("document.getElementById('ended-message').textContent"),
      /ended/,
    );
    assert.match(
      await browser.evaluate("document.getElementById('final-score').textContent"),
      /^Wins: \d+ +Losses: \d+$/,
    );
    await browser.evaluate("document.getElementById('new-game').click()");
    await browser.until(
      "window.quenmar.state()",
      (s) => s.running && s.level === 1 && s.periods < 40,
      "a new game",
    );
  });

  for (const [layout, width, height] of [
    ["sideways", 844, 390],
    ["upright", 390, 844],
  ]) {
    await t.test(
      `plays by touch on a phone held ${layout}, the field whole and drawn at the screen's own pixels`,
      async () => {
        const { identifier } = await browser.send("Page.addScriptToEvaluateOnNewDocument", {
          source: STAND_IN_PAD,
        });
        await browser.send("Emulation.setDeviceMetricsOverride", {
          width,
          height,
          deviceScaleFactor: 3,
          mobile: true,
        });
        await browser.send("Emulation.setTouchEmulationEnabled", {
          enabled: true,
          maxTouchPoints: 5,
        });
        await browser.load();
        const box = (selector) =>
          browser.evaluate(
            `(({x, y, width, height}) => ({x, y, width, height}))(document.querySelector("${selector}").getBoundingClientRect())`,
          );
        const [field, pad, keys, line] = [
          await box("#field"),
          await box("#pad"),
          await box("#keys"),
          await box("#line"),
        ];
        const apart = (a, b) =>
          a.x + a.width <= b.x ||
          b.x + b.width <= a.x ||
          a.y + a.height <= b.y ||
          b.y + b.height <= a.y;
        assert.ok(
          field.x >= 0 &&
            field.y >= 0 &&
            field.x + field.width <= width &&
            field.y + field.height <= height,
          "the field whole on screen",
        );
        assert.ok(
          [pad, keys, line].every((control) => apart(field, control)),
          "no control over the field",
        );
        if (layout === "sideways")
          assert.ok(
            pad.x + pad.width <= field.x && field.x + field.width <= keys.x,
            "pad, field and buttons side by side",
          );
        else
          assert.ok(
            field.width > 360 && field.y + field.height <= pad.y,
            "the field on top at full width, the pad below",
          );
        assert.strictEqual(await browser.evaluate("field.width"), Math.round(field.width * 3));
        const touch = (type, points) =>
          browser.send("Input.dispatchTouchEvent", { type, touchPoints: points });
        const tap = async (selector) => {
          const { x, y } = await box(selector);
          await touch("touchStart", [{ x: x + 10, y: y + 10 }]);
          await touch("touchEnd", []);
        };
        // One thumb holds the pad between its faster and its left zone and a
        // finger rests on the field: the tank speeds up and turns at once, and fires.
        await watchPlayerShell(browser);
        const heading = (await browser.state()).player.dir;
        const thumb = { x: pad.x + pad.width * 0.2, y: pad.y + pad.height * 0.2, id: 1 };
        await touch("touchStart", [thumb]);
        await touch("touchStart", [
          thumb,
          { x: field.x + field.width * 0.9, y: field.y + field.height * 0.1, id: 2 },
        ]);
        await browser.until(
          "window.quenmar.state().player",
          (p) => p.speed > 0.5 && p.dir > heading + 0.5,
          "the tank to speed up and turn left",
        );
        await browser.until(
          "window.playerFired",
          (fired) => fired,
          "a shell from the player's tank",
        );
        await touch("touchEnd", []);
        await tap("#keys button[data-key=Escape]");
        await browser.until(
          "window.quenmar.state().dialog",
          (dialog) => dialog === "result",
          "Result from its button",
        );
        const back = await box("#back");
        assert.ok(back.width >= 44 && back.height >= 44, "Back takes a finger");
        await tap("#back");
        await browser.until(
          "window.quenmar.state().dialog",
          (dialog) => dialog === null,
          "Back, tapped, to close Result",
        );
        await tap("#keys button[data-key=F1]");
        await browser.until(
          "window.quenmar.state().dialog",
          (dialog) => dialog === "help",
          "Help from its button",
        );
        await tap("#close");
        await browser.until(
          "window.quenmar.state().dialog",
          (dialog) => dialog === null,
          "Close, tapped, to close Help",
        );
        // Swipes and a pinch move and zoom nothing.
        for (const [from, to] of [
          [
            [20, height - 20],
            [20, 20],
          ],
          [
            [width / 2, 30],
            [width / 2, height - 30],
          ],
        ]) {
          await touch("touchStart", [{ x: from[0], y: from[1] }]);
          await touch("touchMove", [{ x: to[0], y: to[1] }]);
          await touch("touchEnd", []);
        }
        await browser.send("Input.synthesizePinchGesture", {
          x: width / 2,
          y: height / 2,
          scaleFactor: 3,
          gestureSourceType: "touch",
        });
        assert.deepStrictEqual(
          await browser.evaluate("[scrollX, scrollY, visualViewport.scale]"),
          [0, 0, 1],
        );
        const prevented = await browser.evaluate(
          "!document.body.dispatchEvent(new MouseEvent('contextmenu', { cancelable: true, bubbles: true }))",
        );
        assert.strictEqual(prevented, true, "no context menu anywhere");
        // A replay's buttons, Start and "Play from here" among them, all on the
        // screen, and the line says what they do.
        await browser.send("Page.navigate", { url: linkTo(browser.page) });
        await browser.until("window.quenmar.state().replay", (replay) => replay, "the replay");
        const buttons = await browser.evaluate(`[...document.querySelectorAll("#keys button")]
          .filter((b) => b.offsetParent).map((b) => ({ text: b.textContent, ...b.getBoundingClientRect().toJSON() }))`);
        assert.ok(
          ["Start", "Play from here", "End"].every((t) => buttons.some((b) => b.text === t)),
        );
        for (const b of buttons) {
          assert.ok(b.left >= 0 && b.top >= 0 && b.right <= width && b.bottom <= height, b.text);
        }
        assert.match(await browser.evaluate("line.innerText"), /^The buttons pause/);
        // A hit felt: the phone vibrates, and no more after its rumble button.
        for (let i = 0; i < 3; ++i) await tap("#keys button[data-key='+']");
        await browser.until(
          "window.vibrations",
          (v) => v.includes(150),
          "a vibration at a hit",
          10,
        );
        await tap("#vibration");
        const felt = (await browser.evaluate("window.vibrations")).length;
        await tap("#keys button[data-key=Home]");
        await browser.until(
          "window.quenmar.state().replay.period",
          (p) => p > 300,
          "the hits again",
        );
        assert.strictEqual((await browser.evaluate("window.vibrations")).length, felt);
        await tap("#vibration");
        await browser.send("Page.removeScriptToEvaluateOnNewDocument", { identifier });
      },
    );
  }

  await t.test("opens and plays with no network after the first visit", async () => {
    await browser.until(
      "Promise.race([navigator.serviceWorker.ready.then(() => true), new Promise((r) => setTimeout(r, 200, false))])",
      (ready) => ready,
      "the service worker",
    );
    await browser.send("Network.emulateNetworkConditions", {
      offline: true,
      latency: 0,
      downloadThroughput: -1,
      uploadThroughput: -1,
    });
    browser.server.kill();
    await browser.load();
    const manifest = await browser.evaluate(`fetch("quenmar.webmanifest").then((r) => r.json())`);
    const sizes =
      await browser.evaluate(`Promise.all(${JSON.stringify(manifest.icons.map((icon) => icon.src))}.map((src) =>
      new Promise((resolve) => { const image = new Image(); image.onload = () => resolve(image.naturalWidth + "x" + image.naturalHeight); image.src = src; })))`);
    assert.deepStrictEqual(
      manifest.icons.map((icon) => icon.sizes),
      sizes,
    );
    assert.deepStrictEqual(sizes, ["192x192", "512x512"]);
  });

  await t.test("takes a new build's files on the next visit, and drops the old ones", async () => {
    const kept = await browser.evaluate("caches.keys()");
    fs.appendFileSync(path.join(SITE, "page.js"), "\nwindow.newBuild = true;\n");
    const source = path.join(__dirname, "../..");
    const made = spawnSync("cmake", [
      `-DSITE=${SITE}`,
      `-DTEMPLATE=${source}/web/sw.js`,
      "-P",
      `${source}/cmake/service_worker.cmake`,
    ]);
    assert.strictEqual(made.status, 0, String(made.stderr));
    await browser.send("Network.emulateNetworkConditions", {
      offline: false,
      latency: 0,
      downloadThroughput: -1,
      uploadThroughput: -1,
    });
    await browser.serve(ROOT);
    await browser.load();
    assert.strictEqual(await browser.evaluate("window.newBuild"), true);
    const now = await browser.until(
      "caches.keys()",
      (names) => names.length === 1 && names[0] !== kept[0],
      "the old build's files to go",
    );
    assert.match(now[0], /^quenmar-[0-9a-f]{16}$/);
  });
});
