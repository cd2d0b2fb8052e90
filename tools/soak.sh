#!/usr/bin/env bash
# A long run of the full-screen saver, `orvel /s`, on an Xvfb of its own. All through it
# the saver gets input that must not end it: the cursor jittering within 4 pixels of
# summed travel of where it was when the saver started, releases of keys that were
# pressed before it started, and wheel turns. Then a key ends it.
#
# Every ~10 s it samples the saver's private memory (USS: Private_Clean + Private_Dirty of
# /proc/PID/smaps_rollup, and the dirty part alone), its frame rate, the CPU time it used
# and what that is per frame, and the machine's load, and prints them as a table. The
# frames are counted by a small LD_PRELOAD library, built here into the work directory,
# that counts the program's glXSwapBuffers calls; the program itself runs as built.
#
# It ends with 0 when all of these hold, else with 1:
#   - the saver runs until the final key and then ends with 0, with no X errors;
#   - memory stays flat after the warm-up (--warmup, 60 s): the median dirty figure of
#     the last minute is at most --max-growth KiB (1024) above that of the minute after
#     the warm-up. The USS growth is shown too, but the code pages of Mesa and LLVM move it
#     by some 16 MiB whenever another process on the machine maps those libraries or
#     stops doing so;
#   - the frame rate stays steady after the warm-up: no interval below --min-fps (10);
#     from the first third to the last, the CPU time per frame rises by at most
#     --fps-band percent (35) and the frame rate falls by at most as much. The rate
#     follows the machine's load, so when the mean load of the two thirds differs by
#     more than a quarter it is shown and not judged.
#
#   tools/soak.sh [--minutes M | --seconds S] [--size WxH] [--interval S] [--warmup S]
#                 [--max-growth KIB] [--min-fps N] [--fps-band PCT] [--keys N]
#                 [--orvel PATH] [--helper PATH] [--keep DIR]
#
# Defaults: 10 minutes at 640x480x24, samples every 10 s, 8 held keys, build/linux/orvel,
# and build/linux/orvel-x11-helper when it is there (to wait for the grabs).
# --keep DIR keeps the work files (samples.tsv, the saver's standard error, Xvfb's log).
# Not run by CI: it needs Xvfb, xdotool and a C compiler, and takes minutes.
set -u

ROOT=$(cd "$(dirname "$0")/.." && pwd)
DURATION=600
SIZE=640x480
INTERVAL=10
WARMUP=60
MAX_GROWTH_KIB=1024
FPS_BAND=35
MIN_FPS=10
HELD_KEYS=8
ORVEL="$ROOT/build/linux/orvel"
HELPER="$ROOT/build/linux/orvel-x11-helper"
KEEP=""

usage() {
  sed -n '/^#   tools\/soak.sh/,/^# Not run/p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

# set_whole VARIABLE OPTION VALUE: the option's value when it is a whole number.
set_whole() {
  [[ ${3-} =~ ^[0-9]+$ ]] || { echo "soak: $2 takes a whole number, not '${3-}'" >&2; exit 2; }
  printf -v "$1" '%s' "$((10#$3))"
}

while [ $# -gt 0 ]; do
  case "$1" in
    -h | --help) usage ;;
    --minutes | --seconds | --size | --interval | --warmup | --max-growth | --fps-band | --min-fps | --keys | \
      --orvel | --helper | --keep)
      [ $# -ge 2 ] || { echo "soak: $1 needs a value" >&2; exit 2; } ;;
    *) echo "soak: unknown option $1" >&2; usage ;;
  esac
  case "$1" in
    --minutes) set_whole DURATION "$1" "$2"; DURATION=$((DURATION * 60)) ;;
    --seconds) set_whole DURATION "$1" "$2" ;;
    --size) SIZE=$2 ;;
    --interval) set_whole INTERVAL "$1" "$2" ;;
    --warmup) set_whole WARMUP "$1" "$2" ;;
    --max-growth) set_whole MAX_GROWTH_KIB "$1" "$2" ;;
    --fps-band) set_whole FPS_BAND "$1" "$2" ;;
    --min-fps) set_whole MIN_FPS "$1" "$2" ;;
    --keys) set_whole HELD_KEYS "$1" "$2" ;;
    --orvel) ORVEL=$2 ;;
    --helper) HELPER=$2 ;;
    --keep) KEEP=$2 ;;
  esac
  shift 2
done
[ "$INTERVAL" -ge 1 ] || { echo "soak: --interval takes 1 or more seconds" >&2; exit 2; }
[[ $SIZE =~ ^[0-9]+x[0-9]+$ ]] || { echo "soak: --size takes WxH" >&2; exit 2; }
[ "$DURATION" -ge 20 ] 2>/dev/null || { echo "soak: run at least 20 s" >&2; exit 2; }
if ! { [ "$HELD_KEYS" -ge 0 ] && [ "$HELD_KEYS" -le 20 ]; } 2>/dev/null; then
  echo "soak: --keys takes 0..20" >&2
  exit 2
fi
[ "$WARMUP" -lt "$DURATION" ] || WARMUP=$((DURATION / 2))
. "$ROOT/tests/e2e/servers/xvfb.sh"
xvfb_installed || exit 2
for tool in xdotool cc; do
  command -v "$tool" >/dev/null || { echo "soak: $tool is missing" >&2; exit 2; }
done
[ -x "$ORVEL" ] || { echo "soak: no program at $ORVEL" >&2; exit 2; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/orvel-soak.XXXXXX")
XVFB_PID=""
SAVER_PID=""

cleanup() {
  stop_process "$SAVER_PID"
  xvfb_stop
  if [ -n "$KEEP" ]; then
    mkdir -p "$KEEP" && cp -r "$WORK"/. "$KEEP"/ && echo "work files kept in $KEEP"
  fi
  rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

now_ms() { date +%s%3N; }
say() { echo "$*"; }
die() {
  echo "SOAK FAILED: $*" >&2
  [ -s "$WORK/saver.err" ] && { echo "--- the saver's standard error:" >&2; tail -n 20 "$WORK/saver.err" >&2; }
  exit 1
}

# True while the process runs (a zombie not yet waited for does not).
running() {
  local state
  state=$(sed -E 's/^.*\) ([A-Za-z]).*$/\1/' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

# The frame counter (soak/swap_counter.c), preloaded into the saver.
cc -O2 -shared -fPIC -o "$WORK/swapcount.so" "$ROOT/tools/soak/swap_counter.c" -ldl 2>"$WORK/cc.log" ||
  die "cannot build the frame counter: $(cat "$WORK/cc.log")"

# A copy of the program, so that a rebuild during the run does not swap it underneath.
cp "$ORVEL" "$WORK/orvel" || die "cannot copy $ORVEL"
ORVEL_SUM=$(sha256sum "$ORVEL" | cut -c1-12)

# The X server: -r turns key auto-repeat off, or the held keys would press again.
xvfb_start "$WORK" "$SIZE" -r || die "no X server"

xdo() { timeout 10 xdotool "$@" >/dev/null 2>&1; }

WIDTH=${SIZE%x*}
HEIGHT=${SIZE#*x}
CX=$((WIDTH / 2))
CY=$((HEIGHT / 2))
KEY_NAMES=(q w e r t y u i o p a s d f g h j k l z)
KEYS=("${KEY_NAMES[@]:0:$HELD_KEYS}")

# The cursor goes where it stays, and the keys go down, before the saver starts.
xdo mousemove "$CX" "$CY" || die "xdotool cannot move the cursor"
[ "${#KEYS[@]}" -eq 0 ] || xdo keydown "${KEYS[@]}" || die "xdotool cannot press keys"

export XDG_CONFIG_HOME="$WORK/config"
mkdir -p "$XDG_CONFIG_HOME"
ORVEL_STATS=1 SOAK_SWAP_FILE="$WORK/swaps" LD_PRELOAD="$WORK/swapcount.so" \
  "$WORK/orvel" /s 2>"$WORK/saver.err" &
SAVER_PID=$!
START_MS=$(now_ms)

timeout 15 xdotool search --sync --class WindowsScreenSaverClass >/dev/null 2>&1 ||
  die "no full-screen saver window within 15 s"
if [ -x "$HELPER" ]; then
  "$HELPER" wait-grabbed 10000 || die "the saver did not grab the keyboard and pointer within 10 s"
else
  sleep 1
fi
running "$SAVER_PID" || die "the saver ended as it started"

say "orvel soak: $SIZE, $((DURATION / 60)) min $((DURATION % 60)) s, display $DISPLAY, program $ORVEL ($ORVEL_SUM)"
say "load at start: $(uptime)"
say "holding ${#KEYS[@]} keys (${KEYS[*]:-none}) from before the start; cursor at $CX,$CY"
say ""

frames_now() {
  local n=""
  read -r n <"$WORK/swaps" 2>/dev/null
  n=${n//[^0-9]/}
  echo "${n:-0}"
}
# Private memory from smaps_rollup: Private_Clean + Private_Dirty (the USS), and the
# dirty part alone.
private_kib() {
  awk '/^Private_Clean:/ { c = $2 } /^Private_Dirty:/ { d = $2 } END { if (NR) print c + d, d }' \
    "/proc/$SAVER_PID/smaps_rollup" 2>/dev/null
}
cpu_ticks() {
  local stat
  stat=$(cat "/proc/$SAVER_PID/stat" 2>/dev/null) || return 1
  set -- ${stat##*) }
  echo $((${12} + ${13}))
}
TICKS_PER_S=$(getconf CLK_TCK)

# A random point of the diamond |dx| + |dy| <= 4 around the start.
jitter_point() {
  local dx=$((RANDOM % 9 - 4)) rest dy
  rest=$((4 - ${dx#-}))
  dy=$((RANDOM % (2 * rest + 1) - rest))
  echo "$((CX + dx)) $((CY + dy))"
}

echo "t_s uss_kib dirty_kib frames fps cpu_pct cpu_ms_per_frame load1 cursor" >"$WORK/samples.tsv"
ROW_FORMAT="%6s  %9s  %9s  %8s  %6s  %5s  %8s  %6s  %s\n"
# shellcheck disable=SC2059
printf "$ROW_FORMAT" "t (s)" "USS (KiB)" "dirty" "frames" "fps" "CPU%" "CPU ms/f" "load1" "cursor"

last_ms=""
last_frames=0
last_ticks=0
max_travel=0

sample() {
  local t_ms=$1 mem uss dirty frames ticks fps="-" cpu="-" per_frame="-" load cursor x y dx dy travel t_s
  mem=$(private_kib)
  [ -n "$mem" ] || return 1
  read -r uss dirty <<<"$mem"
  frames=$(frames_now)
  ticks=$(cpu_ticks) || return 1
  load=$(cut -d' ' -f1 /proc/loadavg)
  cursor=$(timeout 5 xdotool getmouselocation 2>/dev/null | sed -nE 's/^x:([0-9]+) y:([0-9]+).*$/\1 \2/p')
  if [ -n "$cursor" ]; then
    read -r x y <<<"$cursor"
    dx=$((x - CX)) dy=$((y - CY))
    travel=$((${dx#-} + ${dy#-}))
    [ "$travel" -le "$max_travel" ] || max_travel=$travel
    cursor="$x,$y"
  else
    cursor="?"
  fi
  if [ -n "$last_ms" ]; then
    read -r fps cpu per_frame < <(awk -v f=$((frames - last_frames)) -v t=$((ticks - last_ticks)) \
      -v hz="$TICKS_PER_S" -v ms=$((t_ms - last_ms)) 'BEGIN {
        cpu_ms = t * 1000 / hz
        printf "%.1f %.0f %s\n", f * 1000 / ms, cpu_ms * 100 / ms, (f > 0 ? sprintf("%.2f", cpu_ms / f) : "-")
      }')
  fi
  t_s=$(((t_ms - START_MS) / 1000))
  # shellcheck disable=SC2059
  printf "$ROW_FORMAT" "$t_s" "$uss" "$dirty" "$frames" "$fps" "$cpu" "$per_frame" "$load" "$cursor"
  echo "$t_s $uss $dirty $frames $fps $cpu $per_frame $load $cursor" >>"$WORK/samples.tsv"
  last_ms=$t_ms
  last_frames=$frames
  last_ticks=$ticks
}

# The run: each second a burst of cursor jitter, a wheel turn every third second, the held
# keys let go one by one spread over the run, and a sample every INTERVAL seconds.
end_ms=$((START_MS + DURATION * 1000))
next_sample=$(now_ms)
key_index=0
second=0
while :; do
  now=$(now_ms)
  running "$SAVER_PID" || die "the saver ended at $(((now - START_MS) / 1000)) s without being asked to"
  if [ "$now" -ge "$next_sample" ]; then
    sample "$now" || die "cannot read the saver's memory or CPU time"
    next_sample=$((next_sample + INTERVAL * 1000))
  fi
  [ "$now" -lt "$end_ms" ] || break
  # The first key goes up halfway through the warm-up, so that whatever the program sets
  # up on its first key event is in place before memory is judged; the others are spread
  # over the rest of the run.
  if [ "$key_index" -eq 0 ]; then
    release_at=$((WARMUP * 1000 / 2))
  else
    release_at=$((WARMUP * 1000 + (DURATION - WARMUP) * 1000 * key_index / ${#KEYS[@]}))
  fi
  if [ "$key_index" -lt "${#KEYS[@]}" ] && [ $((now - START_MS)) -ge "$release_at" ]; then
    xdo keyup "${KEYS[$key_index]}" || die "xdotool cannot let go of ${KEYS[$key_index]}"
    key_index=$((key_index + 1))
  fi
  if [ $((second % 3)) -eq 2 ]; then
    xdo click --repeat $((RANDOM % 3 + 1)) $((RANDOM % 2 + 4)) || die "xdotool cannot turn the wheel"
  fi
  moves=()
  for _ in 1 2 3 4; do
    # shellcheck disable=SC2207
    moves+=(mousemove $(jitter_point) sleep 0.2)
  done
  xdo "${moves[@]}" || die "xdotool cannot move the cursor"
  second=$((second + 1))
done
# Any key still held goes up before the end.
while [ "$key_index" -lt "${#KEYS[@]}" ]; do
  xdo keyup "${KEYS[$key_index]}"
  key_index=$((key_index + 1))
done
sleep 0.5
running "$SAVER_PID" || die "the saver ended after the last key release"

# The end: a key, and the saver must go with 0.
xdo key space || die "xdotool cannot press space"
deadline=$(($(now_ms) + 10000))
while running "$SAVER_PID"; do
  [ "$(now_ms)" -lt "$deadline" ] || die "the saver did not end within 10 s of a key press"
  sleep 0.05
done
wait "$SAVER_PID"
STATUS=$?
SAVER_PID=""
FINAL_FRAMES=$(frames_now)

say ""
say "load at end: $(uptime)"
STATS=$(grep '^orvel stats:' "$WORK/saver.err")
say "${STATS:-no statistics line}"
say "exit code: $STATUS; frames counted by the swap counter: $FINAL_FRAMES;" \
  "cursor travel seen at most: $max_travel px"

FAILED=0
check() { # ok-flag message
  if [ "$1" -eq 1 ]; then say "ok   $2"; else say "FAIL $2"; FAILED=1; fi
}

check "$([ "$STATUS" -eq 0 ] && echo 1 || echo 0)" "the saver ended with $STATUS after the final key"
errors=$(sed -nE 's/^.* ([0-9]+) X errors.*$/\1/p' <<<"$STATS")
check "$([ "${errors:-1}" -eq 0 ] && echo 1 || echo 0)" "X errors: ${errors:-no statistics line}"

# The samples after the warm-up, judged in one pass (see the top of this file). The
# minute after the warm-up is set against the last minute of the run.
verdicts=$(awk -v warmup="$WARMUP" -v limit="$MAX_GROWTH_KIB" -v band="$FPS_BAND" -v min_fps="$MIN_FPS" '
  function median(a, n,   i, j, x, b) {
    for (i = 1; i <= n; i++) b[i] = a[i]
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (b[j] < b[i]) { x = b[i]; b[i] = b[j]; b[j] = x }
    return n % 2 ? b[(n + 1) / 2] : (b[n / 2] + b[n / 2 + 1]) / 2
  }
  NR > 1 && $1 >= warmup && $5 != "-" {
    n++; t[n] = $1; uss[n] = $2; dirty[n] = $3; fps[n] = $5; per[n] = $7; load[n] = $8
  }
  END {
    if (n < 4) { print "0 too few samples after the " warmup " s warm-up to judge memory and frame rate"; exit }
    # Memory. The USS moves by the shared libraries code pages that this process alone has
    # touched (Mesa and LLVM count as private while no other process on the machine maps
    # them), so the dirty pages, which only the program itself makes, are what is held
    # to the limit: the median of the last minute against that of the minute after the
    # warm-up. Medians let a one-off step or a passing peak go; a steady leak moves them.
    for (i = 1; i <= n; i++) {
      if (t[i] < t[1] + 60) { na++; ua[na] = uss[i]; da[na] = dirty[i] }
      if (t[i] > t[n] - 60) { nb++; ub[nb] = uss[i]; db[nb] = dirty[i] }
      if (uss[i] > peak) peak = uss[i]
      if (dirty[i] > dpeak) dpeak = dirty[i]
    }
    mua = median(ua, na); mub = median(ub, nb); mda = median(da, na); mdb = median(db, nb)
    printf "%d USS from %d s to the end (%d s): %+d KiB, %d -> %d (medians of the first and last minute: %+d; highest %d); " \
      "dirty: %+d KiB, %d -> %d, medians %d -> %d: %+d KiB (highest %d; limit %d)\n",
      (mdb - mda <= limit), t[1], t[n], uss[n] - uss[1], uss[1], uss[n], mub - mua, peak,
      dirty[n] - dirty[1], dirty[1], dirty[n], mda, mdb, mdb - mda, dpeak, limit
    # Frame rate. No interval may stall or crawl; and the first third of the run after the
    # warm-up is set against the last third: the CPU time a frame costs must not rise by
    # more than the band, nor the frame rate fall by more, unless the machine load changed
    # by more than a quarter between them (then the rate is shown, not judged).
    slow = ""
    for (i = 1; i <= n; i++) if (fps[i] < min_fps) slow = slow sprintf(" %s fps at %d s (load %s);", fps[i], t[i], load[i])
    lo = hi = fps[1]
    for (i = 2; i <= n; i++) { if (fps[i] < lo) lo = fps[i]; if (fps[i] > hi) hi = fps[i] }
    printf "%d every interval at %d fps or more: lowest %s, median %.1f, highest %s%s\n",
      (slow == ""), min_fps, lo, median(fps, n), hi, slow
    third = int(n / 3)
    for (i = 1; i <= third; i++) { f1[i] = fps[i]; c1[i] = per[i]; l1 += load[i] }
    for (i = 1; i <= third; i++) { f3[i] = fps[n - third + i]; c3[i] = per[n - third + i]; l3 += load[n - third + i] }
    l1 /= third; l3 /= third
    mf1 = median(f1, third); mf3 = median(f3, third); mc1 = median(c1, third); mc3 = median(c3, third)
    printf "%d CPU time per frame, median of the first third %.2f ms, of the last third %.2f ms (%+.0f%%, band %d%%)\n",
      (mc3 <= mc1 * (100 + band) / 100), mc1, mc3, (mc3 / mc1 - 1) * 100, band
    load_steady = (l3 <= l1 * 1.25 && l1 <= l3 * 1.25)
    printf "%d frame rate, median of the first third %.1f fps at load %.2f, of the last third %.1f fps at load %.2f (%+.0f%%, band %d%%)%s\n",
      (!load_steady || mf3 >= mf1 * (100 - band) / 100), mf1, l1, mf3, l3, (mf3 / mf1 - 1) * 100, band,
      load_steady ? "" : "; not judged, the load changed by more than a quarter"
  }' "$WORK/samples.tsv")
while read -r ok message; do
  check "$ok" "$message"
done <<<"$verdicts"

if [ "$FAILED" -ne 0 ]; then
  say "SOAK FAILED"
  exit 1
fi
say "SOAK PASSED"
exit 0
