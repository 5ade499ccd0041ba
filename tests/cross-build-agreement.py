#!/usr/bin/env python3
"""The Linux and the Windows build fingerprint the bundled samples alike.

Runs `duplora-cli info --signature` of both builds over samples/ and compares
each entry: same width, height and alpha flag, brightness within 2, and
signatures whose mean absolute difference is at most 2 (both builds reduce
with the same code; their decoders differ a little, a JPEG's scaled decoding
most). Prints the figures it measured.
"""
import os
import subprocess
import sys

# Formats the Windows decoder does not read.
WINDOWS_UNREAD = {"lake.webp"}
MAX_MEAN_DIFFERENCE = 2.0


def entries(command, cwd):
    out = subprocess.run(command, cwd=cwd, capture_output=True, text=True, check=True).stdout
    result = {}
    for line in out.splitlines():
        name, _, rest = line.partition("\t")
        if rest == "not an image":
            result[name] = None
            continue
        fields = dict(item.split("=", 1) for item in rest.split())
        result[name] = fields
    return result


def main():
    native_cli, wine_run, windows_cli, samples = sys.argv[1:5]
    if not os.path.exists(native_cli):
        print("native build missing; build it first (make native)")
        return 77
    names = sorted(os.listdir(samples))
    native = entries([native_cli, "info", "--signature"] + names, samples)
    windows = entries([wine_run, windows_cli, "info", "--signature"] + names, samples)
    failures = []
    worst = 0.0
    for name in names:
        a, b = native[name], windows[name]
        if name in WINDOWS_UNREAD:
            continue
        if (a is None) != (b is None):
            failures.append(f"{name}: picture on one side only ({a is not None}, {b is not None})")
            continue
        if a is None:
            continue
        for key in ("width", "height", "hasAlpha"):
            if a[key] != b[key]:
                failures.append(f"{name}: {key} {a[key]} vs {b[key]}")
        if abs(int(a["brightness"]) - int(b["brightness"])) > 2:
            failures.append(f"{name}: brightness {a['brightness']} vs {b['brightness']}")
        sa, sb = bytes.fromhex(a["signature"]), bytes.fromhex(b["signature"])
        mean = sum(abs(x - y) for x, y in zip(sa, sb)) / len(sa)
        worst = max(worst, mean)
        print(f"{name}: brightness {a['brightness']}/{b['brightness']}, "
              f"mean signature difference {mean:.2f}")
        if mean > MAX_MEAN_DIFFERENCE:
            failures.append(f"{name}: mean signature difference {mean:.2f}")
    print(f"largest mean signature difference: {worst:.2f}")
    for failure in failures:
        print("MISMATCH", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
