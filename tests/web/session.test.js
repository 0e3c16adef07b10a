// Sessions of the WebAssembly module: every Simulator command line of the
// cases run as a session to its stop gives the native Simulator's console,
// warnings, report and checks; and one program driven through every call of
// the session API, each outcome worked out by hand.
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const { loadToolchain, runNative, findCommandLines } = require('./support.js');

// Options that print besides the report, and the checks, taken out of a command line.
function splitArguments(args) {
  const options = [], checks = [];
  for (let i = 0; i < args.length; i++) {
    const [name] = args[i].split('=');
    const takesValue = !args[i].includes('=') && i + 1 < args.length;
    const pair = takesValue && /^--(expect|expect-out|expect-cycles|dump)$/.test(name) ? [args[i], args[++i]] : [args[i]];
    if (/^--expect/.test(name)) checks.push(...pair);
    else if (name !== '--dump' && name !== '--trace') options.push(...pair);
  }
  return { options, checks };
}

test('a session run to its stop reports as the native Simulator does', async (t) => {
  const toolchain = await loadToolchain();
  const commands = findCommandLines().filter((c) => c.program === 'Simulator');
  let compared = 0;
  for (const command of commands) {
    const program = [...command.args].reverse().find((word) => command.files[word] !== undefined);
    if (!program || command.args.includes('--debug')) continue;
    await t.test(command.label, () => {
      const { options, checks } = splitArguments(command.args.filter((word) => word !== program));
      // A session's own limit is far above the command line's: give both the command line's.
      if (!options.some((word) => word.startsWith('--max-steps'))) options.push('--max-steps', '10000000');
      const files = { ...command.files };
      delete files[program];
      const session = toolchain.createSession();
      try {
        const loaded = session.load({ name: program, data: command.files[program], files }, options);
        const expected = runNative('Simulator', [...options, program], command.files);
        if (loaded.status !== 0) {
          assert.deepStrictEqual([loaded.status, loaded.stderr], [expected.status, expected.stderr]);
          return;
        }
        let stop, console = '', warnings = '';
        do {
          stop = session.run(5000000);
          const snapshot = session.snapshot();
          console += snapshot.console;
          warnings += snapshot.warnings;
        } while (stop.reason === 'count');
        const cpm = options.includes('--cpm');
        assert.strictEqual(cpm ? console : loaded.stderr + warnings + session.report(),
          cpm ? expected.stdout : expected.stderr + expected.stdout);
        if (cpm) assert.strictEqual(loaded.stderr + warnings + session.report(), expected.stderr);
        if (checks.length) {
          const native = runNative('Simulator', [...options, ...checks, program], command.files);
          const lines = (cpm ? native.stderr : native.stdout).split('\n').filter((l) => /^ {2}(passed|failed): /.test(l));
          const result = session.checks(checks);
          assert.deepStrictEqual(result.checks.map((c) => `  ${c.line}`), lines);
          assert.deepStrictEqual(result.checks.map((c) => c.passed), lines.map((l) => l.startsWith('  passed')));
        }
        compared++;
      } finally {
        session.dispose();
      }
    });
  }
  assert.ok(compared >= 5, `only ${compared} runs compared`);
});

// 0800 LXI SP; 0803 CALL WORK; 0806 STA; 0809 IN 1; 080B OUT 10H; 080D HLT; 080E WORK: MVI; 0810 PUSH; 0811 POP; 0812 RET
const Program = `        ORG 0800H
START:  LXI SP,2000H
        CALL WORK
        STA 2050H
        IN 1
        OUT 10H
        HLT
WORK:   MVI A,07H
        PUSH B
        POP B
        RET
        END START
`;

test('one program through every call of a session', async () => {
  const toolchain = await loadToolchain();
  const session = toolchain.createSession();
  assert.strictEqual(session.load({ name: 'p.asm', data: Program }, ['--in', '1=42H']).status, 0);
  let snapshot = session.snapshot();
  assert.strictEqual(snapshot.stop, null);
  assert.strictEqual(snapshot.registers.PC, 0x0800);
  assert.deepStrictEqual(snapshot.changed.map((r) => [r.address, r.bytes.length]), [[0, 0x10000]]);
  assert.deepStrictEqual(Array.from(snapshot.changed[0].bytes.subarray(0x0800, 0x0803)), [0x31, 0x00, 0x20]);

  assert.deepStrictEqual(session.step(), { reason: 'count', address: 0x0803, text: 'at 0803H START+3' });
  assert.strictEqual(session.stepOver().address, 0x0806);                // the routine's four instructions ran
  snapshot = session.snapshot();
  assert.deepStrictEqual([snapshot.registers.A, snapshot.registers.SP, snapshot.steps], [7, 0x2000, 6]);
  assert.deepStrictEqual(snapshot.changed.map((r) => r.address), [0x1ffe]); // the return address, written and popped
  assert.strictEqual(session.snapshot().changed.length, 0);

  session.setWatchpoint(0x2050, 'write', true);
  assert.strictEqual(session.run(1000).reason, 'watchpoint');
  session.setWatchpoint(0x2050, 'write', false);
  session.setRegister('A', 0x55);                                         // after the STA: IN overwrites A
  assert.deepStrictEqual(session.readMemory(0x2050, 2), Uint8Array.from([7, 0]));
  assert.deepStrictEqual(session.run(1000), { reason: 'halt', address: 0x080d, text: 'HLT at 080DH START+13' });
  snapshot = session.snapshot();
  assert.deepStrictEqual(snapshot.portWrites, [{ port: 0x10, value: 0x42 }]);
  assert.strictEqual(snapshot.time, '34.180 us at 3.072 MHz');           // 105 T-states
  assert.strictEqual(session.snapshot().portWrites.length, 0);
  const checks = session.checks(['--expect', 'A=42H', '--expect-out=10H=41H']);
  assert.deepStrictEqual(checks.checks.map((c) => c.passed), [true, false]);
  assert.strictEqual(checks.ok, false);
  assert.match(session.checks(['--in', '1=2']).error, /not a check/);

  // Reset keeps breakpoints; the --in queue comes back, bytes queued later follow it.
  session.setBreakpoint(0x080e, true);
  session.reset();
  assert.deepStrictEqual(session.breakpoints(), [0x080e]);
  assert.strictEqual(session.run(1000).reason, 'breakpoint');
  session.setBreakpoint(0x080e, false);
  session.writeMemory(0x080f, [0x09]);                                    // MVI A,09H instead
  assert.strictEqual(session.step().address, 0x0810);
  assert.strictEqual(session.stepOut().address, 0x0806);
  assert.strictEqual(session.snapshot().registers.A, 0x09);
  session.reset();
  session.queueInput(1, [0x77]);
  session.run(1000);
  assert.strictEqual(session.snapshot().registers.A, 0x42);

  // Without --in: a held port value, then FFH with the simulator's warning.
  const kit = toolchain.createSession();
  kit.load({ name: 'p.asm', data: Program });
  kit.setPortValue(1, 0x99);
  kit.run(1000);
  assert.deepStrictEqual(kit.snapshot().portWrites, [{ port: 0x10, value: 0x99 }]);
  kit.setPortValue(1, null);
  kit.reset();
  kit.run(1000);
  snapshot = kit.snapshot();
  assert.strictEqual(snapshot.registers.A, 0xff);
  assert.match(snapshot.warnings, /^Simulator: warning: IN 01H at 0809H/);
  kit.dispose();

  // An interrupt raised while enabled is taken: RST 5.5 needs EI and unmasking, TRAP does not.
  session.reset();
  session.raiseInterrupt('TRAP');
  assert.strictEqual(session.step().address, 0x0024);
  assert.throws(() => session.raiseInterrupt('NMI'));
  session.requestPause();
  assert.strictEqual(session.run(1000).reason, 'pause');
  session.dispose();
  assert.throws(() => session.step());
});

test('a CP/M program waits for a key from the console and answers it', async () => {
  const toolchain = await loadToolchain();
  const session = toolchain.createSession();
  // BDOS 1 reads a key (and echoes it); BDOS 2 prints the next letter.
  const source = ' ORG 0100H\n MVI C,1\n CALL 5\n INR A\n MOV E,A\n MVI C,2\n CALL 5\n RET\n';
  assert.strictEqual(session.load({ name: 'key.asm', data: source }, ['--cpm']).status, 0);
  assert.strictEqual(session.run(100000).reason, 'input');
  session.sendConsole('a');
  assert.strictEqual(session.run(100000).reason, 'exit');
  assert.strictEqual(session.snapshot().console, 'ab');
  session.dispose();
});
