// Makes docs/web-screenshot.png: the web page in headless Chromium after a few
// moves of a game, the engine's thinking under the board. Build the page
// first (make web).
//
//   node tools/web-screenshot.mjs
import path from "node:path";
import { fileURLToPath } from "node:url";
import { createRequire } from "node:module";
import { servePage } from "../tests/web/serve.mjs";

const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "..");
const require = createRequire(path.join(ROOT, "web", "package.json"));
const { chromium } = require("playwright-core");
const { Chess } = await import(path.join(ROOT, "web/node_modules/chess.js/dist/esm/chess.js"));
// The player's moves: these where they are legal, else the first legal one.
const OPENING = ["e2e4", "d2d4", "g1f3", "f1c4"];

const { server, base } = await servePage("/");
const root = process.getuid && process.getuid() === 0;
const browser = await chromium.launch({ executablePath: "/usr/bin/chromium", args: root ? ["--no-sandbox"] : [] });
try {
  const page = await browser.newPage({ viewport: { width: 1100, height: 720 } });
  await page.goto(base);
  await page.waitForFunction(() => /your move/.test(document.getElementById("status").textContent));
  await page.selectOption("#level", { label: "4 plies" });
  for (const [i, wanted] of OPENING.entries()) {
    const game = new Chess();
    for (const m of await page.evaluate(() => window.karvosel.moves()))
      game.move({ from: m.slice(0, 2), to: m.slice(2, 4), promotion: m[4] });
    const legal = game.moves({ verbose: true }).map((m) => m.lan);
    const move = legal.includes(wanted) ? wanted : legal[0];
    await page.fill("#move-input", move);
    await page.click("#move-form button");
    await page.waitForFunction((n) => window.karvosel.moves().length >= n && !window.karvosel.thinking(),
                               2 * (i + 1));
  }
  await page.waitForTimeout(500);
  await page.screenshot({ path: path.join(ROOT, "docs", "web-screenshot.png") });
} finally {
  await browser.close();
  server.close();
}
