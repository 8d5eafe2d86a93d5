// The page's side of the engine: a Web Worker running karvosel.js, spoken to
// in UCI. A search ends by its own limit; to abandon one (a take-back or a
// new game while the engine thinks) the worker is ended and a fresh one
// started.

// The levels offered: a fixed depth replies the same to the same position
// every time (the table and the move-ordering tables are cleared before
// each such search), a time a move keeps the table from move to move.
export const LEVELS = [
  { label: "1 ply", go: "depth 1", fixed: true },
  { label: "2 plies", go: "depth 2", fixed: true },
  { label: "3 plies", go: "depth 3", fixed: true },
  { label: "4 plies", go: "depth 4", fixed: true },
  { label: "6 plies", go: "depth 6", fixed: true },
  { label: "8 plies", go: "depth 8", fixed: true },
  { label: "1 second a move", go: "movetime 1000", fixed: false },
  { label: "3 seconds a move", go: "movetime 3000", fixed: false },
  { label: "10 seconds a move", go: "movetime 10000", fixed: false },
];
export const DEFAULT_LEVEL = 3;

export class Cancelled extends Error {}

// The fields of an `info` line with a score: depth, seldepth, nodes, nps,
// time, score ({cp} or {mate}), multipv and the pv as a list of moves.
export function parseInfo(line) {
  const words = line.split(" ");
  if (words[0] !== "info" || !words.includes("score")) return null;
  const info = {};
  for (let i = 1; i < words.length; ++i) {
    const word = words[i];
    if (word === "pv") {
      info.pv = words.slice(i + 1);
      break;
    }
    if (word === "score") {
      const kind = words[++i];
      info.score = { [kind]: Number(words[++i]) };
      if (words[i + 1] === "lowerbound" || words[i + 1] === "upperbound") info.bound = words[++i];
    } else if (["depth", "seldepth", "nodes", "nps", "time", "multipv", "hashfull"].includes(word)) {
      info[word] = Number(words[++i]);
    } else if (word === "string") {
      return null;
    }
  }
  return info;
}

export class Engine {
  // onInfo(info) for each line of thinking, onError(text) when the worker
  // fails, onLine(line) for every line the engine prints.
  constructor({ onInfo = () => {}, onError = () => {}, onLine = () => {} } = {}) {
    this.onInfo = onInfo;
    this.onError = onError;
    this.onLine = onLine;
    this.worker = null;
    this.pending = null; // {resolve, reject, prefix} of the answer awaited
    this.failed = null;
  }

  start() {
    this.failed = null;
    if (typeof WebAssembly !== "object") {
      this.fail("this browser cannot run WebAssembly, which the engine needs");
      return Promise.reject(new Error(this.failed));
    }
    const worker = new Worker(new URL("engine-worker.js", import.meta.url));
    this.worker = worker;
    worker.onmessage = (event) => {
      if (worker !== this.worker) return;
      const { line, error } = event.data;
      if (error) return this.fail(error);
      if (line === undefined) return;
      this.onLine(line);
      const info = parseInfo(line);
      if (info) this.onInfo(info);
      if (this.pending && line.startsWith(this.pending.prefix)) {
        const { resolve } = this.pending;
        this.pending = null;
        resolve(line);
      }
    };
    worker.onerror = (event) => {
      event.preventDefault();
      this.fail("the engine could not be started" + (event.message ? ": " + event.message : ""));
    };
    this.send("uci");
    return this.ask("isready", "readyok");
  }

  fail(text) {
    this.failed = text;
    this.onError(text);
    if (this.pending) {
      const { reject } = this.pending;
      this.pending = null;
      reject(new Error(text));
    }
  }

  send(line) {
    this.worker.postMessage({ line });
  }

  // Sends `line` and waits for the first line that starts with `prefix`.
  ask(line, prefix, message = { line }) {
    if (this.failed) return Promise.reject(new Error(this.failed));
    return new Promise((resolve, reject) => {
      this.pending = { resolve, reject, prefix };
      this.worker.postMessage(message);
    });
  }

  // Ends the worker (and any search in it) and starts a fresh one.
  restart() {
    if (this.worker) this.worker.terminate();
    this.worker = null;
    if (this.pending) {
      const { reject } = this.pending;
      this.pending = null;
      reject(new Cancelled("search abandoned"));
    }
    return this.start();
  }

  // The engine's move in the game from `fen` (null: the start position)
  // after `moves` (coordinate text), at `level`: {move, ponder}, with move
  // null when there is no legal move.
  async bestMove(fen, moves, level) {
    if (level.fixed) this.send("ucinewgame");
    const from = fen ? "fen " + fen : "startpos";
    this.send("position " + from + (moves.length ? " moves " + moves.join(" ") : ""));
    const answer = await this.ask("go " + level.go, "bestmove");
    const words = answer.split(" ");
    return { move: words[1] === "0000" ? null : words[1], ponder: words[3] || null };
  }

  // The bench at `depth`: "N nodes M nps".
  bench(depth) {
    return this.ask(null, "", { bench: depth }).then((line) => {
      if (!/^\d+ nodes \d+ nps$/.test(line)) throw new Error(line);
      return line;
    });
  }
}
