#!/usr/bin/python3
"""Prints the titles of readback_strings.txt as a PDF through the page
layer (tvntextpdf, one title a page) and reads the file back with five
readers nobody here wrote, nothing normalised:

  poppler's pdftotext, MuPDF's mutool, pdf.js (getTextContent),
  Ghostscript's txtwrite and pypdf.

For each script and reader it counts the titles read back as typed (a line
of the page holds the title) and the titles whose every letter is on the
page, with no presentation form, no replacement character and no control.

  readback.py BUILD-DIR [--bold] [--show READER] [--keep FILE.pdf]
"""
import argparse
import collections
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
READERS = ["pdftotext", "mutool", "pdf.js", "gs", "pypdf"]
# Joiners say how letters join, not which letters there are.
UNSEEN = {"\u200c", "\u200d"}


def titles():
    out = []
    with open(os.path.join(HERE, "readback_strings.txt"), encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            script, text = line.rstrip("\n").split("\t", 1)
            out.append((script, text))
    return out


def run(args):
    return subprocess.run(args, check=True, capture_output=True).stdout.decode("utf-8", "replace")


def pages_split(text, count):
    pages = text.split("\f")
    return (pages + [""] * count)[:count]


def read_pages(reader, pdf, count, build, work):
    if reader == "pdftotext":
        return pages_split(run(["pdftotext", "-enc", "UTF-8", pdf, "-"]), count)
    if reader == "mutool":
        run(["mutool", "draw", "-q", "-F", "txt", "-o", os.path.join(work, "m%d.txt"), pdf])
        return [open(os.path.join(work, f"m{i + 1}.txt"), encoding="utf-8", errors="replace").read()
                for i in range(count)]
    if reader == "pdf.js":
        root = os.path.join(build, "pdfjs", "node_modules", "pdfjs-dist")
        script = os.path.join(HERE, "..", "tests", "pdfjs_text.mjs")
        return pages_split(run(["node", script, root, pdf]), count)
    if reader == "gs":
        run(["gs", "-q", "-dNOPAUSE", "-dBATCH", "-sDEVICE=txtwrite",
             "-sOutputFile=" + os.path.join(work, "g%d.txt"), pdf])
        return [open(os.path.join(work, f"g{i + 1}.txt"), encoding="utf-8", errors="replace").read()
                for i in range(count)]
    if reader == "pypdf":
        code = ("import sys, pypdf\n"
                "for p in pypdf.PdfReader(sys.argv[1]).pages: sys.stdout.write(p.extract_text() + '\\f')\n")
        return pages_split(run(["/usr/bin/python3", "-c", code, pdf]), count)
    raise ValueError(reader)


def stray(text):
    for c in text:
        u = ord(c)
        if u == 0xFFFD or 0xFB00 <= u <= 0xFDFF or 0xFE70 <= u <= 0xFEFF or (u < 0x20 and c not in "\n\r\t\f"):
            return True
    return False


def judge(typed, page):
    exact = any(typed in line for line in page.splitlines())
    rest = collections.Counter(page)
    need = collections.Counter(c for c in typed if c not in UNSEEN and not c.isspace())
    letters = not stray(page) and all(rest[c] >= n for c, n in need.items())
    return exact, letters


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--bold", action="store_true")
    parser.add_argument("--show", action="append", default=[], help="list what READER missed")
    parser.add_argument("--keep", help="keep the PDF as this file")
    args = parser.parse_args()
    rows = titles()
    with tempfile.TemporaryDirectory() as work:
        pdf = args.keep or os.path.join(work, "titles.pdf")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        subprocess.run([os.path.join(args.build, "bin", "tvntextpdf"), pdf] + (["--bold"] if args.bold else []),
                       input="\n".join(t for _, t in rows).encode("utf-8"), check=True, env=env,
                       stderr=subprocess.DEVNULL)
        results = {}
        for reader in READERS:
            try:
                pages = read_pages(reader, pdf, len(rows), args.build, work)
            except (subprocess.CalledProcessError, FileNotFoundError) as e:
                print(f"{reader} could not be run: {e}", file=sys.stderr)
                pages = [""] * len(rows)
            results[reader] = [judge(typed, page) for (_, typed), page in zip(rows, pages)]
            for (script, typed), page, (exact, letters) in zip(rows, pages, results[reader]):
                if reader in args.show and not exact:
                    print(f"{reader} {script}: {typed!r} -> {page.strip()!r}" + ("" if letters else "  [letters]"))
    scripts = list(dict.fromkeys(s for s, _ in rows))
    print("| script | " + " | ".join(READERS) + " |")
    print("|---|" + "---|" * len(READERS))
    totals = {r: [0, 0] for r in READERS}
    for script in scripts:
        cells = []
        for reader in READERS:
            got = [res for (s, _), res in zip(rows, results[reader]) if s == script]
            exact = sum(1 for e, _ in got if e)
            letters = sum(1 for _, l in got if l)
            totals[reader][0] += exact
            totals[reader][1] += letters
            cells.append(f"{exact} ({letters})")
        print(f"| {script} | " + " | ".join(cells) + " |")
    print("| **total** | " + " | ".join(f"**{t[0]} ({t[1]})**" for t in totals.values()) + " |")
    print(f"as typed (every letter, no stray character) of {len(rows)} titles" + (", bold" if args.bold else ""))


if __name__ == "__main__":
    main()
