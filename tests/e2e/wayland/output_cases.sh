# The Wayland end-to-end cases under other compositors, and those of the outputs'
# layout, density and pacing: sourced by cases.sh for the cases it does not have itself,
# with lib.sh's helpers and the case's arguments already set.

# The title banner (the first 8 s of the scene) in the lower right of the output.
banner_on() { saver_running || fail "the saver ended early"; [ "$(pale_in_lower_right "$1")" -ge 40 ]; }

# The newest surface of the role on the test compositor ("layer 1"), if it is not SURFACE.
new_surface_after() {
  local newest
  newest=$(grep -E "^surface [0-9]+ $1\$" "$work/compositor.out" | tail -n 1 | cut -d' ' -f2)
  [ -n "$newest" ] && [ "$newest" != "$2" ]
}

case $case_name in
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
    stop_saver
    expect_covered
    expect_buffer '[^,]+' 640x480
    ;;
  standin_mutter)
    # Nor has GNOME's mutter, and it takes no screenshots for other programs: the
    # pictures are counted as the saver hands them over.
    start_compositor mutter
    ORVEL_STATS=1 start_saver env WAYLAND_DEBUG=client "$wayland_program" /s
    wait_for "three pictures shown" attached_at_least 3
    stop_saver
    expect_covered
    expect_buffer '[^,]+' 640x480
    ;;
  fractional_kwin)
    # KDE's kwin has the layer shell, and takes no screenshots for an unnamed client. It
    # offers fractional scales: an output of 960x600 in the compositor's space at 1.5 has
    # 1440x900 pixels, and the saver's pictures have all of them, shown at 960x600
    # through a viewport.
    start_compositor kwin 960x600 1.5
    ORVEL_STATS=1 start_saver env WAYLAND_DEBUG=client "$wayland_program" /s
    wait_for "a picture of 1440x900" saver_traced 'create_buffer\(new id wl_buffer@[0-9]+, 0, 1440, 900,'
    wait_for "three pictures shown" attached_at_least 3
    stop_saver
    grep -qE 'wp_viewport@[0-9]+\.set_destination\(960, 600\)' "$work/saver.err" || fail "no viewport of 960x600"
    grep -q 'zwlr_layer_shell_v1@[0-9]*\.get_layer_surface' "$work/saver.err" || fail "no layer surface"
    expect_covered
    expect_buffer '[^,]+' 1440x900
    ;;
  zero_configure)
    # A configure of 0 x 0 lets the client choose: the stand-in takes its output's size.
    start_test_compositor --no-layer-shell --zero-configure 640x480
    start_saver "$wayland_program" /s
    standin=$(wait_for_drawn "toplevel 1")
    stop_saver
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
    stop_saver
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
    stop_saver
    ;;
  outputs_drawn_alike)
    # Every frame reaches both outputs, each its own part of the picture: as many pictures
    # on each, moving, and none the same on both. Counted once the saver has ended.
    start_test_compositor 640x480 640x480
    start_saver "$wayland_program" /s
    first=$(wait_for_drawn "layer 1")
    second=$(wait_for_drawn "layer 2")
    wait_for "40 pictures on output 1" reported_at_least 40 "^commit $first .* lit\$"
    stop_saver
    n1=$(reported "^commit $first .* lit\$")
    n2=$(reported "^commit $second .* lit\$")
    [ $((n2 * 4)) -ge $((n1 * 3)) ] && [ $((n1 * 4)) -ge $((n2 * 3)) ] || fail "$n1 pictures on output 1, $n2 on output 2"
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
    stop_saver
    ;;
  scale_two)
    # An 800 x 600 output at scale 2 gets a buffer of all its 1600 x 1200 pixels.
    start_sway
    set_output HEADLESS-1 "0 0 800 600" resolution 1600x1200 scale 2
    ORVEL_STATS=1 show_saver env WAYLAND_DEBUG=client "$wayland_program" /s
    stop_saver
    expect_buffer HEADLESS-1 1600x1200
    grep -qE 'wl_surface@[0-9]+\.set_buffer_scale\(2\)' "$work/saver.err" || fail "the surface was not told the scale"
    ;;
  scale_changed)
    # The output's scale goes from 1 to 2 while the saver runs, its size in the layout
    # staying 640 x 480: the pictures follow, in buffers of all its 1280 x 960 pixels.
    ORVEL_STATS=1 saver_showing env WAYLAND_DEBUG=client "$wayland_program" /s
    set_output HEADLESS-1 "0 0 640 480" resolution 1280x960 scale 2
    wait_for "a picture of 1280x960" saver_traced 'create_buffer\(new id wl_buffer@[0-9]+, 0, 1280, 960,'
    now=$(shot HEADLESS-1)
    wait_for_scene_on HEADLESS-1 "$now"
    stop_saver
    expect_buffer HEADLESS-1 1280x960
    ;;
  *)
    fail "no case $case_name"
    ;;
esac
