#!/bin/sh
# Screenshots of the program's windows at two screen sizes, taken by
# build/win64/duplora_screenshots.exe under Xvfb inside wine's virtual desktop
# (so windows have their frames). Output: build/screenshots/<shot>-<size>.png
set -e
cd "$(dirname "$0")/.."
out=build/screenshots
rm -rf "$out"
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1920x1080x24" sh -c '
  for size in 1024x768 1920x1080; do
    build/win64/wine-run.sh explorer /desktop=duplora$size,$size \
      build/win64/duplora_screenshots.exe build/screenshots $size
  done
  WINEPREFIX="$PWD/build/win64/wineprefix" wineserver -w' >"$out/log.txt" 2>&1 || true
grep -E "^(saved|FAILED)" "$out/log.txt" || true
if grep -q FAILED "$out/log.txt" || ! ls "$out"/*.png >/dev/null 2>&1; then
  echo "screenshots failed; see $out/log.txt"
  exit 1
fi
