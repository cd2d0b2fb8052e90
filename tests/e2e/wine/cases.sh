#!/usr/bin/env bash
# The Wine suite's steps, each run by ctest as a test of its own. They share one X server
# (tests/e2e/servers/xvfb.sh), one fresh Wine prefix and one wineserver kept alive from setup
# to cleanup:
#
#   tests/e2e/wine/cases.sh setup STATE_DIR ORVEL_SCR DRIVER
#                                                X server, fresh prefix, wineserver
#   tests/e2e/wine/cases.sh run STATE_DIR CASE DRIVER ORVEL_SCR
#                                                one case of orvel-wine-driver.exe
#   tests/e2e/wine/cases.sh cleanup STATE_DIR              wineserver -k, X server ends, prefix goes
#
# With ORVEL_WINE_32BIT=1 the steps are those of the x86 build's suite (wine.x86.*): its
# own X server, and a fresh 32-bit prefix and its wineserver inside the 32-bit root of
# tools/i386-root.sh, which holds the 32-bit Wine that this machine does not. Each step
# then ends with 77, skipped, after one line saying why, where that root cannot run.
#
# Every wait has a deadline. A watchdog started by setup ends the X server and the
# wineserver after SUITE_LIMIT seconds should cleanup never run.
set -euo pipefail
# shellcheck source=tests/e2e/wine/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

setup() {
  local state=$1 scr=$2 driver=$3 t arch=win64 preset=windows stop_server="wineserver -k"
  if [ "$x86" = 1 ]; then
    need_32bit_wine
    arch=win32
    preset=windows-x86
    stop_server="'$root_tool' run '$state' -- wineserver -k"
  else
    for t in wine wineserver; do
      command -v "$t" >/dev/null || die "$t is not installed (Debian: apt-get install wine wine64)"
    done
  fi
  need "$scr" $preset
  stop_suite "$state"
  rm -rf "$state"
  mkdir -p "$state/prefix"
  realpath "$state" "$(dirname "$scr")" "$(dirname "$driver")" >"$state/folders"
  xvfb_start "$state" 1024x768 || die "no X server"
  echo "$XVFB_PID" >"$state/xvfb.pid"
  cat >"$state/env" <<ENV
export DISPLAY=$DISPLAY
export WINEPREFIX=$state/prefix
export WINEARCH=$arch
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
ENV
  # shellcheck disable=SC1091
  . "$state/env"

  # In a session of its own, so that it outlives an interrupted ctest. It acts only while
  # the X server's pid file says the suite still runs.
  setsid bash -c "sleep $SUITE_LIMIT
    if [ -f '$state/xvfb.pid' ]; then
      . '$state/env'; $stop_server; kill \$(cat '$state/xvfb.pid')
    fi" </dev/null >/dev/null 2>&1 &
  echo $! >"$state/watchdog.pid"

  local start=$SECONDS
  in_wine "$state" wineserver -p </dev/null >"$state/wineserver.log" 2>&1
  in_wine "$state" timeout 240 wine wineboot --init </dev/null >"$state/wineboot.log" 2>&1 ||
    die "wineboot failed or hung: $(tail -n 5 "$state/wineboot.log")"
  # No crash dialog, and no debugger for faults that nothing handles: the system's own
  # handling then asks for the program's handler, as Windows does once it has reported
  # the fault. No window manager either: unmanaged windows, or Wine waits 2 s for one
  # each time it hides a window.
  cat >"$state/settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"="orvel-no-such-debugger.exe %ld %ld"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
REG
  in_wine "$state" timeout 60 wine reg import "$(windows_path "$state/settings.reg")" </dev/null >/dev/null 2>&1 ||
    die "cannot import the prefix's settings"
  # A Wine program that runs as long as the suite, with no window. Without one the
  # prefix falls idle after every case: its desktop process ends with the last program,
  # and the next program's first window waits 10 s for a new desktop, which cannot start
  # the idle prefix's RPC service.
  setsid bash -c '. "$1/lib.sh"; . "$2/env"; sleep "$3" | in_wine "$2" wine cmd.exe' _ "$here" "$state" "$SUITE_LIMIT" \
    </dev/null >/dev/null 2>&1 &
  echo $! >"$state/holder.pid"
  echo "wine suite: prefix ready on display $DISPLAY in $((SECONDS - start)) s"
}

run_case() {
  local state=$1 case=$2 driver=$3 scr=$4 status=0 preset=windows t
  if [ "$x86" = 1 ]; then
    need_32bit_wine
    preset=windows-x86
    if [[ $TOO_SLOW_EMULATED == *" $case "* ]] && "$root_tool" emulated; then
      echo "SKIP: too slow under qemu-i386: llvmpipe compiles the first frames' shaders emulated, 8 to 20 s a frame"
      exit 77
    fi
  fi
  need "$scr" $preset
  need "$driver" linux
  [ -f "$state/env" ] || die "no suite set up in $state (run the wine.setup test)"
  for t in "$driver" "$scr"; do
    grep -qxF "$(realpath "$(dirname "$t")")" "$state/folders" || die "$t is not in a folder that setup was given"
  done
  kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null || die "the suite's X server is gone"
  # shellcheck disable=SC1091
  . "$state/env"
  # The stand-in MPR.DLL beside the saver's copy goes before Wine's own. A Wine process
  # reads this at its start from the environment it inherits on the Linux side.
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mpr=n"
  in_wine "$state" timeout -k 5 "$CASE_LIMIT" wine "$(windows_path "$driver")" "$case" "$(windows_path "$scr")" </dev/null ||
    status=$?
  if [ $status -eq 124 ] || [ $status -eq 137 ]; then
    echo "wine suite: $case did not end within $CASE_LIMIT s; ending every Wine process" >&2
    in_wine "$state" timeout 30 wineserver -k >/dev/null 2>&1 || true
    in_wine "$state" wineserver -p </dev/null >>"$state/wineserver.log" 2>&1 || true
  fi
  exit $status
}

cleanup() {
  stop_suite "$1"
  rm -rf "$1/prefix"
  echo "wine suite: suite ended"
}

[ $# -ge 2 ] || die "usage: tests/e2e/wine/cases.sh setup|run|cleanup STATE_DIR ..."
command=$1
shift
case $command in
  setup) [ $# -eq 3 ] || die "usage: tests/e2e/wine/cases.sh setup STATE_DIR ORVEL_SCR DRIVER"; setup "$@" ;;
  run) [ $# -eq 4 ] || die "usage: tests/e2e/wine/cases.sh run STATE_DIR CASE DRIVER ORVEL_SCR"; run_case "$@" ;;
  cleanup) [ $# -eq 1 ] || die "usage: tests/e2e/wine/cases.sh cleanup STATE_DIR"; cleanup "$@" ;;
  *) die "unknown step $command" ;;
esac
