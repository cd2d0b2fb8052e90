#!/usr/bin/env bash
# Makes docs/orvel-wayland-two-outputs.png, the README's picture of the Wayland saver on
# two outputs of different shapes: a headless sway (tests/e2e/servers/sway.sh) with a 16:9
# output of 1920x1080 at 0,0 and a 5:4 one of 1280x1024 at 1920,0, `orvel-wayland /s` on
# it, and grim's screenshot of the whole layout a few seconds in, while the title shows in
# the lower right of the whole picture; scaled down with netpbm when it comes out bigger
# than the limit.
#
# The saver draws one output after the other, and llvmpipe on a loaded machine takes
# long enough over each that a shot can fall between two outputs' swaps and show two
# moments side by side. So it takes a burst of shots and keeps the one whose pixel
# columns either side of the outputs' border are most alike (netpbm's pnmpsnr).
#
#   tools/make-wayland-shot.sh [--after S] [--width W] [--max-bytes N] [--saver PATH]
#                              [--out FILE]
#
# Defaults: the shots from 2.5 seconds after the saver's first lit picture (scene time about
# 3 s: the fade-in over, the title at full strength until 4 s), scaled to 1600 pixels
# wide when over 500000 bytes, build/linux/orvel-wayland,
# docs/orvel-wayland-two-outputs.png.
# Needs sway, grim and netpbm (Debian packages of those names).
set -eu

ROOT=$(cd "$(dirname "$0")/.." && pwd)
AFTER=2.5
SHOTS=6
WIDTH=1600
MAX_BYTES=500000
SAVER="$ROOT/build/linux/orvel-wayland"
OUT="$ROOT/docs/orvel-wayland-two-outputs.png"

usage() {
  sed -n '/^#   tools\/make-wayland-shot.sh/,/^#  *\[--out/p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

while [ $# -gt 0 ]; do
  case "$1" in
    --after | --width | --max-bytes | --saver | --out)
      [ $# -ge 2 ] || { echo "make-wayland-shot: $1 needs a value" >&2; exit 2; } ;;
  esac
  case "$1" in
    --after) AFTER=$2; shift 2 ;;
    --width) WIDTH=$2; shift 2 ;;
    --max-bytes) MAX_BYTES=$2; shift 2 ;;
    --saver) SAVER=$2; shift 2 ;;
    --out) OUT=$2; shift 2 ;;
    -h | --help) usage ;;
    *) echo "make-wayland-shot: unknown argument '$1'" >&2; usage ;;
  esac
done
for tool in sway grim pamcut pnmpsnr pngtopnm pnmscale pnmtopng; do
  command -v "$tool" >/dev/null || { echo "make-wayland-shot: $tool is missing (apt-get install sway grim netpbm)" >&2; exit 1; }
done
[ -x "$SAVER" ] || { echo "make-wayland-shot: no $SAVER: build the orvel_wayland target" >&2; exit 1; }

work=$(mktemp -d /tmp/orvel-shot.XXXXXX)
sway_pid='' saver_pid=''
finish() {
  [ -n "$saver_pid" ] && kill "$saver_pid" 2>/dev/null && wait "$saver_pid" 2>/dev/null
  [ -n "$sway_pid" ] && kill "$sway_pid" 2>/dev/null && wait "$sway_pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

bash "$ROOT/tests/e2e/servers/sway.sh" 3 "$work" 2 1920x1080,1280x1024 3>"$work/ready" &
sway_pid=$!
for ((i = 0; i < 200; i++)); do
  [ -s "$work/ready" ] && break
  kill -0 "$sway_pid" 2>/dev/null || { echo "make-wayland-shot: sway did not come up" >&2; exit 1; }
  sleep 0.1
done
read -r runtime display socket <"$work/ready" || { echo "make-wayland-shot: sway did not come up" >&2; exit 1; }
export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=$display SWAYSOCK=$socket

# The saver with settings of its own (full detail), counting its frames in its stats line.
mkdir -p "$work/config"
XDG_CONFIG_HOME=$work/config ORVEL_STATS=1 "$SAVER" /s 2>"$work/saver.err" &
saver_pid=$!
# Its first lit picture: the scene fades in from black, under the title, from its first
# frame on; grim sees the layout no longer all black.
for ((i = 0; i < 600; i++)); do
  grim -t ppm - 2>/dev/null | tail -c +20 | tr -d '\0' | head -c 1 | grep -q . && break
  kill -0 "$saver_pid" 2>/dev/null || { echo "make-wayland-shot: the saver ended: $(cat "$work/saver.err")" >&2; exit 1; }
  sleep 0.1
done
sleep "$AFTER"
best=-1
for ((i = 0; i < SHOTS; i++)); do
  grim -t ppm "$work/try.ppm"
  pamcut -left 1919 -width 1 -height 1024 "$work/try.ppm" >"$work/left.ppm"
  pamcut -left 1920 -width 1 -height 1024 "$work/try.ppm" >"$work/right.ppm"
  alike=$(pnmpsnr -machine "$work/left.ppm" "$work/right.ppm" | cut -d' ' -f1)
  [[ $alike =~ ^[0-9.]+$ ]] || alike=999  # the same pixels
  if awk -v a="$alike" -v b="$best" 'BEGIN { exit !(a > b) }'; then
    best=$alike
    mv "$work/try.ppm" "$work/shot.ppm"
  fi
done
echo "make-wayland-shot: the columns either side of the border alike to $best dB (Y)" >&2
pnmtopng -compression 9 "$work/shot.ppm" >"$work/shot.png"
kill "$saver_pid"
wait "$saver_pid" || true
saver_pid=
sed -n 's/^orvel stats: /saver: /p' "$work/saver.err" >&2

if [ "$(stat -c %s "$work/shot.png")" -gt "$MAX_BYTES" ]; then
  pngtopnm "$work/shot.png" | pnmscale -width "$WIDTH" | pnmtopng -compression 9 >"$work/small.png"
  mv "$work/small.png" "$work/shot.png"
fi
cp "$work/shot.png" "$OUT"
echo "make-wayland-shot: $OUT, $(stat -c %s "$OUT") bytes" >&2
