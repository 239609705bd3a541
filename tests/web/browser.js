// Headless Chromium with one page, driven over the DevTools protocol: for
// the page's tests and benchmarks (Debian's node-ws: NODE_PATH=/usr/share/nodejs).
"use strict";
const assert = require("node:assert");
const { spawn } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const WebSocket = require("ws");

const CHROMIUM = "/usr/lib/chromium/chromium-headless-shell";

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

// A key's press and release, as the DevTools protocol dispatches them: its
// key, code, key code, modifiers and the text it types.
function keyEvents([key, code, keyCode, modifiers = 0, text = undefined]) {
  return ["keyDown", "keyUp"].map((type) => ({
    type,
    key,
    code,
    windowsVirtualKeyCode: keyCode,
    modifiers,
    ...(type === "keyDown" && text ? { text } : {}),
  }));
}

// One browser and one page for every test, over one DevTools connection.
class Browser {
  // Serves the folder `site` and opens Chromium on nothing yet.
  async open(site) {
    await this.serve(site);
    this.page = `${this.origin}/`; // the page's address
    this.profile = fs.mkdtempSync(path.join(os.tmpdir(), "quenmar-chromium-"));
    await this.launch();
  }
  // Starts Chromium on the profile, in a process group of its own, with one tab.
  async launch() {
    const args = [
      "--no-sandbox",
      "--disable-gpu",
      "--no-first-run",
      "--disable-background-networking",
      "--disable-component-update",
      "--disable-sync",
      "--remote-debugging-port=0",
      `--user-data-dir=${this.profile}`,
      "about:blank",
    ];
    this.chromium = spawn(CHROMIUM, args, { detached: true });
    const address = await lineOf(this.chromium, "stderr", /DevTools listening on (ws:\S+)/);
    this.socket = new WebSocket(address);
    await new Promise((resolve) => this.socket.on("open", resolve));
    this.replies = new Map();
    this.requests = [];
    this.errors = [];
    this.warnings = [];
    this.next = 0;
    this.socket.on("message", (data) => {
      const message = JSON.parse(data);
      if (message.id !== undefined) this.replies.get(message.id)(message);
      if (message.method === "Network.requestWillBeSent")
        this.requests.push(message.params.request.url);
      if (message.method === "Runtime.exceptionThrown")
        this.errors.push(message.params.exceptionDetails.text);
      if (
        message.method === "Runtime.consoleAPICalled" &&
        ["warning", "error"].includes(message.params.type)
      ) {
        this.warnings.push(
          message.params.args.map((arg) => arg.value ?? arg.description).join(" "),
        );
      }
      if (
        message.method === "Log.entryAdded" &&
        ["warning", "error"].includes(message.params.entry.level)
      ) {
        this.warnings.push(message.params.entry.text);
      }
    });
    this.session = await this.tab();
  }
  // A new tab, attached: its session.
  async tab() {
    const { targetId } = await this.send("Target.createTarget", { url: "about:blank" }, null);
    const session = (await this.send("Target.attachToTarget", { targetId, flatten: true }, null))
      .sessionId;
    for (const domain of ["Network", "Runtime", "Page", "Log"]) {
      await this.send(`${domain}.enable`, {}, session);
    }
    return session;
  }
  // Kills Chromium and all of its processes at once, as a phone or a crash does.
  async kill() {
    const ended = new Promise((resolve) => this.chromium.on("exit", resolve));
    process.kill(-this.chromium.pid, "SIGKILL");
    await ended;
    this.socket.terminate();
  }
  // Serves the folder `site`, on the port served before if there was one.
  async serve(site) {
    this.server = spawn("node", [
      path.join(__dirname, "../../tools/serve-web.js"),
      site,
      this.origin ? new URL(this.origin).port : "0",
    ]);
    this.origin = await lineOf(this.server, "stdout", /(http:\/\/127\.0\.0\.1:\d+)\//);
  }
  send(method, params = {}, session = this.session) {
    const id = ++this.next;
    const message = { id, method, params, ...(session ? { sessionId: session } : {}) };
    return new Promise((resolve, reject) => {
      this.replies.set(id, (reply) =>
        reply.error ? reject(new Error(reply.error.message)) : resolve(reply.result),
      );
      this.socket.send(JSON.stringify(message));
    });
  }
  async evaluate(expression, session = this.session) {
    const { result, exceptionDetails } = await this.send(
      "Runtime.evaluate",
      { expression, returnByValue: true, awaitPromise: true },
      session,
    );
    if (exceptionDetails)
      throw new Error(exceptionDetails.exception?.description ?? exceptionDetails.text);
    return result.value;
  }
  state() {
    return this.evaluate("window.quenmar.state()");
  }
  // Waits for the page's answer: until `check` holds of what `expression` gives.
  async until(expression, check, what, seconds = 5, session = this.session) {
    for (const started = Date.now(); Date.now() - started < seconds * 1000;) {
      const value = await this.evaluate(expression, session).catch(() => undefined);
      if (value !== undefined && check(value)) return value;
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
    assert.fail(`waited ${seconds} s for ${what}`);
  }
  // A new battle: the page afresh, with no battle kept to bring back.
  async load() {
    await this.send("Page.navigate", { url: "about:blank" });
    await this.send("Storage.clearDataForOrigin", {
      origin: this.origin,
      storageTypes: "indexeddb",
    });
    await this.send("Page.navigate", { url: this.page });
    await this.until(
      "window.quenmar && window.quenmar.state().ticks",
      (ticks) => ticks > 2,
      "the battle to run",
    );
  }
  async key(...key) {
    for (const event of keyEvents(key)) await this.send("Input.dispatchKeyEvent", event);
  }
  // Keys pressed and released one after the other at once, while the page is
  // busy, so that no period runs between them.
  async keysAtOnce(keys) {
    const busy = this.evaluate(
      "(() => { const t = performance.now(); while (performance.now() - t < 200); })()",
    );
    const sent = keys.flatMap((key) =>
      keyEvents(key).map((event) => this.send("Input.dispatchKeyEvent", event)),
    );
    await Promise.all([busy, ...sent]);
  }
  // A left click in the middle of the element `selector` names.
  async click(selector) {
    const { x, y, width, height } = await this.evaluate(
      `document.querySelector("${selector}").getBoundingClientRect().toJSON()`,
    );
    for (const type of ["mousePressed", "mouseReleased"]) {
      const at = { x: x + width / 2, y: y + height / 2 };
      await this.send("Input.dispatchMouseEvent", { type, ...at, button: "left", clickCount: 1 });
    }
  }
  // Puts a battle with these lines where the page keeps its battles, as the
  // newest, not ended: the battle the page brings back at its next load.
  keepBattle(text) {
    return this
      .evaluate(`new Promise((resolve) => { indexedDB.open("quenmar").onsuccess = ({ target: { result: db } }) => {
      const t = db.transaction(["battles", "lines"], "readwrite");
      t.objectStore("battles").put({ id: "9", ended: false, setAside: false });
      t.objectStore("lines").put(${JSON.stringify(text)}, ["9", 0]);
      t.oncomplete = resolve; }; })`);
  }
  focused() {
    return this.evaluate("document.activeElement.id");
  }
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

module.exports = { Browser };
