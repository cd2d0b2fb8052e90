// The Windows 95 family's password handling of Orvel.scr, under Wine reporting Windows
// 98 to it: the verifier that the desktop's setting asks for, the saver-running state,
// the autoplay query, the change-password mode, and the same program on an NT version,
// where none of it happens. The stand-in libraries log what the saver asks of them (see
// password_bench.h and tests/e2e/wine/stubs).
#include <string>

#include "cases.h"
#include "harness.h"
#include "password_bench.h"

namespace {

unsigned long long handleNumber(HWND window) {
    return static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window));
}

// Waits until the verifier's log satisfies done, failing with the log when the saver ends
// first or after 10 s.
template <typename Done>
Log waitForPasswordLog(const PasswordBench& bench, const Saver& saver, Done done, const char* what) {
    const DWORD start = GetTickCount();
    for (;;) {
        const bool exited = hasExited(saver);
        const Log log = bench.passwordLog();
        if (done(log)) return log;
        if (exited) fail("Orvel.scr ended before %s; the verifier's log:\n%s", what, logText(log).c_str());
        if (GetTickCount() - start > 10000) {
            fail("timed out after 10000 ms waiting for %s; the verifier's log:\n%s", what, logText(log).c_str());
        }
        pumpMessages(10);
    }
}

// The autoplay query, sent as the system sends it; the saver's answer.
LRESULT askAutoplay(HWND window) {
    const UINT query = RegisterWindowMessageA("QueryCancelAutoPlay");
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, query, 0, 0, SMTO_NORMAL, 10000, &answer)) {
        fail("the saver did not answer the autoplay query within 10 s");
    }
    return LRESULT(answer);
}

void expectUntouchedState(const SaverRunningWrites& writes, const char* when) {
    if (writes.happened()) fail("%s, the saver-running state was set", when);
    if (saverRunningState() != 0) fail("%s, the saver-running state is on", when);
}

void expectNothingLoaded(const Log& log, const char* library, const char* when) {
    if (!log.empty()) fail("%s, %s was loaded:\n%s", when, library, logText(log).c_str());
}

std::string readVersionText(const std::string& file) {
    const std::optional<std::string> text = readFileBytes(file);
    if (!text) fail("the version probe wrote no %s", file.c_str());
    std::string line = *text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return line;
}

}  // namespace

void versionProbeCase() {
    // The probe under the name Orvel.scr, which the per-program setting goes by, and under
    // another name, which must keep the prefix's own version.
    const std::string folder = "C:\\orvel-probe";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string probe = driverFolder() + "orvel-version-probe.exe";
    const std::string asSaver = folder + "\\Orvel.scr";
    const std::string asOther = folder + "\\other.exe";
    for (const std::string& copy : {asSaver, asOther}) {
        if (!CopyFileA(probe.c_str(), copy.c_str(), FALSE)) fail("cannot copy %s to %s", probe.c_str(), copy.c_str());
    }
    const std::string versionFile = folder + "\\version.txt";

    const ProgramVersion win98("Orvel.scr", "win98");
    removeFile(versionFile);
    const DWORD saverPlatform = waitForExit(startProgram(asSaver, ""), 20000, "the version probe as Orvel.scr");
    const std::string saverVersion = readVersionText(versionFile);
    note("GetVersionExA of a program named Orvel.scr, Version=win98: %s", saverVersion.c_str());
    if (saverPlatform != 1) {
        fail("GetVersionExA gives Orvel.scr platform %lu with Version=win98, not 1 (the Windows 95 family): %s",
             saverPlatform, saverVersion.c_str());
    }

    removeFile(versionFile);
    const DWORD otherPlatform = waitForExit(startProgram(asOther, ""), 20000, "the version probe as other.exe");
    const std::string otherVersion = readVersionText(versionFile);
    note("GetVersionExA of another program meanwhile: %s", otherVersion.c_str());
    if (otherPlatform != 2) {
        fail("the setting for Orvel.scr gave another program platform %lu, not 2 (NT): %s", otherPlatform,
             otherVersion.c_str());
    }
}

void passwordVerifyCase() {
    PasswordBench bench(WindowsFamily::Win98, VerifierLibrary::Present);
    bench.requirePassword(1);
    // The first check gets a close while it runs, answers wrong and leaves a key press
    // behind; the second answers right.
    bench.instruct("1 wrong close key\r\n2 right\r\n");
    const Saver saver = bench.start("/s");
    HWND window = waitForRunningSaver(saver);

    const Log loaded = bench.passwordLog();
    if (onlyLine(loaded, "attach").number("running") != 0) fail("the saver-running state was on before the verifier was loaded");
    if (saverRunningState() != 1) fail("another program sees the saver-running state off while the verifier is loaded");

    pressKey('A');
    // Done once the close that the left-behind key press caused has been handled, or when
    // a second check came instead.
    Log log = waitForPasswordLog(
        bench, saver,
        [](const Log& l) { return !linesOf(l, "after-close", 1).empty() || !linesOf(l, "call", 2).empty(); },
        "the first check, and the close that its key press caused, to be over");

    const LogLine& call = onlyLine(log, "call", 1);
    if (call.number("window") != handleNumber(window)) {
        fail("the verifier was given window 0x%llx, not the saver's 0x%llx", call.number("window"),
             handleNumber(window));
    }
    if (call.number("running") != 1) fail("the verifier read the saver-running state as off");

    // A close during the check: it reached the saver inside the check and was refused.
    const LogLine& pumped = onlyLine(log, "pumped", 1);
    if (pumped.number("close-dispatched") != 1) fail("the close posted during the check never reached the saver");
    if (pumped.number("window-alive") != 1) fail("a close during the check destroyed the saver window");
    if (!linesOf(log, "reentered").empty()) fail("a close during the check ran the verifier inside the first run");

    // A wrong answer: the cursor that the check left is gone before the saver takes its
    // next message.
    const LogLine& next = onlyLine(log, "next", 1);
    if (next.number("cursor") != 0) {
        fail("after the wrong answer the saver took message 0x%llx with the cursor 0x%llx still set",
             next.number("message"), next.number("cursor"));
    }

    // The quiet period: the key press that the check left behind closes within 200 ms of
    // the check's end, and that close runs no check.
    const DWORD checkEnd = onlyLine(log, "return", 1).tick;
    const LogLine* keyTaken = nullptr;
    const LogLine* closeTaken = nullptr;
    for (const LogLine* took : linesOf(log, "took", 1)) {
        if (took->number("message") == WM_KEYDOWN && keyTaken == nullptr) keyTaken = took;
        if (took->number("message") == WM_CLOSE && closeTaken == nullptr) closeTaken = took;
    }
    if (keyTaken == nullptr) fail("the key press posted at the end of the check never reached the saver");
    if (closeTaken == nullptr) fail("the key press after the check posted no close:\n%s", logText(log).c_str());
    const DWORD closeDelay = closeTaken->tick - checkEnd;
    if (closeDelay >= 200) {
        fail("the close came %lu ms after the check, too late to show the quiet period", closeDelay);
    }
    if (!linesOf(log, "call", 2).empty()) {
        fail("a close %lu ms after a wrong answer ran the verifier again:\n%s", closeDelay, logText(log).c_str());
    }
    note("a close %lu ms after the wrong answer was refused without a check", closeDelay);

    // The saver goes on drawing.
    if (hasExited(saver) || !IsWindow(window)) fail("the saver ended after a wrong password");
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    waitForMovingPicture(screen, 60, "frames after the wrong password");

    // After the quiet period a key press runs the verifier again, which answers right.
    waitUntil([&] { return GetTickCount() - checkEnd > 300; }, 2000, "the quiet period to pass");
    waitUntil([&] { return GetForegroundWindow() == window; }, 10000, "the saver to be in front");
    pressKey('B');
    log = waitForPasswordLog(
        bench, saver, [](const Log& l) { return !linesOf(l, "call", 2).empty(); },
        "a key press after the quiet period to run the verifier again");
    if (onlyLine(log, "call", 2).number("running") != 1) fail("the second check read the saver-running state as off");
    expectExitCode(waitForExit(saver, 10000, "the saver to end after the right password"), 0,
                   "Orvel.scr /s after the right password");

    // The verifier was released at the end, while the state was still on; then it went off.
    log = bench.passwordLog();
    const LogLine& detach = onlyLine(log, "detach");
    if (detach.has("exit")) fail("the verifier was still loaded when the process ended");
    if (detach.number("running") != 1) fail("the saver-running state went off before the verifier was released");
    if (saverRunningState() != 0) fail("the saver-running state is still on after the saver ended");
    if (linesOf(log, "call").size() != 2) fail("the verifier ran other than twice:\n%s", logText(log).c_str());
}

void passwordNoneCase() {
    struct Setting {
        const char* what;
        VerifierLibrary verifier;
        DWORD required;
    };
    const Setting settings[] = {
        {"no password required", VerifierLibrary::Present, 0},
        {"PASSWORD.CPL missing", VerifierLibrary::Missing, 1},
        {"PASSWORD.CPL without VerifyScreenSavePwd", VerifierLibrary::WithoutEntry, 1},
    };
    for (const Setting& setting : settings) {
        PasswordBench bench(WindowsFamily::Win98, setting.verifier);
        bench.requirePassword(setting.required);
        const SaverRunningWrites writes;
        const Saver saver = bench.start("/s");
        waitForRunningSaver(saver);
        const Log atFront = bench.passwordLog();

        pressKey('A');
        const std::string what = std::string("the saver to end after the first key, ") + setting.what;
        expectExitCode(waitForExit(saver, 10000, what.c_str()), 0, what.c_str());

        const Log log = bench.passwordLog();
        if (setting.verifier == VerifierLibrary::WithoutEntry) {
            // Loaded, found wanting and released before the window came to the front.
            const LogLine& attach = onlyLine(atFront, "attach");
            const LogLine& detach = onlyLine(atFront, "detach");
            if (detach.has("exit")) fail("PASSWORD.CPL without the entry was kept until the process ended");
            if (attach.number("running") != 0 || detach.number("running") != 0) {
                fail("the saver-running state was on around PASSWORD.CPL without the entry:\n%s",
                     logText(atFront).c_str());
            }
            if (log.size() != 2) fail("PASSWORD.CPL without the entry was loaded again:\n%s", logText(log).c_str());
        } else {
            expectNothingLoaded(log, "PASSWORD.CPL", setting.what);
        }
        expectUntouchedState(writes, setting.what);
        note("%s: the first key ended the saver", setting.what);
    }
}

void passwordPreviewCase() {
    PasswordBench bench(WindowsFamily::Win98, VerifierLibrary::Present);
    bench.requirePassword(1);
    const SaverRunningWrites writes;
    HWND host = makeTestWindow("Preview host", 100, 100, 360, 280);
    const Saver saver = bench.start("/p " + std::to_string(reinterpret_cast<std::uintptr_t>(host)));
    HWND preview = nullptr;
    waitUntil(
        [&] {
            preview = FindWindowExA(host, nullptr, "WindowsScreenSaverClass", "Preview");
            if (preview == nullptr && hasExited(saver)) fail("Orvel.scr /p ended before showing its preview");
            return preview != nullptr && IsWindowVisible(preview);
        },
        30000, "the preview to be shown in the host");

    // No verifier in the preview: the autoplay query says so, and the close it posts ends
    // the preview.
    const LRESULT answer = askAutoplay(preview);
    if (answer != 0) fail("the preview answered the autoplay query with %lld, not 0", static_cast<long long>(answer));
    expectExitCode(waitForExit(saver, 10000, "the preview to end after the autoplay query"), 0,
                   "Orvel.scr /p after the autoplay query");
    expectNothingLoaded(bench.passwordLog(), "PASSWORD.CPL", "in the preview with a password required");
    expectUntouchedState(writes, "in the preview");
    DestroyWindow(host);
}

void passwordAutoplayCase() {
    {
        PasswordBench bench(WindowsFamily::Win98, VerifierLibrary::Present);
        bench.requirePassword(1);
        bench.instruct("1 right\r\n");
        const Saver saver = bench.start("/s");
        HWND window = waitForRunningSaver(saver);
        const LRESULT answer = askAutoplay(window);
        if (answer != 1) {
            fail("with a verifier the saver answered the autoplay query with %lld, not 1",
                 static_cast<long long>(answer));
        }
        // The close that the query posted goes through the verifier.
        waitForPasswordLog(
            bench, saver, [](const Log& l) { return !linesOf(l, "call", 1).empty(); },
            "the close posted by the autoplay query to run the verifier");
        expectExitCode(waitForExit(saver, 10000, "the saver to end after the autoplay query"), 0,
                       "Orvel.scr /s after the autoplay query and the right password");
        note("with a verifier: answered 1, the close ran the verifier");
    }
    {
        PasswordBench bench(WindowsFamily::Win98, VerifierLibrary::Present);
        bench.requirePassword(0);
        const Saver saver = bench.start("/s");
        HWND window = waitForRunningSaver(saver);
        const LRESULT answer = askAutoplay(window);
        if (answer != 0) {
            fail("without a verifier the saver answered the autoplay query with %lld, not 0",
                 static_cast<long long>(answer));
        }
        expectExitCode(waitForExit(saver, 10000, "the saver to end after the autoplay query"), 0,
                       "Orvel.scr /s after the autoplay query");
        expectNothingLoaded(bench.passwordLog(), "PASSWORD.CPL", "without a password required");
        note("without a verifier: answered 0, the close ended the saver");
    }
}

void passwordCrashGuardCase() {
    const NoFaultDebugger noDebugger;
    PasswordBench bench(WindowsFamily::Win98, VerifierLibrary::Present);
    bench.requirePassword(1);
    bench.instruct("1 wrong fault\r\n");
    const Saver saver = bench.start("/s");
    waitForRunningSaver(saver);
    if (saverRunningState() != 1) fail("the saver-running state is off while the verifier is loaded");
    // The check starts a thread in the saver that faults.
    pressKey('A');
    expectExitCode(waitForExit(saver, 20000, "the saver to end after the fault"), -1, "the faulting saver");
    const Log log = bench.passwordLog();
    onlyLine(log, "call", 1);
    if (!linesOf(log, "survived").empty()) fail("the fault did not end the saver:\n%s", logText(log).c_str());
    if (saverRunningState() != 0) fail("the saver-running state is still on after the crash guard ran");
}

void changePasswordCase() {
    {
        PasswordBench bench(WindowsFamily::Win98, VerifierLibrary::Present);
        HWND front = makeTestWindow("Orvel password owner", 80, 80, 300, 200);
        HWND other = makeTestWindow("Orvel other window", 420, 80, 300, 200);
        SetForegroundWindow(front);
        waitUntil([&] { return GetForegroundWindow() == front; }, 10000, "the test window to be in front");
        if (IsWindow(reinterpret_cast<HWND>(std::uintptr_t(1234)))) {
            fail("window number 1234 names a window here; the case needs one that names none");
        }

        struct Run {
            std::string arguments;
            HWND owner;
            const char* what;
        };
        const Run runs[] = {
            {"/a 1234", front, "no such window: the foreground window"},
            {"/a " + std::to_string(reinterpret_cast<std::uintptr_t>(other)), other, "the given window"},
        };
        for (const Run& run : runs) {
            bench.forgetLogs();
            const Saver saver = bench.start(run.arguments);
            expectExitCode(waitForExit(saver, 20000, run.arguments.c_str()), 0, run.arguments.c_str());
            const Log log = bench.changeLog();
            onlyLine(log, "attach");
            const LogLine& change = onlyLine(log, "change");
            if (change.text("provider") != "SCRSAVE" || change.number("owner") != handleNumber(run.owner) ||
                change.number("reserved1") != 0 || change.number("reserved2") != 0) {
                fail("Orvel.scr %s called PwdChangePasswordA otherwise than with \"SCRSAVE\", owner 0x%llx (%s), 0 "
                     "and 0:\n%s",
                     run.arguments.c_str(), handleNumber(run.owner), run.what, logText(log).c_str());
            }
            if (onlyLine(log, "detach").has("exit")) fail("Orvel.scr %s kept MPR.DLL loaded", run.arguments.c_str());
            note("Orvel.scr %s: PwdChangePasswordA(\"SCRSAVE\", %s, 0, 0), exit code 0", run.arguments.c_str(),
                 run.what);
        }
        expectNothingLoaded(bench.passwordLog(), "PASSWORD.CPL", "in the change-password mode");
        DestroyWindow(front);
        DestroyWindow(other);
    }
    {
        PasswordBench bench(WindowsFamily::Win98, VerifierLibrary::Present, ChangeLibrary::Missing);
        expectExitCode(waitForExit(bench.start("/a"), 20000, "Orvel.scr /a without MPR.DLL"), 0,
                       "Orvel.scr /a without MPR.DLL");
        note("Orvel.scr /a without MPR.DLL: exit code 0");
    }
}

void passwordNtCase() {
    PasswordBench bench(WindowsFamily::Nt, VerifierLibrary::Present);
    bench.requirePassword(1);
    const SaverRunningWrites writes;
    for (const char* arguments : {"/a", "/a 1234"}) {
        expectExitCode(waitForExit(bench.start(arguments), 20000, arguments), -1, arguments);
    }
    const Saver saver = bench.start("/s");
    waitForRunningSaver(saver);
    pressKey('A');
    expectExitCode(waitForExit(saver, 10000, "Orvel.scr /s to end after the first key on NT"), 0,
                   "Orvel.scr /s on NT");
    expectNothingLoaded(bench.passwordLog(), "PASSWORD.CPL", "on NT");
    expectNothingLoaded(bench.changeLog(), "MPR.DLL", "on NT");
    expectUntouchedState(writes, "on NT");
    note("on NT: /a and /a 1234 ended with -1, the first key ended the saver, neither library was loaded");
}
