# Faults for the shell: the command line and modes, dismissal, the password check, the
# window procedures and xscreensaver's arguments. Sourced by tools/seed-faults.sh after
# the frame's list, so these are numbered after it.
#
# fault      the fast tests (unit and render) can see it
# fault_x11  only the X11 program under Xvfb can: with --slow its end-to-end cases run
# fault_wine only Orvel.scr under Wine can: with --slow the Windows build and the Wine
#            cases run

# --- Command line: isolating the arguments and the mode table
C=src/shell/command_line.cpp
fault $C "argument text: a quoted program name's closing quote is not stepped over" \
    'if (*p == '"'"'"'"'"') ++p;' ';'
fault $C "argument text: an unquoted program name ends only at a space, not a tab" \
    'while (*p != '"'"'\0'"'"' && byteAt(p) > 0x20) ++p;' 'while (*p != '"'"'\0'"'"' && *p != '"'"' '"'"') ++p;'
fault $C "argument text: spaces after the program name are not skipped (< 0x20)" \
    'byteAt(p) <= 0x20) ++p;' 'byteAt(p) < 0x20) ++p;'
fault $C "argument text: bytes compared signed, so bytes from 0x80 count as blanks" \
    'unsigned char byteAt(const char* p) { return static_cast<unsigned char>(*p); }' \
    'int byteAt(const char* p) { return *p; }'
fault $C "window number: read in base 16 instead of 10" \
    'value = value * 10u' 'value = value * 16u'
fault $C "window number: the digit 9 ends the number (< '9')" \
    "*p >= '0' && *p <= '9'" "*p >= '0' && *p < '9'"
fault $C "mode table: a leading dash is not skipped" \
    "            case '-':
" ''
fault $C "mode table: an empty command line looks for an owner window" \
    "case '\\0':
                return {RunMode::Configure, 0, p, false};" \
    "case '\\0':
                return {RunMode::Configure, 0, p, true};"
fault $C "mode table: /c:N reads the owner from the colon on" \
    'parseWindowHandle(p + 2)' 'parseWindowHandle(p + 1)'
fault $C "mode table: /c without a number does not take the foreground window" \
    'return {RunMode::Configure, 0, p + 1, true};' 'return {RunMode::Configure, 0, p + 1, false};'
fault $C "mode table: lower-case /l is not a preview" \
    "            case 'l':
" ''
fault $C "mode table: the preview's window text keeps its leading spaces" \
    'return {RunMode::Preview, parseWindowHandle(skipSpaces(p + 1)), skipSpaces(p + 1), false};' \
    'return {RunMode::Preview, parseWindowHandle(skipSpaces(p + 1)), p + 1, false};'
fault $C "mode table: /a refused on the Windows 95 family instead of on NT" \
    'if (!isWin9x) return {RunMode::Refused, 0, p, false};' 'if (isWin9x) return {RunMode::Refused, 0, p, false};'

M=src/shell/saver_main.cpp
fault $M "saver main: the Windows 95 family taken for NT and NT for it" \
    'platformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0' 'platformId != VER_PLATFORM_WIN32_WINDOWS ? 1 : 0'
fault $M "saver main: a /c owner that is no window is kept" \
    'if (owner == nullptr || !platformIsWindow(owner)) owner = platformGetForegroundWindow();' \
    'if (owner == nullptr) owner = platformGetForegroundWindow();'
fault_x11 $M "saver main: a preview for a number that is no window still runs" \
    'if (parent == nullptr || !platformIsWindow(parent)) return -1;' 'if (parent == nullptr) return -1;'
fault $M "saver main: a refused switch returns 0 instead of -1" \
    'case RunMode::Refused:
            return -1;' \
    'case RunMode::Refused:
            return 0;'
fault $M "saver main: the crash guard turns the saver-running state on, not off" \
    'void crashGuardHandler() { setScreenSaverRunning(0); }' 'void crashGuardHandler() { setScreenSaverRunning(1); }'

# --- Dismissal rules
fault src/shell/dismissal.h "dismissal: the cursor-travel threshold 4 becomes 5" \
    'mouseMoveThreshold = 4;' 'mouseMoveThreshold = 5;'
D=src/shell/dismissal.cpp
fault $D "dismissal: travel of exactly the threshold closes (>=)" \
    'cursorTravel(in.reference, in.cursor) > mouseMoveThreshold' 'cursorTravel(in.reference, in.cursor) >= mouseMoveThreshold'
fault $D "dismissal: the reference follows every move, so small moves never add up" \
    '                out.reference = in.cursor;
            }' \
    '            }
            out.reference = in.cursor;'
fault $D "dismissal: upward cursor travel is not counted" \
    'std::uint64_t(dy < 0 ? -dy : dy)' 'std::uint64_t(dy < 0 ? 0 : dy)'
fault $D "dismissal: the cursor is hidden when the window hides, not when it shows" \
    'if (in.wParam != 0) out.hideCursor = true;' 'if (in.wParam == 0) out.hideCursor = true;'
fault $D "dismissal: activation, not deactivation, closes" \
    'if (in.wParam == 0) out.postClose = true;' 'if (in.wParam != 0) out.postClose = true;'
fault $D "dismissal: WM_SETCURSOR goes on to default processing" \
    '            out.hideCursor = true;
            out.step = DismissalStep::Return;' \
    '            out.hideCursor = true;'
fault $D "dismissal: every power message but a critical resume closes" \
    'if (in.wParam == PWR_CRITICALRESUME)' 'if (in.wParam != PWR_CRITICALRESUME)'
fault $D "dismissal: the middle button does not close" \
    '        case WM_MBUTTONDOWN:
        case WM_POWERBROADCAST:' \
    '        case WM_POWERBROADCAST:'
fault $D "dismissal: a system key (Alt) does not close" \
    '        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:' \
    '        case WM_KEYDOWN:'
fault $D "dismissal: the input rules apply to the preview too" \
    'if (!in.previewMode && !in.closeApproved) {' 'if (!in.closeApproved) {'
fault $D "dismissal: the input rules still apply after the close was approved" \
    'if (!in.previewMode && !in.closeApproved) {' 'if (!in.previewMode) {'
fault $D "dismissal: input closes while the password check runs" \
    'if (!in.checkingPassword) {' '{'
fault $D "dismissal: the password message answers 0 without a verifier" \
    '                out.step = DismissalStep::Return;
                out.result = 1;' \
    '                out.step = DismissalStep::Return;
                out.result = 0;'
fault $D "dismissal: the autoplay query's answer inverted" \
    'out.result = in.verifierLoaded ? 1 : 0;' 'out.result = in.verifierLoaded ? 0 : 1;'
fault $D "dismissal: with no autoplay message registered, message 0 closes" \
    'if (in.autoplayMessage != 0 && in.message == in.autoplayMessage) {' 'if (in.message == in.autoplayMessage) {'

# --- Password check, re-entry and the saver-running state
P=src/shell/password.cpp
fault $P "password: the quiet period 200 ms becomes 100 ms" \
    'QUIET_PERIOD_MS = 200;' 'QUIET_PERIOD_MS = 100;'
fault $P "password: the quiet period counts from the check's start, not its end" \
    'lastPasswordCheckTick = platformTickCount();' 'lastPasswordCheckTick = now;'
fault $P "password: a check may start while one runs" \
    'if (checkingPassword || closeApproved) return 0;' 'if (closeApproved) return 0;'
fault $P "password: the running check's flag is not cleared" \
    '    checkingPassword = 0;
    if (!closeApproved)' \
    '    if (!closeApproved)'
fault $P "password: only one pending timer tick taken before the check" \
    '    platformPeekMessage(pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    const LRESULT result' \
    '    const LRESULT result'
fault $P "password: the cursor hidden after a right answer, not a wrong one" \
    'if (!closeApproved) platformHideCursor();' 'if (closeApproved) platformHideCursor();'
# Not seeded: the approval mark when no verifier runs. The close it allows destroys the
# window at once, so nothing asks for the mark afterwards.
fault $P "password: a missing ScreenSaveUsePassword value asks for a password" \
    '"ScreenSaveUsePassword", buffer, size) != 0) return false;' '"ScreenSaveUsePassword", buffer, size) != 0) return true;'
fault $P "password: the saver-running state is set on NT too" \
    '    if (!isWin9x) return;
    std::uint32_t previous' \
    '    std::uint32_t previous'
fault $P "password: the saver-running state is not set when the verifier loads" \
    '                setScreenSaverRunning(1);
' ''
fault $P "password: a library without the verifier is kept loaded" \
    '            } else {
                unloadPasswordHook();
            }' \
    '            }'
fault $P "password: releasing the verifier leaves the saver-running state on" \
    '        verifyPasswordFn = nullptr;
        setScreenSaverRunning(0);' \
    '        verifyPasswordFn = nullptr;'
fault $P "password: the desktop settings key is not closed" \
    '    platformRegCloseKey(key);' ''
fault $P "password: the change-password call gets no owner window" \
    'change("SCRSAVE", owner, 0, nullptr);' 'change("SCRSAVE", nullptr, 0, nullptr);'
fault $P "password: MPR.DLL is not released after the change" \
    '    platformFreeLibrary(library);' ''

# --- The shell's window procedures and the saver window
W=src/shell/shell_window_proc.cpp
fault $W "shell procedure: the cursor is not hidden at creation" \
    '            lastCursorPos = platformGetCursorPos();
            if (!previewMode) platformHideCursor();' \
    '            lastCursorPos = platformGetCursorPos();'
fault $W "shell procedure: the cursor's start position is not taken at creation" \
    '            lastCursorPos = platformGetCursorPos();
            if (!previewMode)' \
    '            if (!previewMode)'
fault $W "shell procedure: destruction quits with 1 instead of 0" \
    'platformPostQuitMessage(0);' 'platformPostQuitMessage(1);'
# Not seeded: input after an approved close handed straight to default processing. The
# dismissal rules leave such input to default processing too, so the shortcut changes
# nothing a run can show.
fault $W "shell procedure: SC_SCREENSAVE is not dropped" \
    ' || command == SC_SCREENSAVE' ''
fault $W "shell procedure: the preview drops task-switch commands too" \
    'if (!previewMode && isDroppedSystemCommand(wParam)) return 0;' 'if (isDroppedSystemCommand(wParam)) return 0;'
fault $W "shell procedure: timer ticks after an approved close still draw" \
    '            if (closeApproved) return 0;
            platformSleep(0);' \
    '            platformSleep(0);'
fault $W "shell procedure: help is forwarded from the full-screen saver, not the preview" \
    'if (previewMode) return forwardHelpToParent(window, message, lParam);' \
    'if (!previewMode) return forwardHelpToParent(window, message, lParam);'
fault $W "shell procedure: forwarded help names the preview, not its parent" \
    'reinterpret_cast<WPARAM>(parent), lParam' 'reinterpret_cast<WPARAM>(window), lParam'
fault $W "shell procedure: the cursor is not read on a move, so travel is never measured" \
    '    if (message == WM_MOUSEMOVE) input.cursor = platformGetCursorPos();
' ''
fault $W "shell procedure: a refused close keeps the old travel reference" \
    '                lastCursorPos = platformGetCursorPos();
                return 0;' \
    '                return 0;'

V=src/shell/saver_window_proc.cpp
fault $V "saver procedure: the frame timer 20 ms becomes 50 ms" \
    'FRAME_TIMER_MS = 20;' 'FRAME_TIMER_MS = 50;'
fault $V "saver procedure: any non-zero low setting gives low detail" \
    'lowDetail = std::uint8_t(readLowSetting() & 1);' 'lowDetail = std::uint8_t(readLowSetting() != 0);'
fault $V "saver procedure: the frame timer is not stopped on destruction" \
    '    platformKillTimer(window, timerId);
' ''

S=src/shell/saver_window.cpp
fault $S "saver window: a second saver returns -1 instead of 0" \
    '            platformSetForegroundWindow(running);
            return 0;' \
    '            platformSetForegroundWindow(running);
            return -1;'
fault $S "saver window: the autoplay query is registered on NT too" \
    'isWin9x ? platformRegisterWindowMessage("QueryCancelAutoPlay") : 0' \
    'platformRegisterWindowMessage("QueryCancelAutoPlay")'
fault $S "saver window: the preview does not set the preview flag" \
    '        previewMode = 1;
' ''
fault $S "saver window: a failed message loop returns its last wParam, not -1" \
    'return got == 0 ? std::int32_t(message.wParam) : -1;' 'return std::int32_t(message.wParam);'
fault $S "saver window: the full-screen window is not topmost" \
    'return {WS_EX_TOPMOST,' 'return {0,'

# --- xscreensaver's arguments
H=src/shell/host_arguments.cpp
fault $H "host: an upper-case 0X is not hexadecimal" \
    "(text[1] == 'x' || text[1] == 'X')" "text[1] == 'x'"
fault $H "host: upper-case hex digits A-F read as 0-5" \
    "if (c >= 'A' && c <= 'F') return c - 'A' + 10;" "if (c >= 'A' && c <= 'F') return c - 'A';"
fault $H "host: the window id 0xFFFFFFFF refused (>=)" \
    'if (value > MAX_WINDOW) return false;' 'if (value >= MAX_WINDOW) return false;'
fault $H "host: the window id 0 accepted" \
    '    if (value == 0) return false;
' ''
fault $H "host: options with two dashes not recognised" \
    "argument[1] == '-' ? argument + 2 : argument + 1" 'argument + 1'
fault $H "host: two host options together accepted" \
    '        chosen = argument;
' ''
fault $H "host: an empty XSCREENSAVER_WINDOW taken as a window id" \
    "xscreensaverWindow != nullptr && xscreensaverWindow[0] != '\\0'" 'xscreensaverWindow != nullptr'
fault $H "host: -window-id as the last argument reads past the end" \
    'if (i + 1 >= argc || argv[i + 1] == nullptr) {' 'if (i + 1 > argc || argv[i + 1] == nullptr) {'
fault $H "host: -window draws on the root window" \
    'request.mode = HostMode::OwnWindow;' 'request.mode = HostMode::RootWindow;'
fault $H "host: other arguments reported even without a host option" \
    '    if (chosen == nullptr) request.ignored.clear();
' ''
fault $H "host: -root with XSCREENSAVER_WINDOW still draws on the root" \
    '                    request.mode = HostMode::GivenWindow;
                }' \
    '                }'
