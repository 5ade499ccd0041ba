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

# Pictures the window tests take of single windows (preview panes, translation
# editor) and the loupe over a sample picture.
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  build/win64/wine-run.sh build/win64/duplora_gui_tests.exe --gtest_filter="*Screenshot*"
  build/win64/wine-run.sh build/win64/duplora_magnifier_shot.exe build/screenshots/magnifier.png
  WINEPREFIX="$PWD/build/win64/wineprefix" wineserver -w' >>"$out/log.txt" 2>&1 || true
ls "$out"/*.png
