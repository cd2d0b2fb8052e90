# Faults for the settings code and the platform layers: the settings-file text and file,
# the message queue, the X11 event translation and the Win32 calls. Sourced by
# tools/seed-faults.sh after the shell's list; the kinds are those of seed-faults/shell.sh.

# --- Settings: the profile text, the POSIX file and the saver's setting
T=src/platform/common/profile_text.cpp
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

F=src/platform/posix/profile_file.cpp
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
Q=src/platform/common/window_queue.cpp
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

U=src/platform/common/message_queue.cpp
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
