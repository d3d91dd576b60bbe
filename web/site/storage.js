// What the page keeps in the browser between visits. The device's snapshot
// and its paper live in IndexedDB: the snapshot is replaced whenever the
// device waits for a key, the paper only grows by the lines printed since,
// and a cleared paper is kept as the one step Undo brings back. The settings
// stay in localStorage. A record kept by the older page (one localStorage
// entry holding both) is carried over once.

const DB_NAME = "tm650e";
const LEGACY_KEY = "tm650e.device";
const SETTINGS_KEY = "tm650e.settings";
const LEGACY_FORMAT = 1;
const PAPER_LIMIT = 8 * 1024 * 1024;  // characters kept per paper; the oldest go first

export const DEFAULT_SETTINGS = { docName: "TM650E paper", header: "", footer: "", sound: true, awake: false };

const done = (request) => new Promise((resolve, reject) => {
  request.onsuccess = () => resolve(request.result);
  request.onerror = () => reject(request.error);
});
const finished = (transaction) => new Promise((resolve, reject) => {
  transaction.oncomplete = () => resolve();
  transaction.onerror = transaction.onabort = () => reject(transaction.error ?? new Error("aborted"));
});

function openDatabase() {
  const request = indexedDB.open(DB_NAME, 1);
  request.onupgradeneeded = () => {
    const db = request.result;
    db.createObjectStore("device");                      // "snapshot", "sheets"
    db.createObjectStore("paper", { autoIncrement: true }).createIndex("sheet", "sheet");  // {sheet, text}
  };
  return done(request);
}

function fromBase64(text) {
  const chars = atob(text);
  const bytes = new Uint8Array(chars.length);
  for (let i = 0; i < chars.length; i++) bytes[i] = chars.charCodeAt(i);
  return bytes.buffer;
}

// The older page's record: {snapshot, paper, problem?}, or null when there is none.
function readLegacyRecord() {
  let text;
  try {
    text = localStorage.getItem(LEGACY_KEY);
  } catch {
    return null;
  }
  if (text === null) return null;
  let record;
  try {
    record = JSON.parse(text);
  } catch {
    record = null;
  }
  if (record?.format !== LEGACY_FORMAT) {
    const problem = Number.isInteger(record?.format) ? "it was kept by another version of this page" : "it is damaged";
    return { snapshot: null, paper: "", problem };
  }
  const paper = typeof record.paper === "string" ? record.paper : "";  // the paper survives a damaged snapshot
  try {
    return { snapshot: fromBase64(record.machine), paper };
  } catch {
    return { snapshot: null, paper, problem: "it is damaged" };
  }
}

// Opens the kept device. Resolves to {store, snapshot, paper, problem?};
// `store` is null when the browser keeps nothing (the page then works until
// it is closed).
export async function openDevice() {
  let db;
  try {
    db = await openDatabase();
  } catch (error) {
    return { store: null, snapshot: null, paper: "", problem: `the browser's storage cannot be used (${error?.message})` };
  }
  const store = new DeviceStore(db);
  try {
    const legacy = readLegacyRecord();
    if (legacy) {
      await store.replaceAll(legacy.snapshot, legacy.paper);
      localStorage.removeItem(LEGACY_KEY);  // only once it is safely carried over
      return { store, snapshot: legacy.snapshot, paper: legacy.paper, problem: legacy.problem };
    }
    return { store, ...(await store.load()) };
  } catch (error) {
    db.close();
    return { store: null, snapshot: null, paper: "", problem: `the browser's storage cannot be read (${error?.message})` };
  }
}

class DeviceStore {
  constructor(db) {
    this.db = db;
    this.sheets = { current: 1, cleared: 0 };  // the paper's sheet, and the one Undo brings back (0: none)
    this.chunks = [];                          // [key, length] of the current sheet, oldest first
    this.length = 0;
  }

  async load() {
    const tx = this.db.transaction(["device", "paper"]);
    const device = tx.objectStore("device");
    const [snapshot, sheets] = await Promise.all([done(device.get("snapshot")), done(device.get("sheets"))]);
    if (sheets) this.sheets = sheets;
    const index = tx.objectStore("paper").index("sheet");
    const [keys, records] = await Promise.all([
      done(index.getAllKeys(this.sheets.current)), done(index.getAll(this.sheets.current))]);
    this.chunks = records.map((record, i) => [keys[i], record.text.length]);
    this.length = this.chunks.reduce((sum, [, length]) => sum + length, 0);
    return { snapshot: snapshot ?? null, paper: records.map((record) => record.text).join("") };
  }

  // The device as it waits now, and the paper printed since the last save.
  async save(snapshot, morePaper) {
    const tx = this.db.transaction(["device", "paper"], "readwrite");
    if (snapshot) tx.objectStore("device").put(snapshot, "snapshot");
    if (morePaper) {
      const paper = tx.objectStore("paper");
      const key = await done(paper.add({ sheet: this.sheets.current, text: morePaper }));
      this.chunks.push([key, morePaper.length]);
      this.length += morePaper.length;
      while (this.length > PAPER_LIMIT && this.chunks.length > 1) {
        const [oldest, length] = this.chunks.shift();
        paper.delete(oldest);
        this.length -= length;
      }
    }
    return finished(tx);
  }

  // Starts a fresh sheet; the one cleared stays for Undo, any older one goes.
  async clear() {
    const tx = this.db.transaction(["device", "paper"], "readwrite");
    const paper = tx.objectStore("paper");
    const older = await done(paper.index("sheet").getAllKeys(IDBKeyRange.upperBound(this.sheets.current - 1)));
    for (const key of older) paper.delete(key);
    this.sheets = { current: this.sheets.current + 1, cleared: this.sheets.current };
    this.chunks = [];
    this.length = 0;
    tx.objectStore("device").put(this.sheets, "sheets");
    return finished(tx);
  }

  // Brings the cleared sheet back, with what was printed since after it.
  async undoClear() {
    if (!this.sheets.cleared) return;
    const tx = this.db.transaction(["device", "paper"], "readwrite");
    const paper = tx.objectStore("paper");
    const since = await done(paper.index("sheet").getAllKeys(this.sheets.current));
    for (const key of since) {
      const record = await done(paper.get(key));
      paper.put({ ...record, sheet: this.sheets.cleared }, key);
    }
    this.sheets = { current: this.sheets.cleared, cleared: 0 };
    tx.objectStore("device").put(this.sheets, "sheets");
    await finished(tx);
    await this.load();
  }

  close() {
    this.db.close();
  }

  async replaceAll(snapshot, paper) {
    const tx = this.db.transaction(["device", "paper"], "readwrite");
    tx.objectStore("paper").clear();
    const device = tx.objectStore("device");
    device.clear();
    if (snapshot) device.put(snapshot, "snapshot");
    this.sheets = { current: 1, cleared: 0 };
    device.put(this.sheets, "sheets");
    await finished(tx);
    this.chunks = [];
    this.length = 0;
    if (paper) await this.save(null, paper);
  }
}

export function forgetDevice() {
  try {
    localStorage.removeItem(LEGACY_KEY);
  } catch {
    // nothing was kept there
  }
  return done(indexedDB.deleteDatabase(DB_NAME)).catch(() => {});
}

export function loadSettings() {
  try {
    const stored = JSON.parse(localStorage.getItem(SETTINGS_KEY) ?? "{}");
    const settings = { ...DEFAULT_SETTINGS };
    for (const [name, value] of Object.entries(DEFAULT_SETTINGS)) {
      if (typeof stored?.[name] === typeof value) settings[name] = stored[name];
    }
    return settings;
  } catch {
    return { ...DEFAULT_SETTINGS };
  }
}

export function saveSettings(settings) {
  try {
    localStorage.setItem(SETTINGS_KEY, JSON.stringify(settings));
    return null;
  } catch (error) {
    return error.message;
  }
}
