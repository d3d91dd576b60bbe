// Starts the machine's Worker as early as the page can, so that the
// WebAssembly loads while the face's scripts still do.
export const worker = new Worker(new URL("./machine_worker.js", import.meta.url), { type: "module" });
