#!/usr/bin/env bash
# End-to-end cases for the X11 program: the real build/<preset>/orvel under a private Xvfb,
# driven with xdotool and orvel-x11-helper. README.md beside this file says what each
# case proves.
#
#   cases.sh CASE ORVEL HELPER
#
# A case is the rows of the table below that carry its name (or follow one that does),
# played in order on an X server of its own by play (lib.sh), which explains the columns.
# It ends with 0 when it passes.
# shellcheck disable=SC2034 # the table's text, run through eval, uses what is set here
set -u

[ $# -eq 3 ] || {
  echo "usage: cases.sh CASE ORVEL HELPER" >&2
  exit 2
}
CASE=$1
ORVEL=$2
HELPER=$3
. "$(dirname "$0")/lib.sh"

# The cases whose server is not a 480 x 360 screen with key repeat ("none": no server).
# Without repeat, a held key makes no fresh presses however long the saver takes to start.
declare -A SERVER=([survives_input]=-r [no_glx]="-extension GLX" [window_mode]=1024x768 [no_display]=none)

# A settings file with other sections, comments and CRLF line ends, which OK keeps.
MIXED='; Orvel\r\n[other]\r\nlow=0\r\n\r\n[param]\r\n; detail\r\nlow=%s\r\nextra=yes\r\n'

mapfile -t TABLE <<'EOF'
# case          | before                 | arguments          | ready            | input                      | expect   | after
full_screen     | at 100 100             | /s                 | full; on_screen $WINDOW | sleep 2; lit $WINDOW 10; key Escape | 0 | steady_frames
ends_on_input   | at 100 100             | /s                 | full             | key space                  | 0        |
                | at 100 100             | /s                 | full             | click 1                    | 0        |
                | at 100 100             | /s                 | full             | click 2                    | 0        |
                | at 100 100             | /s                 | full             | click 3                    | 0        |
                | at 100 100             | /s                 | full             | at 103 102                 | 0        |
# b goes down before the saver starts; travel counts from where the cursor started.
survives_input  | at 100 100; xdotool keydown b | /s          | full             | xdotool keyup b            | runs     |
                |                        | ~                  |                  | click 4 5 6 7              | runs     |
                |                        | ~                  |                  | click 8 9                  | runs     |
                |                        | ~                  |                  | at 102 102                 | runs     |
                |                        | ~                  |                  | at 100 100                 | runs     |
                |                        | ~                  |                  | at 102 100; at 104 100     | runs     |
                |                        | ~                  |                  | at 106 100                 | 0        |
focus           | at 100 100             | /s                 | full             | alive "its own grabs"; h steal-focus | 0 |
                | hold_keyboard          | /s                 | without_keyboard | let_keyboard_go            | runs     |
                |                        | ~                  |                  | key space                  | 0        |
cursor          | at 100 100; cursor_is visible | /s          | full; cursor_is hidden | key space            | 0        |
                | host 200 150           | /p $HOST_WINDOW    | child $HOST_WINDOW | at 120 120               | runs     | cursor_is visible
single_instance | at 100 100             | /s                 | full             | second_saver               | runs     |
                |                        | ~                  |                  | key space                  | 0        |
preview         | at 5 5; host 240 180   | /p $HOST_WINDOW    | in_host 240 180  | at 100 100; key space; click 1; at 150 150 | runs |
                |                        | ~                  |                  | h destroy $HOST_WINDOW     | 0        |
refusals        | watch_creates          | /p                 |                  |                            | 255@2000 |
                |                        | /p 123456789       |                  |                            | 255@2000 |
                |                        | /p abc             |                  |                            | 255@2000 |
                |                        | /p:1234            |                  |                            | 255@2000 |
                |                        | /x                 |                  |                            | 255@2000 |
                |                        | /?                 |                  |                            | 255@2000 |
                |                        | /a                 |                  |                            | 255@2000 |
                |                        | --window-id        |                  |                            | 255@2000 | err "window id"
                |                        | --window-id 0x12x  |                  |                            | 255@2000 | err "window id"
                |                        | -window-id -5      |                  |                            | 255@2000 | err "window id"
                |                        | --window-id 0x100000000 |             |                            | 255@2000 | err "window id"
                |                        | --window-id 0      |                  |                            | 255@2000 | err "window id"
                |                        | --window-id 123456789 |               |                            | 255@2000 | err "there is no window 0x75bcd15"
                |                        | --root --window    |                  |                            | 255@2000 | err "cannot be given together"
                |                        | XSCREENSAVER_WINDOW=0x12z --root |    |                            | 255@2000 \
                                                                                 | err 'XSCREENSAVER_WINDOW="0x12z" is not a window id'; windows_made 0
close_requests  | at 100 100             | /s                 | full             | signal TERM                | 0        |
                | at 100 100             | /s                 | full             | signal INT                 | 0        |
                | at 100 100             | /s                 | full             | h delete-window $WINDOW    | 0        |
no_display      | unset DISPLAY          | /s                 |                  |                            | 255      | err "DISPLAY is not set"
                |                        | /c                 |                  |                            | 255      | err "needs an X display"
                | export DISPLAY=/nonexistent/socket:0 | /s   |                  |                            | 255      | err "cannot open the X display"
lost_server     | at 100 100             | /s                 | full             | kill -9 $XVFB_PID          | 2@3000   | err "lost the connection to the X server"
no_glx          | at 100 100             | /s                 | full             | until_err ChoosePixelFormat; dim $WINDOW | - |
                |                        | ~                  |                  | key space                  | 0        | stats frames -gt 0
settings        | ini '[param]\nlow=1\n'; keep; at 100 100 | /s | full             | key space                  | 0        | stats detail = low; kept
                | ini '[param]\nlow=0\n'; keep | /s           | full             | key space                  | 0        | stats detail = normal; kept
                | ini '[param]\nlow=x\n'; keep | /s           | full             | key space                  | 0        | stats detail = normal; kept
dialog_mouse    | ini "$MIXED" 0; at 200 150 | /c             | dialog; centred_on 200 150; ownerless; look unticked \
                                                                                 | press BOX                  | -        | turns ticked unticked
                |                        | ~                  |                  | press OK                   | 0        | ini_is "$MIXED" 1
                | keep                   | /c                 | dialog           | press BOX; press CANCEL    | 0        | kept
# The focus goes round OK, Cancel and the check box, and shows on each.
dialog_keyboard | ini '[param]\nlow=0\n'; at 240 180 | /c     | dialog; look ok  |                            | -        |
                |                        | ~                  |                  | key Tab                    | -        | turns cancel ok
                |                        | ~                  |                  | key Tab                    | -        | turns box cancel; differs box ok
                |                        | ~                  |                  | key Tab                    | -        | looks ok
                |                        | ~                  |                  | key shift+Tab              | -        | looks box
                |                        | ~                  |                  | key space                  | -        | turns ticked box
                |                        | ~                  |                  | key Return                 | 0        | ini_is '[param]\nlow=1\n'
                | keep                   | /c                 | dialog; look now; differs now ok | key Tab Tab space shift+Tab Return | 0 | kept
                |                        | /c                 | dialog           | h send-keys $WINDOW Tab Tab space Return | 0 | ini_is '[param]\nlow=0\n'
dialog_leaves_file | ini '[param]\r\nlow=3\r\n; note\r\n[x]\r\ny=1'; keep; at 240 180 \
                                         | /c                 | dialog           | press BOX; press CANCEL    | 0        | kept
                |                        | /c                 | dialog           | press BOX; key Escape      | 0        | kept
                |                        | /c                 | dialog           | press BOX; h send-keys $WINDOW Escape | 0 | kept
                |                        | /c                 | dialog           | press BOX; h delete-window $WINDOW | 0 | kept
                |                        | /c                 | dialog           | press BOX; signal TERM     | 0        | kept
# Only bit 0 of the stored value counts.
dialog_values   | ini '[param]\nlow=0\n'; at 240 180 | /c     | dialog; look 0   | key Return                 | 0        | ini_is '[param]\nlow=0\n'
                | ini '[param]\nlow=1\n' | /c                 | dialog; look 1; differs 1 0 | key Return      | 0        | ini_is '[param]\nlow=1\n'
                | ini '[param]\nlow=3\n' | /c                 | dialog; looks 1  | key Return                 | 0        | ini_is '[param]\nlow=1\n'
                | ini '[param]\nlow=2\n' | /c                 | dialog; looks 0  | key Return                 | 0        | ini_is '[param]\nlow=0\n'
                | rm -f $SETTINGS        | /c                 | dialog; looks 0  | press OK                   | 0        | ini_is '[param]\nlow=0\n'
dialog_read_only | ini '[param]\nlow=1\n'; keep; as_nobody; at 240 180 | /c | dialog | press BOX; press OK      | -        | message_box
                |                        | ~                  |                  | key Return                 | 0        | kept; only_the_file
dialog_owner    | host 120 90; at 2 2    | /c:$HOST_WINDOW    | dialog; owner $HOST_WINDOW; placed 0 0 | key Escape | 0 |
                | at $((SCREEN_WIDTH - 1)) $((SCREEN_HEIGHT - 1)) | /c:123456789 | dialog; ownerless; placed_last | key Escape | 0 |
dialog_screenshot | ini '[param]\nlow=1\n'; at 240 180 | /c   | dialog; screenshot | key Escape               | 0        |
host_hex        | at 5 5; host 120 90    | --window-id $(hex $HOST_WINDOW) | in_host 120 90 | over_host   | runs     | cursor_is visible
                |                        | ~                  |                  | xdotool windowsize $HOST_WINDOW 400 300 | - | grown
                |                        | ~                  |                  | signal TERM                | 0        |
                |                        | -window-id $HOST_WINDOW | in_host 400 300 | over_host       | runs     | cursor_is visible
                |                        | ~                  |                  | signal TERM                | 0        |
host_root       | at 5 5; host 120 90    | XSCREENSAVER_WINDOW=$(printf 0x%X $HOST_WINDOW) -root -fps \
                                                              | in_host 120 90   | over_host                  | runs     | cursor_is visible
                |                        | ~                  |                  | xdotool windowsize $HOST_WINDOW 400 300 | - | grown
                |                        | ~                  |                  | signal TERM                | 0        | err 'ignoring "-fps"'
                |                        | --root             | child $(root_window); on_screen $CHILD | signal TERM | 0   |
# On a Wayland desktop, where xscreensaver runs through XWayland: an X window named by
# the host keeps the saver on the X server, while --window goes to the Wayland program.
host_on_wayland | at 5 5; host 120 90; wayland_desktop | $WAYLAND XSCREENSAVER_WINDOW=$(hex $HOST_WINDOW) --root \
                                                              | in_host 120 90; moving $HOST_WINDOW | over_host | runs |
                |                        | ~                  |                  | signal TERM                | 0        |
                |                        | $WAYLAND -window-id $HOST_WINDOW | in_host 120 90; moving $HOST_WINDOW | over_host | runs |
                |                        | ~                  |                  | signal TERM                | 0        |
                |                        | $WAYLAND /p $HOST_WINDOW | in_host 120 90; moving $HOST_WINDOW | | runs |
                |                        | ~                  |                  | signal TERM                | 0        |
                |                        | $WAYLAND --window  | on_sway Orvel    | signal TERM                | 0        |
window_mode     | at 5 5                 | --window           | managed_window   | at 300 300; key space; click 1 | runs |
                |                        | ~                  |                  | xdotool windowsize $WINDOW 640 400 | -  | size_is $CHILD 640 400
                |                        | ~                  |                  | h delete-window $WINDOW    | 0        |
EOF

# Drawn continuously: a loose lower bound on frames over 2 s, and never less than 10 ms
# from one frame start to the next.
steady_frames() { stats frames -ge 20 && stats shortest -ge 10; }

# Without OpenGL the window stays black but for the frame-rate text, which Xlib draws.
text_shows() { lit_share "$1" && [ "$LIT_PIXELS" -gt 0 ]; }
dim() { # window
  within 5000 text_shows "$1" || fail "no frame-rate text on the black window"
  [ "$LIT" -lt 2 ] || fail "$LIT_PIXELS of $LIT_TOTAL pixels are lit without OpenGL"
}

# In a host's window the saver draws in a child over all of it, and leaves input and the
# cursor to the host; as the host grows the picture fills the new size (no more than
# 120 x 90 of it could be lit otherwise).
in_host() { child "$HOST_WINDOW" && size_is "$CHILD" "$1" "$2" && lit "$HOST_WINDOW" 10; } # width height
over_host() { at 100 100; key space; click 1; at 150 110; }
grown() { size_is "$CHILD" 400 300 && lit "$HOST_WINDOW" 30 120000; }

# A headless sway beside the X server (tests/e2e/servers/sway.sh, run as nobody when the case
# runs as root), as on a Wayland desktop: WAYLAND, the saver's environment that reaches it.
wayland_desktop() {
  chmod 755 "$WORK"
  mkdir -p "$WORK/sway"
  bash "$(dirname "$0")/../servers/sway.sh" 3 "$WORK/sway" 1 640x480 3>"$WORK/sway.ready" 6>&- 7>&- 8>&- &
  STOPPED_PIDS+=($!)
  within 20000 test -s "$WORK/sway.ready" || fail "no sway: $(tail -n 5 "$WORK/sway/sway.log")"
  local runtime display
  read -r runtime display SWAY_SOCKET <"$WORK/sway.ready"
  WAYLAND="XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=$display"
}
sway_lists() { SWAYSOCK=$SWAY_SOCKET swaymsg -t get_tree | grep -q "\"name\": \"$1\""; }
on_sway() { within 10000 sway_lists "$1" || fail "sway lists no window named $1"; } # title

# The picture in the window changes: the scene moves in it.
picture_changed() { [ "$("$HELPER" checksum "$1")" != "$2" ]; }
moving() { # window
  local first
  first=$("$HELPER" checksum "$1") || fail "cannot read the pixels of window $1"
  within 5000 picture_changed "$1" "$first" || fail "the picture in window $1 does not move"
}

# --window: an ordinary top-level window that the window manager may manage and close,
# with the scene drawn in a child.
managed_window() {
  top Orvel Orvel
  xinfo "$WINDOW" "Override Redirect State: no"
  size_is "$WINDOW" 800 600
  prop "$WINDOW" WM_PROTOCOLS WM_DELETE_WINDOW
  child "$WINDOW"
  lit "$WINDOW" 10
}

# A second /s, which must end at once with 0 and leave one saver window.
second_saver() {
  local started status
  started=$(now_ms)
  timeout 10 "$ORVEL" /s 2>"$WORK/second.err"
  status=$?
  [ "$status" -eq 0 ] || fail "the second saver ended with $status: $(cat "$WORK/second.err")"
  [ $(($(now_ms) - started)) -lt 3000 ] || fail "the second saver took $(($(now_ms) - started)) ms to end"
  [ "$(xwininfo -root -children | grep -c '"Screen Saver"')" -eq 1 ] || fail "there is more than one saver window"
}

# Another program holding the keyboard, as one with a menu open would. On a line from
# the case it lets the keyboard go, takes it again 300 ms later for 300 ms, and ends.
# The saver waits a second for it, then runs on without and says so.
hold_keyboard() { side hold 7 hold-keyboard 300 300; HOLDER=$SIDE; }
without_keyboard() { top WindowsScreenSaverClass "Screen Saver" && until_err "holds the keyboard"; }
let_keyboard_go() {
  echo >&7
  exec 7>&-
  within 10000 gone "$HOLDER" || fail "the helper did not let the keyboard go"
  wait "$HOLDER" || fail "the helper could not take the keyboard again"
}

# Counts the top-level windows made from now until windows_made, which expects N.
watch_creates() { side watch 8 watch-creates; WATCHER=$SIDE; }
windows_made() { # n
  exec 8>&-
  within 10000 gone "$WATCHER" || fail "the window watcher did not end"
  [ "$(tail -n 1 "$WORK/watch.out")" = "$1" ] || fail "$(tail -n 1 "$WORK/watch.out") windows were made"
}

# The dialog centred on the point (to a pixel); 150 by 67 dialog units, a unit being a
# quarter of a character across and an eighth of a line down: wider than high, and
# neither tiny nor huge.
centred_on() { # x y
  local dx=$((DX + DW / 2 - $1)) dy=$((DY + DH / 2 - $2))
  [ "${dx#-}" -le 1 ] && [ "${dy#-}" -le 1 ] || fail "the dialog is not centred on the mouse at $1,$2"
  [ "$DW" -gt "$DH" ] && [ "$DW" -ge 150 ] && [ "$DW" -le 600 ] || fail "a dialog of ${DW}x$DH pixels"
}
placed() { [ "$DX" -eq "$1" ] && [ "$DY" -eq "$2" ] || fail "the dialog is at $DX,$DY, not $1,$2"; }
placed_last() { placed $((SCREEN_WIDTH - DW)) $((SCREEN_HEIGHT - DH)); } # in the far corner
owner() { prop "$WINDOW" WM_TRANSIENT_FOR "$(hex "$1")\$"; }
ownerless() { prop "$WINDOW" WM_TRANSIENT_FOR 'not found'; }

# A settings directory the saver cannot write. As root the saver runs as the user 65534,
# for whom the directory, owned by another user, is read-only, with copies of the program
# and of LeakSanitizer's suppressions: nobody may not reach into the checkout.
as_nobody() {
  chmod 755 "$WORK" "$XDG_CONFIG_HOME"
  chmod 644 "$SETTINGS"
  if [ "$(id -u)" -ne 0 ]; then
    chmod 555 "$XDG_CONFIG_HOME"
    return
  fi
  cp "$ORVEL" "$WORK/orvel" && chmod 755 "$WORK/orvel"
  ORVEL="$WORK/orvel"
  if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]*) ]]; then
    cp "${BASH_REMATCH[1]}" "$WORK/lsan.supp" && chmod 644 "$WORK/lsan.supp"
    LSAN_OPTIONS=${LSAN_OPTIONS/"suppressions=${BASH_REMATCH[1]}"/"suppressions=$WORK/lsan.supp"}
  fi
  AS=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
  chown 0:0 "$XDG_CONFIG_HOME"
}

# The failed write shows in a message box over the dialog, which runs on, and on
# standard error with the reason.
message_box() {
  local box
  box=$("$HELPER" wait-window Orvel Orvel 10000) || fail "no message box"
  within 10000 has_focus "$box" || fail "the message box did not take the focus"
  prop "$box" WM_TRANSIENT_FOR "$(hex "$WINDOW")\$"
  running "$SAVER_PID" || fail "the saver ended with the message box up"
  err "The setting could not be saved"
  err "$SETTINGS.*denied"
}
only_the_file() { [ "$(ls -A "$XDG_CONFIG_HOME")" = Orvelconfig.ini ] || fail "left behind: $(ls -A "$XDG_CONFIG_HOME")"; }

# The dialog as a PNG (xwd, then netpbm), of its size, with its text antialiased: many
# shades of grey. With ORVEL_SCREENSHOT_DIR set, the picture is kept there as
# orvel-configure.png.
screenshot() {
  local size greys
  xwd -silent -id "$WINDOW" >"$WORK/dialog.xwd" || fail "xwd cannot take the dialog"
  xwdtopnm "$WORK/dialog.xwd" 2>/dev/null | pnmtopng >"$WORK/dialog.png" || fail "cannot make a PNG of it"
  size=$(pngtopnm "$WORK/dialog.png" | pnmfile)
  grep -q "$DW by $DH" <<<"$size" || fail "the PNG is $size"
  greys=$(pngtopnm "$WORK/dialog.png" | ppmhist -noheader | awk '$1 == $2 && $2 == $3' | wc -l)
  [ "$greys" -ge 16 ] || fail "only $greys shades of grey: the text is not antialiased"
  [ -z "${ORVEL_SCREENSHOT_DIR:-}" ] || cp "$WORK/dialog.png" "$ORVEL_SCREENSHOT_DIR/orvel-configure.png"
}

play "${TABLE[@]}"
echo "passed: $CASE"
