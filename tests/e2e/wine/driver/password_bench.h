#pragma once
// What the password cases share. Orvel.scr runs from a folder of the prefix,
// C:\orvel-password, as a copy with the test libraries beside it, where its LoadLibraryA
// looks first: the stand-in PASSWORD.CPL and MPR.DLL (tests/e2e/wine/stubs). Wine gives
// programs named Orvel.scr the Windows version of the case through its per-program
// setting, and the desktop's password setting is set for the case; both are undone when
// the bench goes, so that the other cases see the prefix as it was. WINEDLLOVERRIDES,
// set by wine_suite.sh for these cases, tells Wine to take the MPR.DLL beside the saver
// over its own.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "harness.h"

// The Windows version Wine reports to Orvel.scr: Windows 98 through
// HKCU\Software\Wine\AppDefaults\Orvel.scr, or the prefix's own, an NT version.
enum class WindowsFamily { Win98, Nt };

// What sits beside the saver as PASSWORD.CPL.
enum class VerifierLibrary { Present, Missing, WithoutEntry };

// What sits beside the saver as MPR.DLL.
enum class ChangeLibrary { Present, Missing };

// One line of a test library's log: the tick count, the event, and its key=value fields.
struct LogLine {
    DWORD tick = 0;
    std::string event;
    std::vector<std::pair<std::string, std::string>> fields;

    bool has(const char* key) const;
    const std::string& text(const char* key) const;      // fails when the field is missing
    unsigned long long number(const char* key) const;    // decimal, or hexadecimal after 0x
};

using Log = std::vector<LogLine>;

// The lines of an event, in order; with n, only those of that call.
std::vector<const LogLine*> linesOf(const Log& log, const char* event, int n = 0);
// The single line of an event (of call n), failing when there is none or more than one.
const LogLine& onlyLine(const Log& log, const char* event, int n = 0);
std::string logText(const Log& log);

// Sets HKCU\Software\Wine\AppDefaults\<program>\Version for as long as it lives.
class ProgramVersion {
public:
    ProgramVersion(const char* program, const char* version);
    ~ProgramVersion();
    ProgramVersion(const ProgramVersion&) = delete;
    ProgramVersion& operator=(const ProgramVersion&) = delete;

private:
    std::string key_;
};

class PasswordBench {
public:
    PasswordBench(WindowsFamily family, VerifierLibrary verifier, ChangeLibrary change = ChangeLibrary::Present);
    ~PasswordBench();
    PasswordBench(const PasswordBench&) = delete;
    PasswordBench& operator=(const PasswordBench&) = delete;

    // "ScreenSaveUsePassword" under HKCU\Control Panel\Desktop, as a 4-byte number.
    void requirePassword(DWORD value);
    // The stand-in verifier's control file; see stubs/password_cpl.cpp.
    void instruct(const char* control);

    // The copy of Orvel.scr in the bench's folder, started with the arguments.
    Saver start(const std::string& arguments);

    Log passwordLog() const;
    Log changeLog() const;
    // Both logs gone, so that the next run starts them afresh.
    void forgetLogs();

private:
    std::optional<ProgramVersion> version_;
};

// The saver-running state as a program started now reads it (SPI_GETSCREENSAVERRUNNING
// of orvel-saver-running.exe): 1 or 0. The driver cannot read it itself: a process keeps
// what it has once read.
int saverRunningState();

// Whether anything set the saver-running state while the watch lived. Wine 8 keeps the
// state as a value under HKCU\Software\Wine\Temporary System Parameters\Control Panel\Desktop
// and writes it on every SPI_SETSCREENSAVERRUNNING, even when nothing changes, so a change
// notification on that key catches each call, however brief its effect.
class SaverRunningWrites {
public:
    SaverRunningWrites();
    ~SaverRunningWrites();
    SaverRunningWrites(const SaverRunningWrites&) = delete;
    SaverRunningWrites& operator=(const SaverRunningWrites&) = delete;

    bool happened() const;

private:
    HKEY key_ = nullptr;
    HANDLE event_ = nullptr;
};
