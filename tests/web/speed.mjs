// The bench's speed in the browser against the native build's, side by side:
// the page's bench (?bench=7, in its Web Worker in headless Chromium) and
// `karvosel-uci bench 7` run alternately three times, the median of the
// three ratios of nodes per second printed. Both must search the signature's
// nodes. Exit status 1 when the median ratio is below 0.5: on a shared
// two-core machine single runs of either side vary by a fifth, so this
// catches a build that lost its optimisation, not a few per cent; the
// figures measured on a quiet machine are in docs/web.md.
//
//   node tests/web/speed.mjs [RUNS]
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import path from "node:path";
import { fileURLToPath } from "node:url";
import { createRequire } from "node:module";
import { servePage } from "./serve.mjs";

const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "../..");
const NATIVE = path.join(ROOT, "build", "protocol", "uci", "karvosel-uci");
const require = createRequire(path.join(ROOT, "web", "package.json"));
const { chromium } = require("playwright-core");
const SIGNATURE = readFileSync(path.join(ROOT, "tools", "bench-signature.txt"), "utf8")
  .split("\n").find((line) => /^\d+$/.test(line));
const RUNS = Number(process.argv[2] || 3);
const MINIMUM = 0.5;

function parse(line, who) {
  const m = /(\d+) nodes (\d+) nps/.exec(line);
  if (!m) throw new Error(`${who}: no bench report in "${line}"`);
  if (m[1] !== SIGNATURE) throw new Error(`${who}: ${m[1]} nodes, not the signature ${SIGNATURE}`);
  return Number(m[2]);
}

const { server, base } = await servePage("/");
const root = process.getuid && process.getuid() === 0;
const browser = await chromium.launch({ executablePath: "/usr/bin/chromium", args: root ? ["--no-sandbox"] : [] });
const ratios = [];
try {
  for (let run = 1; run <= RUNS; ++run) {
    const native = parse(execFileSync(NATIVE, ["bench", "7"], { encoding: "utf8" }), "native");
    const page = await browser.newPage();
    await page.goto(base + "?bench=7");
    await page.waitForFunction(() => /^Bench: |^Bench failed/.test(document.getElementById("bench").textContent),
                               null, { timeout: 300000 });
    const web = parse(await page.locator("#bench").textContent(), "browser");
    await page.close();
    ratios.push(web / native);
    console.log(`run ${run}: native ${native} nps, browser ${web} nps, ratio ${(web / native).toFixed(3)}`);
  }
} finally {
  await browser.close();
  server.close();
}
ratios.sort((a, b) => a - b);
const median = ratios[Math.floor(ratios.length / 2)];
console.log(`median ratio of the browser's nodes per second to the native build's: ${median.toFixed(3)}`);
process.exit(median >= MINIMUM ? 0 : 1);
