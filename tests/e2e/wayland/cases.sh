#!/usr/bin/env bash
# One Wayland end-to-end case: cases.sh CASE ORVEL_WAYLAND ORVEL POINTER_HELPER
# FOCUS_HELPER TEST_COMPOSITOR. Each runs under a compositor of its own (lib.sh): sway,
# weston, mutter, or the test compositor where no real one can do what the case needs.
set -euo pipefail
case_name=$1
wayland_program=$2
x11_program=$3
pointer=${4:-}
focus=${5:-}
test_compositor=${6:-}
source "$(dirname "$0")/lib.sh"
readable_copies

# The saver (as show_saver starts it) on sway's one output, its picture moving.
saver_showing() { start_sway; show_saver "$@"; }

# After input that must not end the saver: it goes on drawing (two new pictures) and is
# still there.
expect_still_running() {
  local now
  now=$(shot HEADLESS-1)
  wait_for_scene_on HEADLESS-1 "$now"
  saver_running || fail "the saver ended"
  stop_saver
}

# The frame-rate text's white in the top-left corner, where the dark start of the
# scene has none.
rate_text_shows() { as_user grim -g "16,16 96x20" -t ppm - | tail -c $((96 * 20 * 3)) | od -An -v -w3 -tx1 | grep -q ' ff ff ff'; }

window_listed() { saver_running && as_user swaymsg -t get_tree | grep -q '"name": "Orvel"'; }

# The border sway gives the window titled Orvel: "normal" when sway draws its title bar,
# "csd" when the window asked to draw its own.
window_border() { as_user swaymsg -t get_tree | awk -F'"' '/"border": / { border = $4 } /"name": "Orvel"/ { print border; exit }'; }
# Listed with a border at all: sway lists a new window with "none" before it has one.
window_bordered() {
  local border
  saver_running && border=$(window_border) && [ -n "$border" ] && [ "$border" != none ]
}

# Under weston: a subsurface of the saver's as wide as its window, whose lower edge is
# the picture's upper edge, and on the screen that strip (below weston's panel) shows
# something other than the desktop did. Weston places a new window where it likes, but
# the same way on every run.
title_bar_drawn() {
  local views picture bar panel_bottom top left right
  local _ pid px1 py1 px2 bx1 by1 bx2 by2
  views=$(weston_views)
  picture=$(grep -m1 "^xdg_toplevel .*'Orvel'" <<<"$views") || return 1
  read -r _ pid px1 py1 px2 _ _ <<<"$picture"
  bar=$(awk -v pid="$pid" -v x1="$px1" -v y1="$py1" -v x2="$px2" \
    '$1 == "wl_subsurface" && $2 == pid && $3 <= x1 && $5 >= x2 && $6 == y1 && $4 < y1 { print; exit }' <<<"$views")
  [ -n "$bar" ] || return 1
  read -r _ _ bx1 by1 bx2 by2 _ <<<"$bar"
  panel_bottom=$(awk '/panel for output/ { print $6; exit }' <<<"$views")
  top=$((by1 > ${panel_bottom:-0} ? by1 : ${panel_bottom:-0}))
  left=$((bx1 > 0 ? bx1 : 0))
  right=$((bx2 < 1024 ? bx2 : 1024))
  [ "$top" -lt "$by2" ] || fail "the title bar lies under weston's panel"
  local crop=(pamcut -left "$left" -top "$top" -width $((right - left)) -height $((by2 - top)))
  weston_shot >"$work/now.ppm" || return 1
  [ "$("${crop[@]}" <"$work/now.ppm" | md5sum)" != "$("${crop[@]}" <"$work/desktop.ppm" | md5sum)" ]
}

# The saver full screen under sway, traced, with the keyboard's focus: a keyboard is on the
# seat before the saver starts, so that the saver takes it as it maps.
saver_with_keyboard() {
  start_sway
  hold_keyboard
  show_saver env WAYLAND_DEBUG=client "$wayland_program" /s
  wait_for "the saver to have the keyboard" saver_traced 'wl_keyboard@[0-9]+\.enter\('
}

case $case_name in
  key_ends)
    saver_with_keyboard
    as_user wtype x
    expect_exit 0
    ;;
  two_outputs)
    start_sway
    add_output
    second=$(last_output)
    empty1=$(shot HEADLESS-1)
    empty2=$(shot "$second")
    start_saver "$wayland_program" /s
    wait_for_scene_on HEADLESS-1 "$empty1"
    wait_for_scene_on "$second" "$empty2"
    stop_saver
    ;;
  output_added)
    saver_showing
    add_output
    second=$(last_output)
    first=$(shot "$second")
    wait_for_scene_on "$second" "$first"
    stop_saver
    ;;
  second_instance)
    saver_showing
    code=0
    as_user timeout 30 "$wayland_program" /s || code=$?
    [ "$code" = 0 ] || fail "the second saver ended with $code, expected 0"
    saver_running || fail "the first saver ended"
    stop_saver
    ;;
  chosen_by_orvel)
    # orvel itself hands over to the Wayland program when a compositor is reachable.
    saver_showing "$x11_program" /s
    stop_saver
    ;;
  window_closes)
    start_sway
    start_saver "$x11_program" --window
    wait_for "the window titled Orvel" window_listed
    as_user swaymsg '[title="^Orvel$"] kill' >/dev/null
    expect_exit 0
    ;;
  window_server_decorated)
    # sway offers xdg-decoration: the window asks it for the title bar and border, and
    # draws none of its own (sway would mark that border "csd").
    start_sway
    start_saver env WAYLAND_DEBUG=client "$wayland_program" --window
    wait_for "sway's border round the window titled Orvel" window_bordered
    border=$(window_border)
    [ "$border" = normal ] || fail "sway gave the window the border \"$border\", not its own title bar (normal)"
    grep -q 'zxdg_toplevel_decoration_v1@[0-9]*\.configure(2)' "$work/saver.err" ||
      fail "no server-side decorations were agreed"
    stop_saver
    ;;
  window_client_decorated)
    # weston offers no xdg-decoration: the window draws its own title bar above the picture.
    start_weston
    weston_shot >"$work/desktop.ppm"
    start_saver "$wayland_program" --window
    wait_for_scene_on - "$(md5sum <"$work/desktop.ppm" | cut -d' ' -f1)"
    wait_for "a title bar drawn above the picture" title_bar_drawn
    stop_saver
    ;;
  compositor_gone)
    saver_showing
    kill -TERM "$sway_pid"
    wait "$sway_pid" || true
    sway_pid=
    expect_exit 2
    grep -q "lost the connection to the Wayland compositor" "$work/saver.err" || fail "no message"
    ;;
  no_compositor)
    start_saver "$wayland_program" /s
    expect_exit 255
    grep -q "cannot reach a Wayland compositor" "$work/saver.err" || fail "no message"
    wayland_display=wayland-none
    start_saver "$wayland_program" /s
    expect_exit 255
    ;;
  preview_refused)
    start_sway
    start_saver "$wayland_program" /p 1234
    expect_exit 255
    grep -q "Wayland has no windows of other programs" "$work/saver.err" || fail "no message"
    ;;
  small_travel_stays)
    # ... and no cursor over the saver: each entry of the pointer sets a null image.
    saver_showing env WAYLAND_DEBUG=client "$wayland_program" /s
    as_user "$pointer" move 3 0
    as_user "$pointer" move 1 0
    expect_still_running
    grep -qE 'wl_pointer@[0-9]+\.set_cursor\([0-9]+, nil, 0, 0\)' "$work/saver.err" || fail "the cursor was not hidden"
    ;;
  travel_across_outputs)
    # Travel adds up across outputs as on one screen: from 2 pixels left of HEADLESS-1's
    # right edge, 3 pixels onto the output beside it leave the saver running, 2 more end it.
    start_sway
    add_output
    second=$(last_output)
    set_output "$second" "640 0 640 480" resolution 640x480 position 640 0
    as_user "$pointer" move -10000 -10000
    as_user "$pointer" move 638 240
    show_saver
    as_user "$pointer" move 3 0
    now=$(shot "$second")
    wait_for_scene_on "$second" "$now"
    as_user "$pointer" move 2 0
    expect_exit 0
    ;;
  button_ends)
    # Each button, on a saver of its own.
    start_sway
    for button in 1 2 3; do
      show_saver
      as_user "$pointer" button $button
      expect_exit 0
    done
    ;;
  wheel_stays)
    saver_showing
    as_user "$pointer" wheel
    expect_still_running
    ;;
  rate_text)
    saver_showing
    wait_for "the frame-rate text" rate_text_shows
    stop_saver
    ;;
  keyboard_unplugged)
    # The seat's last keyboard going (unplugged) is neither input nor the focus going to
    # another client: the saver goes on.
    saver_with_keyboard
    kill -TERM "${helper_pids[-1]}"
    wait_for "the keyboard to leave" saver_traced 'wl_keyboard@[0-9]+\.leave\('
    expect_still_running
    ;;
  focus_taken)
    # sway 1.7 gives the keyboard to the oldest mapped overlay surface that asks for it
    # exclusively: a client that maps one after the saver never takes it. The other
    # client's surface is therefore made first and mapped once the saver shows.
    start_sway
    hold_keyboard
    (user_exec "$focus") >"$work/focus.out" 2>&1 &
    helper_pids+=($!)
    wait_for "the other client's surface" grep -q ready "$work/focus.out"
    show_saver
    kill -USR1 "${helper_pids[-1]}"
    expect_exit 0
    grep -q focused "$work/focus.out" || fail "the other client never had the keyboard"
    ;;
  output_removed)
    # The saver on two outputs of a nested sway (lib.sh), with the protocol traced; one
    # output is unplugged, its layer surface is destroyed, and the other goes on moving.
    start_sway
    start_nested_sway
    add_output
    empty1=$(shot WL-1)
    empty2=$(shot WL-2)
    start_saver env WAYLAND_DEBUG=client "$wayland_program" /s
    wait_for_scene_on WL-1 "$empty1"
    wait_for_scene_on WL-2 "$empty2"
    unplug_nested_output WL-2
    now=$(shot WL-1)
    wait_for_scene_on WL-1 "$now"
    grep -q 'zwlr_layer_surface_v1@[0-9]*\.destroy()' "$work/saver.err" || fail "the surface on WL-2 was kept"
    stop_saver
    ;;
  *)
    # The other compositors, and the outputs' layout, density and pacing.
    source "$(dirname "$0")/output_cases.sh"
    ;;
esac
echo "PASS: $case_name"
