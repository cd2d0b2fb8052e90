#!/usr/bin/env bash
# Installs the .deb package with dpkg as the system would, checks what it lays out and
# what it depends on, runs the installed `orvel --window` on an X server of its own
# (Xvfb) until it has drawn and keeps running, ends it, and removes the package again,
# checking that nothing of it is left. Needs root; skipped otherwise, and skipped when
# Orvel is already installed on this machine, which the test would replace.
#
#   check_deb.sh PACKAGE_DIR VERSION WAYLAND
#
# WAYLAND is 1 when the build makes orvel-wayland, which the package then holds too.
set -u
[ $# -eq 3 ] || {
  echo "usage: check_deb.sh PACKAGE_DIR VERSION WAYLAND" >&2
  exit 2
}
PACKAGES=$1 VERSION=$2 WAYLAND=$3
SKIP=77
# shellcheck source=tests/e2e/servers/xvfb.sh
. "$(dirname "$0")/../e2e/servers/xvfb.sh"

skip() {
  echo "SKIP: $*"
  exit $SKIP
}
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

[ "$(id -u)" -eq 0 ] || skip "installing the .deb with dpkg needs root (CI runs as root)"
deb="$PACKAGES/orvel_${VERSION}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "$deb is missing: make the packages first (cmake --build --preset package; ./test.sh does)"

files=(/usr/libexec/xscreensaver/orvel /usr/bin/orvel /usr/share/xscreensaver/config/orvel.xml
  /usr/share/man/man6/orvel.6.gz /usr/share/applications/orvel.desktop /usr/share/icons/hicolor/48x48/apps/orvel.png
  /usr/share/doc/orvel/copyright /usr/share/doc/orvel/changelog.gz)
[ "$WAYLAND" = 1 ] && files+=(/usr/libexec/xscreensaver/orvel-wayland)
if dpkg-query -W -f='${Status}' orvel 2>/dev/null | grep -q 'install ok installed'; then
  skip "the package orvel is installed on this machine already; the test would replace and remove it"
fi
for f in "${files[@]}"; do
  [ -e "$f" ] || [ -L "$f" ] && skip "$f exists (an installation by hand?); the test would overwrite and remove it"
done

# dpkg with its arguments; while another dpkg or apt holds the package database's lock,
# it waits (up to 120 s) and tries again.
dpkg_waiting() {
  local deadline=$((SECONDS + 120)) out
  while true; do
    out=$(DEBIAN_FRONTEND=noninteractive dpkg "$@" 2>&1) && { printf '%s\n' "$out"; return 0; }
    grep -qi "lock" <<<"$out" && [ $SECONDS -lt $deadline ] || { printf '%s\n' "$out"; return 1; }
    sleep 1
  done
}

WORK=$(mktemp -d "${TMPDIR:-/tmp}/orvel-deb.XXXXXX")
XVFB_PID=
ORVEL_PID=
INSTALLED=0
cleanup() {
  [ -n "$ORVEL_PID" ] && kill "$ORVEL_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  [ "$INSTALLED" -eq 1 ] && dpkg_waiting --purge orvel >/dev/null 2>&1
  rm -rf "$WORK"
}
trap cleanup EXIT

# --- The package itself.
info=$(dpkg-deb --field "$deb" Package Version Architecture Depends) || fail "dpkg-deb cannot read $deb"
echo "$info"
grep -qx "Package: orvel" <<<"$info" || fail "the package is not named orvel"
grep -qx "Version: $VERSION" <<<"$info" || fail "the package's version is not $VERSION"
for library in libc6 libx11-6 libxft2 libglx0 libopengl0; do
  grep -q "^Depends:.*\b$library\b" <<<"$info" || fail "the package does not depend on $library"
done

# --- Installed.
INSTALLED=1
dpkg_waiting -i "$deb" >"$WORK/dpkg-i.log" 2>&1 || fail "dpkg -i failed: $(cat "$WORK/dpkg-i.log")"
for f in "${files[@]}"; do
  dpkg -L orvel | grep -qx "$f" || fail "the package does not hold $f"
done
[ -x /usr/libexec/xscreensaver/orvel ] || fail "/usr/libexec/xscreensaver/orvel is not an executable"
[ "$(readlink -f /usr/bin/orvel)" = /usr/libexec/xscreensaver/orvel ] || fail "/usr/bin/orvel does not lead to the program"
extra=
while read -r path; do
  [ -d "$path" ] && [ ! -L "$path" ] && continue
  printf '%s\n' "${files[@]}" | grep -qxF "$path" || extra="$extra $path"
done < <(dpkg -L orvel)
[ -z "$extra" ] || fail "the package holds more:$extra"
! readelf -S /usr/libexec/xscreensaver/orvel | grep -qE '\.symtab|\.debug_' ||
  fail "the packaged program still has its symbol table or debugging sections"

# --- orvel --window from the package, on an X server of its own.
# Started as every test starts one, with -noreset: the xdotool that looks for the window
# below comes and goes while orvel connects, and a server that resets as its last client
# leaves drops the connection orvel is setting up.
xvfb_start "$WORK" 1024x768 || fail "no X server"
cd "$WORK" || fail "cannot enter $WORK"
# No Wayland compositor may be in reach, or orvel would hand over to orvel-wayland.
env -u WAYLAND_DISPLAY ORVEL_STATS=1 XDG_CONFIG_HOME="$WORK/config" XDG_RUNTIME_DIR="$WORK" orvel --window </dev/null >"$WORK/orvel.out" 2>"$WORK/orvel.err" &
ORVEL_PID=$!

# The window appears; then its picture, which fades in from black, lights up.
window=
deadline=$((SECONDS + 30))
until [ -n "$window" ]; do
  kill -0 "$ORVEL_PID" 2>/dev/null || fail "orvel --window ended at once: $(cat "$WORK/orvel.err")"
  [ $SECONDS -lt $deadline ] || fail "no window named Orvel within 30 s"
  window=$(xdotool search --name '^Orvel$' 2>/dev/null | head -n 1)
  [ -n "$window" ] || sleep 0.1
done
brightness() { xwd -silent -root | xwdtopnm 2>/dev/null | pamsumm -mean -brief 2>/dev/null | cut -d. -f1; }
deadline=$((SECONDS + 30))
until [ "$(brightness)" -ge 2 ] 2>/dev/null; do
  kill -0 "$ORVEL_PID" 2>/dev/null || fail "orvel --window ended while it started: $(cat "$WORK/orvel.err")"
  [ $SECONDS -lt $deadline ] || fail "the screen is still black 30 s after the window appeared"
  sleep 0.2
done
kill -0 "$ORVEL_PID" 2>/dev/null || fail "orvel --window ended: $(cat "$WORK/orvel.err")"

# SIGTERM ends it with 0, after frames were drawn.
kill -TERM "$ORVEL_PID"
status=0
wait "$ORVEL_PID" || status=$?
ORVEL_PID=
[ "$status" -eq 0 ] || fail "orvel --window ended with $status on SIGTERM: $(cat "$WORK/orvel.err")"
frames=$(sed -nE 's/^orvel stats: ([0-9]+) frames.*$/\1/p' "$WORK/orvel.err")
[ "${frames:-0}" -gt 0 ] || fail "no frames drawn: $(cat "$WORK/orvel.err")"
echo "orvel --window from the package drew $frames frames"

# --- Removed, without a trace.
dpkg_waiting -r orvel >"$WORK/dpkg-r.log" 2>&1 || fail "dpkg -r failed: $(cat "$WORK/dpkg-r.log")"
INSTALLED=0
state=$(dpkg-query -W -f='${Status}' orvel 2>/dev/null)
grep -q 'not-installed' <<<"$state" || [ -z "$state" ] || fail "after dpkg -r the package is $state, not gone"
for f in "${files[@]}" /usr/libexec/xscreensaver /usr/share/xscreensaver/config; do
  if [ -e "$f" ] || [ -L "$f" ]; then
    # A folder another package owns stays, as it should.
    [ -d "$f" ] && dpkg -S "$f" >/dev/null 2>&1 && continue
    fail "$f is left after dpkg -r"
  fi
done
echo "the package installs, runs and goes cleanly"
