#!/bin/sh
# duplora-cli collect over a copy of some samples: the set in order, the
# subfolder switch, two folders with files on both sides, and the status 2
# with the warning on standard error for a path that cannot be searched.
cli=$1 samples=$2
dir=$(mktemp -d) || exit 1
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/pics/sub"
cp "$samples/lake.jpg" "$samples/shapes.png" "$samples/not-a-picture.jpg" "$dir/pics/"
cp "$samples/fog.jpg" "$dir/pics/sub/"

fail() { echo "$1"; echo "$out"; exit 1; }

out=$("$cli" collect "$dir/pics;$dir/PICS;x") || fail "collect failed"
expected=$(printf 'Path2\t%s\nright\t%s\nright\t%s\nright\t%s' "$dir/pics" \
  "$dir/pics/lake.jpg" "$dir/pics/shapes.png" "$dir/pics/sub/fog.jpg")
[ "$out" = "$expected" ] || fail "wrong set"

out=$("$cli" collect --no-subfolders "$dir/pics") || fail "collect failed"
echo "$out" | grep -q fog.jpg && fail "subfolder collected"

out=$("$cli" collect --left "$dir/pics/sub" "$dir/pics" 2>"$dir/err") || fail "collect failed"
expected=$(printf 'Path1\t%s\nPath2\t%s\nleft\t%s\nright\t%s\nright\t%s' "$dir/pics/sub" \
  "$dir/pics" "$dir/pics/sub/fog.jpg" "$dir/pics/lake.jpg" "$dir/pics/shapes.png")
[ "$out" = "$expected" ] || fail "wrong sets"
grep -q "$dir/pics/sub/fog.jpg" "$dir/err" || fail "no duplicate message"

out=$("$cli" collect "$dir/pics;$dir/missing" 2>"$dir/err"); [ $? -eq 2 ] || fail "missing path not refused"
[ -z "$out" ] || fail "output after a refusal"
grep -q "^$dir/missing\$" "$dir/err" || fail "warning does not name the missing path"
"$cli" collect --left "" "$dir/pics" >/dev/null 2>&1; [ $? -eq 2 ] || fail "empty left not refused"
"$cli" collect >/dev/null 2>&1; [ $? -eq 2 ] || fail "missing text not refused"
exit 0
