#!/usr/bin/env bash
# Makes docs/orvel-loop.webp, the animated loop of the scene near the top of the README:
# a few seconds of orvel-render frames, from a chosen moment of the scene, assembled
# into a looping animated WebP with img2webp (Debian package `webp`).
#
#   tools/make-loop.sh [--start S] [--seconds S] [--fps N] [--size WxH] [--quality Q]
#                      [--max-bytes N] [--render PATH] [--out FILE]
#
# Defaults: 6 seconds from scene time 18 s, 25 frames a second, 480x360, lossy quality 60,
# at most 2000000 bytes, build/linux/orvel-render, docs/orvel-loop.webp. The render
# clock is virtual, so the same options always give the same frames. When the file comes
# out too big, it tries again at lower quality, down to 20, and fails after that.
set -eu

ROOT=$(cd "$(dirname "$0")/.." && pwd)
START=18
SECONDS_LONG=6
FPS=25
SIZE=480x360
QUALITY=60
MAX_BYTES=2000000
RENDER="$ROOT/build/linux/orvel-render"
OUT="$ROOT/docs/orvel-loop.webp"

usage() {
  sed -n '/^#   tools\/make-loop.sh/,/^#  *\[--max-bytes/p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

while [ $# -gt 0 ]; do
  case "$1" in
    --start | --seconds | --fps | --size | --quality | --max-bytes | --render | --out)
      [ $# -ge 2 ] || { echo "make-loop: $1 needs a value" >&2; exit 2; } ;;
  esac
  case "$1" in
    --start) START=$2; shift 2 ;;
    --seconds) SECONDS_LONG=$2; shift 2 ;;
    --fps) FPS=$2; shift 2 ;;
    --size) SIZE=$2; shift 2 ;;
    --quality) QUALITY=$2; shift 2 ;;
    --max-bytes) MAX_BYTES=$2; shift 2 ;;
    --render) RENDER=$2; shift 2 ;;
    --out) OUT=$2; shift 2 ;;
    -h | --help) usage ;;
    *) echo "make-loop: unknown option $1" >&2; usage ;;
  esac
done
for n in "$START" "$SECONDS_LONG" "$FPS" "$QUALITY" "$MAX_BYTES"; do
  [[ $n =~ ^[0-9]+$ ]] || { echo "make-loop: $n is not a whole number" >&2; exit 2; }
done
[ "$SECONDS_LONG" -gt 0 ] && [ "$FPS" -gt 0 ] && [ $((1000 % FPS)) -eq 0 ] ||
  { echo "make-loop: --fps must divide 1000 (frames are whole milliseconds apart)" >&2; exit 2; }
command -v img2webp >/dev/null && command -v webpinfo >/dev/null ||
  { echo "make-loop: img2webp and webpinfo are missing: apt-get install webp" >&2; exit 2; }
[ -x "$RENDER" ] || { echo "make-loop: no orvel-render at $RENDER (cmake --build --preset linux --target orvel-render)" >&2; exit 2; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/orvel-loop.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# orvel-render has no start time: it renders from the beginning, and only the frames of
# the clip are kept. Frame N is shown at scene time (N - 1) / fps.
FIRST=$((START * FPS + 1))
COUNT=$((SECONDS_LONG * FPS))
LAST=$((FIRST + COUNT - 1))
PERIOD_MS=$((1000 / FPS))
echo "rendering frames $FIRST..$LAST ($SIZE, $FPS fps) with $RENDER"
"$RENDER" --size "$SIZE" --fps "$FPS" --frames "$LAST" --out "$WORK/frames" >"$WORK/render.log" 2>&1 ||
  { cat "$WORK/render.log" >&2; exit 1; }

frames=()
for n in $(seq "$FIRST" "$LAST"); do
  f=$(printf '%s/frames/frame-%06d.png' "$WORK" "$n")
  [ -s "$f" ] || { echo "make-loop: orvel-render did not write $f" >&2; exit 1; }
  frames+=("$f")
done

q=$QUALITY
while :; do
  img2webp -loop 0 -min_size -lossy -q "$q" -m 6 -d "$PERIOD_MS" "${frames[@]}" -o "$WORK/loop.webp" \
    >"$WORK/img2webp.log" 2>&1 || { cat "$WORK/img2webp.log" >&2; exit 1; }
  bytes=$(stat -c %s "$WORK/loop.webp")
  echo "quality $q: $bytes bytes"
  [ "$bytes" -ge "$MAX_BYTES" ] || break
  q=$((q - 10))
  [ "$q" -ge 20 ] || { echo "make-loop: still $bytes bytes at the lowest quality" >&2; exit 1; }
done

# The file must hold the whole clip as an endlessly looping animation.
webpinfo "$WORK/loop.webp" >"$WORK/info.txt" 2>&1 || { cat "$WORK/info.txt" >&2; exit 1; }
got=$(grep -c '^Chunk ANMF' "$WORK/info.txt" || true)
[ "$got" -eq "$COUNT" ] || { echo "make-loop: the file holds $got frames, not $COUNT" >&2; exit 1; }
grep -q 'Loop count *: *0$' "$WORK/info.txt" || { echo "make-loop: the animation does not loop forever" >&2; exit 1; }

mkdir -p "$(dirname "$OUT")"
cp "$WORK/loop.webp" "$OUT"
echo "wrote $OUT: $bytes bytes, $COUNT frames of $PERIOD_MS ms ($SECONDS_LONG s), $SIZE, quality $q"
