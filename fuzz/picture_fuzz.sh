#!/usr/bin/env bash
# Seeds and runs the picture fuzz targets: our BMP and PCX readers and the
# engine's load entry point. Seeds are small files at every depth, drawn by
# ImageMagick.
#
#   fuzz/picture_fuzz.sh BUILD_DIR [SECONDS_PER_TARGET]
#   (BUILD_DIR configured with -DVARNEL_FUZZ=ON and clang)
set -euo pipefail
BUILD=${1:?build directory}
SECONDS_EACH=${2:-240}
command -v convert >/dev/null || { echo "ImageMagick's convert is needed for the seeds" >&2; exit 1; }
ninja -C "$BUILD" -j1 picture_bmp picture_pcx picture_load

S=$BUILD/picture-seeds
mkdir -p "$S"/{bmp,pcx,any} "$BUILD"/picture-corpus/{bmp,pcx,load}
convert -size 19x13 plasma:fractal -depth 8 "$S/base.png" 2>/dev/null
b=$S/base.png
convert "$b" -type TrueColor BMP3:"$S/bmp/t24.bmp"
convert "$b" -type TrueColor -define bmp:subtype=RGB555 BMP:"$S/bmp/t16.bmp"
convert "$b" -type TrueColor -define bmp:subtype=RGB565 BMP:"$S/bmp/t565.bmp"
convert "$b" -alpha set BMP:"$S/bmp/t32.bmp"
convert "$b" -colors 200 BMP3:"$S/bmp/p8.bmp"
convert "$b" -colors 200 -compress RLE BMP3:"$S/bmp/rle8.bmp"
convert "$b" -colors 14 BMP3:"$S/bmp/p4.bmp"
convert "$b" -monochrome BMP3:"$S/bmp/p1.bmp"
convert "$b" BMP2:"$S/bmp/os2.bmp"
convert "$b" -type TrueColor "$S/pcx/t24.pcx"
convert "$b" -colors 200 "$S/pcx/p8.pcx"
convert "$b" -colors 14 "$S/pcx/p4.pcx"
convert "$b" -monochrome "$S/pcx/p1.pcx"
cp "$S"/bmp/* "$S"/pcx/* "$S/any/"
convert "$b" "$S/any/a.png"
convert "$b" -colors 12 "$S/any/p4.png"
convert "$b" -colorspace gray "$S/any/g.png"
convert "$b" "$S/any/a.gif"
convert "$b" -quality 70 "$S/any/a.jpg"
convert "$b" "$S/any/a.tif"

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1 QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS=suppressions=$(cd "$(dirname "$0")/.." && pwd)/tests/lsan.supp
run() { # target corpus seeds
    local rc=0 log=$BUILD/picture-$1.log
    "$BUILD/bin/$1" -max_total_time="$SECONDS_EACH" -rss_limit_mb=4096 -timeout=20 -print_final_stats=1 \
        "$BUILD/picture-corpus/$2" "$S/$3" >"$log" 2>&1 || rc=$?
    grep -E "^Done|stat::number_of_executed_units|ERROR|SUMMARY" "$log" || true
    echo "$1: exit $rc (log $log)"
}
run picture_bmp bmp bmp
run picture_pcx pcx pcx
run picture_load load any
