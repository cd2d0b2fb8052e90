# Helpers for the Wayland end-to-end cases: each case runs its own sway (or weston, for
# what sway does not show), headless and drawing with pixman, as an unprivileged user (sway refuses root) with a runtime
# directory of its own, and runs the saver and the tools as that same user. Every wait
# is for a condition, with a generous limit for a loaded machine.
set -euo pipefail

WAIT_LIMIT=${ORVEL_E2E_WAIT:-40}   # seconds
work=$(mktemp -d /tmp/orvel-wl.XXXXXX)
chmod 755 "$work"
runtime=$work/run
mkdir -m 700 "$runtime"
sway_pid=
weston_pid=
saver_pid=
helper_pids=()   # other programs the case leaves running, ended before sway

if [ "$(id -u)" -eq 0 ]; then
  chown nobody:nogroup "$runtime"
  run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
else
  run_as=()
fi

# The unprivileged user may not reach the build tree (a checkout in a mode-700 folder,
# as mktemp -d makes): it runs copies of the programs, side by side as in the build so
# that orvel finds orvel-wayland beside itself, and of LeakSanitizer's suppressions.
readable_copies() {
  [ ${#run_as[@]} -gt 0 ] || return 0
  mkdir -m 755 "$work/bin"
  local program
  for program in "$wayland_program" "$x11_program" ${pointer:+"$pointer"} ${focus:+"$focus"}; do
    cp "$program" "$work/bin/" && chmod 755 "$work/bin/$(basename "$program")"
  done
  wayland_program=$work/bin/$(basename "$wayland_program")
  x11_program=$work/bin/$(basename "$x11_program")
  [ -z "$pointer" ] || pointer=$work/bin/$(basename "$pointer")
  [ -z "$focus" ] || focus=$work/bin/$(basename "$focus")
  if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]*) ]]; then
    cp "${BASH_REMATCH[1]}" "$work/lsan.supp" && chmod 644 "$work/lsan.supp"
    LSAN_OPTIONS=${LSAN_OPTIONS/"suppressions=${BASH_REMATCH[1]}"/"suppressions=$work/lsan.supp"}
    export LSAN_OPTIONS
  fi
}

cleanup() {
  [ -n "$saver_pid" ] && kill -TERM "$saver_pid" 2>/dev/null || true
  local pid
  for pid in "${helper_pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  [ -n "$sway_pid" ] && kill -TERM "$sway_pid" 2>/dev/null || true
  [ -n "$sway_pid" ] && wait "$sway_pid" 2>/dev/null || true
  [ -n "$weston_pid" ] && kill -TERM "$weston_pid" 2>/dev/null || true
  [ -n "$weston_pid" ] && wait "$weston_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/sway.log" ] && tail -n 20 "$work/sway.log" >&2
  [ -f "$work/weston.log" ] && tail -n 20 "$work/weston.log" >&2
  [ -f "$work/saver.err" ] && tail -n 40 "$work/saver.err" >&2
  exit 1
}

# Runs a command as the compositor's user, in the compositor's environment.
as_user() { (user_exec "$@"); }

# The same in place of this shell, so that a background saver's $! is the saver itself.
user_exec() {
  exec "${run_as[@]}" env -i HOME="$work" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$runtime" \
    WAYLAND_DISPLAY="${wayland_display:-}" SWAYSOCK="${sway_socket:-}" ORVEL_STATS="${ORVEL_STATS:-}" \
    LSAN_OPTIONS="${LSAN_OPTIONS:-}" ASAN_OPTIONS="${ASAN_OPTIONS:-}" "$@"
}

# Waits until the command succeeds; fails the case with the message after the limit.
wait_for() {
  local message=$1
  shift
  local deadline=$((SECONDS + WAIT_LIMIT))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "timed out waiting: $message"
    sleep 0.1
  done
}

socket_ready() {
  local s
  for s in "$runtime"/wayland-*; do
    case $s in *.lock) ;; *) [ -S "$s" ] && wayland_display=${s##*/} && break ;; esac
  done
  [ -n "${wayland_display:-}" ] || return 1
  sway_socket=$(ls "$runtime"/sway-ipc.*.sock 2>/dev/null | head -n 1)
  [ -n "$sway_socket" ] && as_user swaymsg -t get_version >/dev/null 2>&1
}

# Starts sway with one 640 x 480 output and waits until it answers.
start_sway() {
  printf 'output HEADLESS-1 resolution 640x480 position 0 0\nxwayland disable\n' >"$work/config"
  chmod 644 "$work/config"
  "${run_as[@]}" env -i HOME="$work" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$runtime" \
    WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway -c "$work/config" >"$work/sway.log" 2>&1 &
  sway_pid=$!
  wayland_display=
  wait_for "sway's sockets" socket_ready
}

# Starts weston instead of sway, headless and drawing with pixman, with one 1024 x 768
# output and its desktop shell, and waits until the desktop shows. Weston offers neither
# server-side decorations nor a layer shell. --debug gives its screenshooter and its
# scene graph (weston_shot, weston_views).
start_weston() {
  mkdir -m 700 "$work/shots"
  [ ${#run_as[@]} -eq 0 ] || chown nobody:nogroup "$work/shots"
  "${run_as[@]}" env -i HOME="$work" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$runtime" \
    weston --no-config --backend=headless-backend.so --use-pixman --width=1024 --height=768 \
    --socket=wayland-1 --idle-time=0 --debug >"$work/weston.log" 2>&1 &
  weston_pid=$!
  wayland_display=wayland-1
  wait_for "weston's desktop" desktop_shown
}

# The desktop's bottom-right corner is drawn (not black).
desktop_shown() {
  [ -S "$runtime/wayland-1" ] || return 1
  local corner
  corner=$(weston_shot 2>/dev/null | pamcut -left 1023 -top 767 -width 1 -height 1 | tail -c 3 | od -An -tx1) ||
    return 1
  [ -n "$corner" ] && [ "$corner" != " 00 00 00" ]
}

# What weston shows, as a PPM image.
weston_shot() {
  rm -f "$work/shots"/*.png
  (cd "$work/shots" && user_exec weston-screenshooter) >/dev/null 2>&1 || return 1
  pngtopnm "$work/shots"/*.png
}

# Weston's views, one a line: "ROLE PID X1 Y1 X2 Y2 DESCRIPTION", in the compositor's
# space.
weston_views() {
  as_user weston-debug scene-graph 2>/dev/null |
    awk '/^\tView [0-9]+ \(role / { role = $4; pid = $6; sub(/,$/, "", role); sub(/,$/, "", pid)
                                     sub(/^.*, surface ID [0-9]+, /, ""); what = $0 }
         /^\t\tposition: / { gsub(/[(),]/, " "); print role, pid, $2, $3, $5, $6, what }'
}

# A second sway inside the first, on its Wayland backend, which the case then talks to:
# each of its outputs (WL-1, ...) is a window of the first sway, and closing that
# window unplugs the output, which sway 1.7 cannot do to a headless one.
start_nested_sway() {
  printf 'output * resolution 640x480\nxwayland disable\n' >"$work/nested.config"
  chmod 644 "$work/nested.config"
  outer_display=$wayland_display
  outer_socket=$sway_socket
  "${run_as[@]}" env -i HOME="$work" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$outer_display" \
    WLR_BACKENDS=wayland WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway -c "$work/nested.config" >"$work/nested.log" 2>&1 &
  helper_pids+=($!)
  wait_for "the nested sway's sockets" nested_socket_ready "$!"
}

nested_socket_ready() {
  local s
  local ipc=("$runtime"/sway-ipc.*."$1".sock)
  sway_socket=${ipc[0]}
  for s in "$runtime"/wayland-*; do
    case $s in *.lock | */"$outer_display") ;; *) [ -S "$s" ] && wayland_display=${s##*/} ;; esac
  done
  [ "$wayland_display" != "$outer_display" ] && [ -S "$sway_socket" ] && as_user swaymsg -t get_version >/dev/null 2>&1
}

# Unplugs an output of the nested sway (its window closes) and waits until it is gone.
unplug_nested_output() {
  (sway_socket=$outer_socket && as_user swaymsg "[title=\"- $1\$\"] kill" >/dev/null)
  wait_for "$1 to go" output_gone "$1"
}

output_gone() { ! as_user swaymsg -t get_outputs | grep -q "\"name\": \"$1\""; }

# A keyboard on the seat for the rest of the case (wtype's, sleeping): without one no
# client has the keyboard to lose.
hold_keyboard() {
  (user_exec wtype -s 600000) &
  helper_pids+=($!)
  wait_for "a keyboard on the seat" keyboard_on_seat
}

keyboard_on_seat() { as_user swaymsg -t get_inputs | grep -q '"type": "keyboard"'; }

# Adds an output and waits until sway lists it.
add_output() {
  local before
  before=$(output_count)
  as_user swaymsg create_output >/dev/null
  wait_for "a new output" test "$(output_count)" -gt "$before"
}

output_count() { as_user swaymsg -t get_outputs | grep -c '"name": "'; }

last_output() { as_user swaymsg -t get_outputs | grep -o '"name": "HEADLESS-[0-9]*"' | tail -n 1 | cut -d'"' -f4; }

# A digest of what an output shows (weston's only output, under weston).
shot() {
  if [ -n "$weston_pid" ]; then
    weston_shot | md5sum | cut -d' ' -f1
  else
    as_user grim -o "$1" - | md5sum | cut -d' ' -f1
  fi
}

# Starts the saver (orvel-wayland or orvel, with arguments) in the background.
start_saver() {
  (user_exec "$@") >"$work/saver.out" 2>"$work/saver.err" &
  saver_pid=$!
}

saver_running() { kill -0 "$saver_pid" 2>/dev/null; }

# Waits until the output shows something other than what it showed before the saver,
# and then something else again: the scene is on it and moving.
wait_for_scene_on() {
  local output=$1 empty=$2 first
  wait_for "the saver's picture on $output" shot_differs "$output" "$empty"
  first=$(shot "$output")
  wait_for "the picture on $output to move" shot_differs "$output" "$first"
}

shot_differs() { saver_running || fail "the saver ended early"; [ "$(shot "$1")" != "$2" ]; }

# Waits for the saver to end and checks its exit code (in this shell: wait needs the
# saver to be its own child).
expect_exit() {
  local want=$1 deadline=$((SECONDS + WAIT_LIMIT)) code=0
  while saver_running; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the saver did not end"
    sleep 0.1
  done
  wait "$saver_pid" || code=$?
  saver_pid=
  [ "$code" = "$want" ] || fail "exit code $code, expected $want"
}
