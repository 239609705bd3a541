// The field: a <canvas> that shows the game's picture at the screen's own
// pixels, fitted to the largest size its place allows, and where a pointer
// lies on it in drawing units.

const element = (id) => document.getElementById(id);
const LINE_GAP = 6; // pixels between the field and the line under it

let size = null; // the field's size in drawing units
let context = null; // the canvas's 2D context
let picture = null; // the game's picture, as the canvas takes it
let scale = 0; // pixels to a drawing unit
let ratio = 0; // the device pixel ratio the field was fitted at

// Takes the field's size in drawing units, { width, height }.
export function start(fieldSize) {
  size = fieldSize;
  // Presented as soon as drawn, without waiting for the page's next frame.
  context = element("field").getContext("2d", { alpha: false, desynchronized: true });
}

export const pixelsToUnit = () => scale;
export const movedScreens = () => window.devicePixelRatio !== ratio;

// A box of the picture, w x h pixels of red, green, blue, alpha bytes at `at` in the game's memory.
export function show(memory, at, w, h, left, top, width, height) {
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
}

// The field at the largest size that fits its place, drawn at the screen's own
// pixels for that size: a whole number of them, shown one to one, for a
// canvas the browser had to rescale would cost it a filtering pass a frame.
// Returns whether the pixels to a drawing unit changed.
export function fit() {
  const stage = element("stage"),
    canvas = element("field");
  const line =
    element("line").getBoundingClientRect().height +
    element("position").getBoundingClientRect().height +
    LINE_GAP;
  const width = Math.max(
    1,
    Math.min(stage.clientWidth, ((stage.clientHeight - line) * size.width) / size.height),
  );
  ratio = window.devicePixelRatio;
  const pixels = Math.max(1, Math.floor(width * ratio));
  canvas.style.width = `${pixels / ratio}px`;
  canvas.style.height = `${Math.round((size.height * pixels) / size.width) / ratio}px`;
  element("position").style.width = canvas.style.width;
  const changed = pixels / size.width !== scale;
  scale = pixels / size.width;
  return changed;
}

// The pointer in drawing units, wherever the field is shown and at what size.
export function pointer(event) {
  const box = element("field").getBoundingClientRect();
  return [
    ((event.clientX - box.left) * size.width) / box.width,
    ((event.clientY - box.top) * size.height) / box.height,
  ];
}
