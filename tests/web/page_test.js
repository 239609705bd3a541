// The page in headless Chromium, driven by real input events over the
// DevTools protocol. Usage: node tests/web/page_test.js BUILD_WEB_DIR QUENMAR_SIM
// (Debian's node-ws: NODE_PATH=/usr/share/nodejs).
"use strict";
const test = require("node:test");
const assert = require("node:assert");
const { spawn, spawnSync } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const WebSocket = require("ws");

const BUILD = path.resolve(process.argv[2] || "build-web");
const CHROMIUM = "/usr/lib/chromium/chromium-headless-shell";
const NATIVE_SIM = process.argv[3];

// A line a child process writes that matches `pattern`.
function lineOf(child, stream, pattern) {
  return new Promise((resolve, reject) => {
    let text = "";
    child[stream].on("data", (data) => {
      text += data;
      const found = text.match(pattern);
      if (found) resolve(found[1]);
    });
    child.on("exit", () => reject(new Error(`${child.spawnfile} ended: ${text}`)));
  });
}

// One browser and one page for every test, over one DevTools connection.
class Browser {
  async open() {
    this.server = spawn("node", [path.join(__dirname, "../../tools/serve-web.js"), BUILD, "0"]);
    this.origin = await lineOf(this.server, "stdout", /(http:\/\/127\.0\.0\.1:\d+)\//);
    this.profile = fs.mkdtempSync(path.join(os.tmpdir(), "quenmar-chromium-"));
    this.chromium = spawn(CHROMIUM, ["--no-sandbox", "--disable-gpu", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync",
      "--remote-debugging-port=0", `--user-data-dir=${this.profile}`, "about:blank"]);
    const address = await lineOf(this.chromium, "stderr", /DevTools listening on (ws:\S+)/);
    this.socket = new WebSocket(address);
    await new Promise((resolve) => this.socket.on("open", resolve));
    this.replies = new Map();
    this.requests = [];
    this.errors = [];
    this.next = 0;
    this.socket.on("message", (data) => {
      const message = JSON.parse(data);
      if (message.id !== undefined) this.replies.get(message.id)(message);
      if (message.method === "Network.requestWillBeSent") this.requests.push(message.params.request.url);
      if (message.method === "Runtime.exceptionThrown") this.errors.push(message.params.exceptionDetails.text);
    });
    const { targetId } = await this.send("Target.createTarget", { url: "about:blank" }, null);
    this.session = (await this.send("Target.attachToTarget", { targetId, flatten: true }, null)).sessionId;
    for (const domain of ["Network", "Runtime", "Page"]) await this.send(`${domain}.enable`);
  }
  send(method, params = {}, session = this.session) {
    const id = ++this.next;
    const message = { id, method, params, ...(session ? { sessionId: session } : {}) };
    return new Promise((resolve, reject) => {
      this.replies.set(id, (reply) => (reply.error ? reject(new Error(reply.error.message)) : resolve(reply.result)));
      this.socket.send(JSON.stringify(message));
    });
  }
  async evaluate(expression) {
    const { result, exceptionDetails } = await this.send("Runtime.evaluate", { expression, returnByValue: true, awaitPromise: true });
    if (exceptionDetails) throw new Error(exceptionDetails.exception?.description ?? exceptionDetails.text);
    return result.value;
  }
  state() { return this.evaluate("window.quenmar.state()"); }
  // Waits for the page's answer: until `check` holds of what `expression` gives.
  async until(expression, check, what, seconds = 5) {
    for (const started = Date.now(); Date.now() - started < seconds * 1000;) {
      const value = await this.evaluate(expression).catch(() => undefined);
      if (value !== undefined && check(value)) return value;
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
    assert.fail(`waited ${seconds} s for ${what}`);
  }
  async load() {
    await this.send("Page.navigate", { url: `${this.origin}/` });
    await this.until("window.quenmar && window.quenmar.state().ticks", (ticks) => ticks > 2, "the battle to run");
  }
  async key(key, code, keyCode, modifiers = 0, text = undefined) {
    for (const type of ["keyDown", "keyUp"]) {
      await this.send("Input.dispatchKeyEvent", {
        type, key, code, windowsVirtualKeyCode: keyCode, modifiers, ...(type === "keyDown" && text ? { text } : {}),
      });
    }
  }
  focused() { return this.evaluate("document.activeElement.id"); }
  async close() {
    this.socket.close();
    this.server.kill();
    await new Promise((resolve) => {
      this.chromium.on("exit", resolve);
      this.chromium.kill();
    });
    fs.rmSync(this.profile, { recursive: true, force: true, maxRetries: 5 });
  }
}

const ESC = ["Escape", "Escape", 27], F1 = ["F1", "F1", 112], TAB = ["Tab", "Tab", 9];
const SPACE = [" ", "Space", 32, 0, " "], UP = ["ArrowUp", "ArrowUp", 38], P = ["p", "KeyP", 80, 0, "p"];

test("the page", async (t) => {
  const browser = new Browser();
  await browser.open();
  t.after(() => browser.close());

  await t.test("loads from its own files alone, a policy saying so, with no error", async () => {
    await browser.load();
    assert.ok(browser.requests.length >= 4);
    for (const url of browser.requests) assert.ok(url.startsWith(browser.origin), url);
    const policy = await browser.evaluate(
      "document.querySelector('meta[http-equiv=Content-Security-Policy]').content");
    assert.match(policy, /default-src 'none'/);
    assert.deepStrictEqual(browser.errors, []);
  });

  await t.test("drives the tank by the key in W's place, whatever its letter", async () => {
    await browser.send("Input.dispatchKeyEvent", { type: "keyDown", key: "z", code: "KeyW", windowsVirtualKeyCode: 90 });
    await browser.until("window.quenmar.state().player.speed", (speed) => speed > 0.5, "the tank to move");
    await browser.send("Input.dispatchKeyEvent", { type: "keyUp", key: "z", code: "KeyW", windowsVirtualKeyCode: 90 });
  });

  await t.test("opens Result on Esc, the keyboard on Back, and only its own keys act there", async () => {
    await browser.key(...ESC);
    const shown = await browser.until("window.quenmar.state()", (s) => s.dialog === "result", "Result");
    assert.strictEqual(shown.running, false);
    assert.strictEqual(await browser.focused(), "back");
    await browser.key(...UP);
    await browser.key(...P);
    await browser.key(...F1);
    assert.strictEqual(await browser.focused(), "back");
    assert.strictEqual((await browser.state()).running, false);
    await browser.key(...TAB);
    assert.strictEqual(await browser.focused(), "next-level");
    await browser.key(...TAB, 8);
    await browser.key(...SPACE);
    await browser.until("window.quenmar.state()", (s) => s.dialog === null && s.running, "Back to resume");
    assert.strictEqual(await browser.focused(), "field");
  });

  await t.test("opens Help on F1 and closes it on F1", async () => {
    await browser.key(...F1);
    await browser.until("window.quenmar.state().dialog", (dialog) => dialog === "help", "Help");
    assert.strictEqual(await browser.focused(), "close");
    await browser.key(...F1);
    await browser.until("window.quenmar.state().dialog", (dialog) => dialog === null, "Help to close");
  });

  await t.test("fires on a quick left click, and shows no context menu", async () => {
    const box = await browser.evaluate("(({x, y, width}) => ({x, y, width}))(field.getBoundingClientRect())");
    const at = { x: box.x + 700 * box.width / 723, y: box.y + 20 * box.width / 723 };
    for (const type of ["mouseMoved", "mousePressed", "mouseReleased"]) {
      await browser.send("Input.dispatchMouseEvent", { type, ...at, button: "left", buttons: type === "mousePressed" ? 1 : 0, clickCount: 1 });
    }
    await browser.until(`(() => { const d = field.getContext("2d").getImageData(0, 0, field.width, field.height).data;
      for (let i = 0; i < d.length; i += 4) if (d[i] === 200 && d[i + 1] === 0 && d[i + 2] === 0) return true;
      return false; })()`, (red) => red, "a shell's red head");
    const prevented = await browser.evaluate(
      "!field.dispatchEvent(new MouseEvent('contextmenu', { cancelable: true, bubbles: true }))");
    assert.strictEqual(prevented, true);
  });

  await t.test("keeps the battle played, which replays from its link and in both quenmar-sims, and replays the desktop's", async () => {
    const battle = await browser.evaluate("window.quenmar.battle()");
    const file = path.join(os.tmpdir(), `quenmar-page-${process.pid}.battle`);
    fs.writeFileSync(file, battle);
    for (const [program, ...args] of [["node", path.join(BUILD, "quenmar-sim.js")], [NATIVE_SIM]]) {
      const run = spawnSync(program, [...args, "--battle", file], { encoding: "utf8" });
      assert.strictEqual(run.status, 0, run.stderr);
      assert.match(run.stdout, /every checkpoint held/);
    }
    fs.rmSync(file);
    const link = await browser.evaluate("window.quenmar.link()");
    assert.ok(link.startsWith(`${browser.origin}/#battle=`), link);
    await browser.send("Page.navigate", { url: link });
    await browser.until("window.quenmar.state().replay", (replay) => replay === "over", "the replay's end", 60);
    assert.strictEqual(await browser.evaluate("document.getElementById('ended').hidden"), false);
    // The same battle with its last checkpoint altered parts from it there, in one line.
    const altered = battle.replace(/check (\w)(\w+)\n$/, (_, first, rest) => `check ${first === "0" ? "1" : "0"}${rest}\n`);
    const alteredLink = await browser.evaluate(`(async () => {
      const bytes = new Uint8Array(await new Response(new Blob([${JSON.stringify(altered)}]).stream()
        .pipeThrough(new CompressionStream("deflate"))).arrayBuffer());
      return location.origin + "/#battle=" + btoa(String.fromCharCode(...bytes)).split("+").join("-").split("/").join("_").replace(/=+$/, "");
    })()`);
    await browser.send("Page.navigate", { url: alteredLink });
    await browser.until("window.quenmar.state().replay", (replay) => replay === "parted", "the replay to part", 60);
    assert.match(await browser.evaluate("document.getElementById('ended-message').textContent"),
      /^link: period \d+: the battle parts from the recorded one/);
    // A battle kept by the desktop game, chosen with the file picker.
    const { root } = await browser.send("DOM.getDocument");
    const { nodeId } = await browser.send("DOM.querySelector", { nodeId: root.nodeId, selector: "#battle-file" });
    await browser.send("DOM.setFileInputFiles", { nodeId, files: [path.join(__dirname, "../battles/desktop.battle")] });
    await browser.until("window.quenmar.state()", (s) => s.replay === "over" && s.periods === 1453, "the desktop's battle to its end", 90);
    await browser.send("Page.navigate", { url: `${browser.origin}/#battle=%%%` });
    await browser.until("document.getElementById('ended-message').textContent", (m) => /not base64url/.test(m), "a bad link's line");
    await browser.load();
  });

  await t.test("ends on Quit, says so and offers a new game", async () => {
    await browser.key(...ESC);
    await browser.until("window.quenmar.state().dialog", (dialog) => dialog === "result", "Result");
    await browser.key(...TAB, 8);
    assert.strictEqual(await browser.focused(), "quit");
    await browser.key("Enter", "Enter", 13, 0, "\r");
    await browser.until("document.getElementById('ended').hidden", (hidden) => hidden === false, "the end");
    assert.match(await browser.evaluate("document.getElementById('ended-message').textContent"), /ended/);
    await browser.evaluate("document.getElementById('new-game').click()");
    await browser.until("window.quenmar.state()", (s) => s.running && s.level === 1 && s.periods < 40, "a new game");
  });

  await t.test("draws at the screen's own pixels", async () => {
    await browser.send("Emulation.setDeviceMetricsOverride", { width: 1000, height: 800, deviceScaleFactor: 2, mobile: false });
    await browser.load();
    await browser.until("field.width", (width) => width === 1446, "a field of 1446 pixels");
  });
});
