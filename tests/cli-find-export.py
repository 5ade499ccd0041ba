#!/usr/bin/env python3
"""duplora-cli find --export over the bundled samples.

Every export file is compared byte for byte with the document that the
encoder below makes of the same table: UTF-16LE after one byte-order mark,
lines ending CR LF, fields followed by a tab (txt) or quoted and followed by
";" (csv), or the HTML table with its rows alternating between class "b_grau"
and none; texts unescaped.

    cli-find-export.py CLI SAMPLES
        the three formats against the rows printed on standard output, the
        extension rule, an unwritable file (status 1), bad arguments (status 2).
    cli-find-export.py --cross NATIVE_CLI WINE_RUN WINDOWS_CLI SAMPLES
        the Linux and the Windows build: each build's files are exactly the
        encoding of its table, the titles are the same, and so are the rows
        but for the path separators and what the two picture decoders rate
        differently (similarity, brightness). Exits 77 when the Linux build
        is missing.
"""
import os
import shutil
import subprocess
import sys
import tempfile

BOM = b"\xff\xfe"
CRLF = "\r\n".encode("utf-16-le")
FIND = ["find", "--lang", "EN", "--rotated", "--flipped", "--negative"]
TITLES = ["File (1)", "File (2)", "Similarity", "Ratio %", "Size (1)", "Size (2)",
          "Brightness (1)", "Brightness (2)", "Rotated", "Mirrored", "Negative", "Size (1)",
          "Size (2)"]
HTML_HEAD = ("<html><head><style><!-- \r\n"
             "body,td,a,p,.h{font-family:arial,sans-serif; font-size: 12px; }\r\n"
             ".h{font-size: 20px;}\r\n.q{color:#0000cc;}\r\n"
             ".b_grau{background-color:#EEEEEE;}\r\n.b_gelb{background-color:#EEEEAA;}\r\n"
             "//-->\r\n</style></head>\r\n\r\n<body>\r\n\r\n\r\n")
FORMATS = ("txt", "csv", "html")
# Formats the Windows decoder does not read.
WINDOWS_UNREAD = {"lake.webp"}
# How far the two builds' decoders may rate a pair apart (percent points).
SIMILARITY_SPREAD = 10
BRIGHTNESS_SPREAD = 2

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
    return condition


def encode(fmt, titles, rows):
    lines = [titles] + rows
    if fmt == "txt":
        text = "".join("".join(cell + "\t" for cell in line) + "\r\n" for line in lines)
    elif fmt == "csv":
        text = "".join("".join('"' + cell + '";' for cell in line) + "\r\n" for line in lines)
    else:
        text = HTML_HEAD + '<TABLE Border=0><TR class="b_gelb">'
        text += "".join(f"<td><b><nobr>{t}</b></td>" if t else "<td>&nbsp;</td>" for t in titles)
        text += "</TR>\r\n\r\n"
        for number, row in enumerate(rows):
            text += '  <TR class="b_grau">' if number % 2 == 0 else "  <TR>"
            text += "".join(f"<td ><nobr>{c}</td>" if c else "<td>&nbsp;</td>" for c in row)
            text += "   </TR>\r\n"
        text += "</TABLE></body></html>\r\n"
    return BOM + text.encode("utf-16-le")


def read(path):
    with open(path, "rb") as f:
        return f.read()


def table_of_text_export(data):
    """The titles and rows of a txt export."""
    lines = data[2:].decode("utf-16-le").split("\r\n")[:-1]
    cells = [line[:-1].split("\t") for line in lines]
    return cells[0], cells[1:]


def run(command, cwd):
    return subprocess.run(command, cwd=cwd, capture_output=True)


def native_checks(cli, samples):
    cli, samples = os.path.abspath(cli), os.path.abspath(samples)
    with tempfile.TemporaryDirectory() as out:
        printed = run([cli] + FIND + [samples], out)
        check(printed.returncode == 0, f"find without --export: status {printed.returncode}")
        rows = [line.split("\t") for line in printed.stdout.decode("utf-8").splitlines()[:-3]]
        check(len(rows) >= 10, f"only {len(rows)} rows over the samples")

        # Each format under a name that gets its extension, or has it already.
        for fmt, name, written in (("txt", "pairs", "pairs.txt"),
                                   ("csv", "pairs.CSV", "pairs.CSV"),
                                   ("html", "pairs.htm", "pairs.htm.html")):
            options = ["--export", name] + (["--format", fmt] if fmt != "txt" else [])
            result = run([cli] + FIND + options + [samples], out)
            check(result.returncode == 0, f"{fmt}: status {result.returncode}")
            path = os.path.join(out, written)
            if check(os.path.exists(path), f"{fmt}: {written} not written"):
                data = read(path)
                print(f"{fmt}: {len(data)} bytes, {data.count(CRLF)} lines")
                check(data == encode(fmt, TITLES, rows), f"{fmt}: not the expected bytes")
        check(not os.path.exists(os.path.join(out, "pairs.CSV.csv")), "csv: extension appended")

        # A file that cannot be written: status 1, the rows still printed.
        result = run([cli] + FIND + ["--export", os.path.join(out, "missing", "x"), samples], out)
        check(result.returncode == 1, f"unwritable: status {result.returncode}")
        check(b"cannot write" in result.stderr, "unwritable: no message")
        check(len(result.stdout.decode("utf-8").splitlines()) == len(rows) + 3,
              "unwritable: rows or status lines not printed")

        for bad in (["--export", "x", "--format", "xls"], ["--format", "csv"], ["--export"]):
            result = run([cli, "find"] + bad + [samples], out)
            check(result.returncode == 2, f"{' '.join(bad)}: status {result.returncode}, not 2")


def build_tables(command, out, name):
    """Runs one build for each format; its table, after checking every file encodes it."""
    for fmt in FORMATS:
        result = run(command + ["--export", name, "--format", fmt, "pics"], out)
        check(result.returncode == 0, f"{name} {fmt}: status {result.returncode}")
    titles, rows = table_of_text_export(read(os.path.join(out, name + ".txt")))
    for fmt in FORMATS:
        data = read(os.path.join(out, f"{name}.{fmt}"))
        print(f"{name}.{fmt}: {len(data)} bytes, {data.count(CRLF)} lines")
        check(data == encode(fmt, titles, rows), f"{name}.{fmt}: not the encoding of its table")
    return titles, rows


def cross_checks(native_cli, wine_run, windows_cli, samples):
    native_cli, wine_run, windows_cli = map(os.path.abspath, (native_cli, wine_run, windows_cli))
    if not os.path.exists(native_cli):
        print("native build missing; build it first (make native)")
        return 77
    with tempfile.TemporaryDirectory() as out:
        pics = os.path.join(out, "pics")
        os.mkdir(pics)
        for name in sorted(os.listdir(samples)):
            if name not in WINDOWS_UNREAD:
                shutil.copy(os.path.join(samples, name), pics)
        # Below the rates of every sample pair on both builds, so both find the same pairs.
        find = FIND + ["--similarity", "80"]
        titles, rows = build_tables([native_cli] + find, out, "linux")
        windows_titles, windows_rows = build_tables([wine_run, windows_cli] + find, out, "windows")
    check(titles == TITLES and windows_titles == TITLES, "the titles differ")
    linux = {(r[0], r[1]): r for r in rows}
    windows = {(r[0].replace("\\", "/"), r[1].replace("\\", "/")): r for r in windows_rows}
    check(len(rows) >= 10, f"only {len(rows)} rows")
    if not check(linux.keys() == windows.keys(), "the builds found different pairs"):
        return 0
    spread = 0
    for key, a in linux.items():
        b = windows[key]
        same = [c for c in range(len(TITLES)) if c not in (0, 1, 2, 6, 7)]
        check([a[c] for c in same] == [b[c] for c in same], f"{key}: {a} vs {b}")
        similarity = abs(int(a[2].split()[0]) - int(b[2].split()[0]))
        spread = max(spread, similarity)
        check(similarity <= SIMILARITY_SPREAD, f"{key}: similarity {a[2]} vs {b[2]}")
        for c in (6, 7):
            check(abs(int(a[c].split()[0]) - int(b[c].split()[0])) <= BRIGHTNESS_SPREAD,
                  f"{key}: brightness {a[c]} vs {b[c]}")
    print(f"{len(rows)} pairs on both builds; largest similarity difference {spread} points")
    return 0


def main():
    if sys.argv[1] == "--cross":
        status = cross_checks(*sys.argv[2:6])
        if status:
            return status
    else:
        native_checks(*sys.argv[1:3])
    for failure in failures:
        print("FAILED", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
