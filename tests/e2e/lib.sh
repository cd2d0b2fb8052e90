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

# The configure dialog, template 2003: 150 by 67 dialog units.
DIALOG_UNITS_ACROSS=150
DIALOG_UNITS_DOWN=67

# Waits up to $1 ms until the window $2 has the keyboard focus (the dialogs take it once
# they show, painted).
wait_focus() { # ms window
  local deadline=$(($(now_ms) + $1))
  until [ "$(xdotool getwindowfocus 2>/dev/null)" = "$2" ]; do
    [ "$(now_ms)" -lt "$deadline" ] || return 1
    sleep 0.02
  done
}

# The saver's configure dialog, once it shows with the focus: DIALOG_WINDOW is its id,
# DIALOG_X, DIALOG_Y, DIALOG_WIDTH and DIALOG_HEIGHT its place and size on the screen.
wait_dialog() {
  DIALOG_WINDOW=$("$HELPER" wait-window Orvel "Orvel v0.92" 15000) || fail "no configure dialog within 15 s"
  wait_focus 10000 "$DIALOG_WINDOW" || fail "the dialog did not take the focus within 10 s"
  local info
  info=$(xwininfo -id "$DIALOG_WINDOW") || fail "xwininfo cannot read the dialog"
  DIALOG_X=$(sed -nE 's/^ *Absolute upper-left X: *(-?[0-9]+)$/\1/p' <<<"$info")
  DIALOG_Y=$(sed -nE 's/^ *Absolute upper-left Y: *(-?[0-9]+)$/\1/p' <<<"$info")
  DIALOG_WIDTH=$(sed -nE 's/^ *Width: *([0-9]+)$/\1/p' <<<"$info")
  DIALOG_HEIGHT=$(sed -nE 's/^ *Height: *([0-9]+)$/\1/p' <<<"$info")
}

# Moves the pointer to a point of the dialog given in dialog units and clicks button 1.
click_units() { # x y
  xdotool mousemove $((DIALOG_X + $1 * DIALOG_WIDTH / DIALOG_UNITS_ACROSS)) \
    $((DIALOG_Y + $2 * DIALOG_HEIGHT / DIALOG_UNITS_DOWN)) click 1
}

# The centres of the dialog's controls, in dialog units.
OK_BUTTON="118 22"
CANCEL_BUTTON="118 40"
CHECK_BOX_TEXT="56 53"

dialog_pixels() { "$HELPER" checksum "$DIALOG_WINDOW" || fail "cannot read the dialog's pixels"; }

# Waits up to 5 s until the dialog's picture differs from $1, and prints the new one.
wait_pixels_change() { # old
  local deadline=$(($(now_ms) + 5000)) now
  while now=$(dialog_pixels) && [ "$now" = "$1" ]; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "the dialog did not change within 5 s ($2)"
    sleep 0.02
  done
  echo "$now"
}

# Waits up to 5 s until the dialog's picture is $1.
wait_pixels_are() { # expected what
  local deadline=$(($(now_ms) + 5000))
  until [ "$(dialog_pixels)" = "$1" ]; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "the dialog does not look as it did: $2"
    sleep 0.02
  done
}

# The settings file, and a copy of it to compare with.
SETTINGS="$XDG_CONFIG_HOME/Orvelconfig.ini"
keep_settings() { cp "$SETTINGS" "$WORK/kept.ini"; }
expect_settings_kept() { cmp -s "$WORK/kept.ini" "$SETTINGS" || fail "the settings file changed: $1"; }
expect_settings() { # expected-text what
  printf '%b' "$1" >"$WORK/expected.ini"
  cmp -s "$WORK/expected.ini" "$SETTINGS" ||
    fail "$2: the settings file is $(od -c "$SETTINGS" | head -n 20), not $(od -c "$WORK/expected.ini")"
}
