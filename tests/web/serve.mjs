// A static server for build-web/page under a sub-path of 127.0.0.1, for the
// page's tests: the page must work from any folder of any static host.
import { createReadStream, existsSync, statSync } from "node:fs";
import { createServer } from "node:http";
import path from "node:path";
import { fileURLToPath } from "node:url";

export const PAGE = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "../../build-web/page");

const TYPES = {
  ".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".wasm": "application/wasm",
  ".svg": "image/svg+xml", ".webmanifest": "application/manifest+json",
};

// {server, base}: the page at `base`, a URL ending in `subPath`.
export function servePage(subPath) {
  const server = createServer((request, response) => {
    const url = new URL(request.url, "http://localhost");
    let file = url.pathname.startsWith(subPath) ? url.pathname.slice(subPath.length) : null;
    if (file === "") file = "index.html";
    const full = file === null ? null : path.join(PAGE, path.normalize(file));
    if (!full || !full.startsWith(PAGE + path.sep) || !existsSync(full) || !statSync(full).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { "Content-Type": TYPES[path.extname(full)] || "application/octet-stream" });
    createReadStream(full).pipe(response);
  });
  return new Promise((resolve) =>
    server.listen(0, "127.0.0.1", () =>
      resolve({ server, base: `http://127.0.0.1:${server.address().port}${subPath}` })));
}
