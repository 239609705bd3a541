// The page's battles, kept in the browser's own storage (IndexedDB) as they
// are fought, so that a page the browser dropped, or a browser killed, brings
// its battle back at the next load: each battle a record of its own, and its
// lines in chunks as the game gives them to keep. Each battle kept is held by
// a Web Lock while its page lives, so that two tabs never share one. Where
// the browser refuses its storage (a private window, a full quota), one line
// says so and the game plays on.

const DATABASE = "quenmar";
const BATTLES = "battles"; // { id, ended, setAside }, by id: the time it began, then a random part
const LINES = "lines"; // a battle's lines in chunks, by [its id, the chunk's number]
const KEPT_BATTLES = 20; // the newest kept; the older go, but for those set aside

let database = null; // none until opened, or where the browser refuses it
let said = false; // the refusal was said
let say = () => {}; // says one line to the player
let kept = null; // the battle kept now: { record, chunks }
let writes = Promise.resolve(); // one after the other, in the order the game gave them
const releases = new Map(); // of each battle this page holds, what lets go of its lock

const done = (request) =>
  new Promise((resolve, reject) => {
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
const finished = (transaction) =>
  new Promise((resolve, reject) => {
    transaction.oncomplete = resolve;
    transaction.onerror = transaction.onabort = () => reject(transaction.error);
  });

function refused(error) {
  if (!said) say(`This battle is not kept: the browser refuses its storage (${error?.name}).`);
  said = true;
  database = null;
}

// Holds battle `id` while the page lives; false where another page holds it.
function hold(id) {
  if (!navigator.locks) return Promise.resolve(true);
  return new Promise((resolve) => {
    navigator.locks.request(`quenmar-battle-${id}`, { ifAvailable: true }, (lock) => {
      resolve(lock !== null);
      if (lock) return new Promise((release) => releases.set(id, release));
    });
  });
}

function letGo(id) {
  releases.get(id)?.();
  releases.delete(id);
}

// Opens the storage; `sayLine` says a line to the player.
export async function open(sayLine) {
  say = sayLine;
  try {
    const request = indexedDB.open(DATABASE, 1);
    request.onupgradeneeded = () => {
      request.result.createObjectStore(BATTLES, { keyPath: "id" });
      request.result.createObjectStore(LINES);
    };
    database = await done(request);
  } catch (error) {
    refused(error);
  }
}

// The newest battle kept without its end that no other page holds, now
// held by this one, with its lines: { record, text, chunks }; none if there
// is none.
export async function lastUnended() {
  if (!database) return null;
  try {
    const records = await done(database.transaction(BATTLES).objectStore(BATTLES).getAll());
    for (const record of records.reverse()) {
      if (record.ended || record.setAside || !(await hold(record.id))) continue;
      const range = IDBKeyRange.bound([record.id, 0], [record.id, Infinity]);
      const chunks = await done(database.transaction(LINES).objectStore(LINES).getAll(range));
      return { record, text: chunks.join(""), chunks: chunks.length };
    }
  } catch (error) {
    refused(error);
  }
  return null;
}

// Goes on keeping a battle brought back.
export function goOn(battle) {
  kept = { record: battle.record, chunks: battle.chunks };
}

// A battle kept that is not to be brought back again: set aside where it no
// longer replays, else (it ended) marked so.
export function leave(battle, setAside) {
  battle.record[setAside ? "setAside" : "ended"] = true;
  letGo(battle.record.id);
  writes = writes
    .then(() => {
      if (!database) return;
      const transaction = database.transaction(BATTLES, "readwrite");
      transaction.objectStore(BATTLES).put(battle.record);
      return finished(transaction);
    })
    .catch(refused);
}

// The older battles go, so that the newest KEPT_BATTLES stay; those set aside stay too.
async function thinOut() {
  const transaction = database.transaction([BATTLES, LINES], "readwrite");
  const records = await done(transaction.objectStore(BATTLES).getAll());
  const old = records.filter((record) => !record.setAside).slice(0, -KEPT_BATTLES);
  for (const { id } of old) {
    transaction.objectStore(BATTLES).delete(id);
    transaction.objectStore(LINES).delete(IDBKeyRange.bound([id, 0], [id, Infinity]));
  }
  return finished(transaction);
}

function write({ lines, ends, sync, anew, firstLines }) {
  if (!database) return;
  const transaction = database.transaction([BATTLES, LINES], "readwrite", {
    durability: sync ? "strict" : "relaxed",
  });
  const chunk = (text) => transaction.objectStore(LINES).put(text, [kept.record.id, kept.chunks++]);
  if (kept && lines !== "") chunk(lines);
  if (kept && ends) {
    kept.record.ended = true;
    transaction.objectStore(BATTLES).put(kept.record);
    letGo(kept.record.id);
  }
  if (anew) {
    const id = `${String(Date.now()).padStart(15, "0")}-${Math.random().toString(36).slice(2)}`;
    hold(id);
    kept = { record: { id, ended: false, setAside: false }, chunks: 0 };
    transaction.objectStore(BATTLES).put(kept.record);
    chunk(firstLines);
  }
  return finished(transaction).then(() => anew && thinOut());
}

// Keeps what the game gave to keep, after what it gave before.
export function keep(toKeep) {
  if (toKeep.lines === "" && !toKeep.ends && !toKeep.anew) return;
  writes = writes.then(() => write(toKeep)).catch(refused);
}
