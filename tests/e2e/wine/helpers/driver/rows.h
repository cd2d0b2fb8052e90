// The words the Wine cases are written in: a row's set-up (Setup), the state of one
// case's run (Run), a row of the table (Row) and the steps its columns name, which
// steps.cpp defines. cases.cpp holds the table and plays it.
#pragma once

#include <climits>
#include <cstdint>
#include <optional>
#include <string>

#include "harness.h"

constexpr char FOLDER[] = "C:\\orvel-password\\";
constexpr char DESKTOP[] = "Control Panel\\Desktop";
constexpr char APP_DEFAULTS[] = "Software\\Wine\\AppDefaults\\Orvel.scr";
constexpr char DIALOG[] = "#32770";
constexpr int CHECK_BOX = 1000;
constexpr char UNICODE_STUBS[] = "orvel-stub-unicode.dll";
const std::string SAVED_LOW = "[param]\r\nlow=1\r\n";

enum class Verifier { None, Present, WithoutEntry };  // what sits beside the saver as PASSWORD.CPL

struct Setup {
    bool win98 = false;  // Wine reports Windows 98 to Orvel.scr, else the prefix's NT version
    Verifier verifier = Verifier::None;
    bool mpr = false;          // the stand-in MPR.DLL beside the saver
    int password = -1;         // ScreenSaveUsePassword, or none
    const char* control = "";  // what the stand-in verifier does, call by call (stubs/password_cpl.cpp)
    std::optional<std::string> ini = std::nullopt;      // the Windows directory's settings file, or none
    bool readOnly = false;                              // that file cannot be written
    std::optional<std::string> userIni = std::nullopt;  // the per-user settings file, or none
    bool blocked = false;                               // a file stands where the per-user settings folder would go
    bool owners = false;                                // two test windows, the first in front
    bool wideCallsFail = false;  // the copy's wide-character calls fail as on the 95 family (wide_imports.h)
};

struct Run {
    std::string scr;  // the Orvel.scr under test
    Setup setup;
    std::string arguments;
    Process saver;
    HWND window = nullptr;  // the full-screen window, the preview or the dialog
    HWND host = nullptr;
    HWND owner = nullptr;
    HWND other = nullptr;
    HANDLE writes = nullptr;  // set when anything sets the saver-running state after the start
    HANDLE readOnlyGuard = INVALID_HANDLE_VALUE;
    std::size_t wideCalls = 0;  // the wide-character calls made to fail in the copy
};

using Step = void (*)(Run&);
constexpr long RUNS = LONG_MIN;
constexpr char SAME[] = "~";

struct Row {
    const char* name;
    std::optional<Setup> before;
    const char* arguments;
    Step ready;
    Step input[3];
    long exit;
    Step after[2];
};

inline std::string inFolder(const char* name) { return FOLDER + std::string(name); }
// The Windows version Wine reports to programs named Orvel.scr: 98, or the prefix's own.
inline void setVersion(bool win98) {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, APP_DEFAULTS, "Version");
    if (win98) RegSetKeyValueA(HKEY_CURRENT_USER, APP_DEFAULTS, "Version", REG_SZ, "win98", 6);
}
inline unsigned long long number(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }
inline Log passwordLog() { return readLog(inFolder("password-log.txt")); }
inline Log changeLog() { return readLog(inFolder("mpr-log.txt")); }
inline Log unicodeLog() { return readLog(inFolder("unicode-log.txt")); }

// True, or fails when the saver shows a box of its own.
bool noBox(const Run& run);

// The steps the table names, in steps.cpp.
void front(Run&), fullScreen(Run&), verifierOn(Run&), verifierGone(Run&), preview(Run&), unchecked(Run&);
void checked(Run&), ownedByOther(Run&), key(Run&), secondSaver(Run&), previewInput(Run&), destroyHost(Run&);
void toggle(Run&), ok(Run&), escape(Run&), cancel(Run&), closeButton(Run&), message(Run&), autoplay0(Run&);
void autoplay1(Run&), firstCheck(Run&), keyAfterQuiet(Run&), savedLow(Run&), fileKept(Run&), savedForUser(Run&);
void offForUser(Run&), nothingSaved(Run&), noneLoaded(Run&), loadedOnce(Run&), verifierRan(Run&), twoChecks(Run&);
void faulted(Run&), changeFront(Run&), changeOther(Run&), versionProbe(Run&), settingsReaders(Run&);
void wideCallsFailed(Run&);
