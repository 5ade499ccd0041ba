#!/bin/sh
# duplora-cli info over the bundled samples: pictures get entries, the
# non-picture and the tiny picture do not, bad arguments exit with 2.
cli=$1 samples=$2
out=$("$cli" info "$samples"/*) || { echo "info failed"; exit 1; }
echo "$out"
echo "$out" | grep -q "not-a-picture.jpg	not an image" || { echo "non-picture taken"; exit 1; }
echo "$out" | grep -q "tiny.png	not an image" || { echo "tiny picture taken"; exit 1; }
[ "$(echo "$out" | grep -c 'width=')" -ge 5 ] || { echo "too few entries"; exit 1; }
"$cli" info --rule 4 x >/dev/null 2>&1; [ $? -eq 2 ] || { echo "bad --rule not refused"; exit 1; }
"$cli" info >/dev/null 2>&1; [ $? -eq 2 ] || { echo "missing file not refused"; exit 1; }
exit 0
