#!/usr/bin/env bash
# Times the picture engine (varnel_pic) against ImageMagick's convert, whole
# process, on the same 3840x2160 screenshot-like picture: median of RUNS runs
# each, output sizes, and PSNR against the input for the colour reductions.
#
#   bench/engine_vs_convert.sh [path/to/varnel_pic]
#   RUNS=7 WORK=/tmp/bench bench/engine_vs_convert.sh
set -euo pipefail

if [ $# -ge 1 ]; then
    PIC=$1
else
    # Build the tool the way the program ships: a Release build of the tree.
    ROOT=$(cd "$(dirname "$0")/.." && pwd)
    bash "$ROOT/scripts/setup.sh"
    cmake -S "$ROOT" -B "$ROOT/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEL_TESTS=OFF >/dev/null
    cmake --build "$ROOT/build-bench" --target varnel_pic >/dev/null
    PIC=$ROOT/build-bench/bin/varnel_pic
fi
RUNS=${RUNS:-5}
WORK=${WORK:-$(mktemp -d)}
SIZE=${SIZE:-3840x2160}
command -v convert >/dev/null || { echo "ImageMagick's convert is needed" >&2; exit 1; }
[ -x "$PIC" ] || { echo "varnel_pic not found at $PIC" >&2; exit 1; }

IN=$WORK/input.bmp
"$PIC" --generate "$IN" "${SIZE%x*}" "${SIZE#*x}"

# Median wall time and median CPU time (user + system), in milliseconds, of
# RUNS runs of the command: "wall cpu". CPU time is the steadier figure on a
# shared machine.
time_median() {
    local walls=() cpus=() out
    for ((i = 0; i < RUNS; i++)); do
        /usr/bin/time -o "$WORK/time.txt" -f "%e %U %S" "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; return 1; }
        out=$(tail -1 "$WORK/time.txt")
        walls+=("$(awk '{printf "%d", $1 * 1000}' <<<"$out")")
        cpus+=("$(awk '{printf "%d", ($2 + $3) * 1000}' <<<"$out")")
    done
    local med='{a[NR] = $1} END {printf "%d", (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'
    echo "$(printf '%s\n' "${walls[@]}" | sort -n | awk "$med") $(printf '%s\n' "${cpus[@]}" | sort -n | awk "$med")"
}

psnr() { compare -metric PSNR "$IN" "$1" null: 2>&1 | awk '{print $1}' || true; }

printf '%-10s %8s %8s %7s %8s %8s %7s %10s %10s %9s %9s\n' op ours_wall im_wall speedup ours_cpu im_cpu cpu_x \
    ours_bytes im_bytes ours_psnr im_psnr
bench() { # name, ours-output, ours-extra-args, im-output, im-args...
    local name=$1 ours=$WORK/ours_$2 extra=$3 im=$4
    shift 4
    local t_ours t_im
    # shellcheck disable=SC2086
    t_ours=$(time_median "$PIC" "$IN" "$ours" $extra)
    t_im=$(time_median convert "$IN" "$@" "$im")
    local imfile=${im#*:}
    local p_ours=- p_im=-
    case $name in colors256 | colors16 | gif | grey8) p_ours=$(psnr "$ours"); p_im=$(psnr "$imfile") ;; esac
    local w_ours=${t_ours% *} c_ours=${t_ours#* } w_im=${t_im% *} c_im=${t_im#* }
    ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.1fx", (b > 0 ? a / b : 0)}'; }
    printf '%-10s %8s %8s %7s %8s %8s %7s %10s %10s %9s %9s\n' "$name" "$w_ours" "$w_im" "$(ratio "$w_im" "$w_ours")" \
        "$c_ours" "$c_im" "$(ratio "$c_im" "$c_ours")" \
        "$(stat -c %s "$ours")" "$(stat -c %s "$imfile")" "$p_ours" "$p_im"
}

bench colors256 c256.bmp "--op colors256" "BMP3:$WORK/im_c256.bmp" -colors 256 -compress none
bench colors16  c16.bmp  "--op colors16"  "BMP3:$WORK/im_c16.bmp"  +dither -colors 16 -compress none
bench grey8     grey.bmp "--op grey8"     "BMP3:$WORK/im_grey.bmp" -colorspace Gray -type Grayscale -compress none
bench half      half.bmp "--op half"      "BMP3:$WORK/im_half.bmp" -resize 50%
bench rotate90  rot.bmp  "--op rotate90"  "BMP3:$WORK/im_rot.bmp"  -rotate 90
bench mosaic8   mos.bmp  "--op mosaic8"   "BMP3:$WORK/im_mos.bmp"  -scale 12.5% -scale 800%
bench png       out.png  ""               "$WORK/im.png"
bench jpeg80    out.jpg  "--quality 80"   "$WORK/im.jpg"           -quality 80
bench gif       out.gif  ""               "$WORK/im.gif"
bench bmp       out.bmp  ""               "BMP3:$WORK/im.bmp"
echo "files in $WORK"
