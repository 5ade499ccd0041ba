#!/bin/sh
# duplora-cli rate over the bundled samples: turned, mirrored and negative
# copies are accepted only with their option; bad arguments exit with 2.
cli=$1 samples=$2
expect() {  # pattern, then the arguments of rate
  pattern=$1; shift
  out=$("$cli" rate "$@") || { echo "rate $* failed"; exit 1; }
  echo "rate $*: $out"
  echo "$out" | grep -q -- "$pattern" || { echo "expected: $pattern"; exit 1; }
}
expect "rotation=0 .*decided=similarity accepted=no" "$samples/lake.jpg" "$samples/lake-turned-90.jpg"
expect "rotation=90 flip=0 .*accepted=yes" "$samples/lake.jpg" "$samples/lake-turned-90.jpg" --rotated
expect "rotation=0 flip=2 .*accepted=yes" "$samples/dusk.jpg" "$samples/dusk-mirrored.jpg" --flipped
expect "decided=brightness accepted=no" "$samples/fog.jpg" "$samples/fog-negative.jpg" --rotated --flipped
expect "negative=1 .*accepted=yes" "$samples/fog.jpg" "$samples/fog-negative.jpg" --negative
for bad in "$samples/lake.jpg" "--similarity" "--similarity 0 a b" "--rule 4 a b" "--sideways a b"; do
  # shellcheck disable=SC2086
  "$cli" rate $bad >/dev/null 2>&1; [ $? -eq 2 ] || { echo "rate $bad not refused"; exit 1; }
done
exit 0
