#!/usr/bin/env bash
# valgrind memcheck of Orvel on Mesa's softpipe driver: 30 frames of orvel-render, and the
# X11 saver (orvel /s) on an Xvfb of its own, ended with a key once it has drawn for a few
# seconds. Each run must end as it should (0), with no invalid read or write and nothing
# definitely or indirectly lost. tests/memcheck/driver.supp holds back what the GL driver,
# the dynamic loader and the X libraries report of themselves.
#
#   tests/memcheck/memcheck.sh [BUILD_DIR]     default build/linux (RelWithDebInfo, the linux preset)
#   tests/memcheck/memcheck.sh ORVEL_RENDER ORVEL HELPER
#
# Needs valgrind, Xvfb and xdotool, and orvel-render, orvel and orvel-x11-helper: those of
# BUILD_DIR or the three programs given. Prints the figures of each run, then PASS or FAIL
# (exit 0 or 1). The valgrind logs are kept in $MEMCHECK_LOGS when it is set, else shown
# in part on failure.
set -u

here=$(cd "$(dirname "$0")" && pwd)
supp=$here/driver.supp
if [ $# -eq 3 ]; then
  render=$1 saver=$2 helper=$3
elif [ $# -le 1 ]; then
  build=${1:-$here/../../build/linux}
  render=$build/orvel-render saver=$build/orvel helper=$build/orvel-x11-helper
else
  echo "usage: tests/memcheck/memcheck.sh [BUILD_DIR | ORVEL_RENDER ORVEL HELPER]" >&2
  exit 2
fi
for program in "$render" "$saver" "$helper"; do
  [ -x "$program" ] || { echo "memcheck: $program is missing; build the linux preset first" >&2; exit 2; }
done
. "$here/../e2e/servers/xvfb.sh"
xvfb_installed || exit 2
for tool in valgrind xdotool; do
  command -v "$tool" >/dev/null || { echo "memcheck: $tool is not installed" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/orvel-memcheck.XXXXXX")
logs=${MEMCHECK_LOGS:-$work}
mkdir -p "$logs"
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

export GALLIUM_DRIVER=softpipe LIBGL_ALWAYS_SOFTWARE=1
valgrind=(valgrind --tool=memcheck --error-exitcode=99 --leak-check=full
  --errors-for-leak-kinds=definite,indirect --show-leak-kinds=definite,indirect
  --suppressions="$supp" --num-callers=40 -s)

now_ms() { date +%s%3N; }
failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}

# The figures of a valgrind log: errors, suppressed errors, bytes definitely and
# indirectly lost, and the suppressed leak records.
figures() { # log
  local log=$1 errors suppressed definite indirect leaks
  errors=$(sed -nE 's/^==[0-9]+== ERROR SUMMARY: ([0-9,]+) errors.*$/\1/p' "$log" | tail -n 1 | tr -d ,)
  suppressed=$(sed -nE 's/^==[0-9]+== ERROR SUMMARY: .*\(suppressed: ([0-9,]+) from.*$/\1/p' "$log" | tail -n 1 | tr -d ,)
  definite=$(sed -nE 's/^==[0-9]+== +definitely lost: ([0-9,]+) bytes.*$/\1/p' "$log" | tail -n 1 | tr -d ,)
  indirect=$(sed -nE 's/^==[0-9]+== +indirectly lost: ([0-9,]+) bytes.*$/\1/p' "$log" | tail -n 1 | tr -d ,)
  leaks=$(sed -nE 's/^==[0-9]+== +suppressed: [0-9,]+ bytes in ([0-9,]+) blocks.*$/\1/p' "$log" | tail -n 1 | tr -d ,)
  ERRORS=${errors:-?}
  SUPPRESSED=${suppressed:-0}
  DEFINITE=${definite:-0}
  INDIRECT=${indirect:-0}
  SUPPRESSED_BLOCKS=${leaks:-0}
}

# What each suppression held back, from the list -s prints: "name: count".
used_suppressions() { # log
  sed -nE 's/^--[0-9]+-- +used_suppression: +([0-9]+) ([^ ]+) .*$/\2 \1/p' "$1" |
    awk '{ n[$1] += $2 } END { for (k in n) printf "    %s: %d\n", k, n[k] }' | sort
}

report() { # name log status seconds
  figures "$2"
  echo "$1: exit $3, $ERRORS errors (suppressed: $SUPPRESSED), $DEFINITE bytes definitely lost," \
    "$INDIRECT bytes indirectly lost, $SUPPRESSED_BLOCKS suppressed leak blocks, $4 s"
  used_suppressions "$2"
  if [ "$3" -ne 0 ] || [ "$ERRORS" != 0 ]; then
    if [ "$logs" = "$work" ]; then
      fail "$1 (set MEMCHECK_LOGS=DIR to keep the valgrind logs)"
      grep -E -A 30 '(Invalid|uninitialised|Mismatched|definitely lost in|indirectly lost in|Syscall param)' "$2" |
        head -n 120
    else
      fail "$1 (log: $2)"
    fi
  fi
}

seconds_since() { local ms=$(($(now_ms) - $1)); printf '%d.%d' $((ms / 1000)) $((ms % 1000 / 100)); }

# 1. orvel-render: 30 frames at 160 x 120 on a virtual clock.
echo "== orvel-render, 30 frames"
started=$(now_ms)
"${valgrind[@]}" --log-file="$logs/render.log" "$render" --size 160x120 --frames 30 --out "$work/frames" \
  >"$work/render.out" 2>&1
status=$?
report orvel-render "$logs/render.log" "$status" "$(seconds_since "$started")"
frames=$(find "$work/frames" -name 'frame-*.png' 2>/dev/null | wc -l)
[ "$frames" -eq 30 ] || fail "orvel-render wrote $frames frames, not 30: $(tail -n 5 "$work/render.out")"

# 2. orvel /s on an Xvfb of its own.
echo "== orvel /s under Xvfb"
xvfb_start "$work" 200x150 || { echo "FAIL: no X server"; exit 1; }
pids+=("$XVFB_PID")
export ORVEL_STATS=1 XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME"
xdotool mousemove 10 10
started=$(now_ms)
"${valgrind[@]}" --log-file="$logs/saver.log" "$saver" /s 2>"$work/saver.err" &
saver_pid=$!
pids+=("$saver_pid")
lit_percent() {
  local counts
  counts=$("$helper" lit "$1") || return 1
  set -- $counts
  echo $(($1 * 100 / $2))
}
if window=$("$helper" wait-window WindowsScreenSaverClass "Screen Saver" 180000) &&
  "$helper" wait-grabbed 60000; then
  # Until the scene shows, then a few seconds of frames.
  deadline=$(($(now_ms) + 120000))
  until [ "$(lit_percent "$window" || echo 0)" -ge 10 ]; do
    [ "$(now_ms)" -lt "$deadline" ] || { fail "the saver drew nothing within 120 s"; break; }
    sleep 0.2
  done
  sleep 3
  xdotool key space
else
  fail "no full-screen saver within 180 s"
  kill -TERM "$saver_pid" 2>/dev/null
fi
deadline=$(($(now_ms) + 300000))
while kill -0 "$saver_pid" 2>/dev/null && [ "$(now_ms)" -lt "$deadline" ]; do sleep 0.2; done
if kill -0 "$saver_pid" 2>/dev/null; then
  fail "the saver did not end within 300 s of the key"
  kill -9 "$saver_pid"
fi
wait "$saver_pid"
status=$?
pids=("$XVFB_PID")
report "orvel /s" "$logs/saver.log" "$status" "$(seconds_since "$started")"
grep '^orvel stats:' "$work/saver.err" | sed 's/^/    /'

if [ "$failed" -eq 0 ]; then
  echo "PASS"
else
  echo "FAIL"
fi
exit "$failed"
