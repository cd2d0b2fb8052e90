#pragma once
// What the Wine cases share: starting Orvel.scr and waiting for it with deadlines, finding
// its windows, real input through SendInput, and the settings files. Every wait pumps the
// driver's own messages, so a window the driver owns (the preview host) keeps answering
// while the saver talks to it.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A failed check: the case stops, its processes are ended, and the driver exits with 1.
struct CaseFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const char* format, ...) __attribute__((format(printf, 1, 2)));
void note(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The Orvel.scr under test, as given on the driver's command line.
void setSaverPath(const std::string& path);
const std::string& testedSaverPath();

// The folder of orvel-wine-driver.exe, where the suite also builds its test libraries,
// with a trailing backslash.
std::string driverFolder();

// A process of Orvel.scr started by a case. Any still running when the driver ends are
// terminated.
struct Saver {
    HANDLE process = nullptr;
    DWORD id = 0;
    DWORD startTick = 0;
};

Saver startSaver(const std::string& arguments);
// The same for a copy of Orvel.scr elsewhere, or another program.
Saver startProgram(const std::string& program, const std::string& arguments);
bool hasExited(const Saver& saver);
// The exit code once the process has ended, failing after timeoutMs.
DWORD waitForExit(const Saver& saver, DWORD timeoutMs, const char* what);
void terminateAll();

// Handles the driver's own messages for up to ms milliseconds, returning early when one
// arrives.
void pumpMessages(DWORD ms);

// A top-level window of the process with that class and title, or null.
HWND findTopLevel(DWORD processId, const char* className, const char* title);
// Waits for it, failing after timeoutMs; fails at once if the process ends meanwhile.
HWND waitForTopLevel(const Saver& saver, const char* className, const char* title, DWORD timeoutMs);

// Fails when the saver shows its "ERROR" box: the pixel format could not be had.
void expectNoErrorBox(const Saver& saver);

// The full-screen window once it is in front, where the keyboard's input goes.
HWND waitForRunningSaver(const Saver& saver);

void expectExitCode(DWORD code, long expected, const char* what);

// A visible top-level window of the driver's own, as a host or an owner for the saver.
HWND makeTestWindow(const char* title, int x, int y, int width, int height);

// Waits until condition() holds, failing with what after timeoutMs.
template <typename Condition>
void waitUntil(Condition condition, DWORD timeoutMs, const char* what) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) fail("timed out after %lu ms waiting for %s", timeoutMs, what);
        pumpMessages(10);
    }
}

// Real input, as the user gives it.
void pressKey(WORD virtualKey);
void moveCursorTo(POINT screen);
void clickAt(POINT screen, bool rightButton = false);
POINT centreOf(HWND window);
// A left click at screen, repeated up to three times until done() holds: without a window
// manager Wine now and then acts on a click where the cursor was before the move.
template <typename Done>
void clickUntil(POINT screen, Done done, const char* what) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0) note("a click at (%ld, %ld) did nothing: again", screen.x, screen.y);
        clickAt(screen);
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 2000) {
            if (done()) return;
            pumpMessages(10);
        }
    }
    fail("three clicks failed to bring about %s", what);
}

// What the screen shows in rect, row by row, as 0x00RRGGBB: a GDI copy of the screen,
// which under Wine includes what OpenGL drew.
std::vector<std::uint32_t> captureScreen(const RECT& rect);
// How many pixels of two captures of rect differ, leaving out the rows above skipTop.
int changedPixels(const std::vector<std::uint32_t>& before, const std::vector<std::uint32_t>& after,
                  const RECT& rect, int skipTop);
// Waits until the picture in rect changes in more than one pixel in 200 below skipTop:
// frames are being drawn.
void waitForMovingPicture(const RECT& rect, int skipTop, const char* what);

// The system's debugger for faults nobody handled, pointed at a program that does not
// exist for as long as the object lives. With no debugger to start, the system's own
// handling of the fault asks for the crash guard's handler, as Windows does once it has
// reported the fault.
class NoFaultDebugger {
public:
    NoFaultDebugger();
    ~NoFaultDebugger();
    NoFaultDebugger(const NoFaultDebugger&) = delete;
    NoFaultDebugger& operator=(const NoFaultDebugger&) = delete;

private:
    void setDebugger(const char* commandLine);
    HKEY key_ = nullptr;
    bool hadDebugger_ = false;
    std::string debugger_;
};

// A fault inside a running saver: a thread of its own, started from outside, that starts
// where no code is. False when that deadlocked the saver, which Wine does now and then
// (about one start in twenty here): the saver, whose window is given, answers no message
// any more.
bool tryStartFaultingThread(const Saver& saver, HWND window);

// Files, whole.
std::optional<std::string> readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::string& bytes);
void removeFile(const std::string& path);

// C:\windows\Orvelconfig.ini and %APPDATA%\Orvel\Orvelconfig.ini.
std::string windowsSettingsFile();
std::string userSettingsFolder();
std::string userSettingsFile();
// Both files gone, and nothing in the per-user folder's way.
void clearSettings();
