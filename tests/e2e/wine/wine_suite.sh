#!/usr/bin/env bash
# The Wine suite's steps, each run by ctest as a test of its own. They share one X server
# (Xvfb), one fresh Wine prefix and one wineserver kept alive from setup to cleanup:
#
#   wine_suite.sh setup STATE_DIR ORVEL_SCR      X server, fresh prefix, wineserver
#   wine_suite.sh run STATE_DIR CASE DRIVER ORVEL_SCR
#                                                one case of orvel-wine-driver.exe; with
#                                                ORVEL_WINE_DLLOVERRIDES set, its entries
#                                                join WINEDLLOVERRIDES for that case only
#   wine_suite.sh cleanup STATE_DIR              wineserver -k, X server ends, prefix goes
#
# With ORVEL_WINE_32BIT=1 a case runs the 32-bit build (wine.x86.<case>); it ends with 77,
# skipped, after one line saying why, where this machine cannot run 32-bit programs or
# has no 32-bit Wine.
#
# Every wait has a deadline. A watchdog started by setup ends the X server and the
# wineserver after SUITE_LIMIT seconds should cleanup never run.
set -euo pipefail

SUITE_LIMIT=900
CASE_LIMIT=120

say() { echo "wine_suite: $*"; }
die() { echo "wine_suite: $*" >&2; exit 1; }

# Z:\ and the path with backslashes: how Wine names a file of the host.
windows_path() { local p; p=$(realpath "$1"); echo "Z:${p//\//\\}"; }

need_scr() {
  local preset=windows
  [ "${ORVEL_WINE_32BIT:-0}" = 1 ] && preset=windows-x86
  [ -f "$1" ] || die "$1 is missing: build the $preset preset first (cmake --preset $preset && cmake --build --preset $preset; ./test.sh does both)"
}

need_tools() {
  local t
  for t in wine wineserver Xvfb; do
    command -v "$t" >/dev/null || die "$t is not installed (Debian: apt-get install wine wine64 xvfb)"
  done
}

# Ends what a state directory's setup started, as far as it is still there.
stop_suite() {
  local state=$1
  if [ -f "$state/env" ]; then
    # shellcheck disable=SC1091
    (. "$state/env" && timeout 30 wineserver -k) >/dev/null 2>&1 || true
  fi
  local pid
  if [ -f "$state/xvfb.pid" ]; then
    pid=$(cat "$state/xvfb.pid")
    rm -f "$state/xvfb.pid"
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  fi
  # The watchdog leads a process group of its own: its sleep goes with it.
  if [ -f "$state/watchdog.pid" ]; then
    pid=$(cat "$state/watchdog.pid")
    rm -f "$state/watchdog.pid"
    kill -- "-$pid" 2>/dev/null || true
  fi
}

setup() {
  local state=$1 scr=$2
  need_scr "$scr"
  need_tools
  stop_suite "$state"
  rm -rf "$state"
  mkdir -p "$state/prefix"

  # The X server picks a free display and writes its number once it accepts clients.
  : >"$state/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$state/display" \
    </dev/null >"$state/xvfb.log" 2>&1 &
  echo $! >"$state/xvfb.pid"
  local waited=0
  until [ -s "$state/display" ]; do
    kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null || die "Xvfb did not start: $(cat "$state/xvfb.log")"
    [ $waited -lt 100 ] || die "Xvfb gave no display number within 10 s"
    sleep 0.1; waited=$((waited + 1))
  done
  local display
  display=:$(tr -d '[:space:]' <"$state/display")

  cat >"$state/env" <<ENV
export DISPLAY=$display
export WINEPREFIX=$state/prefix
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
ENV
  # shellcheck disable=SC1091
  . "$state/env"

  # In a session of its own, so that it outlives an interrupted ctest. It acts only while
  # the X server's pid file says the suite still runs.
  setsid bash -c "sleep $SUITE_LIMIT
    if [ -f '$state/xvfb.pid' ]; then
      . '$state/env'; wineserver -k; kill \$(cat '$state/xvfb.pid')
    fi" </dev/null >/dev/null 2>&1 &
  echo $! >"$state/watchdog.pid"

  local start=$SECONDS
  wineserver -p </dev/null >"$state/wineserver.log" 2>&1
  timeout 240 wine wineboot --init </dev/null >"$state/wineboot.log" 2>&1 ||
    die "wineboot failed or hung: $(tail -n 5 "$state/wineboot.log")"
  # No crash dialog. No window manager either: unmanaged windows, or Wine waits 2 s for
  # one each time it hides a window.
  cat >"$state/settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
REG
  timeout 60 wine reg import "$(windows_path "$state/settings.reg")" </dev/null >/dev/null 2>&1 ||
    die "cannot import the prefix's settings"
  say "prefix ready on display $display in $((SECONDS - start)) s"
}

# Ends with 77 (skipped) when the 32-bit cases cannot run here, saying why.
need_32bit_wine() {
  local reason
  if ! reason=$("$(dirname "$0")/../../../tools/can-run-32bit.sh"); then
    echo "SKIP: $reason, so 32-bit Wine cannot run the 32-bit Orvel.scr here"
    exit 77
  fi
  # Debian's wine runs 32-bit programs with the loader of the wine32 package.
  if [ -x /usr/lib/wine/wine64 ] && [ ! -x /usr/lib/wine/wine ]; then
    echo "SKIP: 32-bit Wine is not installed (Debian: dpkg --add-architecture i386 && apt-get update && apt-get install wine32:i386; test.sh does)"
    exit 77
  fi
}

run_case() {
  local state=$1 case=$2 driver=$3 scr=$4
  [ "${ORVEL_WINE_32BIT:-0}" = 1 ] && need_32bit_wine
  need_scr "$scr"
  [ -f "$driver" ] || die "$driver is missing: build the linux preset"
  [ -f "$state/env" ] || die "no suite set up in $state (run the wine.setup test)"
  kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null || die "the suite's X server is gone"
  # shellcheck disable=SC1091
  . "$state/env"
  if [ -n "${ORVEL_WINE_DLLOVERRIDES:-}" ]; then
    export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$ORVEL_WINE_DLLOVERRIDES"
  fi
  local status=0
  timeout -k 5 "$CASE_LIMIT" wine "$(windows_path "$driver")" "$case" "$(windows_path "$scr")" </dev/null ||
    status=$?
  if [ $status -eq 124 ] || [ $status -eq 137 ]; then
    echo "wine_suite: $case did not end within $CASE_LIMIT s; ending every Wine process" >&2
    timeout 30 wineserver -k >/dev/null 2>&1 || true
    wineserver -p </dev/null >>"$state/wineserver.log" 2>&1 || true
    exit 1
  fi
  exit $status
}

cleanup() {
  local state=$1
  stop_suite "$state"
  rm -rf "$state/prefix"
  say "suite ended"
}

[ $# -ge 2 ] || die "usage: wine_suite.sh setup|run|cleanup STATE_DIR ..."
command=$1
shift
case $command in
  setup) [ $# -eq 2 ] || die "usage: wine_suite.sh setup STATE_DIR ORVEL_SCR"; setup "$@" ;;
  run) [ $# -eq 4 ] || die "usage: wine_suite.sh run STATE_DIR CASE DRIVER ORVEL_SCR"; run_case "$@" ;;
  cleanup) [ $# -eq 1 ] || die "usage: wine_suite.sh cleanup STATE_DIR"; cleanup "$@" ;;
  *) die "unknown step $command" ;;
esac
