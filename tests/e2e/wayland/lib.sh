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
compositor_pid=  # another compositor's (compositor.sh, or the test compositor)
compositor_kind= # compositor.sh's: weston, mutter or kwin
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
  local name
  for name in wayland_program x11_program pointer focus test_compositor; do
    [ -n "${!name}" ] || continue
    cp "${!name}" "$work/bin/" && chmod 755 "$work/bin/${!name##*/}"
    printf -v "$name" %s "$work/bin/${!name##*/}"
  done
  if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]*) ]]; then
    cp "${BASH_REMATCH[1]}" "$work/lsan.supp" && chmod 644 "$work/lsan.supp"
    LSAN_OPTIONS=${LSAN_OPTIONS/"suppressions=${BASH_REMATCH[1]}"/"suppressions=$work/lsan.supp"}
    export LSAN_OPTIONS
  fi
}

cleanup() {
  local pid
  for pid in $saver_pid "${helper_pids[@]}" $sway_pid $compositor_pid; do kill -TERM "$pid" 2>/dev/null || true; done
  wait $sway_pid $compositor_pid 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  local log
  for log in "$work"/{sway,weston,mutter,kwin}.log "$work"/compositor.{err,out}; do
    [ -f "$log" ] && tail -n 20 "$log" >&2
  done
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

# Starts sway (tests/e2e/servers/sway.sh) with one 640 x 480 output and waits until it
# answers.
start_sway() {
  bash "$(dirname "${BASH_SOURCE[0]}")/../servers/sway.sh" 3 "$work" 1 640x480 3>"$work/sway.ready" &
  sway_pid=$!
  wait_for "sway to answer" test -s "$work/sway.ready"
  read -r _ wayland_display sway_socket <"$work/sway.ready"
}

# Starts weston instead of sway (tests/e2e/servers/compositor.sh), with one 1024 x 768 output
# and its desktop shell, and waits until the desktop shows. Weston offers neither
# server-side decorations nor a layer shell. Its debug protocol gives its screenshooter
# and its scene graph (weston_shot, weston_views).
start_weston() {
  start_compositor weston 1024x768
  wait_for "weston's desktop" desktop_shown
}

# The desktop's bottom-right corner is drawn (not black).
desktop_shown() {
  local corner
  corner=$(weston_shot 2>/dev/null | pamcut -left 1023 -top 767 -width 1 -height 1 | tail -c 3 | od -An -tx1) ||
    return 1
  [ -n "$corner" ] && [ "$corner" != " 00 00 00" ]
}

# What weston shows, as a PPM image (weston-screenshooter through weston's debug
# protocol, into a folder of its own: it names its file by the second).
weston_shot() {
  local dir status=0
  dir=$(mktemp -d "$work/shot.XXXXXX")
  chmod 777 "$dir"
  if (cd "$dir" && user_exec weston-screenshooter) >/dev/null 2>&1; then pngtopnm "$dir"/*.png; else status=1; fi
  rm -rf "$dir"
  return $status
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
  if [ "$compositor_kind" = weston ]; then
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

# Starts the saver (orvel-wayland /s when no command is given) and waits for its scene
# on HEADLESS-1.
show_saver() {
  [ $# -gt 0 ] || set -- "$wayland_program" /s
  local empty
  empty=$(shot HEADLESS-1)
  start_saver "$@"
  wait_for_scene_on HEADLESS-1 "$empty"
}

stop_saver() { kill -TERM "$saver_pid"; expect_exit 0; }

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
  local code=0
  wait_for "the saver to end" saver_gone
  wait "$saver_pid" || code=$?
  saver_pid=
  [ "$code" = "$1" ] || fail "exit code $code, expected $1"
}
saver_gone() { ! saver_running; }

# --- Other compositors

# Starts weston, mutter or kwin (tests/e2e/servers/compositor.sh) with one output of the size
# given (640x480 when none is; kwin: at the scale given) and waits until it answers a
# client.
start_compositor() {
  bash "$(dirname "${BASH_SOURCE[0]}")/../servers/compositor.sh" 3 "$work" "$1" "${2:-640x480}" ${3:+"$3"} \
    3>"$work/compositor.ready" 2>"$work/compositor.err" &
  compositor_pid=$!
  compositor_kind=$1
  wait_for "$1 to answer" compositor_answers
  wayland_display=$(cut -d' ' -f2 "$work/compositor.ready")
}

compositor_answers() { kill -0 "$compositor_pid" 2>/dev/null || fail "the compositor ended"; [ -s "$work/compositor.ready" ]; }

# The compositor of our own (test_compositor.cpp) with the arguments given; commands go
# to it through a pipe, what it reports lands in compositor.out.
start_test_compositor() {
  mkfifo -m 600 "$work/commands"
  (user_exec "$test_compositor" "$@") <>"$work/commands" >"$work/compositor.out" 2>"$work/compositor.err" &
  compositor_pid=$!
  wait_for "the test compositor" grep -q '^ready ' "$work/compositor.out"
  wayland_display=$(sed -n 's/^ready //p' "$work/compositor.out")
}

tell_compositor() { echo "$1" >"$work/commands"; }

# The test compositor's report lines that match the pattern, counted.
reported() { grep -cE "$1" "$work/compositor.out" || true; }

reported_at_least() { saver_running || fail "the saver ended early"; [ "$(reported "$2")" -ge "$1" ]; }

# Waits until the test compositor has been shown a picture (not black) on a surface of
# the role and output given ("layer 1"), and the picture has moved; prints the surface.
wait_for_drawn() {
  local role=$1 surface
  wait_for "a $role surface" grep -qE "^surface [0-9]+ $role\$" "$work/compositor.out"
  surface=$(grep -E "^surface [0-9]+ $role\$" "$work/compositor.out" | tail -n 1 | cut -d' ' -f2)
  wait_for "a moving picture on surface $surface" drawn_twice "$surface"
  echo "$surface"
}

drawn_twice() {
  saver_running || fail "the saver ended early"
  [ "$(lit_sums "$1" | wc -l)" -ge 2 ]
}

# The digests of the pictures (not black) committed on the surface, each once.
lit_sums() { grep -E "^commit $1 .* lit\$" "$work/compositor.out" | cut -d' ' -f4 | sort -u; }

# --- The saver's statistics line (ORVEL_STATS=1), written as it ends

stats_line() { grep '^orvel stats: ' "$work/saver.err" | tail -n 1; }

# Fails unless the line reports the surface on the output (a name, or a pattern) with a
# buffer of the size given and at least one frame shown.
expect_buffer() {
  stats_line | grep -qE ", $1 buffer $2 shown [1-9][0-9]*(,|\$)" ||
    fail "no buffer of $2 shown on $1 in: $(stats_line)"
}

expect_covered() {
  stats_line | grep -qE ", covered [0-9]+\.[0-9] ms after start" || fail "no covering reported in: $(stats_line)"
}

# --- Parts of what sway shows

# Sets an output's mode (sway output command words) and waits until sway lays it out with
# the rectangle given, "X Y WIDTH HEIGHT" in the layout's logical pixels.
set_output() {
  local output=$1 rect=$2
  shift 2
  as_user swaymsg output "$output" "$@" >/dev/null
  wait_for "$output at $rect" output_rect_is "$rect"
}

output_rect_is() {
  local x y w h
  read -r x y w h <<<"$1"
  as_user swaymsg -r -t get_outputs | tr -d ' \n' | grep -q "\"rect\":{\"x\":$x,\"y\":$y,\"width\":$w,\"height\":$h}"
}

# How many pixels in the lower right (70-93 % across, 75-92 % down) of the output with
# the rectangle "X Y WIDTH HEIGHT" are pale, every channel above 150, as the title
# banner's letters are; in tenths of a percent.
pale_in_lower_right() {
  local x y w h
  read -r x y w h <<<"$1"
  local left=$((x + w * 70 / 100)) top=$((y + h * 75 / 100)) width=$((w * 23 / 100)) height=$((h * 17 / 100))
  as_user grim -g "$left,$top ${width}x$height" -t ppm - | tail -c $((width * height * 3)) | od -An -v -w3 -tu1 |
    awk -v all=$((width * height)) '$1 > 150 && $2 > 150 && $3 > 150 { n++ } END { print int(n * 1000 / all) }'
}

# The saver's trace (WAYLAND_DEBUG) holds a line that matches.
saver_traced() { saver_running || fail "the saver ended early"; grep -qE "$1" "$work/saver.err"; }

# At least N pictures handed to the compositor (the saver traced with WAYLAND_DEBUG).
attached_at_least() {
  saver_running || fail "the saver ended early"
  [ "$(grep -cE 'wl_surface@[0-9]+\.attach\(wl_buffer' "$work/saver.err" || true)" -ge "$1" ]
}
