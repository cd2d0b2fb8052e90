# A headless compositor other than sway, for the tools and the Wayland end-to-end cases:
# weston (pixman, its debug protocol on so that weston-screenshooter works), GNOME's
# mutter (a virtual monitor, under a D-Bus session of its own) or KDE's kwin (the virtual
# backend, under a D-Bus session of its own), each with a runtime directory of its own
# and as the user nobody when run as root. Run as a program:
#   bash tests/e2e/servers/compositor.sh FD DIR weston|mutter|kwin WIDTHxHEIGHT [SCALE]
# starts it in DIR with one output of that size (in pixels; kwin only: at the scale given,
# such as 1.5), writes one line to the descriptor FD
# once a client has connected and had its answer, "XDG_RUNTIME_DIR WAYLAND_DISPLAY", and
# ends the compositor (and what it started) when it is ended itself. Exits with 1 when
# the compositor does not come up within 30 s.
set -euo pipefail
# shellcheck source=tests/e2e/servers/announce.sh
. "$(dirname "${BASH_SOURCE[0]}")/announce.sh"
[ $# -ge 4 ] && [ $# -le 5 ] && [[ $4 =~ ^([0-9]+)x([0-9]+)$ ]] ||
  { echo "usage: bash compositor.sh FD DIR weston|mutter|kwin WIDTHxHEIGHT [SCALE]" >&2; exit 2; }
fd=$1 dir=$2 kind=$3 width=${BASH_REMATCH[1]} height=${BASH_REMATCH[2]} scale=${5:-1}
runtime=$dir/run
display=wayland-1
home=$dir/home   # kwin and mutter keep settings and caches there
mkdir -p -m 700 "$runtime" "$home"
run_as=()
if [ "$(id -u)" -eq 0 ]; then
  chmod 755 "$dir"
  chown nobody:nogroup "$runtime" "$home"
  run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

case $kind in
  weston)
    command=(weston --backend=headless-backend.so --use-pixman --width="$width" --height="$height"
      --socket="$display" --idle-time=0 --debug)
    ;;
  mutter)
    command=(dbus-run-session -- mutter --headless --wayland --no-x11 --virtual-monitor "${width}x$height"
      --wayland-display="$display")
    ;;
  kwin)
    # kwin_wayland carries a file capability (cap_sys_resource), which a process without
    # it may not exec here: a plain copy runs. Its name must stay kwin_wayland, by which
    # it finds its own platform plugin.
    mkdir -p -m 755 "$dir/kwin"
    cp /usr/bin/kwin_wayland "$dir/kwin/kwin_wayland"
    chmod 755 "$dir/kwin/kwin_wayland"
    command=(dbus-run-session -- "$dir/kwin/kwin_wayland" --virtual --width "$width" --height "$height"
      --socket "$display" --no-lockscreen --no-global-shortcuts --scale "$scale")
    ;;
  *)
    echo "compositor.sh: no compositor $kind (weston, mutter or kwin)" >&2
    exit 2
    ;;
esac

# In a session of its own, so that the compositor and all it starts (weston's shell
# client, the D-Bus daemon) end together.
setsid "${run_as[@]}" env -i HOME="$home" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$runtime" "${command[@]}" \
  >"$dir/$kind.log" 2>&1 &
leader=$!
trap 'kill -TERM -- "-$leader" 2>/dev/null; wait "$leader" 2>/dev/null' EXIT
trap 'exit 0' TERM INT

# Up once a client is answered on the socket: the socket file alone comes before the
# compositor handles clients.
ready() {
  [ -S "$runtime/$display" ] &&
    "${run_as[@]}" env -i XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$display" timeout 10 wayland-info >/dev/null 2>&1
}

report() { echo "$runtime $display"; }
announce_when_ready "$leader" 30 "$kind" "$dir/$kind.log"
