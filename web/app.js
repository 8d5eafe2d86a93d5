// The page: a game against Karvosel. The rules of the game on the board
// (legal moves, notation, the end of the game, PGN) are chess.js's; every
// move of the engine comes from the engine in its worker (engine.js).
import { Chess, validateFen } from "./vendor/chess.js/dist/esm/chess.js";
import { Chessboard, COLOR, INPUT_EVENT_TYPE, FEN } from "./vendor/cm-chessboard/src/Chessboard.js";
import { Markers, MARKER_TYPE } from "./vendor/cm-chessboard/src/extensions/markers/Markers.js";
import { PromotionDialog } from "./vendor/cm-chessboard/src/extensions/promotion-dialog/PromotionDialog.js";
import { Accessibility } from "./vendor/cm-chessboard/src/extensions/accessibility/Accessibility.js";
import { Engine, Cancelled, LEVELS, DEFAULT_LEVEL } from "./engine.js";

const $ = (id) => document.getElementById(id);
const COORDINATE_MOVE = /^([a-h][1-8])-?([a-h][1-8])([qrbn]?)$/i;

const page = {
  game: new Chess(),
  startFen: null, // the FEN the game was set up from; null for the start position
  human: "w",
  level: LEVELS[DEFAULT_LEVEL],
  thinking: false,
  search: 0, // numbers the engine's searches, so that an abandoned one is ignored
  engineReady: false,
};

const board = new Chessboard($("board"), {
  position: FEN.start,
  assetsUrl: "vendor/cm-chessboard/assets/",
  style: { pieces: { file: "pieces/standard.svg" }, animationDuration: 150 },
  extensions: [
    { class: Markers },
    { class: PromotionDialog },
    { class: Accessibility, props: { language: "en", keyboardMoveInput: true, piecesAsList: false } },
  ],
});

const engine = new Engine({
  onInfo: showThinking,
  onError: () => {
    page.engineReady = false;
    page.thinking = false;
    showGame();
  },
});

// ---- the game's moves in both notations ----

function coordinateMoves() {
  return page.game.history({ verbose: true }).map((m) => m.from + m.to + (m.promotion || ""));
}

function resultText() {
  const game = page.game;
  if (game.isCheckmate()) return "Checkmate: " + (game.turn() === "w" ? "Black" : "White") + " wins.";
  if (game.isStalemate()) return "Stalemate: a draw.";
  if (game.isThreefoldRepetition()) return "Draw by threefold repetition.";
  if (game.isInsufficientMaterial()) return "Draw: neither side can mate.";
  if (game.isDrawByFiftyMoves()) return "Draw by the fifty-move rule.";
  return null;
}

function pgnResult() {
  const game = page.game;
  if (game.isCheckmate()) return game.turn() === "w" ? "0-1" : "1-0";
  return resultText() ? "1/2-1/2" : "*";
}

// ---- what the page shows ----

function showStatus(text, isError = false) {
  const status = $("status");
  status.textContent = text;
  status.classList.toggle("error", isError);
}

function showMessage(text) {
  $("message").textContent = text;
}

function scoreText(score) {
  // The engine scores for the side to move; the page shows White's view.
  const sign = page.game.turn() === "w" ? 1 : -1;
  if (score.mate !== undefined) return "#" + sign * score.mate;
  const pawns = (sign * score.cp) / 100;
  return (pawns > 0 ? "+" : "") + pawns.toFixed(2);
}

function sanLine(pv) {
  const game = new Chess(page.game.fen());
  const moves = [];
  for (const text of pv) {
    const m = COORDINATE_MOVE.exec(text);
    if (!m) break;
    try {
      moves.push(game.move({ from: m[1], to: m[2], promotion: m[3] || undefined }).san);
    } catch {
      break;
    }
  }
  return moves.join(" ");
}

function showThinking(info) {
  if (!page.thinking || !info.pv) return;
  $("thinking").textContent =
    `depth ${info.depth}  score ${scoreText(info.score)}  nodes ${info.nodes}  ${sanLine(info.pv)}`;
}

function showMoves() {
  const list = $("moves");
  list.replaceChildren();
  const history = page.game.history();
  const first = new Chess(page.startFen || undefined);
  let number = first.moveNumber();
  let whiteToMove = first.turn() === "w";
  let item = null;
  for (const san of history) {
    if (whiteToMove || !item) {
      item = document.createElement("li");
      item.textContent = number + (whiteToMove ? ". " : "... ") + san;
      list.append(item);
    } else {
      item.textContent += " " + san;
    }
    if (!whiteToMove) ++number;
    whiteToMove = !whiteToMove;
  }
  list.scrollTop = list.scrollHeight;
  $("pgn").value = pgnText();
}

function pgnText() {
  const game = page.game;
  game.setHeader("Event", "Game on the Karvosel page");
  game.setHeader("Date", new Date().toISOString().slice(0, 10).replaceAll("-", "."));
  game.setHeader("White", page.human === "w" ? "Player" : "Karvosel (" + page.level.label + ")");
  game.setHeader("Black", page.human === "b" ? "Player" : "Karvosel (" + page.level.label + ")");
  game.setHeader("Result", pgnResult());
  const pgn = game.pgn();
  return pgn.endsWith(pgnResult()) ? pgn : pgn + " " + pgnResult();
}

function markLastMoveAndCheck() {
  board.removeMarkers(MARKER_TYPE.square);
  board.removeMarkers(MARKER_TYPE.circleDanger);
  const last = page.game.history({ verbose: true }).at(-1);
  if (last) {
    board.addMarker(MARKER_TYPE.square, last.from);
    board.addMarker(MARKER_TYPE.square, last.to);
  }
  if (page.game.inCheck()) {
    const king = page.game.findPiece({ type: "k", color: page.game.turn() })[0];
    if (king) board.addMarker(MARKER_TYPE.circleDanger, king);
  }
}

// The board, the move list and the status after any change of the game.
async function showGame() {
  const fen = page.game.fen();
  markLastMoveAndCheck();
  showMoves();
  const result = resultText();
  if (result) showStatus(result);
  else if (page.thinking) showStatus("Karvosel is thinking…");
  else if (engine.failed) showStatus("The engine is unavailable: " + engine.failed + ".", true);
  else if (!page.engineReady) showStatus("Loading the engine…");
  else if (page.game.turn() === page.human)
    showStatus((page.human === "w" ? "White" : "Black") + " to move: your move." +
      (page.game.inCheck() ? " Check!" : ""));
  else showStatus("Karvosel's move.");
  await board.setPosition(fen, true);
  // The position the board shows, once its pieces have moved there.
  if (fen === page.game.fen()) $("board").dataset.fen = fen;
}

// ---- moves ----

function humanMayMove() {
  return !page.thinking && !resultText() && page.game.turn() === page.human;
}

// Plays `move` (chess.js's move object or text) for whoever is to move;
// false if it is not legal here.
function play(move) {
  try {
    page.game.move(move);
  } catch {
    return false;
  }
  return true;
}

async function afterHumanMove() {
  showMessage("");
  await showGame();
  engineMove();
}

async function engineMove() {
  if (resultText() || page.game.turn() === page.human || !page.engineReady) return;
  const search = ++page.search;
  page.thinking = true;
  $("thinking").textContent = "";
  showGame();
  let answer;
  try {
    answer = await engine.bestMove(page.startFen, coordinateMoves(), page.level);
  } catch (error) {
    if (search === page.search) page.thinking = false;
    if (!(error instanceof Cancelled) && search === page.search) showGame();
    return;
  }
  if (search !== page.search) return;
  page.thinking = false;
  const m = answer.move && COORDINATE_MOVE.exec(answer.move);
  if (!m || !play({ from: m[1], to: m[2], promotion: m[3] || undefined })) {
    showStatus("The engine answered a move the page cannot play: " + answer.move, true);
    return;
  }
  await showGame();
}

function onMoveInput(event) {
  switch (event.type) {
    case INPUT_EVENT_TYPE.moveInputStarted: {
      if (!humanMayMove()) return false;
      const moves = page.game.moves({ square: event.squareFrom, verbose: true });
      for (const m of moves) board.addMarker(MARKER_TYPE.dot, m.to);
      return moves.length > 0;
    }
    case INPUT_EVENT_TYPE.validateMoveInput: {
      board.removeMarkers(MARKER_TYPE.dot);
      const moves = page.game
        .moves({ square: event.squareFrom, verbose: true })
        .filter((m) => m.to === event.squareTo);
      if (moves.length === 0) return false;
      if (moves[0].promotion) {
        board.showPromotionDialog(event.squareTo, page.human === "w" ? COLOR.white : COLOR.black, (result) => {
          if (result && result.piece && play({ from: event.squareFrom, to: event.squareTo,
                                               promotion: result.piece.charAt(1) }))
            afterHumanMove();
          else showGame();
        });
        return true;
      }
      play({ from: event.squareFrom, to: event.squareTo });
      // The board finishes its own move first.
      setTimeout(afterHumanMove);
      return true;
    }
    case INPUT_EVENT_TYPE.moveInputCanceled:
    case INPUT_EVENT_TYPE.moveInputFinished:
      board.removeMarkers(MARKER_TYPE.dot);
      return true;
  }
  return true;
}

// ---- the controls ----

// Abandons the engine's search, if there is one, with a fresh worker.
async function stopThinking() {
  if (!page.thinking) return;
  page.thinking = false;
  ++page.search;
  page.engineReady = false;
  try {
    await engine.restart();
    page.engineReady = true;
  } catch {
    // onError has said why.
  }
}

async function newGame(fen = null) {
  await stopThinking();
  page.game = new Chess(fen || undefined);
  page.startFen = fen;
  $("thinking").textContent = "";
  showMessage("");
  await showGame();
  engineMove();
}

async function takeBack() {
  const wasThinking = page.thinking;
  await stopThinking();
  const game = page.game;
  // Back to the last position where the player was to move, if any.
  if (wasThinking) game.undo();
  else if (game.history().length >= 2) {
    game.undo();
    game.undo();
  } else {
    showMessage("There is no move of yours to take back.");
  }
  await showGame();
  engineMove();
}

async function setSide(side) {
  page.human = side;
  board.setOrientation(side === "w" ? COLOR.white : COLOR.black);
  await showGame();
  engineMove();
}

function setFen() {
  const fen = $("fen").value.trim();
  const check = validateFen(fen);
  if (!check.ok) {
    showMessage("That FEN cannot be set up: " + check.error);
    return;
  }
  newGame(fen);
}

function typedMove(event) {
  event.preventDefault();
  const input = $("move-input");
  const text = input.value.trim();
  if (!text) return;
  if (!humanMayMove()) {
    showMessage(resultText() ? "The game is over." : "It is not your move.");
    return;
  }
  const m = COORDINATE_MOVE.exec(text);
  const move = m ? { from: m[1].toLowerCase(), to: m[2].toLowerCase(),
                     promotion: m[3] ? m[3].toLowerCase() : undefined } : text;
  if (!play(move)) {
    showMessage("Not a legal move here: " + text);
    return;
  }
  input.value = "";
  afterHumanMove();
}

async function copyPgn() {
  try {
    await navigator.clipboard.writeText(pgnText());
    showMessage("The game's PGN is on the clipboard.");
  } catch {
    $("pgn").select();
    showMessage("Select the PGN below and copy it.");
  }
}

function downloadPgn() {
  const link = document.createElement("a");
  link.href = URL.createObjectURL(new Blob([pgnText() + "\n"], { type: "application/x-chess-pgn" }));
  link.download = "karvosel-game.pgn";
  link.click();
  URL.revokeObjectURL(link.href);
}

function setUpControls() {
  const levels = $("level");
  LEVELS.forEach((level, i) => levels.add(new Option(level.label, String(i), false, i === DEFAULT_LEVEL)));
  levels.addEventListener("change", () => (page.level = LEVELS[Number(levels.value)]));
  $("side").addEventListener("change", (e) => setSide(e.target.value));
  $("new-game").addEventListener("click", () => newGame());
  $("take-back").addEventListener("click", takeBack);
  $("flip").addEventListener("click", () =>
    board.setOrientation(board.getOrientation() === COLOR.white ? COLOR.black : COLOR.white));
  $("fen-form").addEventListener("submit", (e) => {
    e.preventDefault();
    setFen();
  });
  $("move-form").addEventListener("submit", typedMove);
  $("copy-pgn").addEventListener("click", copyPgn);
  $("download-pgn").addEventListener("click", downloadPgn);
  board.enableMoveInput(onMoveInput);
}

// ?bench=DEPTH runs the engine's bench in the worker and shows its speed.
async function runBench(depth) {
  $("bench").hidden = false;
  $("bench").textContent = "Bench at depth " + depth + "…";
  try {
    $("bench").textContent = "Bench: " + (await engine.bench(depth));
  } catch (error) {
    $("bench").textContent = "Bench failed: " + error.message;
  }
}

async function start() {
  setUpControls();
  await showGame();
  if ("serviceWorker" in navigator)
    navigator.serviceWorker.register("sw.js").catch(() => {
      // Without a service worker the page still works, only not offline.
    });
  try {
    await engine.start();
    page.engineReady = true;
  } catch {
    return;
  }
  const bench = new URLSearchParams(location.search).get("bench");
  if (bench) return runBench(Number(bench));
  await showGame();
  engineMove();
}

// For the page's tests and for curious users: the game as the page holds it.
window.karvosel = {
  fen: () => page.game.fen(),
  shown: () => $("board").dataset.fen === page.game.fen(),
  moves: coordinateMoves,
  thinking: () => page.thinking,
  level: () => page.level,
};

start();
