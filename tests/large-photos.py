#!/usr/bin/env python3
"""Large photos: every turned, mirrored, negated, resized and blurred copy
pairs with its original, in the Linux build and (given its command line) in
the Windows build, and the two builds agree.

    large-photos.py WORKDIR NATIVE_CLI [WINE_RUN WINDOWS_CLI]

Makes, once, in WORKDIR/set: two pictures of 8 and 10 megapixels (clouds of
fractal noise with a horizon, hard-edged silhouettes and sensor grain), one
JPEG and one PNG, each with eight copies. Then runs `find` with all three
options in each build and checks that every copy pairs with its original.
With the Windows build it also compares the two builds' signatures of every
file (mean absolute difference at most 2) and their lists of pairs (a pair
rated within one point of the threshold may be on one list only). Prints
the figures it measured.
"""
import os
import shutil
import subprocess
import sys

THRESHOLD = 90
MAX_MEAN_DIFFERENCE = 2.0
COPIES = {
    "turned-90": ["rot", "{src}", "{dst}", "d90"],
    "turned-180": ["rot", "{src}", "{dst}", "d180"],
    "turned-270": ["rot", "{src}", "{dst}", "d270"],
    "mirrored-h": ["flip", "{src}", "{dst}", "horizontal"],
    "mirrored-v": ["flip", "{src}", "{dst}", "vertical"],
    "negative": ["invert", "{src}", "{dst}"],
    "half": ["resize", "{src}", "{dst}", "0.5"],
    "blurred": ["gaussblur", "{src}", "{dst}", "1.2"],
}
# name, format, base width, base height, upscale, seed
ORIGINALS = [("harbour", "jpg", 1000, 667, 4.0, 11), ("valley", "png", 1000, 667, 3.5, 23)]
SAVE = {"jpg": "[Q=90]", "png": "[compression=1]"}


def vips(operation, *args, options=()):
    # "--" ends the options, so that negative numbers are taken as arguments.
    subprocess.run(["vips", operation, *map(str, options), "--", *map(str, args)], check=True,
                   capture_output=True)


def vips_number(operation, image):
    return float(subprocess.run(["vips", operation, image], capture_output=True, text=True,
                                check=True).stdout)


def make_original(folder, name, fmt, width, height, scale, seed):
    """A photo-like picture: fine detail and sharp edges at full resolution."""
    t = lambda n: os.path.join(folder, f"tmp-{name}-{n}.v")
    # The library's fractal has no seed; a surface of another width is
    # another surface, cut back to the picture's width. Each is brought to a
    # standard deviation of one.
    for band, dimension, extra in (("L", 2.4, seed), ("C", 2.3, seed + 2), ("M", 2.2, seed + 5)):
        vips("fractsurf", t(band + "wide"), width + extra, height, dimension)
        vips("extract_area", t(band + "wide"), t(band + "raw"), 0, 0, width, height)
        vips("linear", t(band + "raw"), t(band), 1 / vips_number("deviate", t(band + "raw")), 0)
    # Light and colour, brighter toward the top like a sky.
    vips("linear", t("L"), t("L3"), "45 45 45", "0 0 0")
    vips("linear", t("C"), t("C3"), "30 5 -25", "0 0 0")
    vips("add", t("L3"), t("C3"), t("col"))
    vips("xyz", t("xy"), width, height)
    vips("extract_band", t("xy"), t("y"), 1)
    vips("linear", t("y"), t("grad"), -60.0 / height, 30)
    vips("add", t("col"), t("grad"), t("sky"))
    vips("linear", t("sky"), t("base"), "1 1 1", "130 125 115")
    vips("resize", t("base"), t("big"), scale)
    # Dark silhouettes with sharp edges, cut at full resolution.
    vips("resize", t("M"), t("Mbig"), scale)
    vips("relational_const", t("Mbig"), t("mask"), "moreeq", 0.9)
    vips("linear", t("mask"), t("shade"), "-0.3 -0.32 -0.28", "0 0 0")
    vips("add", t("big"), t("shade"), t("shaded"))
    full_w, full_h = (int(vips_number_header(t("shaded"), f)) for f in ("width", "height"))
    # Sensor grain.
    vips("gaussnoise", t("grain"), full_w, full_h, options=("--sigma", 6, "--mean", 0, "--seed", seed))
    vips("add", t("shaded"), t("grain"), t("photo"))
    vips("cast", t("photo"), t("bytes"), "uchar")
    vips("copy", t("bytes"), os.path.join(folder, f"{name}.{fmt}") + SAVE[fmt],
         options=("--interpretation", "srgb"))
    for f in os.listdir(folder):
        if f.startswith(f"tmp-{name}-"):
            os.remove(os.path.join(folder, f))


def vips_number_header(image, field):
    return subprocess.run(["vipsheader", "-f", field, image], capture_output=True, text=True,
                          check=True).stdout.strip()


def make_set(workdir):
    folder = os.path.join(workdir, "set")
    done = os.path.join(workdir, "set.done")
    if os.path.exists(done):
        return folder
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name, fmt, width, height, scale, seed in ORIGINALS:
        make_original(folder, name, fmt, width, height, scale, seed)
        src = os.path.join(folder, f"{name}.{fmt}")
        for kind, command in COPIES.items():
            dst = os.path.join(folder, f"{name}-{kind}.{fmt}") + SAVE[fmt]
            vips(*[part.format(src=src, dst=dst) for part in command])
    open(done, "w").close()
    return folder


def find_pairs(command, folder, windows=False):
    """Pairs of file names with their similarity, from `find` with all options."""
    # Wine shows the Linux root as drive Z.
    named = "Z:" + folder.replace("/", "\\") if windows else folder
    out = subprocess.run(command + ["find", "--rotated", "--flipped", "--negative", named],
                         cwd=folder, capture_output=True, text=True, check=True).stdout
    pairs = {}
    for line in out.splitlines():
        fields = line.split("\t")
        if len(fields) < 13:
            continue
        a, b = (os.path.basename(p.replace("\\", "/")) for p in fields[:2])
        pairs[frozenset((a, b))] = int(fields[2].split()[0])
    return pairs


def signatures(command, folder, names):
    out = subprocess.run(command + ["info", "--signature"] + names, cwd=folder,
                         capture_output=True, text=True, check=True).stdout
    result = {}
    for line in out.splitlines():
        name, _, rest = line.partition("\t")
        if rest != "not an image":
            fields = dict(item.split("=", 1) for item in rest.split())
            result[os.path.basename(name)] = bytes.fromhex(fields["signature"])
    return result


def recall(build, pairs, failures):
    print(f"{build}: {len(pairs)} pairs")
    for kind in COPIES:
        found = []
        for name, fmt, *_ in ORIGINALS:
            key = frozenset((f"{name}.{fmt}", f"{name}-{kind}.{fmt}"))
            found.append(key in pairs)
            if key not in pairs:
                failures.append(f"{build}: {name}-{kind}.{fmt} does not pair with its original")
        similarities = [pairs.get(frozenset((f"{n}.{f}", f"{n}-{kind}.{f}")), 0)
                        for n, f, *_ in ORIGINALS]
        print(f"  {kind}: {sum(found)}/{len(found)} found, similarity {similarities}")
    for key in pairs:
        stems = {name.split("-")[0].split(".")[0] for name in key}
        if len(stems) > 1:
            failures.append(f"{build}: pictures of different scenes paired: {sorted(key)}")


def main():
    workdir, native_cli = (os.path.abspath(arg) for arg in sys.argv[1:3])
    windows = [os.path.abspath(arg) for arg in sys.argv[3:5]]
    if not shutil.which("vips"):
        print("vips (libvips-tools) missing")
        return 77
    if not os.path.exists(native_cli):
        print("native build missing; build it first (make native)")
        return 77
    folder = make_set(workdir)
    names = sorted(os.listdir(folder))
    failures = []
    native = find_pairs([native_cli], folder)
    recall("Linux", native, failures)
    if windows:
        windows_cmd = list(windows)
        others = find_pairs(windows_cmd, folder, windows=True)
        recall("Windows", others, failures)
        a, b = signatures([native_cli], folder, names), signatures(windows_cmd, folder, names)
        worst = 0.0
        for name in names:
            if name not in a or name not in b:
                failures.append(f"{name}: a picture in one build only")
                continue
            mean = sum(abs(x - y) for x, y in zip(a[name], b[name])) / len(a[name])
            worst = max(worst, mean)
            print(f"{name}: mean signature difference {mean:.2f}")
            if mean > MAX_MEAN_DIFFERENCE:
                failures.append(f"{name}: mean signature difference {mean:.2f}")
        print(f"largest mean signature difference: {worst:.2f}")
        for key in set(native) ^ set(others):
            similarity = native.get(key, others.get(key))
            if abs(similarity - THRESHOLD) > 1:
                failures.append(f"listed by one build only: {sorted(key)} ({similarity} %)")
        for key in set(native) & set(others):
            print(f"  {' ~ '.join(sorted(key))}: {native[key]} % / {others[key]} %")
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
