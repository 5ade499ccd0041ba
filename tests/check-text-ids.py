#!/usr/bin/env python3
"""Every text id the code names (the constants of app/TextIds.h and any
LangText(<number>) in the sources) has a non-empty text in every language
pack, no pack holds an id the English one lacks, and the packs hold nothing
that is not a text line."""
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
codes = sorted(path.stem for path in (root / "resources/lang").glob("*.txt"))
codes.remove("EN")
english = set()
for code in ["EN"] + codes:
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
    if code == "EN":
        english = set(texts)
    else:
        for extra in sorted(set(texts) - english):
            failures.append(f"{code}.txt: id {extra} is not in the English pack")

for failure in failures:
    print(failure)
print(f"{len(ids)} text ids checked in {len(codes) + 1} packs: {'ok' if not failures else 'FAILED'}")
sys.exit(1 if failures else 0)
