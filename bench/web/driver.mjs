// Side by side: the simulator of the WebAssembly module in headless Chromium
// against the native Simulator on the exerciser loop of bench/cpu.cpp; the
// assembling of a 3,000-line source in the browser; the site's compressed size.
//   node bench/web/driver.mjs SITE_DIR NATIVE_SIMULATOR   (bench/web.sh sets it up)
// Settings (environment): STEPS instructions per run (default 100000000),
// ROUNDS (default 5), CHROMIUM (default /usr/bin/chromium).
import { spawnSync } from 'node:child_process';
import { createServer } from 'node:http';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { fileURLToPath } from 'node:url';
import { readExerciser } from './exerciser.mjs';
import { generateSource } from './source.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.resolve(here, '../..');
const [siteDir, nativeSimulator] = process.argv.slice(2);
const steps = process.env.STEPS || '100000000';
const rounds = Number(process.env.ROUNDS || 5);
const { chromium } = createRequire(path.join(root, 'web/package.json'))('playwright-core');

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};
const simulatorArgs = ['--load', '0', '--max-steps', steps, 'exerciser.bin'];

// Every file of the site, and the bench page beside them, on 127.0.0.1 only.
function serve() {
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.css': 'text/css' };
  const server = createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname).replace(/^\/+/, '') || 'index.html';
    const file = name === 'bench.html' ? path.join(here, name) : path.join(siteDir, path.normalize(name));
    if (!file.startsWith(siteDir) && file !== path.join(here, 'bench.html')) return response.writeHead(403).end();
    fs.readFile(file, (error, data) => {
      if (error) return response.writeHead(404).end();
      response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' }).end(data);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

function siteSize() {
  let raw = 0, gzip = 0, brotli = 0, files = 0;
  const walk = (dir) => {
    for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
      const file = path.join(dir, entry.name);
      if (entry.isDirectory()) { walk(file); continue; }
      const data = fs.readFileSync(file);
      files++;
      raw += data.length;
      gzip += zlib.gzipSync(data, { level: 9 }).length;
      brotli += zlib.brotliCompressSync(data).length;
    }
  };
  walk(siteDir);
  return { files, raw, gzip, brotli };
}

function runNative(exerciser) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'web-bench-'));
  fs.writeFileSync(path.join(dir, 'exerciser.bin'), exerciser);
  const start = process.hrtime.bigint();
  const run = spawnSync(nativeSimulator, simulatorArgs, { cwd: dir, encoding: 'utf8' });
  const ms = Number(process.hrtime.bigint() - start) / 1e6;
  fs.rmSync(dir, { recursive: true, force: true });
  return { ms, report: run.stdout };
}

const exerciser = readExerciser(path.join(root, 'bench/Exerciser.h'));
const source = generateSource(3000);
const server = await serve();
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'web-bench-chromium-'));
const context = await chromium.launchPersistentContext(profile, {
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
    '--disable-sync', '--no-first-run'],
});
try {
  const page = context.pages()[0] || (await context.newPage());
  const url = `http://127.0.0.1:${server.address().port}/bench.html`;
  // Without the wrapper's warm-up: the very first assembly after the module compiled.
  await page.goto(url);
  const cold = await page.evaluate(async (text) => {
    const toolchain = await toolchain8085.loadToolchain({ factory: createToolchainCore, warmUp: false });
    const start = performance.now();
    toolchain.assemble(text, 'big.asm');
    return performance.now() - start;
  }, source);
  await page.goto(url);
  const loading = await page.evaluate(async () => {
    const start = performance.now();
    window.toolchain = await toolchain8085.loadToolchain({ factory: createToolchainCore });
    return performance.now() - start;
  });
  const assembling = await page.evaluate((text) => {
    const times = [];
    let result;
    for (let i = 0; i < 11; i++) {
      const start = performance.now();
      result = window.toolchain.assemble(text, 'big.asm');
      times.push(performance.now() - start);
    }
    return { status: result.status, errors: result.errorText, bytes: result.binary.length, first: times[0], rest: times.slice(1) };
  }, source);
  if (assembling.status !== 0) throw new Error(`the generated source does not assemble: ${assembling.errors}`);

  const native = [], browser = [];
  let reports = null;
  for (let round = 0; round < rounds; round++) {
    const nativeRun = runNative(exerciser);
    const browserRun = await page.evaluate(({ bytes, args }) => {
      const start = performance.now();
      const run = window.toolchain.runCommand('Simulator', args, { 'exerciser.bin': new Uint8Array(bytes) });
      return { ms: performance.now() - start, report: run.stdout };
    }, { bytes: Array.from(exerciser), args: simulatorArgs });
    native.push(nativeRun.ms);
    browser.push(browserRun.ms);
    reports = reports || [nativeRun.report, browserRun.report];
  }
  if (reports[0] !== reports[1]) throw new Error('the browser\'s report differs from the native one');

  const size = siteSize();
  const mips = (ms) => (Number(steps) / ms / 1000).toFixed(1);
  const ratios = native.map((ms, i) => ms / browser[i]);
  const userAgent = await page.evaluate(() => navigator.userAgent);
  console.log(`== Browser: ${userAgent.replace(/.*(HeadlessChrome\/\S+|Chrome\/\S+).*/, '$1')}`);
  console.log(`module loaded, compiled and warmed up (loadToolchain) in ${loading.toFixed(1)} ms`);
  console.log();
  console.log(`== Exerciser loop of bench/cpu.cpp, ${steps} instructions per run, ${rounds} rounds alternating (wall time)`);
  console.log(`native Simulator: median ${median(native).toFixed(0)} ms = ${mips(median(native))} M instructions/s  [${native.map((v) => v.toFixed(0)).join(' ')}]`);
  console.log(`Chromium (wasm):  median ${median(browser).toFixed(0)} ms = ${mips(median(browser))} M instructions/s  [${browser.map((v) => v.toFixed(0)).join(' ')}]`);
  const ratio = median(ratios);
  console.log(`browser / native speed: ${ratio.toFixed(3)} (median of the rounds' ratios; at least 0.5)  ${ratio >= 0.5 ? 'PASS' : 'FAIL'}`);
  console.log('the reports of both runs are identical');
  console.log();
  console.log(`== Assembling a ${source.split('\n').length - 1}-line source in Chromium (${assembling.bytes} bytes of code)`);
  const warm = median(assembling.rest);
  console.log(`without the warm-up at load, the first call: ${cold.toFixed(1)} ms`);
  console.log(`after loadToolchain: first call ${assembling.first.toFixed(1)} ms; then median ${warm.toFixed(1)} ms of 10 [${assembling.rest.map((v) => v.toFixed(1)).join(' ')}]`);
  console.log(`under 100 ms: ${Math.max(assembling.first, warm) < 100 ? 'PASS' : 'FAIL'}`);
  console.log();
  console.log(`== Site ${siteDir}: ${size.files} files`);
  console.log(`raw ${(size.raw / 1024).toFixed(1)} KiB, gzip -9 ${(size.gzip / 1024).toFixed(1)} KiB, brotli ${(size.brotli / 1024).toFixed(1)} KiB (each file compressed alone)`);
  console.log(`under 1 MB compressed (gzip): ${size.gzip < 1000000 ? 'PASS' : 'FAIL'}`);
} finally {
  await context.close();
  server.close();
  fs.rmSync(profile, { recursive: true, force: true });
}
