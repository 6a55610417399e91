// The text of a PDF as pdf.js (the reader in Firefox) gives it through
// getTextContent: the items in the order given, a line ended where an item
// says so or where the next item stands on another line, pages apart by a
// form feed. Usage: node pdfjs_text.mjs <pdfjs-dist folder> <file.pdf>
import { readFileSync } from "node:fs";
import { pathToFileURL } from "node:url";
import path from "node:path";

const [root, file] = process.argv.slice(2);
const pdfjs = await import(pathToFileURL(path.join(root, "legacy/build/pdf.mjs")).href);
const data = new Uint8Array(readFileSync(file));
const doc = await pdfjs.getDocument({ data, verbosity: 0, useSystemFonts: false, disableFontFace: true }).promise;
let out = "";
for (let i = 1; i <= doc.numPages; ++i) {
  const page = await doc.getPage(i);
  const content = await page.getTextContent();
  let y = null;
  let ended = true;
  for (const item of content.items) {
    if (item.str === undefined) continue;
    const top = item.transform[5];
    if (!ended && y !== null && item.str !== "" && Math.abs(top - y) > Math.max(item.height, 1) / 2) out += "\n";
    if (item.str !== "") y = top;
    out += item.str;
    ended = item.hasEOL;
    if (item.hasEOL) out += "\n";
  }
  out += "\n\f";
}
process.stdout.write(out);
