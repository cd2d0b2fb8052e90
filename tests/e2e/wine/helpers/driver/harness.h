#pragma once
// What the Wine cases are made of: processes, windows, real input through SendInput, the
// screen's pixels, files, and the stand-ins' logs (stubs/). Every wait has a deadline and
// handles the driver's own messages, so that its windows (a preview's host) answer.
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

// A process a case started; any still running when the driver ends are terminated.
struct Process {
    HANDLE handle = nullptr;
    DWORD id = 0;
};
// With errorFile, the program's standard error goes to that file, made anew.
Process startProgram(const std::string& program, const std::string& arguments, const char* errorFile = nullptr);
bool hasExited(const Process& process);
// The exit code once the process has ended; fails after 20 s.
DWORD waitForExit(const Process& process, const char* what);
void terminateAll();

void pumpMessages(DWORD ms);  // for up to ms milliseconds, returning when one arrives

template <typename Condition>
void waitUntil(Condition condition, DWORD timeoutMs, const char* what) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) fail("timed out after %lu ms waiting for %s", timeoutMs, what);
        pumpMessages(10);
    }
}

// A top-level window of the process with that class and title, or null.
HWND findTopLevel(DWORD processId, const char* className, const char* title);
// Waits for one, failing at once if the process ends first.
HWND waitForTopLevel(const Process& process, const char* className, const char* title);
// A visible window of the driver's own, 360 by 280, as a host or an owner. WM_CONTEXTMENU
// sent to any of them is counted, with its wParam.
HWND makeTestWindow(const char* title, int x, int y);
extern int contextMenus;
extern WPARAM contextMenuWParam;

// Real input, as the user gives it. A click waits until the cursor is at its place.
void pressKey(WORD virtualKey);
void moveCursorTo(POINT screen);
void clickAt(POINT screen, bool rightButton = false);
POINT centreOf(HWND window);

// A click repeated, up to three times, until done() holds: without a window manager Wine
// now and then acts on a click where the cursor was before the move.
template <typename Done>
void clickUntil(POINT screen, bool rightButton, Done done, const char* what) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0) note("a click at (%ld, %ld) did nothing: again", screen.x, screen.y);
        clickAt(screen, rightButton);
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 2000) {
            if (done()) return;
            pumpMessages(10);
        }
    }
    fail("three clicks did not bring about %s", what);
}

// What the screen shows in rect, row by row, as 0x00RRGGBB: a GDI copy of the screen,
// which under Wine includes what OpenGL drew.
std::vector<std::uint32_t> captureScreen(const RECT& rect);
// Waits until more than one pixel in 200 of rect, below its top skipTop rows, changes.
void waitForMovingPicture(const RECT& rect, int skipTop, const char* what);

std::optional<std::string> readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::string& bytes);
void removeFile(const std::string& path);  // a file or an empty folder; none is fine
void copyFile(const std::string& from, const std::string& to);
std::string driverFolder();  // where the suite builds the driver and the stand-ins; ends in a backslash

// C:\windows\Orvelconfig.ini, and %APPDATA%\Orvel with its Orvelconfig.ini.
std::string windowsSettingsFile();
std::string userSettingsFolder();
std::string userSettingsFile();

// One line of a stand-in's log: "tick=T event key=value ...".
struct LogLine {
    DWORD tick = 0;
    std::string event;
    std::string text;
    bool has(const char* key) const;
    std::string value(const char* key) const;          // fails when the field is missing
    unsigned long long number(const char* key) const;  // decimal, or hexadecimal after 0x
};
using Log = std::vector<LogLine>;
Log readLog(const std::string& path);
// The lines of an event, in order; with n, only those of call n.
std::vector<const LogLine*> linesOf(const Log& log, const char* event, int n = 0);
// The single line of an event (of call n); fails when there is none or more than one.
const LogLine& onlyLine(const Log& log, const char* event, int n = 0);
std::string logText(const Log& log);

// The saver-running state as a program started now reads it: 1 or 0. The driver cannot
// read it itself, since a process keeps the system parameters it has once read.
int saverRunningState();

// An event set at every SPI_SETSCREENSAVERRUNNING from now on (and no longer for the
// event made before). Wine 8 keeps the state under HKCU\Software\Wine\Temporary System
// Parameters\Control Panel\Desktop and writes it at every set, even one that changes
// nothing, so a change notification on that key catches every call.
HANDLE watchSaverRunningWrites();

// The program's own settings reader held up against GetPrivateProfileIntA.
void compareSettingsReaders();
