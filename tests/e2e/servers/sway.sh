# A headless sway for the tools, set up as the Wayland end-to-end cases set up theirs:
# drawing with pixman, no input devices, no Xwayland, with a runtime directory of its own,
# and as the user nobody when run as root (sway refuses root). Run as a program:
#   bash tests/e2e/servers/sway.sh FD DIR OUTPUTS WIDTHxHEIGHT[,WIDTHxHEIGHT...]
# starts it in DIR with OUTPUTS outputs side by side, the first of the first size, the
# next of the next, and the rest of the last size given, tops aligned; writes one line to the
# descriptor FD once it answers with all of them, "XDG_RUNTIME_DIR WAYLAND_DISPLAY
# SWAYSOCK", and ends sway when it is ended itself. Exits with 1 when sway does not come
# up within 15 s.
set -euo pipefail
# shellcheck source=tests/e2e/servers/announce.sh
. "$(dirname "${BASH_SOURCE[0]}")/announce.sh"
[ $# -eq 4 ] && [[ $4 =~ ^[0-9]+x[0-9]+(,[0-9]+x[0-9]+)*$ ]] ||
  { echo "usage: bash sway.sh FD DIR OUTPUTS WIDTHxHEIGHT[,WIDTHxHEIGHT...]" >&2; exit 2; }
fd=$1 dir=$2 outputs=$3
IFS=, read -r -a sizes <<<"$4"
runtime=$dir/run
mkdir -p -m 700 "$runtime"
run_as=()
if [ "$(id -u)" -eq 0 ]; then
  chmod 755 "$dir"
  chown nobody:nogroup "$runtime"
  run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
x=0
for ((i = 1; i <= outputs; i++)); do
  size=${sizes[i - 1]:-${sizes[-1]}}
  echo "output HEADLESS-$i resolution $size position $x 0"
  x=$((x + ${size%x*}))
done >"$dir/sway.config"
echo "xwayland disable" >>"$dir/sway.config"
chmod 644 "$dir/sway.config"

"${run_as[@]}" env -i HOME="$dir" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$runtime" WLR_BACKENDS=headless \
  WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 WLR_HEADLESS_OUTPUTS="$outputs" \
  sway -c "$dir/sway.config" >"$dir/sway.log" 2>&1 &
sway_pid=$!
trap 'kill "$sway_pid" 2>/dev/null; wait "$sway_pid" 2>/dev/null' EXIT
trap 'exit 0' TERM INT

ready() {
  local s ipc=("$runtime"/sway-ipc.*."$sway_pid".sock)
  display=
  for s in "$runtime"/wayland-*; do
    case $s in *.lock) ;; *) [ -S "$s" ] && display=${s##*/} ;; esac
  done
  [ -n "$display" ] && [ -S "${ipc[0]}" ] || return 1
  socket=${ipc[0]}
  [ "$(SWAYSOCK=$socket swaymsg -t get_outputs 2>/dev/null | grep -c '"name": "HEADLESS-')" -eq "$outputs" ]
}

report() { echo "$runtime $display $socket"; }
announce_when_ready "$sway_pid" 15 sway "$dir/sway.log"
