// The page in headless Chromium, as a student uses it: typing, markers,
// breakpoints, stepping, the kit's display, the console, downloads, share
// links and checks. Screenshots of each state go to build-web/screenshots/.
//   SITE_URL=http://127.0.0.1:PORT/ node --test web/tests/   (else the test serves build-web/site itself)
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync, spawn } from "node:child_process";
import { mkdirSync, mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { chromium } from "playwright-core";

const root = resolve(dirname(fileURLToPath(import.meta.url)), "..", "..");
const site = process.env.SITE_DIR ?? join(root, "build-web", "site");
const shots = process.env.SCREENSHOT_DIR ?? join(root, "build-web", "screenshots");
const Timeout = 15000;

let server, browser, profile, url;

// Whether the module's build runs sessions (the simulator's session interface
// reaches the module after assembling does); the tests of running skip until then.
const sessions = await (async () => {
  const { createRequire } = await import("node:module");
  const { loadToolchain } = createRequire(import.meta.url)(join(site, "toolchain.js"));
  try { (await loadToolchain()).createSession().load({ name: "t.asm", data: " HLT\n" }); return true; } catch { return false; }
})();
const running = { skip: sessions ? false : "the module has no sessions yet" };
// Console input reaches the module's sessions with the simulator's console.
const consoleInput = sessions && await (async () => {
  const { createRequire } = await import("node:module");
  const { loadToolchain } = createRequire(import.meta.url)(join(site, "toolchain.js"));
  const session = (await loadToolchain()).createSession();
  session.load({ name: "t.asm", data: " HLT\n" });
  try { session.sendConsole(""); return true; } catch { return false; } finally { session.dispose(); }
})();
const typing = { skip: consoleInput ? false : "the module's sessions take no console input yet" };

// The site served as `make web-serve` serves it: Python's http.server on the loopback.
async function Serve() {
  if (process.env.SITE_URL) return process.env.SITE_URL;
  server = spawn("python3", ["-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory", site],
    { stdio: ["ignore", "pipe", "ignore"] });
  return new Promise((resolvePort, reject) => {
    let text = "";
    server.stdout.on("data", (chunk) => {
      text += chunk;
      const m = /port (\d+)/.exec(text);
      if (m) resolvePort(`http://127.0.0.1:${m[1]}/`);
    });
    server.on("exit", () => reject(new Error(`the server ended: ${text}`)));
  });
}

async function OpenPage(address = url) {
  const context = await browser.newContext({ viewport: { width: 1400, height: 1000 }, acceptDownloads: true });
  const page = await context.newPage();
  const problems = [];
  page.on("pageerror", (e) => problems.push(e.message));
  await page.goto(address);
  await page.waitForSelector("body[data-ready=true]", { timeout: Timeout });
  page.problems = problems;
  return page;
}

const Shot = (page, name) => page.screenshot({ path: join(shots, `${name}.png`), fullPage: true });

// Replaces the whole source as a paste would.
async function SetSource(page, text) {
  await page.click(".cm-content");
  await page.keyboard.press("Control+a");
  await page.keyboard.insertText(text);
}
// A click in the breakpoint gutter beside a line, where a mouse would click.
async function ClickGutter(page, line) {
  const row = await page.locator(`.cm-line:nth-child(${line})`).boundingBox();
  const gutter = await page.locator(".cm-breakpoint-gutter").boundingBox();
  await page.mouse.click(gutter.x + gutter.width / 2, row.y + row.height / 2);
}
const SourceText = (page) => page.$$eval(".cm-line", (lines) => lines.map((l) => l.textContent).join("\n"));
const Register = (page, name) => page.inputValue(`#reg-${name}`);
const Status = (page) => page.textContent("#status");
async function WaitStatus(page, pattern) {
  await page.waitForFunction((p) => new RegExp(p).test(document.getElementById("status").textContent), pattern.source,
    { timeout: Timeout });
}
async function Assembled(page) {
  await page.keyboard.press("Control+Enter");
  await page.waitForSelector("body[data-assembled=ok]", { timeout: Timeout });
}

before(async () => {
  mkdirSync(shots, { recursive: true });
  url = await Serve();
  profile = mkdtempSync(join(tmpdir(), "page-test-")); // downloads
  browser = await chromium.launch({
    executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync"],
    // Playwright gives the browser a fresh --user-data-dir of its own, removed on close.
  });
});

after(async () => {
  await browser?.close();
  server?.kill();
  rmSync(profile, { recursive: true, force: true });
});

const Lab = `        ORG 0800H
START:  LXI SP,2000H
        MVI A,01H
        CALL DOUBLE
        OUT 10H
        MOV B,A
        HLT
DOUBLE: ADD A
        RET
        END START
`;

describe("the playground page", () => {
  test("an error is marked on its line and goes when fixed", async () => {
    const page = await OpenPage();
    await SetSource(page, Lab.replace("MVI A,01H", "MVX A,01H"));
    await page.waitForSelector(".cm-line:nth-child(3) .cm-lintRange-error", { timeout: Timeout });
    const marked = await page.$$eval(".cm-lintRange-error", (r) => r.map((e) => e.closest(".cm-line").textContent));
    assert.deepEqual(marked, ["        MVX A,01H"]);
    assert.match(await page.textContent("#diagnostics"), /line 3: error/);
    await Shot(page, "1-error-marker");
    // Fix it by typing over the mnemonic.
    await page.click(".cm-line:nth-child(3)");
    await page.keyboard.press("Home");
    await page.keyboard.press("Shift+End");
    await page.keyboard.type("        MVI A,01H");
    await page.waitForSelector(".cm-lintRange-error", { state: "detached", timeout: Timeout });
    await page.waitForSelector("body[data-assembled=ok]", { timeout: Timeout });
    assert.equal(await page.textContent("#diagnostics"), "");
    assert.deepEqual(page.problems, []);
    await page.context().close();
  });

  test("breakpoint, run, step over, edit a register, continue, the display", running, async () => {
    const page = await OpenPage();
    await SetSource(page, Lab);
    await Assembled(page);
    // The breakpoint on line 4, the CALL, by clicking its gutter.
    await ClickGutter(page, 4);
    await page.locator(".cm-breakpoint-marker:visible").first().waitFor(); // the gutter's hidden spacer is one too
    await page.click("#run");
    await WaitStatus(page, /breakpoint at 0805H/i);
    assert.equal(await Register(page, "PC"), "0805");
    assert.equal(await Register(page, "A"), "01");
    assert.equal(await page.textContent(".cm-current-line"), "        CALL DOUBLE");
    await Shot(page, "2-breakpoint");
    await page.keyboard.press("F8");
    await WaitStatus(page, /Stepped over/);
    assert.equal(await Register(page, "PC"), "0808");
    assert.equal(await Register(page, "A"), "02");
    assert.equal(await Register(page, "SP"), "2000");
    assert.equal(await page.textContent(".cm-current-line"), "        OUT 10H");
    // A = 06H: the segments b and c, a "1" on the first digit.
    await page.fill("#reg-A", "06");
    await page.press("#reg-A", "Enter");
    await page.click("#run");
    await WaitStatus(page, /HLT/);
    assert.equal(await Register(page, "B"), "06");
    assert.equal(await page.getAttribute("#display .digit:nth-child(1)", "data-segments"), "06");
    assert.equal(await page.$$eval("#display .digit:nth-child(1) .seg.on", (s) => s.length), 2);
    assert.match(await page.textContent("#out-log"), /OUT 10H ← 06H/);
    await Shot(page, "3-display");
    await page.context().close();
  });

  test("checks: one passes, one fails", running, async () => {
    const page = await OpenPage();
    await SetSource(page, Lab);
    await Assembled(page);
    await page.fill("#checks-text", "A=02H\nB=99H");
    await page.click("#run");
    await WaitStatus(page, /HLT/);
    await page.waitForSelector("#checks-result li");
    const results = await page.$$eval("#checks-result li", (li) => li.map((e) => [e.dataset.passed, e.textContent]));
    assert.equal(results.length, 2);
    assert.equal(results[0][0], "true", results[0][1]);
    assert.equal(results[1][0], "false", results[1][1]);
    await Shot(page, "4-checks");
    await page.context().close();
  });

  test("the .hex download reads as Intel HEX and runs when loaded", async () => {
    const page = await OpenPage();
    await SetSource(page, Lab);
    await Assembled(page);
    const [download] = await Promise.all([page.waitForEvent("download"), page.click("#download-hex")]);
    const file = join(profile, "lab.hex");
    await download.saveAs(file);
    const info = execFileSync("srec_info", [file, "-Intel"], { encoding: "utf8" });
    assert.match(info, /0800 - 080D/);
    if (sessions) {
      // The same file loaded to run starts at its end record's address.
      await page.setInputFiles("#load-program", file);
      await WaitStatus(page, /Loaded lab\.hex/);
      await page.click("#run");
      await WaitStatus(page, /HLT/);
      assert.equal(await Register(page, "B"), "02");
    }
    await page.context().close();
  });

  test("a share link reopened gives the same source, include file and checks", async () => {
    const page = await OpenPage();
    const source = Lab.replace("START:", "START:  ; ünïcode and 'quotes' survive\n       ")
      .replace("OUT 10H", "OUT DIGIT").replace("        ORG", "        INCLUDE consts.inc\n        ORG");
    await page.setInputFiles("#add-include", { name: "consts.inc", mimeType: "text/plain", buffer: Buffer.from("DIGIT EQU 10H\n") });
    await SetSource(page, source);
    await page.waitForSelector("body[data-assembled=ok]", { timeout: Timeout });
    await page.fill("#checks-text", "A=02H");
    await page.click("#share");
    await WaitStatus(page, /Share link/);
    const link = page.url();
    assert.match(link, /#w=[A-Za-z0-9_-]+$/);
    await page.context().close();
    const again = await OpenPage(link); // a fresh profile: nothing from local storage
    assert.equal(await SourceText(again), source);
    assert.equal(await again.inputValue("#checks-text"), "A=02H");
    assert.match(await again.textContent("#includes"), /consts\.inc/);
    await again.waitForSelector("body[data-assembled=ok]", { timeout: Timeout });
    await again.context().close();
  });

  test("an example at the kit's clock: the machine shown as it runs, Pause at once, the LEDs and hex digits", running, async () => {
    const page = await OpenPage();
    await page.selectOption("#examples", "kit-counter.asm");
    await page.waitForFunction(() => document.querySelector(".cm-content").textContent.includes("mode=hex"));
    await page.waitForSelector("body[data-assembled=ok]", { timeout: Timeout });
    await page.selectOption("#speed", "kit");
    await page.click("#run");
    const TStates = async () => [Date.now(), Number(/T-states: (\d+)/.exec(await page.textContent("#timing"))[1])];
    await page.waitForTimeout(500);
    const [t0, s0] = await TStates();
    await page.waitForTimeout(1000);
    const [t1, s1] = await TStates();
    const rate = (s1 - s0) / ((t1 - t0) / 1000);
    assert.ok(rate > 0.75 * 3072000 && rate < 1.25 * 3072000, `${rate} T-states a second`);
    const asked = Date.now();
    await page.keyboard.press("F6");
    await WaitStatus(page, /Paused/);
    assert.ok(Date.now() - asked < 500, `paused after ${Date.now() - asked} ms`);
    const count = parseInt(await Register(page, "B"), 16);
    const leds = parseInt(await page.getAttribute("#leds", "data-value"), 16);
    assert.ok(count >= 3 && (leds === count || leds === count - 1), `B ${count}, LEDs ${leds}`);
    const hexSegments = [0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f, 0x77, 0x7c, 0x39, 0x5e, 0x79, 0x71];
    assert.equal(await page.getAttribute("#display .digit:nth-child(6)", "data-segments"),
      hexSegments[leds & 15].toString(16).padStart(2, "0"));
    await Shot(page, "5-kit-counter");
    await page.context().close();
  });

  test("the dark theme is remembered; a phone's width needs no sideways scrolling", async () => {
    const page = await OpenPage();
    await page.click("#theme");
    assert.equal(await page.getAttribute("html", "data-theme"), "dark");
    await page.reload();
    await page.waitForSelector("body[data-ready=true]");
    assert.equal(await page.getAttribute("html", "data-theme"), "dark");
    await Shot(page, "6-dark");
    await page.setViewportSize({ width: 390, height: 800 });
    assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= 390));
    await Shot(page, "7-phone");
    await page.context().close();
  });

  test("the console of a CP/M program answers what is typed", typing, async () => {
    const page = await OpenPage();
    // Reads a key (BDOS 1 echoes it) and prints the next letter after it.
    await SetSource(page, `;@cpm
        ORG 0100H
        MVI C,1
        CALL 5
        INR A
        MOV E,A
        MVI C,2
        CALL 5
        RET
`);
    await Assembled(page);
    await page.click("#run");
    await WaitStatus(page, /input/i);
    await page.focus("#console");
    await page.keyboard.type("a");
    await page.waitForFunction(() => document.getElementById("console").textContent === "ab", null, { timeout: Timeout });
    await WaitStatus(page, /end|warm boot|BDOS/i);
    await Shot(page, "8-console");
    await page.context().close();
  });
});
