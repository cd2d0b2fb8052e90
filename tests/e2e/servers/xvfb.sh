# Xvfb, started one way for the tests and the tools: one 24-bit screen, on a free display
# number that the server picks and reports through -displayfd, no TCP, and no reset when
# the last client leaves (a reset would drop the pointer and keyboard state between the
# clients of one test). Extra Xvfb options follow the size, e.g. -r for no key
# auto-repeat (held keys must not press again) or -extension GLX to go without GLX.
#
# Sourced by a bash script:
#   xvfb_installed                           true when Xvfb is there, else says how to
#       install it on standard error
#   xvfb_start DIR WIDTHxHEIGHT [OPTION...]  starts it in the background with its output
#       in DIR/xvfb.log, sets XVFB_PID and exports DISPLAY; else says why on standard
#       error and returns 1. It holds none of the script's pipes, so it may outlive the
#       script (to be ended later with kill XVFB_PID)
#   xvfb_stop                                ends it (SIGTERM, then SIGKILL) and waits
# Run as a program, it becomes that Xvfb, reporting on the descriptor FD it inherited
# (how orvel-bench starts its own):
#   bash tests/e2e/servers/xvfb.sh FD WIDTHxHEIGHT [OPTION...]

xvfb_installed() {
  command -v Xvfb >/dev/null && return 0
  echo "Xvfb is not installed (Debian: apt-get install xvfb)" >&2
  return 1
}

# Fills XVFB_COMMAND, or says what is wrong.
xvfb_command() { # fd size option...
  xvfb_installed || return 1
  [[ $2 =~ ^[0-9]+x[0-9]+$ ]] || { echo "xvfb: a screen size is WIDTHxHEIGHT, not '$2'" >&2; return 1; }
  XVFB_COMMAND=(Xvfb -displayfd "$1" -nolisten tcp -noreset -screen 0 "$2x24" "${@:3}")
}

xvfb_start() { # dir size option...
  local dir=$1 fifo=$1/xvfb.displayfd number="" part fd waited
  shift
  xvfb_command 3 "$@" || return 1
  rm -f "$fifo"
  mkfifo "$fifo" || return 1
  # Opened for reading and writing, so that neither side waits for the other to open it.
  exec {fd}<>"$fifo"
  "${XVFB_COMMAND[@]}" 3>"$fifo" {fd}>&- </dev/null >"$dir/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for ((waited = 0; waited < 150; waited++)); do
    # A read that times out keeps what came of the line so far.
    if read -r -t 0.1 -u "$fd" part; then
      number+=$part
      break
    fi
    number+=$part
    kill -0 "$XVFB_PID" 2>/dev/null || break
  done
  exec {fd}<&-
  rm -f "$fifo"
  if [ -z "$number" ]; then
    echo "Xvfb did not start within 15 s: $(tail -n 5 "$dir/xvfb.log")" >&2
    xvfb_stop
    return 1
  fi
  export DISPLAY=":$number"
}

# stop_process PID: TERM, a second's grace, then KILL, and the process waited for.
stop_process() {
  local pid=$1 _
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || true
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

xvfb_stop() {
  stop_process "${XVFB_PID:-}"
  XVFB_PID=""
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  [ $# -ge 2 ] || { echo "usage: bash xvfb.sh FD WIDTHxHEIGHT [OPTION...]" >&2; exit 2; }
  xvfb_command "$@" || exit 127
  exec "${XVFB_COMMAND[@]}"
fi
