// The WebAssembly module through Node against the native programs run in the
// same test: every shipped example and every case source assembled both
// ways, and every Assembler and Simulator command line of the cases run both
// ways, must agree byte for byte.
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');

const { loadToolchain, runNative, findSources, findCommandLines } = require('./support.js');

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

test('the lines of an include file carry its name and its own line numbers', async () => {
  const toolchain = await loadToolchain();
  const result = toolchain.assemble(' ORG 100H\n INCLUDE "sub.inc"\n HLT\n', 'main.asm',
    { includes: { 'sub.inc': 'SUB1: MVI A,1\n RET\n' } });
  assert.strictEqual(result.status, 0);
  assert.deepStrictEqual(result.lines.map((l) => [l.file, l.line, l.address, l.size]),
    [['main.asm', 1, 0x100, 0], ['sub.inc', 1, 0x100, 2], ['sub.inc', 2, 0x102, 1], ['main.asm', 3, 0x103, 1]]);
});
