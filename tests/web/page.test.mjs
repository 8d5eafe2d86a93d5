// The web page in a real browser: Debian's Chromium, headless, driven by
// playwright-core, the page served from build-web/page under a sub-path of a
// local server. A whole game played by clicking squares, each engine reply
// checked against the native karvosel-uci's reply to the same game at the
// same depth; take-back, promotion, a mate in one announced, bad input, the
// page offline, and no console error anywhere.
//
//   node --test tests/web/page.test.mjs      (after the web and release builds)
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { spawn } from "node:child_process";
import { existsSync } from "node:fs";
import path from "node:path";
import { fileURLToPath } from "node:url";
import { createRequire } from "node:module";
import { PAGE, servePage } from "./serve.mjs";

const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "../..");
const NATIVE = path.join(ROOT, "build", "protocol", "uci", "karvosel-uci");
const SUB_PATH = "/games/karvosel/";
const require = createRequire(path.join(ROOT, "web", "package.json"));
const { chromium } = require("playwright-core");
const { Chess } = await import(path.join(ROOT, "web/node_modules/chess.js/dist/esm/chess.js"));

// The native engine, asked one search at a time.
class NativeEngine {
  constructor() {
    this.process = spawn(NATIVE, [], { stdio: ["pipe", "pipe", "inherit"] });
    this.buffer = "";
    this.waiting = null;
    this.process.stdout.on("data", (chunk) => {
      this.buffer += chunk;
      const match = /^bestmove (\S+).*$/m.exec(this.buffer);
      if (match && this.waiting) {
        this.buffer = "";
        const resolve = this.waiting;
        this.waiting = null;
        resolve(match[1]);
      }
    });
  }

  bestMove(fen, moves, depth) {
    return new Promise((resolve) => {
      this.waiting = resolve;
      const from = fen ? "fen " + fen : "startpos";
      this.process.stdin.write(`ucinewgame\nposition ${from}${moves.length ? " moves " + moves.join(" ") : ""}\n` +
                               `go depth ${depth}\n`);
    });
  }

  quit() {
    this.process.stdin.end("quit\n");
  }
}

let server;
let browser;
let native;
let base;

before(async () => {
  assert.ok(existsSync(path.join(PAGE, "index.html")), "build the page first: " + PAGE);
  assert.ok(existsSync(NATIVE), "build the release preset first: " + NATIVE);
  ({ server, base } = await servePage(SUB_PATH));
  const root = process.getuid && process.getuid() === 0;
  browser = await chromium.launch({ executablePath: "/usr/bin/chromium", args: root ? ["--no-sandbox"] : [] });
  native = new NativeEngine();
});

after(async () => {
  native?.quit();
  await browser?.close();
  server?.close();
});

// A fresh page with its errors collected; it is ready when the engine is.
async function openPage(context, query = "") {
  const page = await context.newPage();
  const errors = [];
  page.on("console", (message) => {
    if (message.type() === "error") errors.push(message.text());
  });
  page.on("pageerror", (error) => errors.push(error.message));
  await page.goto(base + query);
  if (!query)
    await page.waitForFunction(() => /your move/.test(document.getElementById("status").textContent) &&
                                     window.karvosel.shown());
  return { page, errors };
}

async function clickSquare(page, square) {
  const box = await page.locator(`#board rect[data-square="${square}"]`).boundingBox();
  await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
}

async function clickMove(page, move) {
  await clickSquare(page, move.slice(0, 2));
  await clickSquare(page, move.slice(2, 4));
  if (move.length === 5) {
    const button = page.locator(`.promotion-dialog-button[data-piece$="${move[4]}"]`).first();
    await button.waitFor();
    const box = await button.boundingBox();
    await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
  }
}

const moves = (page) => page.evaluate(() => window.karvosel.moves());
const status = (page) => page.locator("#status").textContent();

// Waits until the game has `count` moves and the engine is not thinking.
async function waitForMoves(page, count) {
  await page.waitForFunction((n) => window.karvosel.moves().length >= n && !window.karvosel.thinking() &&
                                    window.karvosel.shown(), count);
}

async function setLevel(page, label) {
  await page.selectOption("#level", { label });
}

// Sets up `fen` and waits until the board shows it.
async function setFen(page, fen) {
  await page.fill("#fen", fen);
  await page.click("#fen-form button");
  await page.waitForFunction((f) => window.karvosel.fen() === f && window.karvosel.shown(), fen);
}

test("a whole game by clicks, each reply the native engine's at the same depth", async () => {
  const context = await browser.newContext();
  const { page, errors } = await openPage(context);
  await setLevel(page, "2 plies");
  const game = new Chess();
  let seed = 12345;
  const random = (n) => ((seed = (seed * 1103515245 + 12345) % 2147483648) % n);
  let replies = 0;
  while (!game.isGameOver() && game.history().length < 300) {
    const legal = game.moves({ verbose: true });
    const choice = legal[random(legal.length)];
    const text = choice.from + choice.to + (choice.promotion || "");
    await clickMove(page, text);
    game.move(choice);
    if (game.isGameOver()) break;
    await waitForMoves(page, game.history().length + 1);
    const played = await moves(page);
    const reply = played.at(-1);
    const expected = await native.bestMove(null, played.slice(0, -1), 2);
    assert.equal(reply, expected, `reply ${played.length} after ${played.slice(0, -1).join(" ")}`);
    const m = /^(..)(..)(.?)$/.exec(reply);
    game.move({ from: m[1], to: m[2], promotion: m[3] || undefined });
    ++replies;
  }
  assert.ok(game.isGameOver(), "the game ended");
  assert.deepEqual(await moves(page), game.history({ verbose: true }).map((m) => m.from + m.to + (m.promotion || "")));
  const shown = await status(page);
  if (game.isCheckmate()) assert.match(shown, /^Checkmate: (White|Black) wins\.$/);
  else assert.match(shown, /^(Stalemate|Draw)/);
  assert.match(await page.inputValue("#pgn"), /\[Result "(1-0|0-1|1\/2-1\/2)"\]/);
  assert.ok(replies > 5, "the engine replied " + replies + " times");
  assert.deepEqual(errors, []);
  await context.close();
});

test("take back, promotion by the dialog, a mate in one announced", async () => {
  const context = await browser.newContext();
  const { page, errors } = await openPage(context);
  await setLevel(page, "1 ply");
  const start = await page.evaluate(() => window.karvosel.fen());
  await clickMove(page, "e2e4");
  await waitForMoves(page, 2);
  await page.click("#take-back");
  await page.waitForFunction(() => window.karvosel.moves().length === 0);
  assert.equal(await page.evaluate(() => window.karvosel.fen()), start);

  await setFen(page, "8/4P1k1/8/8/8/8/8/4K3 w - - 0 1");
  await clickMove(page, "e7e8q");
  await waitForMoves(page, 2);
  assert.equal((await moves(page))[0], "e7e8q");
  assert.match(await page.evaluate(() => window.karvosel.fen()), /^4Q/);

  await setFen(page, "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1");
  await clickMove(page, "a1a8");
  await page.waitForFunction(() => document.getElementById("status").textContent === "Checkmate: White wins.");
  assert.match(await page.inputValue("#pgn"), /\[Result "1-0"\]/);
  assert.deepEqual(errors, []);
  await context.close();
});

test("a bad FEN and an illegal typed move are refused, the game stays", async () => {
  const context = await browser.newContext();
  const { page, errors } = await openPage(context);
  await setLevel(page, "1 ply");
  await page.fill("#move-input", "e4");
  await page.click("#move-form button");
  await waitForMoves(page, 2);
  const fen = await page.evaluate(() => window.karvosel.fen());
  await page.fill("#fen", "rnbqkbnr/pppppppp/8/8 w KQkq - 0 1");
  await page.click("#fen-form button");
  assert.match(await page.locator("#message").textContent(), /^That FEN cannot be set up: /);
  await page.fill("#move-input", "Ke3");
  await page.click("#move-form button");
  assert.equal(await page.locator("#message").textContent(), "Not a legal move here: Ke3");
  assert.equal(await page.evaluate(() => window.karvosel.fen()), fen);
  assert.equal((await moves(page)).length, 2);
  assert.deepEqual(errors, []);
  await context.close();
});

test("offline after one visit: the page loads and the engine plays", async () => {
  const context = await browser.newContext();
  const { page, errors } = await openPage(context);
  await page.evaluate(() => navigator.serviceWorker.ready);
  await context.setOffline(true);
  await page.reload();
  await page.waitForFunction(() => /your move/.test(document.getElementById("status").textContent));
  await setLevel(page, "1 ply");
  await clickMove(page, "d2d4");
  await waitForMoves(page, 2);
  assert.deepEqual(errors, []);
  await context.close();
});

test("a browser without WebAssembly is told so, and the board stays", async () => {
  const context = await browser.newContext();
  await context.addInitScript(() => {
    delete self.WebAssembly;
  });
  const page = await context.newPage();
  await page.goto(base);
  await page.waitForFunction(() => /engine is unavailable/.test(document.getElementById("status").textContent));
  assert.match(await status(page), /WebAssembly/);
  assert.equal(await page.evaluate(() => window.karvosel.fen()),
               "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
  await context.close();
});
