// A replay in the page: its line and its position bar under the field, and
// its buttons beside it in place of the battle's. Dragged by mouse or
// finger, the bar moves the replay.

const element = (id) => document.getElementById(id);

let held = false; // the bar is being dragged: the replay follows it, not the bar the replay
let refit = null;

// Takes the game's seek, and what refits the field when the bar comes or goes.
export function start(game, fitField) {
  refit = fitField;
  const bar = element("position");
  bar.addEventListener("pointerdown", () => {
    held = true;
  });
  for (const type of ["pointerup", "pointercancel"]) {
    bar.addEventListener(type, () => {
      held = false;
      element("field").focus();
    });
  }
  bar.addEventListener("input", () => game.seek(Number(bar.value)));
}

export const showing = () => document.body.classList.contains("replay");

// Where a replay stands and what its keys do, at `period` of `length`; an
// empty line: none is shown.
export function show(line, period, length) {
  element("replay-line").textContent = line;
  const bar = element("position");
  bar.max = String(length);
  if (!held) bar.value = String(period);
  const was = showing();
  document.body.classList.toggle("replay", line !== "");
  // Refitted once the game's call is over, so that the game, started or
  // not, is told the field's new size rather than called into again.
  if (was !== (line !== "")) queueMicrotask(refit);
}
