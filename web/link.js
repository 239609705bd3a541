// A battle handed on: as a link (#battle= and the battle in the game's
// compact link form, deflated and base64url-encoded; a link of a whole
// battle file, as older pages made them, opens too) or saved as a .battle
// file. A page opened with such a link, or given such a file, shows that
// battle again.

const element = (id) => document.getElementById(id);
const NOT_BASE64URL = "link: the battle in the link is not base64url text";

let game = null;
let longest = 0; // bytes of the longest battle taken from a link or a file
let show = null; // shows the battle in some bytes again
let refuse = null; // says in one line why some bytes are no battle

// Bytes through a compression or decompression stream of the browser's own,
// refused once more than `most` come out.
async function through(stream, bytes, most = Infinity) {
  const reader = new Blob([bytes]).stream().pipeThrough(stream).getReader();
  const parts = [];
  for (let size = 0; ;) {
    const { done, value } = await reader.read();
    if (done) return new Uint8Array(await new Blob(parts).arrayBuffer());
    size += value.length;
    if (size > most) {
      reader.cancel();
      throw new RangeError("too large");
    }
    parts.push(value);
  }
}

function base64url(bytes) {
  let text = "";
  for (const b of bytes) text += String.fromCharCode(b);
  return btoa(text).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
}

// The page's own address with the battle played so far.
export async function battleLink() {
  const deflated = await through(
    new CompressionStream("deflate"),
    new Uint8Array(game.battleLink()),
  );
  return `${location.origin}${location.pathname}${location.search}#battle=${base64url(deflated)}`;
}

// The battle's bytes in a link, or the one line that says why there are none.
async function battleFromLink(data) {
  let bytes;
  try {
    const text = atob(data.replace(/-/g, "+").replace(/_/g, "/"));
    bytes = Uint8Array.from(text, (c) => c.charCodeAt(0));
  } catch {
    throw new Error(NOT_BASE64URL);
  }
  try {
    return await through(new DecompressionStream("deflate"), bytes, longest);
  } catch (error) {
    throw new Error(
      error instanceof RangeError
        ? "link: the battle in the link is too large"
        : "link: the battle in the link is damaged (it does not inflate)",
    );
  }
}

// Shows the battle in the page's address again, if it holds one; returns whether it does.
export function openFromLink() {
  if (!location.hash.startsWith("#battle=")) return false;
  const link = location.hash.match(/^#battle=([A-Za-z0-9_-]*)$/);
  const opened = link ? battleFromLink(link[1]) : Promise.reject(new Error(NOT_BASE64URL));
  opened.then(
    (bytes) => show(bytes, "link"),
    (error) => refuse(error.message),
  );
  return true;
}

function openFile(file) {
  if (file.size > longest) {
    refuse(`${file.name}: too large for a battle`);
    return;
  }
  file.arrayBuffer().then((buffer) => show(new Uint8Array(buffer), file.name));
}

// The copy and save buttons, the file picker and files dropped on the page.
export function start(theGame, texts, showBattle, refuseBattle) {
  game = theGame;
  longest = texts.longestBattle;
  show = showBattle;
  refuse = refuseBattle;
  for (const button of document.querySelectorAll(".copy-link")) {
    button.addEventListener("click", async () => {
      const link = await battleLink();
      const note = element("link-note");
      try {
        await navigator.clipboard.writeText(link);
        note.textContent = `The link is copied (${link.length} characters).`;
      } catch {
        note.textContent = `Copy the link: ${link}`;
      }
      note.hidden = !element("ended").contains(note) || element("ended").hidden;
      button.textContent = "Link copied";
      setTimeout(() => {
        button.textContent = "Copy link";
      }, 2000);
    });
  }
  for (const button of document.querySelectorAll(".save")) {
    button.addEventListener("click", () => {
      const a = document.createElement("a");
      a.href = URL.createObjectURL(new Blob([game.battle()], { type: "text/plain" }));
      a.download = `quenmar-${new Date().toISOString().replace(/[:.]/g, "-")}.battle`;
      a.click();
      setTimeout(() => URL.revokeObjectURL(a.href), 1000);
    });
  }
  element("battle-file").addEventListener("change", (event) => {
    if (event.target.files.length > 0) openFile(event.target.files[0]);
  });
  document.addEventListener("dragover", (event) => event.preventDefault());
  document.addEventListener("drop", (event) => {
    event.preventDefault();
    if (event.dataTransfer.files.length > 0) openFile(event.dataTransfer.files[0]);
  });
  window.addEventListener("hashchange", openFromLink);
}
