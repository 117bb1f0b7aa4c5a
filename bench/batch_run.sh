#!/usr/bin/env bash
# The batch run, measured: 50 screenshot-like 1920x1080 PNGs through
# "varnel --macro" with a stored macro that reduces to 256 colours and saves
# each picture numbered into the storage folder. Prints the wall time per
# file and checks that all 50 files arrived.
# Usage: bench/batch_run.sh [VARNEL_BINARY]   (default: a Release build)
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=${1:-}
if [ -z "$BIN" ]; then
  cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEL_TESTS=OFF >/dev/null
  cmake --build build-bench --target varnel >/dev/null
  BIN=build-bench/bin/varnel
fi
BIN=$(realpath "$BIN")
N=${N:-50}
TMP=$(mktemp -d /tmp/varnel-batch.XXXXXX)
trap 'rm -rf "$TMP"' EXIT
export XDG_DATA_HOME="$TMP/data" XDG_CONFIG_HOME="$TMP/config"
USER_DIR="$XDG_DATA_HOME/Quillon/varnel"
STORE="$TMP/store"
mkdir -p "$USER_DIR" "$STORE" "$TMP/in"

# The stored settings: storage folder, prefix and format, and the macro.
{
  printf '%s\r\n' "<?xml version='1.0' encoding='Shift-JIS' ?>" "<運用>" "   <ﾕｰｻﾞｰ>" \
    "      <格納ﾌｫﾙﾀﾞ>$STORE</格納ﾌｫﾙﾀﾞ>" "      <格納Pfx>shot</格納Pfx>" \
    "      <格納拡張子>bmp</格納拡張子>" "   </ﾕｰｻﾞｰ>" "   <マクロ>" \
    "      <COMMAND>[256色]~色数⇒256色~格納⇒連番をつけて保存</COMMAND>" "   </マクロ>"
  printf '%s' "</運用>"
} | iconv -f UTF-8 -t CP932 > "$USER_DIR/User.xml"
cp "$USER_DIR/User.xml" "$TMP/User.before"

# Screenshot-like pictures: a gradient desktop, windows, text, all different.
echo "making $N pictures of 1920x1080 ..." >&2
for i in $(seq -w 1 "$N"); do
  h=$(( (10#$i * 37) % 360 ))
  convert -size 1920x1080 "gradient:hsl($h,60%,45%)-hsl($(( (h + 90) % 360 )),60%,20%)" \
    -fill white -draw "rectangle 120,90 1100,760" -fill "rgb(40,90,170)" -draw "rectangle 120,90 1100,125" \
    -fill black -pointsize 22 -draw "text 140,170 'Window $i: the quick brown fox jumps over the lazy dog'" \
    -fill "rgb(230,230,230)" -draw "rectangle 0,1040 1920,1080" "$TMP/in/p$i.png"
done

start=$(date +%s.%N)
set +e
"$BIN" --macro 256色 "$TMP"/in/*.png > "$TMP/out.txt" 2> "$TMP/err.txt"
status=$?
set -e
end=$(date +%s.%N)

tail -n 3 "$TMP/out.txt"
arrived=$(find "$STORE" -name 'shot*.bmp' | wc -l)
bpp=$(od -An -tu2 -j28 -N2 "$STORE/shot001.bmp" 2>/dev/null | tr -d ' ' || echo '?')
cmp -s "$USER_DIR/User.xml" "$TMP/User.before" && kept=unchanged || kept=CHANGED
awk -v s="$start" -v e="$end" -v n="$N" -v a="$arrived" -v st="$status" -v b="$bpp" -v k="$kept" 'BEGIN {
  t = e - s
  printf "batch of %d files: exit %d, %d numbered files arrived (%s bits per pixel), User.xml %s\n", n, st, a, b, k
  printf "total %.2f s, %.0f ms per file (start-up included)\n", t, 1000 * t / n
}'
[ "$status" = 0 ] && [ "$arrived" = "$N" ] && [ "$kept" = unchanged ]
