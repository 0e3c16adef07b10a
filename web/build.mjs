// Bundles the page into a site folder: index.html, main.js, app.css, worker.js
// and the shipped examples with their index. Nothing is fetched from outside.
//   node build.mjs [--outdir=DIR] [--minify=false] [--sourcemap] [--examples=DIR]   (SITE_DIR=DIR works as --outdir)
import * as esbuild from "esbuild";
import { copyFileSync, mkdirSync, readdirSync, writeFileSync } from "node:fs";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";

const here = dirname(fileURLToPath(import.meta.url));
const options = Object.fromEntries(process.argv.slice(2).map((a) => {
  const m = /^--([^=]+)(?:=(.*))?$/.exec(a);
  if (!m) throw new Error(`unknown argument ${a}`);
  return [m[1], m[2] ?? "true"];
}));
const outdir = resolve(options.outdir ?? process.env.SITE_DIR ?? join(here, "..", "build-web", "site"));
const examples = resolve(options.examples ?? join(here, "..", "examples"));
const minify = options.minify !== "false";
const sourcemap = options.sourcemap === "true" ? "linked" : false; // left out of the site: it would weigh more than the page

mkdirSync(outdir, { recursive: true });
await esbuild.build({
  entryPoints: [join(here, "src/main.ts"), join(here, "src/worker.ts"), join(here, "src/app.css")],
  entryNames: "[name]", outdir, bundle: true, minify, sourcemap, format: "iife",
  target: ["chrome100", "firefox100", "safari15"], logLevel: "warning",
});
copyFileSync(join(here, "index.html"), join(outdir, "index.html"));

const names = readdirSync(examples).filter((n) => /\.asm$/i.test(n)).sort();
mkdirSync(join(outdir, "examples"), { recursive: true });
for (const name of names) copyFileSync(join(examples, name), join(outdir, "examples", name));
writeFileSync(join(outdir, "examples", "index.json"), JSON.stringify(names) + "\n");
console.log(`page built in ${outdir} (${names.length} examples)`);
