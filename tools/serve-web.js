// Serves a folder of static files (the browser build's build-web/site) on
// 127.0.0.1 and says where; a path ending in / serves its index.html.
// Usage: node tools/serve-web.js FOLDER [PORT]   (PORT 0: any free one)
"use strict";
const http = require("http");
const fs = require("fs");
const path = require("path");

const TYPES = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript",
  ".css": "text/css",
  ".wasm": "application/wasm",
  ".png": "image/png",
  ".webmanifest": "application/manifest+json",
};
const root = path.resolve(process.argv[2] || "build-web/site");
const port = Number(process.argv[3] || 8723);

const server = http.createServer((request, response) => {
  const name = decodeURIComponent(new URL(request.url, "http://localhost").pathname);
  const file = path.join(root, name.endsWith("/") ? `${name}index.html` : name);
  const type = TYPES[path.extname(file)];
  if (!file.startsWith(root + path.sep) || !type || !fs.existsSync(file)) {
    response.writeHead(404, { "Content-Type": "text/plain" });
    response.end("not found\n");
    return;
  }
  response.writeHead(200, { "Content-Type": type, "Cache-Control": "no-cache" });
  fs.createReadStream(file).pipe(response);
});
server.listen(port, "127.0.0.1", () => {
  console.log(`Quenmar is served at http://127.0.0.1:${server.address().port}/ (Ctrl+C stops it)`);
});
