// How long a battle's link is after one, five and fifteen minutes of ordinary
// play in the page (headless Chromium): the pointer moves every other period,
// a shot every second and a half, an arrow pressed or released every second.
// Usage: NODE_PATH=/usr/share/nodejs node bench/link_lengths.js BUILD_WEB_DIR
"use strict";
const path = require("node:path");
const { Browser } = require("../tests/web/browser.js");

const MINUTES = [1, 5, 15];
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

(async () => {
  const browser = new Browser();
  await browser.open(path.join(path.resolve(process.argv[2] || "build-web"), "site"));
  await browser.load();
  const box = await browser.evaluate(
    "(({x, y, width, height}) => ({x, y, width, height}))(field.getBoundingClientRect())",
  );
  const arrows = [
    ["ArrowUp", 38],
    ["ArrowLeft", 37],
    ["ArrowUp", 38],
    ["ArrowRight", 39],
    ["ArrowDown", 40],
  ];
  const started = Date.now();
  let step = 0,
    held = null;
  for (const minutes of MINUTES) {
    while (Date.now() - started < minutes * 60000) {
      const turn = step * 0.07;
      const at = {
        x: box.x + box.width * (0.5 + 0.4 * Math.cos(turn)),
        y: box.y + box.height * (0.5 + 0.4 * Math.sin(1.3 * turn)),
      };
      await browser.send("Input.dispatchMouseEvent", { type: "mouseMoved", ...at });
      if (step % 30 === 0) {
        for (const type of ["mousePressed", "mouseReleased"]) {
          await browser.send("Input.dispatchMouseEvent", {
            type,
            ...at,
            button: "left",
            buttons: type === "mousePressed" ? 1 : 0,
            clickCount: 1,
          });
        }
      }
      if (step % 20 === 0) {
        const [key, keyCode] = held ?? arrows[((step / 40) % arrows.length) | 0];
        await browser.send("Input.dispatchKeyEvent", {
          type: held ? "keyUp" : "keyDown",
          key,
          code: key,
          windowsVirtualKeyCode: keyCode,
        });
        held = held ? null : [key, keyCode];
      }
      ++step;
      await sleep(50);
    }
    const link = await browser.evaluate("window.quenmar.link()");
    const file = await browser.evaluate("window.quenmar.battle().length");
    const { periods, level } = await browser.state();
    console.log(
      `${minutes} min: ${periods} periods, level ${level}, a ${Math.round(file / 1000)} KB file, a link of ${link.length} characters`,
    );
  }
  await browser.close();
})();
