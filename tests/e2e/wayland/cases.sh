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

# The saver full screen on one output, its picture moving.
saver_showing() {
  start_sway
  local empty
  empty=$(shot HEADLESS-1)
  start_saver "$wayland_program" /s
  wait_for_scene_on HEADLESS-1 "$empty"
}

# After input that must not end the saver: it goes on drawing (two new pictures) and is
# still there.
expect_still_running() {
  local now
  now=$(shot HEADLESS-1)
  wait_for_scene_on HEADLESS-1 "$now"
  saver_running || fail "the saver ended"
  kill -TERM "$saver_pid"
  expect_exit 0
}

# The frame-rate text's white in the top-left corner, where the dark start of the
# scene has none.
rate_text_shows() { as_user grim -g "16,16 96x20" -t ppm - | tail -c $((96 * 20 * 3)) | od -An -v -w3 -tx1 | grep -q ' ff ff ff'; }

# The title banner (the first 8 s of the scene) in the lower right of the output.
banner_on() { saver_running || fail "the saver ended early"; [ "$(pale_in_lower_right "$1")" -ge 40 ]; }

# The saver's trace (WAYLAND_DEBUG) holds a line that matches.
saver_traced() { saver_running || fail "the saver ended early"; grep -qE "$1" "$work/saver.err"; }

# At least N pictures handed to the compositor (the saver traced with WAYLAND_DEBUG).
attached_at_least() {
  saver_running || fail "the saver ended early"
  [ "$(grep -cE 'wl_surface@[0-9]+\.attach\(wl_buffer' "$work/saver.err" || true)" -ge "$1" ]
}

# The newest surface of the role on the test compositor ("layer 1"), if it is not SURFACE.
new_surface_after() {
  local newest
  newest=$(grep -E "^surface [0-9]+ $1\$" "$work/compositor.out" | tail -n 1 | cut -d' ' -f2)
  [ -n "$newest" ] && [ "$newest" != "$2" ]
}

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

case $case_name in
  key_ends)
    start_sway
    # A keyboard on the seat before the saver starts, so that the saver takes it as it
    # maps; the key comes once the saver has the keyboard's focus.
    hold_keyboard
    empty=$(shot HEADLESS-1)
    start_saver env WAYLAND_DEBUG=client "$wayland_program" /s
    wait_for_scene_on HEADLESS-1 "$empty"
    wait_for "the saver to have the keyboard" saver_traced 'wl_keyboard@[0-9]+\.enter\('
    as_user wtype x
    expect_exit 0
    ;;
  sigterm_ends)
    start_sway
    empty=$(shot HEADLESS-1)
    start_saver "$wayland_program" /s
    wait_for_scene_on HEADLESS-1 "$empty"
    kill -TERM "$saver_pid"
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
    kill -TERM "$saver_pid"
    expect_exit 0
    ;;
  output_added)
    start_sway
    empty=$(shot HEADLESS-1)
    start_saver "$wayland_program" /s
    wait_for_scene_on HEADLESS-1 "$empty"
    add_output
    second=$(last_output)
    first=$(shot "$second")
    wait_for_scene_on "$second" "$first"
    kill -TERM "$saver_pid"
    expect_exit 0
    ;;
  second_instance)
    start_sway
    empty=$(shot HEADLESS-1)
    start_saver "$wayland_program" /s
    wait_for_scene_on HEADLESS-1 "$empty"
    code=0
    as_user timeout 30 "$wayland_program" /s || code=$?
    [ "$code" = 0 ] || fail "the second saver ended with $code, expected 0"
    saver_running || fail "the first saver ended"
    kill -TERM "$saver_pid"
    expect_exit 0
    ;;
  chosen_by_orvel)
    # orvel itself hands over to the Wayland program when a compositor is reachable.
    start_sway
    empty=$(shot HEADLESS-1)
    start_saver "$x11_program" /s
    wait_for_scene_on HEADLESS-1 "$empty"
    kill -TERM "$saver_pid"
    expect_exit 0
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
    kill -TERM "$saver_pid"
    expect_exit 0
    ;;
  window_client_decorated)
    # weston offers no xdg-decoration: the window draws its own title bar above the picture.
    start_weston
    weston_shot >"$work/desktop.ppm"
    start_saver "$wayland_program" --window
    wait_for_scene_on - "$(md5sum <"$work/desktop.ppm" | cut -d' ' -f1)"
    wait_for "a title bar drawn above the picture" title_bar_drawn
    kill -TERM "$saver_pid"
    expect_exit 0
    ;;
  compositor_gone)
    start_sway
    empty=$(shot HEADLESS-1)
    start_saver "$wayland_program" /s
    wait_for_scene_on HEADLESS-1 "$empty"
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
    start_sway
    empty=$(shot HEADLESS-1)
    start_saver env WAYLAND_DEBUG=client "$wayland_program" /s
    wait_for_scene_on HEADLESS-1 "$empty"
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
    empty=$(shot HEADLESS-1)
    start_saver "$wayland_program" /s
    wait_for_scene_on HEADLESS-1 "$empty"
    as_user "$pointer" move 3 0
    now=$(shot "$second")
    wait_for_scene_on "$second" "$now"
    as_user "$pointer" move 2 0
    expect_exit 0
    ;;
  travel_ends)
    saver_showing
    as_user "$pointer" move 4 0
    saver_running || fail "4 pixels ended the saver"
    as_user "$pointer" move 1 0
    expect_exit 0
    ;;
  button_ends)
    # Each button, on a saver of its own.
    start_sway
    for button in 1 2 3; do
      empty=$(shot HEADLESS-1)
      start_saver "$wayland_program" /s
      wait_for_scene_on HEADLESS-1 "$empty"
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
    kill -TERM "$saver_pid"
    expect_exit 0
    ;;
  keyboard_unplugged)
    # The seat's last keyboard going (unplugged) is neither input nor the focus going to
    # another client: the saver goes on.
    start_sway
    hold_keyboard
    empty=$(shot HEADLESS-1)
    start_saver env WAYLAND_DEBUG=client "$wayland_program" /s
    wait_for_scene_on HEADLESS-1 "$empty"
    wait_for "the saver to have the keyboard" saver_traced 'wl_keyboard@[0-9]+\.enter\('
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
    empty=$(shot HEADLESS-1)
    start_saver "$wayland_program" /s
    wait_for_scene_on HEADLESS-1 "$empty"
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
    kill -TERM "$saver_pid"
    expect_exit 0
    ;;
  # --- Other compositors, and the outputs' layout, density and pacing.
  standin_weston)
    # weston has no layer shell: the full-screen stand-in covers its output.
    start_compositor weston
    # weston's own shell may still be drawing its desktop when the first shot is taken,
    # and the saver's first picture is its black cover: after four changes two scene
    # pictures have been shown.
    now=$(shot)
    ORVEL_STATS=1 start_saver "$wayland_program" /s
    for _ in 1 2 3 4; do
      wait_for "the saver's picture to change" shot_differs - "$now"
      now=$(shot)
    done
    kill -TERM "$saver_pid"
    expect_exit 0
    expect_covered
    expect_buffer '[^,]+' 640x480
    ;;
  standin_mutter)
    # Nor has GNOME's mutter, and it takes no screenshots for other programs: the
    # pictures are counted as the saver hands them over.
    start_compositor mutter
    ORVEL_STATS=1 start_saver env WAYLAND_DEBUG=client "$wayland_program" /s
    wait_for "three pictures shown" attached_at_least 3
    kill -TERM "$saver_pid"
    expect_exit 0
    expect_covered
    expect_buffer '[^,]+' 640x480
    ;;
  layer_kwin)
    # KDE's kwin has the layer shell; it too takes no screenshots for an unnamed client.
    start_compositor kwin
    ORVEL_STATS=1 start_saver env WAYLAND_DEBUG=client "$wayland_program" /s
    wait_for "three pictures shown" attached_at_least 3
    grep -q 'zwlr_layer_shell_v1@[0-9]*\.get_layer_surface' "$work/saver.err" || fail "no layer surface"
    kill -TERM "$saver_pid"
    expect_exit 0
    expect_covered
    expect_buffer '[^,]+' 640x480
    ;;
  fractional_kwin)
    # kwin offers fractional scales: an output of 960x600 in the compositor's space at
    # 1.5 has 1440x900 pixels, and the saver's pictures have all of them, shown at
    # 960x600 through a viewport.
    start_compositor kwin 960x600 1.5
    ORVEL_STATS=1 start_saver env WAYLAND_DEBUG=client "$wayland_program" /s
    wait_for "a picture of 1440x900" saver_traced 'create_buffer\(new id wl_buffer@[0-9]+, 0, 1440, 900,'
    wait_for "three pictures shown" attached_at_least 3
    kill -TERM "$saver_pid"
    expect_exit 0
    grep -qE 'wp_viewport@[0-9]+\.set_destination\(960, 600\)' "$work/saver.err" || fail "no viewport of 960x600"
    expect_buffer '[^,]+' 1440x900
    ;;
  zero_configure)
    # A configure of 0 x 0 lets the client choose: the stand-in takes its output's size.
    start_test_compositor --no-layer-shell --zero-configure 640x480
    start_saver "$wayland_program" /s
    standin=$(wait_for_drawn "toplevel 1")
    kill -TERM "$saver_pid"
    expect_exit 0
    # Counted once the saver has ended, so that no picture comes between the two counts.
    [ "$(reported '^commit [0-9]+ ' )" = "$(reported '^commit [0-9]+ 640x480 ')" ] || fail "a picture not of 640x480"
    [ "$(reported "^fullscreen $standin\$")" -ge 1 ] || fail "the stand-in did not ask to be full screen"
    ;;
  touch_ends)
    start_test_compositor 640x480
    start_saver "$wayland_program" /s
    wait_for_drawn "layer 1" >/dev/null
    tell_compositor touch
    expect_exit 0
    ;;
  layer_reopened)
    # The compositor closes the saver's layer surface while the output stays.
    start_test_compositor 640x480
    start_saver "$wayland_program" /s
    first=$(wait_for_drawn "layer 1")
    tell_compositor close
    wait_for "the surface to close" grep -q "^closed $first\$" "$work/compositor.out"
    wait_for "a new layer surface" new_surface_after "layer 1" "$first"
    wait_for_drawn "layer 1" >/dev/null
    kill -TERM "$saver_pid"
    expect_exit 0
    ;;
  frames_held)
    # Output 1 never asks for a frame (as a powered-off one): no scene picture reaches
    # it, only the black that covers it and the first frame, still dark, drawn before
    # any was asked for; output 2 goes on.
    start_test_compositor --hold-frames 1 640x480 640x480
    start_saver "$wayland_program" /s
    wait_for "a surface on output 1" grep -qE '^surface [0-9]+ layer 1$' "$work/compositor.out"
    held=$(grep -E '^surface [0-9]+ layer 1$' "$work/compositor.out" | head -n 1 | cut -d' ' -f2)
    other=$(wait_for_drawn "layer 2")
    wait_for "20 pictures on output 2" reported_at_least 20 "^commit $other "
    [ "$(reported "^commit $held .* lit\$")" = 0 ] || fail "a scene picture on the output that asked for none"
    [ "$(reported "^commit $held ")" = 2 ] || fail "$(reported "^commit $held ") black pictures on the output that asked for none, not 2"
    kill -TERM "$saver_pid"
    expect_exit 0
    ;;
  outputs_drawn_alike)
    # Every frame reaches both outputs, each its own part of the picture: as many pictures
    # on each, moving, and none the same on both. Counted once the saver has ended.
    start_test_compositor 640x480 640x480
    start_saver "$wayland_program" /s
    first=$(wait_for_drawn "layer 1")
    second=$(wait_for_drawn "layer 2")
    wait_for "40 pictures on output 1" reported_at_least 40 "^commit $first .* lit\$"
    kill -TERM "$saver_pid"
    expect_exit 0
    n1=$(reported "^commit $first .* lit\$")
    n2=$(reported "^commit $second .* lit\$")
    [ $((n2 * 4)) -ge $((n1 * 3)) ] && [ $((n1 * 4)) -ge $((n2 * 3)) ] || fail "$n1 pictures on output 1, $n2 on output 2"
    lit_sums() { grep -E "^commit $1 .* lit\$" "$work/compositor.out" | cut -d' ' -f6 | sort -u; }
    [ "$(lit_sums "$first" | wc -l)" -ge $((n1 / 2)) ] || fail "output 1's pictures do not move"
    [ "$(lit_sums "$second" | wc -l)" -ge $((n2 / 2)) ] || fail "output 2's pictures do not move"
    [ -z "$(comm -12 <(lit_sums "$first") <(lit_sums "$second"))" ] || fail "the same picture on both outputs"
    ;;
  one_picture)
    # A 16:9 output beside a 5:4 one carries one picture: the title banner, in the lower
    # right of the whole picture, shows on the right output only. With a copy on each
    # it shows on both.
    start_sway
    set_output HEADLESS-1 "0 0 1920 1080" resolution 1920x1080 position 0 0
    add_output
    second=$(last_output)
    set_output "$second" "1920 0 1280 1024" resolution 1280x1024 position 1920 0
    start_saver "$wayland_program" /s
    wait_for "the title banner in the lower right of $second" banner_on "1920 0 1280 1024"
    left=$(pale_in_lower_right "0 0 1920 1080")
    [ "$left" -lt 10 ] || fail "the banner shows on HEADLESS-1 too ($left per mille pale): a copy, not its part"
    kill -TERM "$saver_pid"
    expect_exit 0
    ;;
  scale_two)
    # An 800 x 600 output at scale 2 gets a buffer of all its 1600 x 1200 pixels.
    start_sway
    set_output HEADLESS-1 "0 0 800 600" resolution 1600x1200 scale 2
    empty=$(shot HEADLESS-1)
    ORVEL_STATS=1 start_saver env WAYLAND_DEBUG=client "$wayland_program" /s
    wait_for_scene_on HEADLESS-1 "$empty"
    kill -TERM "$saver_pid"
    expect_exit 0
    expect_buffer HEADLESS-1 1600x1200
    grep -qE 'wl_surface@[0-9]+\.set_buffer_scale\(2\)' "$work/saver.err" || fail "the surface was not told the scale"
    ;;
  scale_changed)
    # The output's scale goes from 1 to 2 while the saver runs, its size in the layout
    # staying 640 x 480: the pictures follow, in buffers of all its 1280 x 960 pixels.
    start_sway
    empty=$(shot HEADLESS-1)
    ORVEL_STATS=1 start_saver env WAYLAND_DEBUG=client "$wayland_program" /s
    wait_for_scene_on HEADLESS-1 "$empty"
    set_output HEADLESS-1 "0 0 640 480" resolution 1280x960 scale 2
    wait_for "a picture of 1280x960" saver_traced 'create_buffer\(new id wl_buffer@[0-9]+, 0, 1280, 960,'
    now=$(shot HEADLESS-1)
    wait_for_scene_on HEADLESS-1 "$now"
    kill -TERM "$saver_pid"
    expect_exit 0
    expect_buffer HEADLESS-1 1280x960
    ;;
  *)
    fail "no case $case_name"
    ;;
esac
echo "PASS: $case_name"
