// What the Node tests of the WebAssembly module share: the module, the
// native programs, the case folders and their command lines.
'use strict';
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { spawnSync } = require('node:child_process');

const root = process.env.SOURCE_DIR || path.resolve(__dirname, '../..');
const native = { Assembler: process.env.ASSEMBLER, Simulator: process.env.SIMULATOR };
const { loadToolchain } = require(process.env.TOOLCHAIN_JS || path.join(root, 'build-web/site/toolchain.js'));
const casesDir = path.join(root, 'tests/cases');

// Every file under dir, by its path relative to dir.
function readTree(dir, prefix = '') {
  const files = {};
  if (!fs.existsSync(dir)) return files;
  for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
    const name = path.join(prefix, entry.name);
    if (entry.isDirectory()) Object.assign(files, readTree(path.join(dir, entry.name), name));
    else files[name] = fs.readFileSync(path.join(dir, entry.name));
  }
  return files;
}

function writeTree(dir, files) {
  for (const [name, data] of Object.entries(files)) {
    fs.mkdirSync(path.dirname(path.join(dir, name)), { recursive: true });
    fs.writeFileSync(path.join(dir, name), data);
  }
}

// Runs a native program in a fresh directory holding files; what it printed
// and every file it wrote or changed.
function runNative(program, args, files) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'web-native-'));
  try {
    writeTree(dir, files);
    const run = spawnSync(native[program], args, { cwd: dir, encoding: 'buffer', maxBuffer: 1 << 28 });
    const written = {};
    for (const [name, data] of Object.entries(readTree(dir)))
      if (!files[name] || !Buffer.from(files[name]).equals(data)) written[name] = data;
    return { status: run.status, stdout: run.stdout.toString(), stderr: run.stderr.toString(), files: written };
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

// The sources: examples/*.asm and the .asm files of the cases, each with the
// other files of its folder.
function findSources() {
  const sources = [];
  for (const name of fs.readdirSync(path.join(root, 'examples')))
    if (name.endsWith('.asm')) sources.push({ label: `examples/${name}`, name, files: {}, dir: path.join(root, 'examples') });
  for (const kase of fs.readdirSync(casesDir)) {
    const inDir = path.join(casesDir, kase, 'in');
    const files = readTree(inDir);
    for (const name of Object.keys(files))
      if (name.endsWith('.asm')) sources.push({ label: `${kase}/${name}`, name, files, dir: inDir });
  }
  return sources;
}

// The Assembler and Simulator command lines of the cases' cmd scripts that
// are plain words (no variables, quotes or redirections inside the arguments).
function findCommandLines() {
  const commands = [];
  for (const kase of fs.readdirSync(casesDir)) {
    const cmd = path.join(casesDir, kase, 'cmd');
    if (!fs.existsSync(cmd) || fs.existsSync(path.join(casesDir, kase, 'setup.sh'))) continue;
    const options = fs.existsSync(path.join(casesDir, kase, 'options'))
      ? fs.readFileSync(path.join(casesDir, kase, 'options'), 'utf8') : '';
    for (const line of fs.readFileSync(cmd, 'utf8').split('\n')) {
      const match = /^\s*"\$(ASSEMBLER|SIMULATOR)"((?:\s+[^\s;&|<>"'$`]+)*)\s*(?:$|[;&|<>]|2>)/.exec(line);
      if (!match) continue;
      const program = match[1] === 'ASSEMBLER' ? 'Assembler' : 'Simulator';
      const files = readTree(path.join(casesDir, kase, 'in'));
      if (!/\bno-etc\b/.test(options) && !/\bno-opcodes\b/.test(options))
        files['etc/opcodes.txt'] = fs.readFileSync(path.join(root, 'etc/opcodes.txt'));
      commands.push({ label: `${kase}: ${line.trim()}`, program, args: match[2].trim().split(/\s+/).filter(Boolean), files });
    }
  }
  return commands;
}

module.exports = { root, casesDir, loadToolchain, readTree, writeTree, runNative, findSources, findCommandLines };
