#!/bin/sh
# Remakes the bundled sample pictures (needs ImageMagick; the results are
# committed, so building and testing do not). Each "original" has planted
# near-duplicates: resized, recompressed, turned, mirrored and negated copies.
set -e
cd "$(dirname "$0")/../samples"
rm -f -- *.jpg *.png *.gif *.tif *.webp
magick() { convert "$@"; }

# Photo-like originals.
magick -seed 11 -size 480x360 plasma:fractal -blur 0x2 -quality 90 meadow.jpg
magick -seed 23 -size 480x360 plasma:green-blue -blur 0x1 \
  -fill 'rgba(255,230,120,0.9)' -draw 'circle 330,120 380,120' -quality 90 lake.jpg
magick -size 360x480 gradient:navy-orange -fill '#202020' \
  -draw 'polygon 0,480 120,300 220,380 360,260 360,480' -quality 90 dusk.jpg
magick -size 400x400 radial-gradient:yellow-firebrick \
  -fill '#1a3' -draw 'rectangle 60,220 180,380' -fill '#35c' -draw 'circle 280,140 330,180' \
  -depth 8 shapes.png
magick -seed 77 -size 420x300 plasma:fractal -blur 0x4 -colorspace Gray -quality 88 fog.jpg

# Near-duplicates of them.
magick meadow.jpg -resize 50% -quality 85 meadow-small.jpg
magick meadow.jpg -quality 35 meadow-q35.jpg
magick lake.jpg -rotate 90 -quality 90 lake-turned-90.jpg
magick lake.jpg -rotate 180 -quality 90 lake-turned-180.jpg
magick dusk.jpg -flop -quality 90 dusk-mirrored.jpg
magick shapes.png -flip shapes-upside-down.png
magick fog.jpg -negate -quality 88 fog-negative.jpg

# Other formats and the awkward cases.
magick shapes.png -resize 75% shapes.gif
magick meadow.jpg -resize 40% -compress zip meadow.tif
magick lake.jpg -resize 80% -quality 80 lake.webp
magick -size 300x300 xc:none -fill '#d42' -draw 'circle 150,150 150,40' \
  -fill '#4a4' -draw 'rectangle 40,200 120,280' PNG32:alpha.png
magick -size 32x32 gradient:white-black tiny.png
printf 'This text file only looks like a picture by its name.\n' > not-a-picture.jpg
