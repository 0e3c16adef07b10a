// The WebAssembly module through Node against the native programs run in the
// same test: every shipped example and every case source assembled both
// ways, and every Assembler and Simulator command line of the cases run both
// ways, must agree byte for byte.
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { execFileSync, spawnSync } = require('node:child_process');

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

test('the module assembles every example and case source as Assembler does', async (t) => {
  const toolchain = await loadToolchain();
  const sources = findSources();
  assert.ok(sources.length >= 10, `only ${sources.length} sources found`);
  for (const source of sources) {
    await t.test(source.label, () => {
      const includes = { ...source.files };
      delete includes[source.name];
      const sourceBytes = fs.readFileSync(path.join(source.dir, source.name));
      const base = source.name.replace(/\.asm$/, '');
      const expected = runNative('Assembler', ['--bin', source.name], { ...source.files, [source.name]: sourceBytes });
      const result = toolchain.assemble(sourceBytes, source.name, { includes });
      assert.strictEqual(result.status, expected.status);
      assert.strictEqual(result.errorText, expected.stderr);
      const file = (ext) => (expected.files[base + ext] || Buffer.alloc(0));
      assert.strictEqual(result.hex, file('.hex').toString());
      assert.strictEqual(result.listing, file('.lst').toString());
      assert.deepStrictEqual(Buffer.from(result.binary), file('.bin'));
      // Each message taken apart gives back its line; the image is the binary's bytes.
      for (const d of result.diagnostics)
        assert.strictEqual(d.text, d.line ? `${d.file}:${d.line}: ${d.severity}: ${d.message}` : d.text);
      assert.strictEqual(result.diagnostics.length, expected.stderr.split('\n').filter(Boolean).length);
      for (const range of result.ok ? result.image : [])
        assert.deepStrictEqual(
          Buffer.from(range.bytes),
          Buffer.from(result.binary.subarray(range.address - result.loadAddress, range.address - result.loadAddress + range.bytes.length)));
    });
  }
});

test('the cases\' command lines give the native programs\' output and files', async (t) => {
  const toolchain = await loadToolchain();
  const commands = findCommandLines();
  assert.ok(commands.some((c) => c.program === 'Simulator') && commands.some((c) => c.program === 'Assembler'));
  for (const command of commands) {
    await t.test(command.label, () => {
      const expected = runNative(command.program, command.args, command.files);
      const result = toolchain.runCommand(command.program, command.args, command.files);
      assert.strictEqual(result.stdout, expected.stdout);
      assert.strictEqual(result.stderr, expected.stderr);
      assert.strictEqual(result.status, expected.status);
      assert.deepStrictEqual(Object.keys(result.files).sort(), Object.keys(expected.files).sort());
      for (const [name, data] of Object.entries(expected.files))
        assert.ok(Buffer.from(result.files[name]).equals(data), `${name} differs`);
    });
  }
});
