// The result and help windows as <dialog>s, with the texts the game gives.
// Each takes the keyboard as it opens, on its safe button, and gives it back
// to the field as it closes.

const element = (id) => document.getElementById(id);

export function start(texts) {
  element("result").querySelector("h1").textContent = texts.resultTitle;
  element("result").setAttribute("aria-label", texts.resultTitle);
  element("wins-caption").textContent = texts.wins;
  element("losses-caption").textContent = texts.losses;
  element("quit").textContent = texts.quit;
  element("back").textContent = texts.back;
  element("next-level").textContent = texts.nextLevel;
  element("help").querySelector("h1").textContent = texts.helpTitle;
  element("help").setAttribute("aria-label", texts.helpTitle);
  element("close").textContent = texts.close;
  for (const [lines, kind] of [
    [texts.help, ""],
    [texts.padHelp, "pad-help"], // shown while a pad is in use
  ]) {
    for (const line of lines) {
      const p = document.createElement("p");
      p.textContent = line;
      p.className = kind;
      element("help-lines").append(p);
    }
  }
}

// The buttons of a dialog that can have the keyboard, in order.
const buttonsOf = (dialog) => [...dialog.querySelectorAll("button")].filter((b) => !b.hidden);

// The keyboard to the dialog's next button, or the one before, round and round.
export function moveFocus(help, step) {
  const buttons = buttonsOf(element(help ? "help" : "result"));
  const at = buttons.indexOf(document.activeElement);
  buttons[at < 0 ? 0 : (at + step + buttons.length) % buttons.length].focus();
}

// Presses the dialog's button that has the keyboard.
export function pressFocused(help) {
  if (buttonsOf(element(help ? "help" : "result")).includes(document.activeElement)) {
    document.activeElement.click();
  }
}

export function openResult(wins, losses) {
  element("wins").textContent = String(wins);
  element("losses").textContent = String(losses);
  element("result").showModal();
  element("back").focus();
}

export function openHelp() {
  element("help").showModal();
  element("close").focus();
}

export function close(help) {
  element(help ? "help" : "result").close();
  element("field").focus();
}

export function closeAll() {
  for (const id of ["result", "help"]) element(id).close();
}
