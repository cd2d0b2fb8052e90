// The steps of the Wine cases' rows: what to wait for once Orvel.scr runs (ready), the
// input sent to it, the checks after it (after), and the rows that start no Orvel.scr.
#include <cstdio>
#include <cstring>
#include <string>

#include "rows.h"

// --- ready

void front(Run& run) {
    run.window = waitForTopLevel(run.saver, "WindowsScreenSaverClass", "Screen Saver");
    waitUntil([&] { return noBox(run) && GetForegroundWindow() == run.window; }, 10000,
              "the saver window to come to the front");
}

void fullScreen(Run& run) {
    front(run);
    RECT rect{};
    GetWindowRect(run.window, &rect);
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!EqualRect(&rect, &screen)) {
        fail("the saver window covers (%ld, %ld)-(%ld, %ld), not the %ldx%ld screen", rect.left, rect.top, rect.right,
             rect.bottom, screen.right, screen.bottom);
    }
    if ((GetWindowLongA(run.window, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0) fail("the saver window is not top-most");
    const LONG style = GetWindowLongA(run.window, GWL_STYLE);
    if ((style & (WS_POPUP | WS_VISIBLE)) != (WS_POPUP | WS_VISIBLE) || (style & WS_CAPTION) != 0) {
        fail("the saver window's style is %08lx, not a visible popup without caption", style);
    }
    // The scene moves below the frame-rate text, which is white at the top left.
    waitForMovingPicture(screen, 60, "the scene to move on the screen");
    waitUntil(
        [] {
            int white = 0;
            for (std::uint32_t pixel : captureScreen({20, 20, 140, 40})) white += pixel == 0xFFFFFF;
            return white >= 10;
        },
        20000, "the white frame-rate text at the top left");
}

// PASSWORD.CPL was loaded with the saver-running state off, which is on now.
void verifierOn(Run& run) {
    front(run);
    if (onlyLine(passwordLog(), "attach").number("running") != 0)
        fail("the saver-running state was on before the verifier was loaded");
    if (saverRunningState() != 1) fail("another program sees the saver-running state off while the verifier is loaded");
}

// PASSWORD.CPL without the entry was loaded and released, the state off, before the
// window came to the front.
void verifierGone(Run& run) {
    front(run);
    const Log log = passwordLog();
    const LogLine& attach = onlyLine(log, "attach");
    const LogLine& detach = onlyLine(log, "detach");
    if (detach.has("exit")) fail("PASSWORD.CPL without the entry was kept until the process ended");
    if (attach.number("running") != 0 || detach.number("running") != 0) {
        fail("the saver-running state was on around PASSWORD.CPL without the entry:\n%s", logText(log).c_str());
    }
}

// The preview, a child filling the host, shown once its scene is set up. Wine 8 shows
// nothing that a child window of another process draws, so its frames cannot be seen.
void preview(Run& run) {
    waitUntil(
        [&] {
            run.window = FindWindowExA(run.host, nullptr, "WindowsScreenSaverClass", "Preview");
            if (run.window == nullptr && hasExited(run.saver)) fail("Orvel.scr /p ended before showing its preview");
            return noBox(run) && run.window != nullptr && IsWindowVisible(run.window);
        },
        30000, "the preview to be shown in the host");
    RECT host{};
    RECT child{};
    GetClientRect(run.host, &host);
    GetClientRect(run.window, &child);
    if (!EqualRect(&host, &child)) {
        fail("the preview is %ldx%ld, the host's client area %ldx%ld", child.right, child.bottom, host.right,
             host.bottom);
    }
    if ((GetWindowLongA(run.window, GWL_STYLE) & WS_CHILD) == 0) fail("the preview is no child window");
}

bool isChecked(const Run& run) { return SendDlgItemMessageA(run.window, CHECK_BOX, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void dialog(Run& run, bool checked) {
    run.window = waitForTopLevel(run.saver, DIALOG, "Orvel v0.92");
    waitUntil([&] { return IsWindowVisible(run.window) != FALSE; }, 10000, "the dialog to be shown");
    if (isChecked(run) != checked) fail("the check box starts %s", checked ? "unchecked" : "checked");
}
void unchecked(Run& run) { dialog(run, false); }
void checked(Run& run) { dialog(run, true); }
void ownedByOther(Run& run) {
    dialog(run, false);
    if (GetWindow(run.window, GW_OWNER) != run.other) fail("the dialog is not owned by the window on its command line");
}

// --- input

void key(Run& run) {
    if (run.window != nullptr && GetParent(run.window) == nullptr) {
        waitUntil([&] { return GetForegroundWindow() == run.window; }, 10000, "the window to be in front");
    }
    pressKey('A');
}

// A second /s while one runs: it ends at once with 0 and leaves the first running.
void secondSaver(Run& run) {
    const Process second = startProgram(inFolder("Orvel.scr"), "/s");
    const long code = long(waitForExit(second, "the second Orvel.scr /s to end"));
    if (code != 0) fail("the second Orvel.scr /s ended with %ld, not 0", code);
    if (hasExited(run.saver) || !IsWindow(run.window)) fail("the first saver ended when the second started");
}

// Input that would end the full-screen saver: a key (posted to the preview, since the
// keyboard's focus stays with the host), a click and a long move. A right click, which
// comes after them in the preview's queue, reaches the host once they have been taken.
void previewInput(Run& run) {
    PostMessageA(run.window, WM_KEYDOWN, 'A', 0x001E0001);
    PostMessageA(run.window, WM_KEYUP, 'A', LPARAM(0xC01E0001));
    const POINT centre = centreOf(run.window);
    clickAt(centre);
    moveCursorTo({centre.x + 40, centre.y + 30});
    clickUntil(
        centre, true, [] { return contextMenus > 0; }, "WM_CONTEXTMENU in the host");
    if (contextMenuWParam != reinterpret_cast<WPARAM>(run.host)) {
        fail("WM_CONTEXTMENU reached the host with wParam %llx, not the host's %llx",
             static_cast<unsigned long long>(contextMenuWParam), number(run.host));
    }
}

void destroyHost(Run& run) { DestroyWindow(run.host); }

void toggle(Run& run) {
    const bool before = isChecked(run);
    clickUntil(
        centreOf(GetDlgItem(run.window, CHECK_BOX)), false, [&] { return isChecked(run) != before; },
        "the check box's toggle");
    waitUntil([&] { return GetForegroundWindow() == run.window; }, 10000, "the dialog to be in front");
}
void ok(Run&) { pressKey(VK_RETURN); }
void escape(Run&) { pressKey(VK_ESCAPE); }
void cancel(Run& run) {
    clickUntil(
        centreOf(GetDlgItem(run.window, IDCANCEL)), false, [&] { return hasExited(run.saver); }, "the dialog's end");
}
void closeButton(Run& run) { PostMessageA(run.window, WM_SYSCOMMAND, SC_CLOSE, 0); }

void message(Run& run) {
    HWND box = waitForTopLevel(run.saver, DIALOG, "Orvel");
    char text[1024] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text
    note("the message: %s", text);
    if (std::strstr(text, "Orvelconfig.ini") == nullptr) fail("the message names no settings file");
    // Written before the box shows, for whoever runs the saver from a console.
    const std::string line = "Orvel: " + std::string(text) + "\r\n";
    if (readFileBytes(inFolder("saver-stderr.txt")).value_or("").find(line) == std::string::npos)
        fail("the message is not on standard error");
    waitUntil([&] { return GetForegroundWindow() == box; }, 10000, "the message box to be in front");
    pressKey(VK_RETURN);
    waitUntil([&] { return !IsWindow(box); }, 10000, "the message box to go");
}

// The autoplay query, sent as the system sends it, and the answer due.
void autoplay(Run& run, LRESULT expected) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(run.window, RegisterWindowMessageA("QueryCancelAutoPlay"), 0, 0, SMTO_NORMAL, 10000,
                             &answer)) {
        fail("no answer to the autoplay query within 10 s");
    }
    if (LRESULT(answer) != expected)
        fail("the autoplay query was answered with %lld, not %lld", (long long)answer, (long long)expected);
}
void autoplay0(Run& run) { autoplay(run, 0); }
void autoplay1(Run& run) { autoplay(run, 1); }

// The first check answered wrong, with a close posted during it and a key press left
// behind; see "1 wrong close key" in the table.
void firstCheck(Run& run) {
    Log log;
    waitUntil(
        [&] {
            log = passwordLog();
            return !linesOf(log, "after-close", 1).empty() || !linesOf(log, "call", 2).empty() || hasExited(run.saver);
        },
        10000, "the first check, and the close that its key press caused, to be over");
    const LogLine& call = onlyLine(log, "call", 1);
    if (call.number("window") != number(run.window))
        fail("the verifier was given window 0x%llx, not the saver's", call.number("window"));
    if (call.number("running") != 1) fail("the verifier read the saver-running state as off");
    // The close reached the saver inside the check and was refused.
    const LogLine& pumped = onlyLine(log, "pumped", 1);
    if (pumped.number("close-dispatched") != 1) fail("the close posted during the check never reached the saver");
    if (pumped.number("window-alive") != 1) fail("a close during the check destroyed the saver window");
    if (!linesOf(log, "reentered").empty()) fail("a close during the check ran the verifier inside the first run");
    // The cursor that the check left is gone before the saver takes its next message.
    const LogLine& next = onlyLine(log, "next", 1);
    if (next.number("cursor") != 0)
        fail("after the wrong answer the saver took message 0x%llx with the cursor still set", next.number("message"));
    // The key press left behind closes within 200 ms of the check, and runs no check.
    const DWORD checkEnd = onlyLine(log, "return", 1).tick;
    auto taken = [&](UINT message) -> const LogLine* {
        for (const LogLine* took : linesOf(log, "took", 1)) {
            if (took->number("message") == message) return took;
        }
        fail("the saver took no message 0x%x after the check:\n%s", message, logText(log).c_str());
    };
    taken(WM_KEYDOWN);
    const LogLine* closeTaken = taken(WM_CLOSE);
    const DWORD closeDelay = closeTaken->tick - checkEnd;
    if (closeDelay >= 200) fail("the close came %lu ms after the check, too late to show the quiet period", closeDelay);
    if (!linesOf(log, "call", 2).empty())
        fail("a close %lu ms after a wrong answer ran the verifier again", closeDelay);
    note("a close %lu ms after the wrong answer was refused without a check", closeDelay);
    // The saver goes on drawing.
    if (hasExited(run.saver) || !IsWindow(run.window)) fail("the saver ended after a wrong password");
    waitForMovingPicture({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, 60,
                         "frames after the wrong password");
}

// A key once the quiet period after the wrong answer is over.
void keyAfterQuiet(Run& run) {
    const DWORD checkEnd = onlyLine(passwordLog(), "return", 1).tick;
    waitUntil([&] { return GetTickCount() - checkEnd > 300; }, 2000, "the quiet period to pass");
    key(run);
}

// --- after

void expectFiles(const std::optional<std::string>& windows, const std::optional<std::string>& user) {
    for (const auto& [path, expected] :
         {std::pair{windowsSettingsFile(), windows}, std::pair{userSettingsFile(), user}}) {
        const std::optional<std::string> actual = readFileBytes(path);
        if (actual != expected)
            fail("%s holds \"%s\", not \"%s\"", path.c_str(), actual.value_or("(no file)").c_str(),
                 expected.value_or("(no file)").c_str());
    }
}
void savedLow(Run&) { expectFiles(SAVED_LOW, std::nullopt); }
void fileKept(Run& run) { expectFiles(run.setup.ini, std::nullopt); }
void savedForUser(Run& run) { expectFiles(run.setup.ini, SAVED_LOW); }
void offForUser(Run& run) { expectFiles(run.setup.ini, "[param]\r\nlow=0\r\n"); }
void nothingSaved(Run& run) {
    expectFiles(run.setup.ini, std::nullopt);
    if (readFileBytes(userSettingsFolder()) != "in the way") fail("the file in the per-user folder's way has changed");
}

// Nothing set the saver-running state, which is off.
void stateUntouched(const Run& run) {
    if (WaitForSingleObject(run.writes, 0) == WAIT_OBJECT_0) fail("the saver-running state was set");
    if (saverRunningState() != 0) fail("the saver-running state is on");
}
void noneLoaded(Run& run) {
    for (const auto& [name, log] : {std::pair{"PASSWORD.CPL", passwordLog()}, std::pair{"MPR.DLL", changeLog()}}) {
        if (!log.empty()) fail("%s was loaded:\n%s", name, logText(log).c_str());
    }
    stateUntouched(run);
}
// PASSWORD.CPL without the entry was not loaded again.
void loadedOnce(Run& run) {
    if (passwordLog().size() != 2) fail("PASSWORD.CPL was loaded again:\n%s", logText(passwordLog()).c_str());
    stateUntouched(run);
}
void verifierRan(Run&) { onlyLine(passwordLog(), "call", 1); }

// The right answer at the second call; the verifier released while the state was still
// on, which is off after the exit.
void twoChecks(Run&) {
    const Log log = passwordLog();
    if (onlyLine(log, "call", 2).number("running") != 1) fail("the second check read the saver-running state as off");
    const LogLine& detach = onlyLine(log, "detach");
    if (detach.has("exit")) fail("the verifier was still loaded when the process ended");
    if (detach.number("running") != 1) fail("the saver-running state went off before the verifier was released");
    if (saverRunningState() != 0) fail("the saver-running state is still on after the saver ended");
    if (linesOf(log, "call").size() != 2) fail("the verifier ran other than twice:\n%s", logText(log).c_str());
}

void faulted(Run&) {
    const Log log = passwordLog();
    onlyLine(log, "call", 1);
    if (!linesOf(log, "survived").empty()) fail("the fault did not end the saver:\n%s", logText(log).c_str());
    if (saverRunningState() != 0) fail("the saver-running state is still on after the crash guard ran");
}

void changed(const Run& run, HWND owner) {
    const Log log = changeLog();
    onlyLine(log, "attach");
    const LogLine& change = onlyLine(log, "change");
    if (change.value("provider") != "SCRSAVE" || change.number("owner") != number(owner) ||
        change.number("reserved1") != 0 || change.number("reserved2") != 0) {
        fail("Orvel.scr %s called PwdChangePasswordA otherwise than with \"SCRSAVE\", 0x%llx, 0 and 0:\n%s",
             run.arguments.c_str(), number(owner), logText(log).c_str());
    }
    if (onlyLine(log, "detach").has("exit")) fail("Orvel.scr %s kept MPR.DLL loaded", run.arguments.c_str());
    if (!passwordLog().empty()) fail("Orvel.scr %s loaded PASSWORD.CPL", run.arguments.c_str());
}
void changeFront(Run& run) { changed(run, run.owner); }
void changeOther(Run& run) { changed(run, run.other); }

// With wide-character calls made to fail, the stub library was loaded in their place;
// the calls that ran are noted.
void wideCallsFailed(Run& run) {
    if (run.wideCalls == 0) return;
    const Log log = unicodeLog();
    onlyLine(log, "attach");
    std::string calls;
    for (const LogLine* call : linesOf(log, "call")) calls += " " + call->value("name");
    note("Orvel.scr %s: wide-character calls that failed:%s", run.arguments.c_str(),
         calls.empty() ? " none" : calls.c_str());
}

// --- Rows without Orvel.scr

// The suite's way to the Windows 95 family: orvel-probe.exe, named Orvel.scr, is told
// Windows 98 by Wine; another program at the same time is not.
// Its exit code is the platform, the major and the minor version, a byte each.
void versionProbe(Run&) {
    setVersion(true);
    for (const char* name : {"Orvel.scr", "other.exe"}) {
        copyFile(driverFolder() + "orvel-probe.exe", inFolder(name));
        const DWORD version = waitForExit(startProgram(inFolder(name), ""), "the version probe");
        note("GetVersionExA of %s: platform %lu, version %lu.%lu", name, version >> 16, (version >> 8) & 0xFF,
             version & 0xFF);
        if (name[0] == 'O' ? version != 0x1040A : version >> 16 != 2) fail("%s was told the wrong Windows", name);
    }
    setVersion(false);
}

void settingsReaders(Run&) { compareSettingsReaders(); }
