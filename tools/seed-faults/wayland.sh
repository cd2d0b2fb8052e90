# Faults for the Wayland program and the choice of it: orvel-wayland's event translation,
# its outputs and their surfaces, its lock, and the X11 program's hand-over to it. Sourced
# by tools/seed-faults.sh after the platform's list.
#
# fault          the fast tests can see it (the backend choice's table, the outputs'
#                arithmetic)
# fault_wayland  only orvel-wayland under a compositor can: with --slow the cases named
#                after it run (e2e.wayland.NAME), each under a compositor of its own

# --- The backend choice and the hand-over (the X11 program starts orvel-wayland)
B=src/platform/posix/backend_choice.cpp
fault $B "backend choice: --root and --window-id read with one dash only" \
    "return argument[1] == '-' ? argument + 2 : argument + 1;" 'return argument + 1;'
fault $B "backend choice: -window-id names no X window" \
    'if (std::strcmp(name, "root") == 0 || std::strcmp(name, "window-id") == 0) return HostOptions::XWindow;' \
    'if (std::strcmp(name, "root") == 0) return HostOptions::XWindow;'
fault $B "backend choice: -window before -root wins" \
    'if (std::strcmp(name, "window") == 0) found = HostOptions::OwnWindow;' \
    'if (std::strcmp(name, "window") == 0) return HostOptions::OwnWindow;'
fault $B "backend choice: blanks before the switch not passed over" \
    '    while (*p != '"'"'\0'"'"' && static_cast<unsigned char>(*p) <= 0x20) ++p;
' ''
fault $B "backend choice: /a with a number names no window" \
    "        case 'A':
        case 'a':
" ''
fault $B "backend choice: /c's number read after a space too, as /p's" \
    "return p[1] == ':' ? decimal(p + 2) : 0;" \
    "return decimal(p[1] == ':' || p[1] == ' ' ? p + 2 : p + 1);"
fault $B "backend choice: an empty XSCREENSAVER_WINDOW names a window" \
    'if (isSet(xscreensaverWindow)) return true;' 'if (xscreensaverWindow != nullptr) return true;'
fault $B "backend choice: --x11 left among the arguments" \
    '            forceX11 = true;
        } else {
            argv[kept++] = argv[i];
        }' \
    '            forceX11 = true;
        }
        argv[kept++] = argv[i];'
fault $B "backend choice: an empty WAYLAND_DISPLAY taken for a compositor" \
    'if (forceX11 || !isSet(waylandDisplay) ||' 'if (forceX11 || waylandDisplay == nullptr ||'
fault $B "backend choice: the compositor never asked whether it answers" \
    'return compositorReachable(waylandDisplay);' 'return true;'
fault $B "backend choice: a socket name looked for in the working directory" \
    "    if (path[0] != '/') {
        const char* runtime" \
    "    if (false) {
        const char* runtime"
fault $B "backend choice: an absolute socket path put under XDG_RUNTIME_DIR" \
    "    if (path[0] != '/') {
        const char* runtime" \
    "    {
        const char* runtime"
fault_wayland $B "hand-over: orvel-wayland looked for on the PATH, not beside orvel" \
    'execv(program.c_str(), argv);' 'execvp("orvel-wayland", argv);' chosen_by_orvel
fault_wayland src/platform/posix/program_beside.cpp "program beside: the folder's slash dropped" \
    "path.substr(0, path.rfind('/') + 1) + name" "path.substr(0, path.rfind('/')) + name" chosen_by_orvel

# --- The outputs' arithmetic: a buffer's pixels and each output's part of the picture
G=src/platform/wayland/output_geometry.h
fault $G "output geometry: a fractional buffer rounded down" \
    '(width * preferredScale + 60) / 120, (height * preferredScale + 60) / 120' \
    'width * preferredScale / 120, height * preferredScale / 120'
fault $G "output geometry: an integer scale wins over the preferred one" \
    'if (preferredScale > 0) return' 'if (preferredScale > 0 && outputScale <= 1) return'
fault $G "output geometry: a negative place rounded toward zero" \
    'return static_cast<int>(product >= 0 ? (product + half) / denominator : -((-product + half) / denominator));' \
    'return static_cast<int>((product + half) / denominator);'
fault $G "output geometry: the viewport counted from the box's top" \
    'const int below = boxHeight - (top + surfaceHeight);' 'const int below = top;'

# --- Event translation: keys, buttons, wheel, travel, touch and the keyboard going away
E=src/platform/wayland/events.cpp
fault_wayland $E "wayland events: a key press queued as a release" \
    'const std::uint32_t message = press ? (altDown ? WM_SYSKEYDOWN : WM_KEYDOWN) : WM_KEYUP;' \
    'const std::uint32_t message = altDown ? WM_SYSKEYDOWN : WM_KEYUP;' key_ends
fault_wayland $E "wayland events: the keyboard's arrival not noted" \
    '    if (handleOfSurface(surface, nullptr) == nullptr) return;
    hadFocus = true;' \
    '    if (handleOfSurface(surface, nullptr) == nullptr) return;' focus_taken
fault_wayland $E "wayland events: a leave of the saver's own surface is no loss" \
    'if (hadFocus && handleOfSurface(surface, nullptr) != nullptr) focusLost = true;' \
    'if (hadFocus && handleOfSurface(surface, nullptr) == nullptr) focusLost = true;' focus_taken
fault_wayland $E "wayland events: the focus loss said as a gain" \
    'message = {waylandHandleOf(*window), WM_ACTIVATEAPP, 0, 0};' \
    'message = {waylandHandleOf(*window), WM_ACTIVATEAPP, 1, 0};' focus_taken
fault_wayland $E "wayland events: travel counted from the output's corner, not the first entry" \
    'cursor = {globalX - pointerOriginX, globalY - pointerOriginY};' 'cursor = {globalX, globalY};' small_travel_stays
fault_wayland $E "wayland events: travel in the surface's space, without the output's place" \
    'const int originX = onOutput ? record->output->x : 0;' 'const int originX = 0;' travel_across_outputs
fault_wayland $E "wayland events: travel counted again from each entry" \
    '    pointerSurface = surface;
    pointerSerial = serial;' \
    '    pointerSurface = surface;
    pointerSerial = serial;
    pointerSeen = false;' travel_across_outputs
fault_wayland $E "wayland events: the cursor not hidden over the saver" \
    '        wl_pointer_set_cursor(pointer, pointerSerial, nullptr, 0, 0);
' '' small_travel_stays
fault_wayland $E "wayland events: the left button not translated" \
    '        case BTN_LEFT: message = press ? WM_LBUTTONDOWN : WM_LBUTTONUP; flag = MK_LBUTTON; break;
' '' button_ends
fault_wayland $E "wayland events: the middle button not translated" \
    '        case BTN_MIDDLE: message = press ? WM_MBUTTONDOWN : WM_MBUTTONUP; flag = MK_MBUTTON; break;
' '' button_ends
fault_wayland $E "wayland events: a wheel turn queued as the middle button" \
    'const std::uint32_t message = axis == WL_POINTER_AXIS_VERTICAL_SCROLL ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL;' \
    'const std::uint32_t message = axis == WL_POINTER_AXIS_VERTICAL_SCROLL ? WM_MBUTTONDOWN : WM_MOUSEHWHEEL;' wheel_stays
fault_wayland $E "wayland events: a touch goes to the surface under the pointer" \
    '    const WindowHandle window = handleOfSurface(surface, nullptr);
    touchWindow = window;' \
    '    const WindowHandle window = handleOfSurface(pointerSurface, nullptr);
    touchWindow = window;' touch_ends
fault_wayland $E "wayland events: touch taken only with a pointer" \
    'const bool wantTouch = (capabilities & WL_SEAT_CAPABILITY_TOUCH) != 0;' \
    'const bool wantTouch = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;' touch_ends

# --- Outputs coming and going, their places, sizes and scales
O=src/platform/wayland/outputs.cpp
fault_wayland $O "wayland outputs: without xdg-output an output has no size" \
    '    deriveLogicalSize(*output);
' '' zero_configure
fault_wayland $O "wayland outputs: the scale ignored" \
    'static_cast<WaylandOutput*>(data)->scale = factor > 0 ? factor : 1;' \
    'static_cast<WaylandOutput*>(data)->scale = 1;' scale_two
fault_wayland $O "wayland outputs: wl_output bound at version 1" \
    '&wl_output_interface, version < 4 ? version : 4));' '&wl_output_interface, 1));' scale_two
# Not seeded: xdg-output's width and height swapped. The saver's surfaces take the size
# the compositor configures; an output's own size is only the fallback for a configure of
# 0 x 0, which no compositor here sends with xdg-output offered.
fault_wayland $O "wayland outputs: a new output gets no surface" \
    '        waylandWatchOutputPlace(output);
        waylandOutputAdded(output);' \
    '        waylandWatchOutputPlace(output);' output_added
fault_wayland $O "wayland outputs: a removed output's surface kept" \
    '        waylandOutputRemoved(output);
' '' output_removed
S=src/platform/wayland/surfaces.cpp
# Not seeded: a new scale of an output not passed on to the saver's surface on it. sway
# (wlroots) configures every layer surface again when an output changes, after its new
# scale, so the configure alone fits the buffer to it.

# --- The saver's surfaces
fault_wayland $S "wayland surfaces: a layer configure not acknowledged" \
    '    zwlr_layer_surface_v1_ack_configure(layer, serial);
' '' two_outputs
# Not seeded: the saver anchored to two edges only. A width of 0 in the configure then
# falls back to the output's (as a configure of 0 x 0 does), which sway centres: the
# output is covered all the same.
fault_wayland $S "wayland surfaces: the saver in the background layer" \
    'ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, LAYER_NAME);' 'ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND, LAYER_NAME);' key_ends
fault_wayland $S "wayland surfaces: the saver takes no keyboard" \
    'constexpr std::uint32_t KEYBOARD_EXCLUSIVE = 1;' 'constexpr std::uint32_t KEYBOARD_EXCLUSIVE = 0;' key_ends
fault_wayland $S "wayland surfaces: a closed layer surface not made again" \
    '        output->remakeSaver = true;
' '' layer_reopened
fault_wayland $S "wayland surfaces: a 0 x 0 configure of the stand-in taken as a size" \
    '    if (width <= 0 || height <= 0) {
        const WaylandOutput* output' \
    '    if (width < 0 || height < 0) {
        const WaylandOutput* output' zero_configure
fault_wayland $S "wayland surfaces: the stand-in not made full screen" \
    '    xdg_toplevel_set_fullscreen(window.own.toplevel, nullptr);
' '' zero_configure

# --- Buffers, scale, the cover and frame callbacks
U=src/platform/wayland/surface_buffers.cpp
fault_wayland $U "wayland buffers: the buffer scale not told to the surface" \
    '        wl_surface_set_buffer_scale(surface.surface, scale);
' '' scale_two
fault_wayland $U "wayland buffers: the preferred fractional scale ignored" \
    '    record->preferredScale = int(scale);
' '' fractional_kwin
fault_wayland $U "wayland buffers: a drawing surface not resized" \
    '    } else if (changed) {
        waylandEglResize(surface);
    }' \
    '    }' scale_changed
fault_wayland $U "wayland buffers: the output not covered before the first frame" \
    'if (!surface.covered || (changed && surface.eglWindow == nullptr)) cover(surface);' \
    'if (changed && surface.eglWindow == nullptr && surface.covered) cover(surface);' frames_held
fault_wayland $U "wayland buffers: a frame callback that came is still awaited" \
    '        record->frameCallback = nullptr;
' '' two_outputs
fault_wayland $U "wayland buffers: an output that asks for no frames holds the others" \
    ' &&
           platformTickCount() - surface.frameAskedAt < patience;' ';' frames_held
fault_wayland $U "wayland buffers: a frame drawn without the compositor asking" \
    'return surface.eglSurface != nullptr && surface.frameCallback == nullptr;' \
    'return surface.eglSurface != nullptr;' frames_held

# --- One picture across the outputs
P=src/platform/wayland/frame_present.cpp
fault_wayland $P "wayland frames: further outputs drawn in the first's viewport" \
    '    fitViewport(*window, surface);
    return true;' '    return true;' outputs_drawn_alike
fault_wayland $P "wayland frames: the frame shown on the first output only" \
    '    for (int i = 0; i < frameSurfaceCount; ++i) {' '    for (int i = 0; i < 1; ++i) {' outputs_drawn_alike
fault_wayland $P "wayland frames: the frame drawn on the first view only" \
    '? frameSurfaceCount : 1;' '? 1 : 1;' outputs_drawn_alike
fault_wayland $P "wayland frames: no frame callback asked with a picture" \
    '    waylandAskFrame(surface);
' '' frames_held
fault_wayland src/platform/wayland/window.cpp "wayland windows: the picture's right edge from the outputs' left edges" \
    'if (i == 0 || x + s.width > right) right = x + s.width;' 'if (i == 0 || x > right) right = x + s.width;' one_picture
fault_wayland src/platform/wayland/window.cpp "wayland windows: the end signal closes the window mode's window only" \
    'if (w.inUse && !w.destroying && w.kind != WaylandWindowKind::Toplevel) {' \
    'if (w.inUse && !w.destroying && w.kind == WaylandWindowKind::Toplevel) {' second_instance

# --- The lock by which a second saver finds the first
D=src/platform/wayland/desktop.cpp
fault_wayland $D "wayland lock: released as soon as it is taken" \
    '    lockDescriptor = fd;
    return false;' \
    '    close(fd);
    return false;' second_instance
fault_wayland $D "wayland lock: taken shared" \
    'if (flock(fd, LOCK_EX | LOCK_NB) != 0) {' 'if (flock(fd, LOCK_SH | LOCK_NB) != 0) {' second_instance
fault_wayland $D "wayland lock: the other saver found is no window" \
    'if (window == OTHER_SAVER || waylandFindHandle(window) != nullptr) return true;' \
    'if (waylandFindHandle(window) != nullptr) return true;' second_instance
fault_wayland $D "wayland desktop: a foreign window taken for a window" \
    'if (window == OTHER_SAVER || waylandFindHandle(window) != nullptr) return true;' \
    'return true;' preview_refused
