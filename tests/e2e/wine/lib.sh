# What the Wine suite's steps share (cases.sh sources it): the X server, the limits,
# running a command of the suite's Wine, and ending what a setup started.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root_tool=$(cd "$here/../../../tools" && pwd)/i386-root.sh  # the 32-bit Wine root
# shellcheck source=tests/e2e/servers/xvfb.sh
. "$here/../servers/xvfb.sh"

SUITE_LIMIT=900
CASE_LIMIT=120
# Under qemu-i386 the x86 suite takes about twenty times as long (docs/BENCHMARKS.md):
# the watchdog then waits as long as the cases' own limits add up to. And these cases
# cannot pass there: llvmpipe's shader compiler runs emulated too, so that the first
# frames take 8 to 20 s each, past the waits for the scene to move and for the first
# password check to be over.
TOO_SLOW_EMULATED=" fullscreen password-verify "
[ "${ORVEL_WINE_32BIT:-0}" = 1 ] && "$root_tool" emulated && SUITE_LIMIT=3600

die() { echo "wine suite: $*" >&2; exit 1; }

# Z:\ and the path with backslashes: how Wine names a file of the host.
windows_path() { local p; p=$(realpath "$1"); echo "Z:${p//\//\\}"; }

need() { # file what-builds-it
  [ -f "$1" ] || die "$1 is missing: build the $2 preset first (./test.sh builds every preset)"
}

x86=${ORVEL_WINE_32BIT:-0}
# Runs a command of the suite's Wine: here, or for the x86 suite inside the 32-bit root,
# with the folders that setup listed in STATE_DIR/folders at their own paths. The
# wineserver opens files by their Linux names for its clients, so it must see every
# folder that they see: each step shows it the same ones.
in_wine() { # state command...
  local state=$1 folders=()
  shift
  if [ "$x86" = 1 ]; then
    mapfile -t folders <"$state/folders"
    "$root_tool" run "${folders[@]}" -- "$@"
  else
    "$@"
  fi
}

# Ends with 77 (skipped) when the x86 suite cannot run here, saying why.
need_32bit_wine() {
  local reason
  [ "$x86" = 1 ] || return 0
  if ! reason=$("$root_tool" status); then
    echo "SKIP: $reason, so 32-bit Wine cannot run the 32-bit Orvel.scr here"
    exit 77
  fi
}

# Ends what a state directory's setup started, as far as it is still there.
stop_suite() {
  local state=$1 what
  if [ -f "$state/env" ]; then
    # shellcheck disable=SC1091
    (. "$state/env" && in_wine "$state" timeout 30 wineserver -k) >/dev/null 2>&1 || true
  fi
  if [ -f "$state/xvfb.pid" ]; then
    XVFB_PID=$(cat "$state/xvfb.pid")
    rm -f "$state/xvfb.pid"
    xvfb_stop || true
  fi
  # The watchdog and the program that keeps the prefix busy each lead a process group
  # of their own: their sleeps go with them.
  for what in watchdog holder; do
    [ -f "$state/$what.pid" ] || continue
    kill -- "-$(cat "$state/$what.pid")" 2>/dev/null || true
    rm -f "$state/$what.pid"
  done
}
