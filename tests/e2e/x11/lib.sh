# The harness of the X11 end-to-end cases, sourced by cases.sh: a private Xvfb for each
# case, the saver started from the real program, the words the case table is written in,
# and play, which runs a case's rows. Every wait has a deadline, and everything a case
# started is killed when it ends, however it ends.
#
# Set before sourcing: CASE, ORVEL (the program) and HELPER (orvel-x11-helper).
# shellcheck disable=SC2034,SC2120 # the table's text, run through eval, uses what is set here

set -u
set -f # an argument such as /? is not a pattern
. "$(dirname "${BASH_SOURCE[0]}")/../servers/xvfb.sh"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/orvel-e2e.XXXXXX")
STARTED_PIDS=()
STOPPED_PIDS=() # started too, but ended with TERM, so that they end what they started in turn
SAVER_PID=""
SCREEN_WIDTH=480
SCREEN_HEIGHT=360
AS=() # what the saver runs under, e.g. setpriv
ROW=""
declare -A LOOK # the dialog's pictures, by name

# The saver reads its settings from here and writes its statistics line on exit.
export XDG_CONFIG_HOME="$WORK/config"
export ORVEL_STATS=1
mkdir -p "$XDG_CONFIG_HOME"
SETTINGS="$XDG_CONFIG_HOME/Orvelconfig.ini"

cleanup() {
  local pid
  for pid in "${STOPPED_PIDS[@]}"; do stop_process "$pid"; done
  for pid in "${STARTED_PIDS[@]}"; do kill -9 "$pid" 2>/dev/null; done
  for pid in "${STARTED_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$WORK"
}
trap cleanup EXIT

track() { STARTED_PIDS+=("$1"); }
now_ms() { date +%s%3N; }
step() { echo "- $*"; }

fail() {
  echo "FAIL: $*" >&2
  [ ! -s "$WORK/saver.err" ] || { echo "--- the saver's standard error:" && cat "$WORK/saver.err"; } >&2
  exit 1
}

# True while the process runs; a process that ended but was not waited for yet does not.
running() {
  local state
  state=$(sed -E 's/^.*\) ([A-Za-z]).*$/\1/' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}
gone() { ! running "$1"; }

# Runs the command every 20 ms until it succeeds; false when it has not within MS.
within() { # ms command...
  local deadline=$(($(now_ms) + $1))
  shift
  until "$@"; do
    [ "$(now_ms)" -lt "$deadline" ] || return 1
    sleep 0.02
  done
}

# The case's X server: a 480 x 360 screen unless a size comes first; other words go to
# Xvfb. "none" starts none.
serve() { # [WIDTHxHEIGHT] [option...] | none
  [ "${1-}" != none ] || return 0
  if [[ ${1-} =~ ^([0-9]+)x([0-9]+)$ ]]; then
    SCREEN_WIDTH=${BASH_REMATCH[1]} SCREEN_HEIGHT=${BASH_REMATCH[2]}
    shift
  fi
  xvfb_start "$WORK" "${SCREEN_WIDTH}x$SCREEN_HEIGHT" "$@" || fail "no X server"
  track "$XVFB_PID"
}

# Starts the saver with the arguments, leading NAME=VALUE words going into its
# environment; its standard error goes to $WORK/saver.err.
orvel() {
  local env=()
  while [[ ${1-} =~ ^[A-Z_]+= ]]; do env+=("$1") && shift; done
  : >"$WORK/saver.err"
  env "${env[@]}" "${AS[@]}" "$ORVEL" "$@" 2>"$WORK/saver.err" 6>&- 7>&- 8>&- &
  SAVER_PID=$!
  track "$SAVER_PID"
}

# Waits up to MS (5000) for the saver to end with CODE.
expect_exit() { # code [ms]
  local ms=${2:-5000} status
  within "$ms" gone "$SAVER_PID" || fail "the saver did not end within $ms ms"
  wait "$SAVER_PID"
  status=$?
  [ "$status" -eq "$1" ] || fail "the saver ended with $status, expected $1"
}

root_window() { xwininfo -root | sed -nE 's/^xwininfo: Window id: (0x[0-9a-f]+).*$/\1/p'; }

# SCREEN: a hash of the whole screen's pixels; drawn_or_gone takes a new one that
# differs, or sees that the saver ended.
drawn_or_gone() {
  local now
  gone "$SAVER_PID" || { now=$("$HELPER" checksum "$(root_window)") && [ "$now" != "$SCREEN" ] && SCREEN=$now; }
}

# Checks that the saver took in what was just sent and runs on. It reads its input
# between two frames, so the second change of the screen from now on shows a frame begun
# after it read what was sent; a saver that ended on that input draws no such frame.
alive() {
  SCREEN=$("$HELPER" checksum "$(root_window)") || fail "cannot read the screen"
  within 10000 drawn_or_gone && within 10000 drawn_or_gone || fail "the saver drew nothing for 10 s after ${1:-$ROW}"
  running "$SAVER_PID" || fail "the saver ended after ${1:-$ROW}"
}

# The top-level window of that class and name, once it shows: WINDOW.
top() { # class title
  WINDOW=$("$HELPER" wait-window "$1" "$2" 15000) || fail "no viewable window of class $1 named \"$2\" within 15 s"
}

# The full-screen saver, once its window holds the keyboard and the pointer: WINDOW.
full() {
  top WindowsScreenSaverClass "Screen Saver"
  "$HELPER" wait-grabbed 10000 || fail "the saver did not grab the keyboard and pointer within 10 s"
}

# The saver's child named Preview in the window, once it shows: CHILD.
child() { # parent
  CHILD=$("$HELPER" wait-child "$1" Preview 15000) || fail "no viewable child named Preview in window $1 within 15 s"
}

# orvel-x11-helper COMMAND in the background beside the saver: SIDE. Its standard input
# is a pipe held open on FD (a line, or closing it, tells it to go on); FIRST is the first
# line of its output, $WORK/NAME.out, which it has 10 s to write.
side() { # name fd command...
  local name=$1 fd=$2
  shift 2
  mkfifo "$WORK/$name.in"
  eval "exec $fd<>\"\$WORK/\$name.in\""
  "$HELPER" "$@" <"$WORK/$name.in" >"$WORK/$name.out" 6>&- 7>&- 8>&- &
  SIDE=$!
  track "$SIDE"
  within 10000 test -s "$WORK/$name.out" || fail "orvel-x11-helper $1 did not start"
  read -r FIRST <"$WORK/$name.out"
}

# A host window of that size at (40, 40), standing in for the display settings or
# xscreensaver: HOST_WINDOW. It lives until it is destroyed or the case ends.
host() { side host 6 host "$1" "$2"; HOST_WINDOW=$FIRST; } # width height

hex() { printf '0x%x' "$1"; }
at() { xdotool mousemove "$1" "$2"; }
key() { xdotool key "$@"; }
click() { local b; for b; do xdotool click "$b"; done; }
h() { "$HELPER" "$@" || fail "orvel-x11-helper $* failed"; }
signal() { kill "-$1" "$SAVER_PID"; }
err() { grep -q -- "$1" "$WORK/saver.err" || fail "standard error does not say '$1'"; }
until_err() { within 10000 grep -q -- "$1" "$WORK/saver.err" || fail "standard error did not say '$1' within 10 s"; }
cursor_is() { [ "$("$HELPER" cursor)" = "$1" ] || fail "the cursor is not $1"; }
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# The window's xwininfo or property shows that pattern.
xinfo() { # window pattern
  xwininfo -id "$1" | grep -q -- "$2" || fail "window $1 does not show '$2': $(xwininfo -id "$1")"
}
prop() { # window property pattern (any case)
  local got
  got=$(xprop -id "$1" "$2")
  grep -qi -- "$3" <<<"$got" || fail "window $1: '$got' does not match '$3'"
}

# Waits up to 5 s for the window to be that size.
sized() { xwininfo -id "$1" | grep -q "Width: $2\$" && xwininfo -id "$1" | grep -q "Height: $3\$"; }
size_is() { within 5000 sized "$@" || fail "window $1 is not $2x$3: $(xwininfo -id "$1" | grep -E 'Width|Height')"; }

# Covers the screen, is shown, and the window manager leaves it alone.
on_screen() { # window
  size_is "$1" "$SCREEN_WIDTH" "$SCREEN_HEIGHT"
  xinfo "$1" "Override Redirect State: yes"
  xinfo "$1" "Map State: IsViewable"
}

# LIT: the percent of the window's pixels, as the screen shows them, that are not black,
# or of AREA pixels (its size at some other time); LIT_PIXELS and LIT_TOTAL the counts.
lit_share() { # window [area]
  LIT=0
  read -r LIT_PIXELS LIT_TOTAL < <("$HELPER" lit "$1") && [ -n "$LIT_TOTAL" ] || return 1
  LIT=$((LIT_PIXELS * 100 / ${2:-$LIT_TOTAL}))
}
lit_over() { lit_share "$1" "${3-}" && [ "$LIT" -ge "$2" ]; }
# Waits up to 5 s for PERCENT of the window (or of AREA) to be lit.
lit() { within 5000 lit_over "$@" || fail "only $LIT% of window $1 is lit"; } # window percent [area]

# A figure of the statistics line, set against a value with test's operator:
#   orvel stats: N frames, shortest period N ms, mean period N.NN ms, mean frame time
#   N.NN ms, first frame N ms after start, N X errors, detail normal|low
declare -A STAT=([frames]='^orvel stats: ([0-9]+) frames' [shortest]='shortest period ([0-9]+) ms'
  [detail]='detail ([a-z]+)')
stats() { # frames|shortest|detail operator value
  local line value=""
  line=$(grep '^orvel stats:' "$WORK/saver.err")
  [[ $line =~ ${STAT[$1]} ]] && value=${BASH_REMATCH[1]}
  [ -n "$value" ] && test "$value" "$2" "$3" || fail "$1 is '$value', not $2 $3: ${line:-no statistics line}"
}

# The settings file: written (as printf writes the format and arguments), kept, and
# compared with the kept copy or with a text.
ini() { printf -- "$@" >"$SETTINGS"; }
keep() { cp "$SETTINGS" "$WORK/kept.ini"; }
kept() { cmp -s "$WORK/kept.ini" "$SETTINGS" || fail "the settings file changed: $ROW"; }
ini_is() { # format [argument...]
  printf -- "$@" >"$WORK/expected.ini"
  cmp -s "$WORK/expected.ini" "$SETTINGS" ||
    fail "$ROW: the settings file is $(od -c "$SETTINGS" | head -n 20), not $(od -c "$WORK/expected.ini")"
}

# The configure dialog, a dialog window, once it shows with the focus: WINDOW, and DX,
# DY, DW and DH, its place and size on the screen.
dialog() {
  top Orvel "Orvel v0.92"
  within 10000 has_focus "$WINDOW" || fail "the dialog did not take the focus within 10 s"
  prop "$WINDOW" _NET_WM_WINDOW_TYPE _NET_WM_WINDOW_TYPE_DIALOG
  read -r DX DY DW DH < <(xwininfo -id "$WINDOW" | awk '/Absolute upper-left X:/ { x = $NF }
    /Absolute upper-left Y:/ { y = $NF } /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }')
  [ -n "$DH" ] || fail "xwininfo cannot read the dialog"
}

# A click on a control of the dialog, template 2003 of 150 by 67 dialog units, at its
# centre (for the check box, its text).
declare -A CONTROL=([OK]="118 22" [CANCEL]="118 40" [BOX]="56 53")
press() { # OK|CANCEL|BOX
  local centre
  read -ra centre <<<"${CONTROL[$1]}"
  xdotool mousemove $((DX + centre[0] * DW / 150)) $((DY + centre[1] * DH / 67)) click 1
}

# The dialog's picture (a hash of its pixels as the screen shows them), kept by name to
# tell focus and check marks apart.
pixels() { PIXELS=$("$HELPER" checksum "$WINDOW"); }
look() { pixels || fail "cannot read the dialog's pixels"; LOOK[$1]=$PIXELS; }
looks_as() { pixels && [ "$PIXELS" = "${LOOK[$1]}" ]; }
looks_unlike() { pixels && [ "$PIXELS" != "${LOOK[$1]}" ]; }
# looks NAME waits up to 5 s for the picture kept as NAME; turns NEW OLD for one unlike
# OLD, which it keeps as NEW.
looks() { within 5000 looks_as "$1" || fail "the dialog does not look as at '$1' after $ROW"; }
turns() {
  within 5000 looks_unlike "$2" || fail "the dialog did not change from '$2' after $ROW"
  LOOK[$1]=$PIXELS
}
differs() { [ "${LOOK[$1]}" != "${LOOK[$2]}" ] || fail "the dialog looks the same at '$1' as at '$2'"; }

# Runs one column of a row as a function, so that a slip in its text fails at once.
run_part() {
  eval "row_part() { :
$1
}" || fail "the table's text does not parse: $1"
  row_part
}

# Plays the rows of CASE from the table, lines of columns between "|":
#   case | before | arguments | ready | input | expect | after
# A row with no case goes on with the case above; a line ending in \ goes on on the
# next. before, ready, input and after are commands, run in that order around the saver,
# which starts with the arguments, goes on running with "~", or is not started when they
# are empty. expect is the exit code (N or N@MS, MS the deadline, 5000 unless given),
# "runs" for drawing on after the input (alive), or "-" (or empty) for no check.
play() { # table line...
  local line name="" last="" before args ready input expect after rows=0
  while [ $# -gt 0 ]; do
    line=$1
    shift
    while [[ $line == *\\ ]] && [ $# -gt 0 ]; do
      line="${line%\\} $1"
      shift
    done
    [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
    IFS="|" read -r name before args ready input expect after <<<"$line"
    read -r name <<<"$name"
    name=${name:-$last}
    last=$name
    [ "$name" = "$CASE" ] || continue
    read -r args <<<"$args"
    read -r expect <<<"$expect"
    read -r input <<<"$input"
    [ $rows -gt 0 ] || serve ${SERVER[$CASE]-}
    rows=$((rows + 1))
    ROW=${input:-$args}
    step "${args:-(no saver)}${input:+: $input}"
    run_part "$before"
    case $args in
      "~" | "") ;;
      *) run_part "orvel $args" ;;
    esac
    run_part "$ready"
    run_part "$input"
    case $expect in
      runs) alive ;;
      - | "") ;;
      *@*) expect_exit "${expect%@*}" "${expect#*@}" ;;
      *) expect_exit "$expect" ;;
    esac
    run_part "$after"
  done
  [ $rows -gt 0 ] || { echo "no case $CASE" >&2; exit 2; }
}
