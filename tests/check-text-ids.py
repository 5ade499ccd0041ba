#!/usr/bin/env python3
"""Every text id the code names (the constants of app/TextIds.h and any
LangText(<number>) in the sources) has a non-empty text in the English and
the German pack, and the packs hold nothing that is not a text line."""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1])
ids = {int(n) for n in re.findall(r"=\s*(\d+)\s*;", (root / "app/TextIds.h").read_text())}
for folder in ("app", "engine", "comparewindow", "viewing", "cli"):
    for path in (root / folder).glob("**/*.[ch]*"):
        ids |= {int(n) for n in re.findall(r"LangText\(\s*(\d+)\s*\)", path.read_text(errors="replace"))}
ids.discard(0)  # the program name when nothing else is found

failures = []
for code in ("EN", "DE"):
    texts = {}
    for number, line in enumerate((root / f"resources/lang/{code}.txt").read_text(encoding="utf-8").split("\n"), 1):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        key, sep, text = line.partition("=")
        if not sep or not key.strip().isdigit():
            failures.append(f"{code}.txt:{number}: not an id=text line: {line}")
            continue
        if int(key) in texts:
            failures.append(f"{code}.txt:{number}: id {key} given twice")
        texts[int(key)] = text.strip()
    for missing in sorted(i for i in ids if not texts.get(i)):
        failures.append(f"{code}.txt: no text for id {missing}")
    if code == "DE":
        for extra in sorted(set(texts) - english):
            failures.append(f"DE.txt: id {extra} is not in the English pack")
    else:
        english = set(texts)

for failure in failures:
    print(failure)
print(f"{len(ids)} text ids checked in EN and DE: {'ok' if not failures else 'FAILED'}")
sys.exit(1 if failures else 0)
