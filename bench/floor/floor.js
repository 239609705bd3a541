// The browser's floor for the page: a field-sized picture put on a canvas
// 40 times a second, and nothing else, for the page's CPU to be measured
// against in the same run.
"use strict";
const context = document.getElementById("field").getContext("2d", { alpha: false });
const picture = new ImageData(723, 651);
picture.data.fill(255);
let frame = 0;
setInterval(() => {
  picture.data[4 * (frame++ % (723 * 651))] ^= 0xff; // a pixel a frame changes
  context.putImageData(picture, 0, 0);
}, 25);
window.quenmar = { state: () => ({ ticks: frame }) };
