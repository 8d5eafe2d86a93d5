// The engine's Web Worker: karvosel.js (the engine built to WebAssembly) runs
// here, takes the page's messages as lines of the UCI protocol, and each line
// it prints goes back to the page as a message {line}. {ready: true} says the
// engine has started; {error} that it could not.
"use strict";

const waiting = [];
let started = false;

self.Module = {
  print: (line) => postMessage({ line }),
  printErr: (line) => postMessage({ log: line }),
  onRuntimeInitialized: () => {
    started = true;
    postMessage({ ready: true });
    for (const message of waiting.splice(0)) handle(message);
  },
  onAbort: (what) => postMessage({ error: "the engine stopped: " + what }),
};

// {line}: one line of the protocol; {bench: depth}: the bench, which
// answers "N nodes M nps".
function handle({ line, bench }) {
  if (bench !== undefined) self.Module.ccall("karvosel_bench", null, ["number"], [bench]);
  else self.Module.ccall("karvosel_command", null, ["string"], [line]);
}

self.onmessage = (event) => {
  if (started) handle(event.data);
  else waiting.push(event.data);
};

if (typeof WebAssembly !== "object") {
  postMessage({ error: "this browser cannot run WebAssembly, which the engine needs" });
} else {
  try {
    importScripts("karvosel.js");
  } catch (error) {
    postMessage({ error: "the engine could not be loaded: " + error.message });
  }
}
