// A small static server for the built site, for trying the page locally and
// for the browser tests: the right content types (module scripts and
// WebAssembly need theirs), no caching in the way of a new build, and only
// files under the site's folder; text and WebAssembly gzipped for browsers
// that take it, as hosts do. The tests can have it tell browsers to keep
// files for a while, as many hosts do too.
//   node web/serve.mjs [folder] [port] [address]
import { readFile, stat } from "node:fs/promises";
import { createServer } from "node:http";
import { extname, join, normalize, resolve, sep } from "node:path";
import { fileURLToPath } from "node:url";
import { gzipSync } from "node:zlib";

const TYPES = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript; charset=utf-8",
  ".mjs": "text/javascript; charset=utf-8",
  ".css": "text/css; charset=utf-8",
  ".wasm": "application/wasm",
  ".webmanifest": "application/manifest+json",
  ".svg": "image/svg+xml",
  ".png": "image/png",
  ".bmp": "image/bmp",
};

// Starts serving `folder`; resolves to the server once it listens (port 0
// picks a free port: server.address().port).
export function serve(folder, port = 0, address = "127.0.0.1", { cacheControl = "no-cache", compress = true } = {}) {
  const root = resolve(folder);
  const server = createServer(async (request, response) => {
    let path = decodeURIComponent(new URL(request.url, "http://local").pathname);
    if (path.endsWith("/")) path += "index.html";
    const file = normalize(join(root, path));
    if (file !== root && !file.startsWith(root + sep)) {
      response.writeHead(403).end();
      return;
    }
    try {
      const info = await stat(file);
      if (!info.isFile()) throw new Error("not a file");
      const type = TYPES[extname(file)] ?? "application/octet-stream";
      let body = await readFile(file);
      const headers = { "Content-Type": type, "Cache-Control": cacheControl, Vary: "Accept-Encoding" };
      if (compress && type !== "image/png" && /\bgzip\b/.test(request.headers["accept-encoding"] ?? "")) {
        body = gzipSync(body);
        headers["Content-Encoding"] = "gzip";
      }
      headers["Content-Length"] = body.length;
      response.writeHead(200, headers);
      response.end(request.method === "HEAD" ? undefined : body);
    } catch {
      response.writeHead(404, { "Content-Type": "text/plain" }).end("not found\n");
    }
  });
  return new Promise((done, fail) => {
    server.once("error", fail);
    server.listen(port, address, () => done(server));
  });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const [folder = "build/web/site", port = "8650", address = "127.0.0.1"] = process.argv.slice(2);
  const server = await serve(folder, Number(port), address);
  console.log(`TM650E is served at http://${address === "0.0.0.0" ? "localhost" : address}:${server.address().port}/ (Ctrl+C stops it)`);
}
