// The wrapper of the toolchain's WebAssembly module: loads it (in a browser,
// a worker or Node) and turns its JSON answers into the objects of api.ts.
// It holds no assembler or simulator logic of its own.
'use strict';

// "3E05" -> Uint8Array [0x3E, 0x05]: the module sends bytes as hexadecimal text.
function hexToBytes(text) {
  const bytes = new Uint8Array(text.length >> 1);
  for (let i = 0; i < bytes.length; i++) bytes[i] = parseInt(text.substr(2 * i, 2), 16);
  return bytes;
}

function toBytes(data) {
  return data instanceof Uint8Array ? data : Uint8Array.from(data);
}

// {name: data} -> [name, data, name, data, ...], as the module takes files.
function flattenFiles(files) {
  const flat = [];
  for (const [name, data] of Object.entries(files || {})) flat.push(name, data);
  return flat;
}

function decodeRanges(ranges) {
  return ranges.map((range) => ({ address: range.address, bytes: hexToBytes(range.bytes) }));
}

function decodeFiles(files) {
  const decoded = {};
  for (const [name, hex] of Object.entries(files)) decoded[name] = hexToBytes(hex);
  return decoded;
}

function makeToolchain(core) {
  const toolchain = {
    version: '',
    assemble(source, mainFile = 'prog.asm', options = {}) {
      const fill = options.fill === undefined ? 0xff : options.fill;
      const raw = JSON.parse(core.assemble(source, mainFile, flattenFiles(options.includes), fill, !!options.crlf));
      raw.ok = raw.status === 0;
      raw.binary = hexToBytes(raw.binary);
      raw.image = decodeRanges(raw.image);
      return raw;
    },
    runCommand(program, args, files) {
      const raw = JSON.parse(core.runCommand(program, args, flattenFiles(files)));
      raw.files = decodeFiles(raw.files);
      return raw;
    },
    createSession() {
      return makeSession(core);
    },
  };
  toolchain.version = toolchain.runCommand('Assembler', ['--version']).stdout.trim();
  return toolchain;
}

function makeSession(core) {
  let native = new core.WebSession();
  const alive = () => {
    if (!native) throw new Error('the session was disposed');
    return native;
  };
  const stop = (json) => JSON.parse(json);
  const asString = (bytes) => (bytes instanceof Uint8Array ? bytes : Uint8Array.from(bytes));
  return {
    load(program, options = []) {
      return JSON.parse(alive().load(program.name, program.data, flattenFiles(program.files), options));
    },
    reset() { alive().reset(); },
    step(count = 1) { return stop(alive().run('step', count)); },
    stepOver() { return stop(alive().run('over', 0)); },
    stepOut() { return stop(alive().run('out', 0)); },
    run(maxInstructions) { return stop(alive().run('run', maxInstructions)); },
    requestPause() { alive().pause(); },
    setBreakpoint(address, on) { alive().setBreakpoint(address & 0xffff, !!on); },
    breakpoints() { return JSON.parse(alive().breakpoints()); },
    setWatchpoint(address, kind, on) {
      if (kind !== 'write') throw new Error(`watchpoints see writes only, not '${kind}'`);
      alive().setWatchpoint(address & 0xffff, !!on);
    },
    setRegister(name, value) {
      if (!alive().setRegister(name, value & 0xffff)) throw new Error(`no register ${name}`);
    },
    readMemory(address, length) { return hexToBytes(JSON.parse(alive().readMemory(address & 0xffff, length))); },
    writeMemory(address, bytes) { alive().writeMemory(address & 0xffff, asString(bytes)); },
    queueInput(port, bytes) { alive().queueInput(port & 0xff, asString(bytes)); },
    setPortValue(port, value) { alive().holdInput(port & 0xff, value === null ? -1 : value & 0xff); },
    sendConsole(text) { alive().sendConsole(text); },
    raiseInterrupt(line) {
      if (!alive().raiseInterrupt(line)) throw new Error(`no interrupt line ${line}`);
    },
    snapshot() {
      const snapshot = JSON.parse(alive().snapshot());
      if (snapshot) snapshot.changed = decodeRanges(snapshot.changed);
      return snapshot;
    },
    report() { return alive().report(); },
    checks(options) { return JSON.parse(alive().checks(options)); },
    dispose() {
      if (native) native.delete();
      native = null;
    },
  };
}

// A source of a few hundred lines assembled once at load: the first calls
// run through code the JavaScript engine has not optimised yet (the module's
// file system glue, the baseline-compiled WebAssembly) and take several times
// as long; after this one the user's first assembly runs at full speed.
function warmUpSource() {
  let text = '';
  for (let i = 0; i < 300; i++) text += `W${i}: MVI A,${i & 255}\n LXI H,W${i}+1\n DB 'AB',1\n JNZ W${i}\n`;
  return text + ' END\n';
}

// Node's require, when this file runs as a CommonJS module of Node (not in a bundle).
function nodeRequire() {
  return typeof module === 'object' && module && typeof module.require === 'function'
    ? module.require.bind(module)
    : null;
}

async function loadToolchain(options = {}) {
  const moduleArguments = {};
  if (options.locateFile) moduleArguments.locateFile = options.locateFile;
  if (options.wasmBinary) moduleArguments.wasmBinary = options.wasmBinary;
  let factory = options.factory;
  if (!factory) {
    const load = nodeRequire();
    if (!load) throw new Error('loadToolchain: pass options.factory (createToolchainCore of toolchain-core.js)');
    // Node: the module beside this file; its loader cannot fetch() a path, so
    // it is handed the .wasm bytes.
    const path = load('path');
    factory = load(path.join(__dirname, 'toolchain-core.js'));
    if (!moduleArguments.wasmBinary)
      moduleArguments.wasmBinary = load('fs').readFileSync(path.join(__dirname, 'toolchain-core.wasm'));
  }
  const toolchain = makeToolchain(await factory(moduleArguments));
  if (options.warmUp !== false) for (let i = 0; i < 3; i++) toolchain.assemble(warmUpSource(), 'warmup.asm');
  return toolchain;
}

// CommonJS for Node and bundlers; a global (toolchain8085) for a plain <script>.
const exported = { loadToolchain, hexToBytes, toBytes };
if (typeof module === 'object' && module) module.exports = exported;
else globalThis.toolchain8085 = exported;
