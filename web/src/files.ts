// The work outside the page: local storage across reloads, share links with
// the compressed work in the URL fragment, downloads and files from disk.

export interface Work {
  name: string; // base name of the program, for downloads
  source: string;
  checks: string;
  includes: Record<string, string>; // the files the source may INCLUDE, by name
}

// A work read back from storage or a link: what is missing or of the wrong
// kind takes its default.
function AsWork(value: unknown): Work | null {
  const work = value as Partial<Work> | null;
  if (!work || typeof work.source !== "string") return null;
  const includes: Record<string, string> = {};
  for (const [name, text] of Object.entries(work.includes ?? {})) if (typeof text === "string") includes[name] = text;
  return { name: String(work.name ?? "program"), source: work.source, checks: String(work.checks ?? ""), includes };
}

const StorageKey = "i8085-playground-work";

export function SaveWork(work: Work): void {
  try { localStorage.setItem(StorageKey, JSON.stringify(work)); } catch { /* private mode or full: keep going */ }
}

export function LoadSavedWork(): Work | null {
  try {
    const text = localStorage.getItem(StorageKey);
    return text ? AsWork(JSON.parse(text)) : null;
  } catch { return null; }
}

async function Pipe(bytes: Uint8Array, stream: CompressionStream | DecompressionStream): Promise<Uint8Array> {
  const out = new Response(new Blob([bytes as BlobPart]).stream().pipeThrough(stream));
  return new Uint8Array(await out.arrayBuffer());
}

function ToBase64Url(bytes: Uint8Array): string {
  let text = "";
  for (const b of bytes) text += String.fromCharCode(b);
  return btoa(text).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
}

function FromBase64Url(text: string): Uint8Array {
  const raw = atob(text.replace(/-/g, "+").replace(/_/g, "/"));
  return Uint8Array.from(raw, (c) => c.charCodeAt(0));
}

// "#w=" and the work as deflated JSON in base64url: nothing goes to a server.
export async function ShareFragment(work: Work): Promise<string> {
  const packed = await Pipe(new TextEncoder().encode(JSON.stringify(work)), new CompressionStream("deflate-raw"));
  return "#w=" + ToBase64Url(packed);
}

export async function ReadShareFragment(hash: string): Promise<Work | null> {
  const m = /^#w=([A-Za-z0-9_-]+)$/.exec(hash);
  if (!m) return null;
  try {
    const json = new TextDecoder().decode(await Pipe(FromBase64Url(m[1]), new DecompressionStream("deflate-raw")));
    return AsWork(JSON.parse(json));
  } catch { return null; }
}

export function Download(name: string, data: string | Uint8Array, type: string): void {
  const url = URL.createObjectURL(new Blob([data as BlobPart], { type }));
  const a = document.createElement("a");
  a.href = url;
  a.download = name;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

export function BaseName(fileName: string): string {
  return fileName.replace(/^.*[\\/]/, "").replace(/\.[^.]*$/, "") || "program";
}

// The file the user picked from an <input type=file>, then the input cleared
// so the same file can be picked again.
export async function TakeFile(input: HTMLInputElement): Promise<File | null> {
  const file = input.files?.[0] ?? null;
  input.value = "";
  return file;
}
