# The end-to-end harness, sourced by cases.sh: a private Xvfb for each test, the saver
# started from the real program, and waits with deadlines. Everything the test started is
# killed when it ends, however it ends.
#
# Set before sourcing: ORVEL (the program) and HELPER (orvel-x11-helper).

set -u

WORK=$(mktemp -d "${TMPDIR:-/tmp}/orvel-e2e.XXXXXX")
STARTED_PIDS=()
SAVER_PID=""
SAVER_STATUS=""
SCREEN_WIDTH=480
SCREEN_HEIGHT=360

# The saver reads its settings from here and writes its statistics line on exit.
export XDG_CONFIG_HOME="$WORK/config"
export ORVEL_STATS=1
mkdir -p "$XDG_CONFIG_HOME"

cleanup() {
  local pid
  for pid in "${STARTED_PIDS[@]}"; do
    kill -9 "$pid" 2>/dev/null
  done
  for pid in "${STARTED_PIDS[@]}"; do
    wait "$pid" 2>/dev/null
  done
  rm -rf "$WORK"
}
trap cleanup EXIT

track() { STARTED_PIDS+=("$1"); }

now_ms() { date +%s%3N; }

fail() {
  echo "FAIL: $*" >&2
  if [ -s "$WORK/saver.err" ]; then
    echo "--- the saver's standard error:" >&2
    cat "$WORK/saver.err" >&2
  fi
  exit 1
}

step() { echo "- $*"; }

# True while the process runs; a process that ended but was not waited for yet does not.
running() {
  local pid=$1 state
  [ -r "/proc/$pid/stat" ] || return 1
  state=$(sed -E 's/^.*\) ([A-Za-z]).*$/\1/' "/proc/$pid/stat" 2>/dev/null) || return 1
  [ "$state" != Z ] && [ "$state" != X ]
}

# Starts an Xvfb of its own on a free display number (Xvfb picks it and tells it through
# -displayfd) and points DISPLAY at it. Extra arguments go to Xvfb. -noreset keeps the
# pointer and keyboard state when the last client leaves.
start_xvfb() {
  local fifo="$WORK/displayfd" number=""
  mkfifo "$fifo"
  exec 4<>"$fifo"
  Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 "${SCREEN_WIDTH}x${SCREEN_HEIGHT}x24" "$@" \
    3>"$fifo" 4>&- 2>"$WORK/xvfb.log" &
  XVFB_PID=$!
  track "$XVFB_PID"
  read -r -t 15 -u 4 number || fail "Xvfb did not start within 15 s: $(cat "$WORK/xvfb.log")"
  exec 4<&-
  export DISPLAY=":$number"
}

# Starts the saver with the arguments; its standard error goes to $WORK/saver.err.
start_saver() {
  : >"$WORK/saver.err"
  "$ORVEL" "$@" 2>"$WORK/saver.err" 5>&- 6>&- 7>&- &
  SAVER_PID=$!
  track "$SAVER_PID"
}

# Waits up to $1 ms for the saver to end, then sets SAVER_STATUS to its exit code.
wait_saver_exit() {
  local deadline=$(($(now_ms) + $1))
  while running "$SAVER_PID"; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "the saver did not end within $1 ms"
    sleep 0.02
  done
  wait "$SAVER_PID"
  SAVER_STATUS=$?
}

expect_saver_exit() { # ms expected-code
  wait_saver_exit "$1"
  [ "$SAVER_STATUS" -eq "$2" ] || fail "the saver ended with $SAVER_STATUS, expected $2"
}

# Lets the saver take in what was just sent, then checks it still runs.
expect_running() {
  sleep 0.5
  running "$SAVER_PID" || fail "the saver ended after $1"
}

# The full-screen window's id, once it exists and holds the keyboard and pointer.
wait_full_screen() {
  SAVER_WINDOW=$("$HELPER" wait-window WindowsScreenSaverClass "Screen Saver" 15000) ||
    fail "no full-screen saver window within 15 s"
  "$HELPER" wait-grabbed 10000 || fail "the saver did not grab the keyboard and pointer within 10 s"
}

# A host window of the given size standing in for the display settings; HOST_WINDOW is
# its id. It lives until it is destroyed or the test ends.
start_host() {
  local out="$WORK/host.out" in="$WORK/host.in"
  mkfifo "$out" "$in"
  exec 5<>"$out" 6<>"$in"
  "$HELPER" host "$1" "$2" <"$in" >"$out" 5>&- 6>&- &
  track "$!"
  read -r -t 10 -u 5 HOST_WINDOW || fail "the host window did not appear"
  exec 5<&-
}

# Figures from the statistics line:
#   orvel stats: N frames, shortest period N ms, mean period N.NN ms, first frame N ms
#   after start, N X errors, detail normal|low
stats_line() { grep '^orvel stats:' "$WORK/saver.err"; }
stats_frames() { stats_line | sed -nE 's/^orvel stats: ([0-9]+) frames.*$/\1/p'; }
stats_shortest_ms() { stats_line | sed -nE 's/^.*shortest period ([0-9]+) ms.*$/\1/p'; }
stats_detail() { stats_line | sed -nE 's/^.*detail ([a-z]+).*$/\1/p'; }

# How much of the window, in percent, the screen shows in any colour but black.
lit_fraction_percent() { # window
  local counts
  counts=$("$HELPER" lit "$1") || fail "cannot read the pixels of window $1"
  set -- $counts
  echo $(($1 * 100 / $2))
}
