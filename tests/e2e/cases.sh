#!/usr/bin/env bash
# End-to-end cases for the X11 program: the real build/<preset>/orvel under a private Xvfb,
# driven with xdotool and orvel-x11-helper.
#
#   cases.sh CASE ORVEL HELPER
#
# Each case ends with 0 when it passes. Every wait has a deadline, and whatever the case
# started is killed when it ends.
set -u

[ $# -eq 3 ] || {
  echo "usage: cases.sh CASE ORVEL HELPER" >&2
  exit 2
}
CASE=$1
ORVEL=$2
HELPER=$3
. "$(dirname "$0")/lib.sh"

# A key press, a click of buttons 1, 2 and 3, and 5 pixels of cursor travel each end
# the saver with 0.
case_ends_on_input() {
  start_xvfb
  local input
  for input in "key space" "click 1" "click 2" "click 3" "move 103 102"; do
    step "$input"
    xdotool mousemove 100 100
    start_saver /s
    wait_full_screen
    case "$input" in
      move*) xdotool mousemove ${input#move } ;;
      *) xdotool $input ;;
    esac
    expect_saver_exit 5000 0
  done
}

# None of these ends the saver: a key release whose press came before it started, wheel
# turns, buttons 8 and 9, 4 pixels of travel, and two moves of 2 pixels in a row. The
# third move of 2 pixels, 6 from where the cursor started, does. The server does not
# repeat keys, so the held b makes no fresh presses however long the saver takes to start.
case_survives_input() {
  start_xvfb -r
  xdotool mousemove 100 100
  xdotool keydown b
  start_saver /s
  wait_full_screen
  step "a key release"
  xdotool keyup b
  expect_running "a key release whose press came before the saver"
  step "wheel turns"
  xdotool click 4 click 5 click 6 click 7
  expect_running "wheel turns"
  step "buttons 8 and 9"
  xdotool click 8 click 9
  expect_running "buttons 8 and 9"
  step "4 pixels of travel"
  xdotool mousemove 102 102
  expect_running "4 pixels of travel, 2 across and 2 down"
  xdotool mousemove 100 100
  expect_running "the cursor's return to where it started"
  step "moves of 2 pixels"
  xdotool mousemove 102 100
  xdotool mousemove 104 100
  expect_running "two moves of 2 pixels"
  xdotool mousemove 106 100
  expect_saver_exit 5000 0
}

# The full-screen window covers the screen with the saver's class and name, bypasses
# the window manager, and draws continuously: a loose lower bound on frames over 2 s,
# and never less than 10 ms from one frame start to the next.
case_full_screen() {
  start_xvfb
  xdotool mousemove 100 100
  start_saver /s
  wait_full_screen
  local info
  info=$(xwininfo -id "$SAVER_WINDOW") || fail "xwininfo cannot read the saver window"
  grep -q "Width: $SCREEN_WIDTH\$" <<<"$info" || fail "the window is not as wide as the screen: $info"
  grep -q "Height: $SCREEN_HEIGHT\$" <<<"$info" || fail "the window is not as high as the screen: $info"
  grep -q "Override Redirect State: yes" <<<"$info" || fail "the window is managed by the window manager"
  grep -q "Map State: IsViewable" <<<"$info" || fail "the window is not shown"
  sleep 2
  local lit
  lit=$(lit_fraction_percent "$SAVER_WINDOW")
  [ "$lit" -ge 10 ] || fail "only $lit% of the screen is drawn after 2 s"
  xdotool key Escape
  expect_saver_exit 5000 0
  local frames shortest
  frames=$(stats_frames)
  shortest=$(stats_shortest_ms)
  [ -n "$frames" ] && [ -n "$shortest" ] || fail "no statistics line"
  step "$(stats_line)"
  [ "$frames" -ge 20 ] || fail "only $frames frames in more than 2 s"
  [ "$shortest" -ge 10 ] || fail "two frames began $shortest ms apart"
}

# Focus taken by another window ends the saver. The focus changes that grabs cause don't:
# neither the saver's own grabs, nor another program's grab of the keyboard while the
# saver runs without it (the saver waits a second for a keyboard someone else holds,
# then runs on and says so).
case_focus() {
  start_xvfb
  xdotool mousemove 100 100
  start_saver /s
  wait_full_screen
  expect_running "its own grabs"
  "$HELPER" steal-focus || fail "cannot give another window the focus"
  expect_saver_exit 5000 0

  step "another program holds the keyboard"
  local out="$WORK/hold.out" in="$WORK/hold.in" held=""
  mkfifo "$out" "$in"
  exec 5<>"$out" 6<>"$in"
  "$HELPER" hold-keyboard 300 300 <"$in" >"$out" 5>&- 6>&- &
  local holder=$!
  track "$holder"
  read -r -t 10 -u 5 held || fail "the helper could not take the keyboard"
  exec 5<&-
  start_saver /s
  "$HELPER" wait-window WindowsScreenSaverClass "Screen Saver" 15000 >/dev/null || fail "no saver window"
  local deadline=$(($(now_ms) + 10000))
  until grep -q "holds the keyboard" "$WORK/saver.err"; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "the saver did not say it runs without the keyboard"
    sleep 0.05
  done
  # Once the saver runs without it, the helper lets the keyboard go and takes it again.
  echo >&6
  exec 6>&-
  deadline=$(($(now_ms) + 10000))
  while running "$holder"; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "the helper did not let the keyboard go"
    sleep 0.05
  done
  wait "$holder" || fail "the helper could not take the keyboard again"
  expect_running "another program's grab of the keyboard"
  xdotool key space
  expect_saver_exit 5000 0
}

# The cursor is hidden over the full-screen saver and left alone over a preview.
case_cursor() {
  start_xvfb
  xdotool mousemove 100 100
  [ "$("$HELPER" cursor)" = visible ] || fail "the server's own cursor is not visible to begin with"
  start_saver /s
  wait_full_screen
  [ "$("$HELPER" cursor)" = hidden ] || fail "the cursor shows over the full-screen saver"
  xdotool key space
  expect_saver_exit 5000 0

  start_host 200 150
  start_saver /p "$HOST_WINDOW"
  "$HELPER" wait-child "$HOST_WINDOW" Preview 15000 >/dev/null || fail "no preview window"
  xdotool mousemove 120 120
  sleep 0.5
  [ "$("$HELPER" cursor)" = visible ] || fail "the cursor is hidden over the preview"
  running "$SAVER_PID" || fail "the preview ended"
}

# A second /s brings the first to the front and ends at once with 0; the first runs on.
case_single_instance() {
  start_xvfb
  xdotool mousemove 100 100
  start_saver /s
  wait_full_screen
  local first=$SAVER_PID started status
  started=$(now_ms)
  timeout 10 "$ORVEL" /s 2>"$WORK/second.err"
  status=$?
  [ "$status" -eq 0 ] || fail "the second saver ended with $status: $(cat "$WORK/second.err")"
  [ $(($(now_ms) - started)) -lt 3000 ] || fail "the second saver took $(($(now_ms) - started)) ms to end"
  [ "$(xwininfo -root -children | grep -c '"Screen Saver"')" -eq 1 ] || fail "there is more than one saver window"
  running "$first" || fail "the first saver ended"
  xdotool key space
  expect_saver_exit 5000 0
}

# /p <id> draws into the host's window through a child named "Preview" that covers it;
# input does not end it, and destroying the host does, with 0.
case_preview() {
  start_xvfb
  xdotool mousemove 5 5
  start_host 240 180
  start_saver /p "$HOST_WINDOW"
  local child info lit
  child=$("$HELPER" wait-child "$HOST_WINDOW" Preview 15000) || fail "no child named Preview in the host"
  info=$(xwininfo -id "$child")
  grep -q "Width: 240\$" <<<"$info" && grep -q "Height: 180\$" <<<"$info" ||
    fail "the preview does not cover its host: $info"
  sleep 3
  lit=$(lit_fraction_percent "$HOST_WINDOW")
  [ "$lit" -ge 10 ] || fail "only $lit% of the preview is drawn after 3 s"
  step "input over the preview"
  xdotool mousemove 100 100 key space click 1 mousemove 150 150
  expect_running "input over the preview"
  step "the host goes away"
  "$HELPER" destroy "$HOST_WINDOW" || fail "cannot destroy the host"
  expect_saver_exit 5000 0
}

# Switches that name no usable window, or no mode this program runs, return -1 (255) at
# once without a window.
case_refusals() {
  start_xvfb
  local watch_in="$WORK/watch.in" watch_out="$WORK/watch.out" args started count
  mkfifo "$watch_in"
  exec 7<>"$watch_in"
  "$HELPER" watch-creates <"$watch_in" >"$watch_out" 7>&- &
  local watcher=$!
  track "$watcher"
  local deadline=$(($(now_ms) + 10000))
  until grep -q watching "$watch_out" 2>/dev/null; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "the window watcher did not start"
    sleep 0.02
  done
  set -f # "/?" is an argument, not a pattern
  for args in "/p" "/p 123456789" "/p abc" "/p:1234" "/x" "/?" "/a" "--window-id" "--window-id 0x12x" \
    "-window-id -5" "--window-id 0x100000000" "--window-id 0" "--window-id 123456789" "--root --window"; do
    step "orvel $args"
    started=$(now_ms)
    start_saver $args
    expect_saver_exit 3000 255
    case $args in
      --root*) grep -q "cannot be given together" "$WORK/saver.err" || fail "no word for '$args'" ;;
      "--window-id 123456789") grep -q "there is no window 0x75bcd15" "$WORK/saver.err" || fail "no word for '$args'" ;;
      -*) grep -q "window id" "$WORK/saver.err" || fail "no word for '$args'" ;;
    esac
    [ $(($(now_ms) - started)) -lt 2000 ] || fail "'$args' took $(($(now_ms) - started)) ms"
  done
  step "XSCREENSAVER_WINDOW=0x12z orvel --root"
  XSCREENSAVER_WINDOW=0x12z start_saver --root
  expect_saver_exit 3000 255
  grep -q 'XSCREENSAVER_WINDOW="0x12z" is not a window id' "$WORK/saver.err" || fail "no word about the variable"
  set +f
  exec 7>&-
  deadline=$(($(now_ms) + 10000))
  while running "$watcher"; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "the window watcher did not end"
    sleep 0.02
  done
  count=$(tail -n 1 "$watch_out")
  [ "$count" = 0 ] || fail "$count windows were made"
}

# SIGTERM, SIGINT and the window manager's delete request end a running saver with 0.
case_close_requests() {
  start_xvfb
  local how
  for how in TERM INT delete; do
    step "$how"
    xdotool mousemove 100 100
    start_saver /s
    wait_full_screen
    if [ "$how" = delete ]; then
      "$HELPER" delete-window "$SAVER_WINDOW" || fail "cannot send WM_DELETE_WINDOW"
    else
      kill "-$how" "$SAVER_PID"
    fi
    expect_saver_exit 5000 0
  done
}

# Without a display, or with one that cannot be opened, the saver and the configure
# dialog say so and return -1.
case_no_display() {
  local status
  env -u DISPLAY "$ORVEL" /s 2>"$WORK/saver.err"
  status=$?
  [ "$status" -eq 255 ] || fail "ended with $status without DISPLAY"
  grep -q "DISPLAY is not set" "$WORK/saver.err" || fail "no word about the missing DISPLAY"
  env -u DISPLAY "$ORVEL" /c 2>"$WORK/saver.err"
  status=$?
  [ "$status" -eq 255 ] || fail "/c ended with $status without DISPLAY"
  grep -q "needs an X display" "$WORK/saver.err" || fail "/c gave no word about the missing display"
  DISPLAY=/nonexistent/socket:0 "$ORVEL" /s 2>"$WORK/saver.err"
  status=$?
  [ "$status" -eq 255 ] || fail "ended with $status on a display that cannot be opened"
  grep -q "cannot open the X display" "$WORK/saver.err" || fail "no word about the display"
}

# When the X server goes away the saver ends promptly with its own exit code, 2.
case_lost_server() {
  start_xvfb
  xdotool mousemove 100 100
  start_saver /s
  wait_full_screen
  kill -9 "$XVFB_PID"
  expect_saver_exit 3000 2
  grep -q "lost the connection to the X server" "$WORK/saver.err" || fail "no word about the lost server"
}

# Without GLX the graphics device says so, and the window still obeys the dismissal rules.
# It stays black but for the frame-rate text, which Xlib draws.
case_no_glx() {
  start_xvfb -extension GLX
  xdotool mousemove 100 100
  start_saver /s
  wait_full_screen
  sleep 1.5
  grep -q "ChoosePixelFormat" "$WORK/saver.err" || fail "no word about the missing pixel format"
  local counts
  counts=$("$HELPER" lit "$SAVER_WINDOW") || fail "cannot read the saver window's pixels"
  set -- $counts
  [ "$1" -gt 0 ] || fail "no frame-rate text on the black window"
  [ $(($1 * 100 / $2)) -lt 2 ] || fail "$1 of $2 pixels are lit without OpenGL"
  xdotool key space
  expect_saver_exit 5000 0
  [ "$(stats_frames)" -gt 0 ] || fail "no frames ran"
}

# low=1 in the settings file gives low detail; a value that is not a number gives normal
# detail, and the file is left as it was.
case_settings() {
  start_xvfb
  local text expected
  for text in "low=1" "low=0" "low=x"; do
    printf '[param]\n%s\n' "$text" >"$XDG_CONFIG_HOME/Orvelconfig.ini"
    cp "$XDG_CONFIG_HOME/Orvelconfig.ini" "$WORK/before.ini"
    expected=normal
    [ "$text" = low=1 ] && expected=low
    step "$text"
    xdotool mousemove 100 100
    start_saver /s
    wait_full_screen
    xdotool key space
    expect_saver_exit 5000 0
    [ "$(stats_detail)" = "$expected" ] || fail "$text gave detail '$(stats_detail)'"
    cmp -s "$WORK/before.ini" "$XDG_CONFIG_HOME/Orvelconfig.ini" || fail "the settings file changed"
  done
}

# /c with the mouse: the dialog shows centred on the mouse, with nothing to be transient
# for; a click on the check box's text toggles it and OK writes low=1 into [param],
# keeping the file's other sections, comments and CRLF line ends.
case_dialog_mouse() {
  start_xvfb
  printf '; Orvel\r\n[other]\r\nlow=0\r\n\r\n[param]\r\n; detail\r\nlow=0\r\nextra=yes\r\n' >"$SETTINGS"
  xdotool mousemove 200 150
  local started
  started=$(now_ms)
  start_saver /c
  wait_dialog
  step "shown $(($(now_ms) - started)) ms after start, ${DIALOG_WIDTH}x${DIALOG_HEIGHT} at $DIALOG_X,$DIALOG_Y"
  [ $((DIALOG_X + DIALOG_WIDTH / 2 - 200)) -ge -1 ] && [ $((DIALOG_X + DIALOG_WIDTH / 2 - 200)) -le 1 ] &&
    [ $((DIALOG_Y + DIALOG_HEIGHT / 2 - 150)) -ge -1 ] && [ $((DIALOG_Y + DIALOG_HEIGHT / 2 - 150)) -le 1 ] ||
    fail "the dialog is not centred on the mouse at 200,150"
  # 150 by 67 dialog units, a unit being a quarter of a character across and an eighth
  # of a line down: wider than high, and neither tiny nor huge.
  [ "$DIALOG_WIDTH" -gt "$DIALOG_HEIGHT" ] && [ "$DIALOG_WIDTH" -ge 150 ] && [ "$DIALOG_WIDTH" -le 600 ] ||
    fail "a dialog of ${DIALOG_WIDTH}x${DIALOG_HEIGHT} pixels"
  xprop -id "$DIALOG_WINDOW" WM_TRANSIENT_FOR | grep -q 'not found' || fail "an ownerless dialog is transient"
  xprop -id "$DIALOG_WINDOW" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_DIALOG || fail "not a dialog window"
  local before
  before=$(dialog_pixels)
  click_units $CHECK_BOX_TEXT
  wait_pixels_change "$before" "a click on the check box's text" >/dev/null || exit 1
  click_units $OK_BUTTON
  expect_saver_exit 5000 0
  expect_settings '; Orvel\r\n[other]\r\nlow=0\r\n\r\n[param]\r\n; detail\r\nlow=1\r\nextra=yes\r\n' "OK"

  step "a click on the box and on Cancel"
  keep_settings
  start_saver /c
  wait_dialog
  click_units $CHECK_BOX_TEXT
  click_units $CANCEL_BUTTON
  expect_saver_exit 5000 0
  expect_settings_kept "Cancel"
}

# Tab and Shift+Tab go round OK, Cancel and the check box, and the focus shows; Space
# toggles the focused box, Enter on the box is OK and on Cancel is Cancel. Keys sent
# with XSendEvent work as typed ones.
case_dialog_keyboard() {
  start_xvfb
  printf '[param]\nlow=0\n' >"$SETTINGS"
  xdotool mousemove 240 180
  start_saver /c
  wait_dialog
  local on_ok on_cancel on_box checked
  on_ok=$(dialog_pixels)
  xdotool key Tab
  on_cancel=$(wait_pixels_change "$on_ok" "Tab to Cancel") || exit 1
  xdotool key Tab
  on_box=$(wait_pixels_change "$on_cancel" "Tab to the check box") || exit 1
  [ "$on_box" != "$on_ok" ] || fail "the focus on the check box does not show"
  xdotool key Tab
  wait_pixels_are "$on_ok" "Tab back round to OK"
  xdotool key shift+Tab
  wait_pixels_are "$on_box" "Shift+Tab from OK to the check box"
  xdotool key space
  checked=$(wait_pixels_change "$on_box" "Space on the check box") || exit 1
  xdotool key Return
  expect_saver_exit 5000 0
  expect_settings '[param]\nlow=1\n' "Space on the box, then Enter"

  step "Enter on Cancel"
  keep_settings
  start_saver /c
  wait_dialog
  [ "$(dialog_pixels)" != "$on_ok" ] || fail "a stored 1 shows the box unchecked"
  xdotool key Tab Tab space shift+Tab Return
  expect_saver_exit 5000 0
  expect_settings_kept "Enter on Cancel"

  step "keys sent with XSendEvent"
  start_saver /c
  wait_dialog
  "$HELPER" send-keys "$DIALOG_WINDOW" Tab Tab space Return || fail "cannot send the keys"
  expect_saver_exit 5000 0
  expect_settings '[param]\nlow=0\n' "Tab, Tab, Space and Enter sent to the window"
}

# Cancel, Escape (typed and sent), the window manager's close button and SIGTERM leave
# the file byte for byte, and the dialog ends with 0 each time.
case_dialog_leaves_file() {
  start_xvfb
  printf '[param]\r\nlow=3\r\n; note\r\n[x]\r\ny=1' >"$SETTINGS"
  keep_settings
  xdotool mousemove 240 180
  local how
  for how in cancel escape sent-escape close term; do
    step "$how"
    start_saver /c
    wait_dialog
    click_units $CHECK_BOX_TEXT
    case $how in
      cancel) click_units $CANCEL_BUTTON ;;
      escape) xdotool key Escape ;;
      sent-escape) "$HELPER" send-keys "$DIALOG_WINDOW" Escape || fail "cannot send Escape" ;;
      close) "$HELPER" delete-window "$DIALOG_WINDOW" || fail "cannot send WM_DELETE_WINDOW" ;;
      term) kill -TERM "$SAVER_PID" ;;
    esac
    expect_saver_exit 5000 0
    expect_settings_kept "$how"
  done
}

# Only bit 0 of the stored value counts: 3 shows the box as 1 does and OK rewrites 1, 2
# shows it as 0 does and OK rewrites 0. Without a file OK makes one with low=0.
case_dialog_values() {
  start_xvfb
  xdotool mousemove 240 180
  local value shown
  declare -A look
  for value in 0 1 3 2; do
    step "low=$value"
    printf '[param]\nlow=%s\n' "$value" >"$SETTINGS"
    start_saver /c
    wait_dialog
    shown=$(dialog_pixels)
    case $value in
      0 | 1) look[$value]=$shown ;;
      3) [ "$shown" = "${look[1]}" ] || fail "a stored 3 does not show the box checked" ;;
      2) [ "$shown" = "${look[0]}" ] || fail "a stored 2 does not show the box unchecked" ;;
    esac
    xdotool key Return
    expect_saver_exit 5000 0
    expect_settings "[param]\\nlow=$((value & 1))\\n" "OK on a stored $value"
  done
  [ "${look[0]}" != "${look[1]}" ] || fail "the box looks the same checked and unchecked"

  step "no settings file"
  rm -f "$SETTINGS"
  start_saver /c
  wait_dialog
  [ "$(dialog_pixels)" = "${look[0]}" ] || fail "without a file the box is not unchecked"
  click_units $OK_BUTTON
  expect_saver_exit 5000 0
  expect_settings '[param]\nlow=0\n' "OK without a file"
}

# A settings directory the saver cannot write: OK shows the failure in a message box over
# the dialog and on standard error, and the file stays as it was. The saver runs as the
# unprivileged user 65534, for whom the directory, owned by another user, is read-only
# (root could write it anyway).
case_dialog_read_only() {
  start_xvfb
  printf '[param]\nlow=1\n' >"$SETTINGS"
  keep_settings
  chmod 755 "$WORK" "$XDG_CONFIG_HOME"
  chmod 644 "$SETTINGS"
  local run=()
  if [ "$(id -u)" -eq 0 ]; then
    # The saver runs as nobody, who may not reach into the checkout (a clone in a
    # folder of mode 700): it gets copies of the program and of LeakSanitizer's
    # suppressions, which a sanitizer build reads as it ends.
    cp "$ORVEL" "$WORK/orvel"
    chmod 755 "$WORK/orvel"
    ORVEL="$WORK/orvel"
    if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]*) ]]; then
      cp "${BASH_REMATCH[1]}" "$WORK/lsan.supp"
      chmod 644 "$WORK/lsan.supp"
      LSAN_OPTIONS=${LSAN_OPTIONS/"suppressions=${BASH_REMATCH[1]}"/"suppressions=$WORK/lsan.supp"}
    fi
    run=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
    chown 0:0 "$XDG_CONFIG_HOME"
  else
    chmod 555 "$XDG_CONFIG_HOME"
  fi
  xdotool mousemove 240 180
  : >"$WORK/saver.err"
  "${run[@]}" "$ORVEL" /c 2>"$WORK/saver.err" &
  SAVER_PID=$!
  track "$SAVER_PID"
  wait_dialog
  click_units $CHECK_BOX_TEXT
  click_units $OK_BUTTON
  local box
  box=$("$HELPER" wait-window Orvel Orvel 10000) || fail "no message box"
  wait_focus 10000 "$box" || fail "the message box did not take the focus"
  xprop -id "$box" WM_TRANSIENT_FOR | grep -qi "$(printf '0x%x' "$DIALOG_WINDOW")\$" ||
    fail "the message box is not transient for the dialog: $(xprop -id "$box" WM_TRANSIENT_FOR)"
  running "$SAVER_PID" || fail "the saver ended with the message box up"
  grep -q "The setting could not be saved" "$WORK/saver.err" || fail "no word on standard error"
  grep -q "$SETTINGS.*denied" "$WORK/saver.err" || fail "standard error does not say why"
  xdotool key Return
  expect_saver_exit 5000 0
  expect_settings_kept "a failed write"
  [ "$(ls -A "$XDG_CONFIG_HOME")" = Orvelconfig.ini ] || fail "left behind: $(ls -A "$XDG_CONFIG_HOME")"
}

# /c:<window> makes the dialog transient for that window; a number that is no window
# leaves it ownerless. Near the screen's edges the dialog stays wholly on the screen.
case_dialog_owner() {
  start_xvfb
  start_host 120 90
  xdotool mousemove 2 2
  start_saver "/c:$HOST_WINDOW"
  wait_dialog
  xprop -id "$DIALOG_WINDOW" WM_TRANSIENT_FOR | grep -qi "$(printf '0x%x' "$HOST_WINDOW")\$" ||
    fail "not transient for the host: $(xprop -id "$DIALOG_WINDOW" WM_TRANSIENT_FOR)"
  [ "$DIALOG_X" -eq 0 ] && [ "$DIALOG_Y" -eq 0 ] || fail "at $DIALOG_X,$DIALOG_Y with the mouse in the corner"
  xdotool key Escape
  expect_saver_exit 5000 0

  step "/c:123456789"
  xdotool mousemove $((SCREEN_WIDTH - 1)) $((SCREEN_HEIGHT - 1))
  start_saver /c:123456789
  wait_dialog
  xprop -id "$DIALOG_WINDOW" WM_TRANSIENT_FOR | grep -q 'not found' || fail "transient for no window"
  [ $((DIALOG_X + DIALOG_WIDTH)) -eq "$SCREEN_WIDTH" ] && [ $((DIALOG_Y + DIALOG_HEIGHT)) -eq "$SCREEN_HEIGHT" ] ||
    fail "at $DIALOG_X,$DIALOG_Y with the mouse in the far corner"
  xdotool key Escape
  expect_saver_exit 5000 0
}

# The dialog as a PNG (xwd, then netpbm), with its text antialiased: many shades of grey.
# With ORVEL_SCREENSHOT_DIR set, the picture is kept there as orvel-configure.png.
case_dialog_screenshot() {
  start_xvfb
  printf '[param]\nlow=1\n' >"$SETTINGS"
  xdotool mousemove 240 180
  start_saver /c
  wait_dialog
  xwd -silent -id "$DIALOG_WINDOW" >"$WORK/dialog.xwd" || fail "xwd cannot take the dialog"
  xwdtopnm "$WORK/dialog.xwd" 2>/dev/null | pnmtopng >"$WORK/dialog.png" || fail "cannot make a PNG of it"
  local size greys
  size=$(pngtopnm "$WORK/dialog.png" | pnmfile)
  grep -q "${DIALOG_WIDTH} by ${DIALOG_HEIGHT}" <<<"$size" || fail "the PNG is $size"
  greys=$(pngtopnm "$WORK/dialog.png" | ppmhist -noheader | awk '$1 == $2 && $2 == $3' | wc -l)
  [ "$greys" -ge 16 ] || fail "only $greys shades of grey: the text is not antialiased"
  xdotool key Escape
  expect_saver_exit 5000 0
  if [ -n "${ORVEL_SCREENSHOT_DIR:-}" ]; then
    cp "$WORK/dialog.png" "$ORVEL_SCREENSHOT_DIR/orvel-configure.png"
  fi
}

# How much of the window, in percent of the given area (its size at some other time).
lit_percent_of() { # window area
  local counts
  counts=$("$HELPER" lit "$1") || fail "cannot read the pixels of window $1"
  set -- $counts "$2"
  echo $(($1 * 100 / $3))
}

# Waits up to 5 s for the window to be $2 by $3 pixels.
wait_size() { # window width height
  local deadline=$(($(now_ms) + 5000))
  until xwininfo -id "$1" | grep -q "Width: $2\$" && xwininfo -id "$1" | grep -q "Height: $3\$"; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "window $1 is not ${2}x$3: $(xwininfo -id "$1" | grep -E 'Width|Height')"
    sleep 0.05
  done
}

# The saver in a host's window, as xscreensaver hands one over: a child over all of it
# that draws, leaves input and the cursor to the host, follows the host's size and ends
# with 0 on SIGTERM. $1 says how the window is named.
run_in_host() { # how
  start_xvfb
  xdotool mousemove 5 5
  start_host 120 90
  case $1 in
    hex) start_saver --window-id "$(printf '0x%x' "$HOST_WINDOW")" ;;
    decimal) start_saver -window-id "$HOST_WINDOW" ;;
    xscreensaver) XSCREENSAVER_WINDOW=$(printf '0x%X' "$HOST_WINDOW") start_saver -root -fps ;;
  esac
  local child
  child=$("$HELPER" wait-child "$HOST_WINDOW" Preview 15000) || fail "no child in the host"
  wait_size "$child" 120 90
  sleep 3
  [ "$(lit_fraction_percent "$HOST_WINDOW")" -ge 10 ] || fail "the host's window is not drawn after 3 s"
  step "input over it, and the cursor"
  xdotool mousemove 100 100 key space click 1 mousemove 150 110
  expect_running "input over the host's window"
  [ "$("$HELPER" cursor)" = visible ] || fail "the cursor is hidden"
  step "the host grows"
  xdotool windowsize "$HOST_WINDOW" 400 300
  wait_size "$child" 400 300
  sleep 1
  # The picture fills the new size: no more than 120 x 90 of it could be lit otherwise.
  [ "$(lit_percent_of "$HOST_WINDOW" 120000)" -ge 30 ] || fail "the picture does not fill the grown window"
  kill -TERM "$SAVER_PID"
  expect_saver_exit 5000 0
}

case_host_hex() { run_in_host hex; }
case_host_decimal() { run_in_host decimal; }

# -root with XSCREENSAVER_WINDOW draws in that window (xscreensaver's other options are
# passed over, with a word); without it, in an override-redirect window over the whole
# screen that the window manager leaves alone.
case_host_root() {
  run_in_host xscreensaver
  grep -q 'ignoring "-fps"' "$WORK/saver.err" || fail "no word about the option passed over"
  step "-root without XSCREENSAVER_WINDOW"
  start_saver --root
  local child info
  child=$("$HELPER" wait-child "$(xwininfo -root | sed -nE 's/^xwininfo: Window id: (0x[0-9a-f]+).*$/\1/p')" \
    Preview 15000) || fail "no window over the root window"
  info=$(xwininfo -id "$child")
  grep -q "Override Redirect State: yes" <<<"$info" || fail "the window manager would frame it"
  grep -q "Width: $SCREEN_WIDTH\$" <<<"$info" && grep -q "Height: $SCREEN_HEIGHT\$" <<<"$info" ||
    fail "it does not cover the screen: $info"
  kill -TERM "$SAVER_PID"
  expect_saver_exit 5000 0
}

# --window: an ordinary top-level window of 800 x 600 named "Orvel" that the window
# manager may resize, in which the scene runs; input does not end it, WM_DELETE_WINDOW
# does, with 0.
case_window_mode() {
  SCREEN_WIDTH=1024 SCREEN_HEIGHT=768 start_xvfb
  xdotool mousemove 5 5
  start_saver --window
  local window child
  window=$("$HELPER" wait-window Orvel Orvel 15000) || fail "no window named Orvel"
  xwininfo -id "$window" | grep -q "Override Redirect State: no" || fail "the window manager would not manage it"
  wait_size "$window" 800 600
  xprop -id "$window" WM_PROTOCOLS | grep -q WM_DELETE_WINDOW || fail "the close button would not reach it"
  child=$("$HELPER" wait-child "$window" Preview 15000) || fail "no scene in the window"
  sleep 3
  [ "$(lit_fraction_percent "$window")" -ge 10 ] || fail "the window is not drawn after 3 s"
  xdotool mousemove 300 300 key space click 1
  expect_running "input in the window"
  xdotool windowsize "$window" 640 400
  wait_size "$child" 640 400
  "$HELPER" delete-window "$window" || fail "cannot send WM_DELETE_WINDOW"
  expect_saver_exit 5000 0
}

"case_$CASE" || exit 1
echo "passed: $CASE"
