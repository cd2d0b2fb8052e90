# Faults for the shell, the platform layers and the settings code; sourced by
# tools/seed-faults.sh after the frame's list, so these are numbered after it.
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

# --- Settings: the profile text, the POSIX file and the saver's setting
T=src/platform/profile_text.cpp
fault $T "profile text: names compared with their case" \
    'if (lowerAscii(a[i]) != lowerAscii(b[i])) {' 'if (a[i] != b[i]) {'
fault $T "profile text: Z is not lowered (< 'Z')" \
    "c >= 'A' && c <= 'Z' ? static_cast" "c >= 'A' && c < 'Z' ? static_cast"
fault $T "profile text: later sections of the same name count too" \
    '                break;  // the end of the first matching section: nothing after it counts' \
    '                inSection = false;'
fault $T "profile text: the last matching key wins" \
    '            break;  // the first matching key wins; where a new key would go no longer matters' \
    '            continue;'
fault $T "profile text: a tab is no blank" \
    "c == ' ' || c == '\\t' ||" "c == ' ' ||"
fault $T "profile text: ^Z is no blank" \
    " || c == '\\x1a'" ''
fault $T "profile text: trailing blanks are not trimmed" \
    '    while (end > begin && isBlank(s[end - 1])) {
        --end;
    }
' ''
fault $T "profile text: CRLF taken as two line ends" \
    'return {start, end, end + (crlf ? 2 : 1)};' 'return {start, end, end + 1};'
fault $T "profile text: single quotes around a value are kept" \
    " || value.front() == '\\''" ''
fault $T "profile text: control characters before a number are not skipped" \
    "static_cast<unsigned char>(value[i]) <= ' '" "value[i] == ' '"
fault $T "profile text: upper-case 0X taken as a hexadecimal prefix" \
    "base = prefix == 'x' ? 16" "base = prefix == 'x' || prefix == 'X' ? 16"
fault $T "profile text: a digit equal to the base still counts (> base)" \
    'if (digit >= base) {' 'if (digit > base) {'
fault $T "profile text: numbers stop before they wrap past 32 bits" \
    '        magnitude = magnitude * base + digit;' \
    '        if (magnitude > (0xFFFFFFFFu - digit) / base) break;
        magnitude = magnitude * base + digit;'
fault $T "profile text: the minus sign is ignored" \
    '        magnitude = 0u - magnitude;' ''
fault $T "profile text: an empty value reads as 0, not the default" \
    'return value.empty() ? defaultValue : parseProfileInt(value);' 'return parseProfileInt(value);'
fault $T "profile text: a rewritten key line loses its line ending" \
    'out.append(text.substr(found.keyLine.contentEnd));' 'out.append(text.substr(found.keyLine.next));'
fault $T "profile text: a new key goes right after the section header" \
    '        found.lastLine = line;
        if (equalIgnoringCase' \
    '        if (equalIgnoringCase'
fault $T "profile text: new lines always end with LF, whatever the file uses" \
    '        found.lineEnding = text.substr(first.contentEnd, first.next - first.contentEnd);' ''
fault $T "profile text: a file ending in a lone CR gets another line ending" \
    "text.back() != '\\n' && text.back() != '\\r'" "text.back() != '\\n'"
fault $T "profile text: a key with '=' is accepted for writing" \
    "key.find('=') == std::string_view::npos && " ''

F=src/platform/profile_file_posix.cpp
fault $F "settings file: a file of exactly 1 MiB is refused (>=)" \
    'contents.status.st_size) > MAX_FILE_SIZE' 'contents.status.st_size) >= MAX_FILE_SIZE'
fault $F "settings file: new directories made 0755, not 0700" \
    '::mkdir(prefix.c_str(), 0700)' '::mkdir(prefix.c_str(), 0755)'
fault $F "settings file: a new file is made 0600, not as the umask allows" \
    'old.exists ? 0600 : 0666' '0600'
fault $F "settings file: a replacement does not get the old file's permission bits" \
    '        if (::fchmod(file.get(), old.status.st_mode & 07777) != 0) {
            return fail();
        }
' ''
fault $F "settings file: a relative link resolved from the working directory" \
    'path = link[0] == '"'"'/'"'"' ? link : directoryOf(path) + "/" + link;' 'path = link;'
fault $F "settings file: a missing file is an error" \
    '            contents.exists = false;
            return true;' \
    '            contents.exists = false;
            return false;'
fault $F "settings file: a failed write leaves its temporary behind" \
    '        ::unlink(temporaryPath.c_str());
' ''
fault $F "settings file: a successful write keeps the last error" \
    '    lastError.clear();
    return true;' \
    '    return true;'

G=src/saver/settings.cpp
fault $G "settings: the file name in lower case" \
    'SETTINGS_FILE[] = "Orvelconfig.ini";' 'SETTINGS_FILE[] = "orvelconfig.ini";'
# Not seeded: the writer's mask to the low bit. Its one caller, the dialog, hands it 0 or
# 1 only.
fault $G "settings: a missing setting reads as 1" \
    'platformGetPrivateProfileInt(SECTION, KEY, 0, SETTINGS_FILE)' 'platformGetPrivateProfileInt(SECTION, KEY, 1, SETTINGS_FILE)'
fault $G "settings: a failed write tells no one" \
    '    platformMessageBox(owner, message, "Orvel");
' ''

# --- The message queue: retrieval order, peeking, posting and timers
Q=src/platform/window_queue.cpp
fault $Q "queue: input taken before posted messages" \
    'if (posted.take(message) || backendTakeInput(message)) return 1;' \
    'if (backendTakeInput(message) || posted.take(message)) return 1;'
fault $Q "queue: timer ticks taken before paint" \
    'if (takePaint(message) || takeDueTimer(message)) {' 'if (takeDueTimer(message) || takePaint(message)) {'
fault $Q "queue: the newest window is painted first" \
    'w.serial < oldest->serial' 'w.serial > oldest->serial'
fault $Q "queue: the wait is for the latest timer, not the next" \
    'if (d >= 0 && (delay < 0 || d < delay)) delay = d;' 'if (d >= 0 && (delay < 0 || d > delay)) delay = d;'
fault $Q "queue: WM_QUIT carries 0, not the exit code" \
    'WM_QUIT, WPARAM(std::intptr_t(quitCode)), 0};' 'WM_QUIT, 0, 0};'
fault $Q "queue: a taken quit stays posted" \
    '            quitPosted = false;
            message = {nullptr, WM_QUIT' \
    '            message = {nullptr, WM_QUIT'
fault $Q "queue: a destroyed window's posted messages are kept" \
    'void queueForgetWindow(WindowHandle handle) { posted.removeFor(handle); }' 'void queueForgetWindow(WindowHandle) {}'
fault $Q "queue: a peek with PM_NOYIELD alone removes the message" \
    '(removeFlags & PM_REMOVE) != 0' 'removeFlags != 0'
fault $Q "queue: messages may be posted to windows that are not the program's" \
    'return queueFindWindow(window) != nullptr && posted.post(' 'return posted.post('

U=src/platform/message_queue.cpp
fault $U "posted queue: taken last in, first out" \
    '    message = items[0];
    for (int i = 1; i < count; ++i) items[i - 1] = items[i];
    --count;' \
    '    message = items[--count];'
fault $U "posted queue: removing a peeked message drops the one after it too" \
    'for (int j = i + 1; j < count; ++j) items[j - 1] = items[j];' 'for (int j = i + 2; j < count; ++j) items[j - 1] = items[j];'
fault $U "posted queue: a peek matches messages of any window" \
    'if (items[i].window == window && items[i].message >= first' 'if (items[i].message >= first'
fault $U "timers: setting an id again adds a second timer" \
    '        if (t.active && t.id == id) slot = &t;
' ''
fault $U "timers: a timer is due only after more than its period (>)" \
    'now - t.lastFire >= t.periodMs' 'now - t.lastFire > t.periodMs'
fault $U "timers: a late timer catches up tick by tick" \
    'if (take) t.lastFire = now;' 'if (take) t.lastFire += t.periodMs;'
fault $U "timers: a peek outside WM_TIMER's range still takes a tick" \
    'first > WM_TIMER || WM_TIMER > last' 'first > WM_TIMER && WM_TIMER > last'
fault $U "classes: a class may be registered twice" \
    ' || find(name) != nullptr) return false;' ') return false;'
fault $U "registered messages: a new name's number is one past its slot" \
    'return 0xC000u + std::uint32_t(count++);' 'return 0xC000u + std::uint32_t(++count);'

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

# --- X11 events as window messages (seen only by the X11 end-to-end cases)
X=src/platform/x11/events.cpp
fault_x11 $X "x11 events: a key release becomes a key press" \
    'message.message = WM_KEYUP;' 'message.message = WM_KEYDOWN;'
fault_x11 $X "x11 events: button 3 falls through to the wheel" \
    '            message.message = press ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            return true;' \
    '            message.message = press ? WM_RBUTTONDOWN : WM_RBUTTONUP;'
fault_x11 $X "x11 events: button 2 is not translated" \
    '        case 2:
            message.message = press ? WM_MBUTTONDOWN : WM_MBUTTONUP;
            return true;
' ''
fault_x11 $X "x11 events: buttons 8 and 9 become the left button" \
    'message.message = press ? WM_XBUTTONDOWN : WM_XBUTTONUP;' 'message.message = press ? WM_LBUTTONDOWN : WM_LBUTTONUP;'
fault_x11 $X "x11 events: focus moved while grabbed does not count" \
    'focus.mode != NotifyNormal && focus.mode != NotifyWhileGrabbed' 'focus.mode != NotifyNormal'
fault_x11 $X "x11 events: focus changes of grabs count as losses" \
    'if (focus.mode != NotifyNormal && focus.mode != NotifyWhileGrabbed) return false;' ''
# Not seeded: the hadFocus guard. The server sends a window a focus loss of any detail
# but the pointer's only after a gain of the same kind, and the saver's windows ask for
# focus events from their creation on, so no run can tell the guard, or a pointer gain
# counted as a gain, from its absence.
fault_x11 $X "x11 events: the delete request read from the wrong data word" \
    'Atom(event.xclient.data.l[0]) != x11Atoms.wmDeleteWindow' 'Atom(event.xclient.data.l[1]) != x11Atoms.wmDeleteWindow'

# --- Win32: dialogs, the settings file, system services and windows (seen only under Wine)
fault_wine src/platform/win32/dialogs.cpp "win32 dialogs: SendDlgItemMessageA with wParam and lParam swapped" \
    'id, message, wParam, lParam);' 'id, message, lParam, wParam);'
fault_wine src/platform/win32/dialogs.cpp "win32 dialogs: the dialog gets no owner window" \
    'MAKEINTRESOURCEA(resourceId), static_cast<HWND>(owner),' 'MAKEINTRESOURCEA(resourceId), nullptr,'
R=src/platform/win32/profile.cpp
fault_wine $R "win32 settings: reading ignores the per-user file" \
    'const char* file = !user.empty() && isFile(user) ? user.c_str() : fileName;' 'const char* file = fileName;'
fault_wine $R "win32 settings: the per-user folder is not created before the fallback write" \
    '    CreateDirectoryA(userFolder().c_str(), nullptr);
' ''
fault_wine $R "win32 settings: an existing per-user file is not written" \
    'if (!user.empty() && isFile(user)) {
        if (WritePrivateProfileStringA' \
    'if (false) {
        if (WritePrivateProfileStringA'
fault_wine $R "win32 settings: the per-user folder taken from LOCALAPPDATA" \
    'GetEnvironmentVariableA("APPDATA",' 'GetEnvironmentVariableA("LOCALAPPDATA",'
Y=src/platform/win32/system.cpp
fault_wine $Y "win32 system: the version query answers the major version, not the platform" \
    'platformId = version.dwPlatformId;' 'platformId = version.dwMajorVersion;'
fault_wine $Y "win32 system: the crash guard's handler is not called" \
    '    if (crashHandler != nullptr) crashHandler();
' ''
fault_wine $Y "win32 system: the desktop settings read from HKEY_LOCAL_MACHINE" \
    'RegOpenKeyA(HKEY_CURRENT_USER, path, &opened);' 'RegOpenKeyA(HKEY_LOCAL_MACHINE, path, &opened);'
fault_wine $Y "win32 system: a message box is not written to standard error" \
    '    writeToStandardError(text, caption);
' ''
fault_wine src/platform/win32/window.cpp "win32 windows: the screen's width and height swapped" \
    'return {int(box.left), int(box.top), int(box.right), int(box.bottom)};' \
    'return {int(box.left), int(box.top), int(box.bottom), int(box.right)};'
fault_wine src/platform/win32/window.cpp "win32 windows: the preview sized from the host's window rectangle" \
    'GetClientRect(toHwnd(window), &client);' 'GetWindowRect(toHwnd(window), &client);'
