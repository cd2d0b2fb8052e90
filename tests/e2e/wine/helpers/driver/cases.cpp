// orvel-wine-driver CASE ORVEL_SCR: runs one case of Orvel.scr under Wine; exits with 0
// when it passes, 1 when it fails, 2 on bad use. Every wait has a deadline, and the
// processes a case started are ended before the driver exits. A case is the rows of the
// table at the end that carry its name (or follow one that does), played in order by
// play(); README.md beside this folder says what each proves. A row's columns:
//
//   before     the set-up made afresh for the row (Setup, rows.h), or none ({}): the
//              folder, the prefix's settings and the windows of the row above stay
//   arguments  Orvel.scr's command line for a new process, where $host becomes the
//              number of a new host window and $other that of the second test window;
//              SAME goes on with the process of the row above; nullptr starts none
//   ready      what to wait for and check once it runs
//   input      up to three steps, in order
//   exit       the exit code the process ends with, or RUNS: it must still be running
//   after      up to two checks once it has ended (or, with RUNS, after the input)
//
// Orvel.scr always runs as a copy in C:\orvel-password, with the stand-ins the row asks
// for beside it, where its LoadLibraryA looks first (stubs/).
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>

#include "rows.h"
#include "wide_imports.h"

// --- Set-up: everything a row's before may change is made afresh.

// The Windows directory's settings file made read-only, as attrib +r does. Wine keeps that
// as the file's Unix write permission, which does not stop root: where the driver can
// still open the file for writing, it also holds it open against writers.
void makeReadOnly(Run& run) {
    const std::string path = windowsSettingsFile();
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE probe = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return;
    CloseHandle(probe);
    run.readOnlyGuard = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (run.readOnlyGuard == INVALID_HANDLE_VALUE) fail("cannot hold %s open", path.c_str());
}

void prepare(Run& run, const Setup& setup) {
    run.setup = setup;
    CreateDirectoryA(FOLDER, nullptr);
    for (const char* name : {"PASSWORD.CPL", "MPR.DLL", UNICODE_STUBS}) removeFile(inFolder(name));
    copyFile(run.scr, inFolder("Orvel.scr"));
    run.wideCalls = 0;
    if (setup.wideCallsFail) {
        copyFile(driverFolder() + UNICODE_STUBS, inFolder(UNICODE_STUBS));
        std::string list;
        for (const std::string& call : failWideImports(inFolder("Orvel.scr"), UNICODE_STUBS)) {
            list += (list.empty() ? "" : ", ") + call;
            ++run.wideCalls;
        }
        note("wide-character calls made to fail: %s", list.empty() ? "none, Orvel.scr imports none" : list.c_str());
    }
    const char* verifiers[] = {nullptr, "orvel-stub-password.cpl", "orvel-stub-password-no-entry.cpl"};
    if (const char* verifier = verifiers[int(setup.verifier)])
        copyFile(driverFolder() + verifier, inFolder("PASSWORD.CPL"));
    writeFileBytes(inFolder("password-control.txt"), setup.control);
    // Wine takes the MPR.DLL beside the saver over its own as the environment says that
    // each process inherits on the Linux side, which the driver cannot change.
    if (setup.mpr) {
        const char* overrides = std::getenv("WINEDLLOVERRIDES");
        if (overrides == nullptr || !std::strstr(overrides, "mpr=n")) fail("WINEDLLOVERRIDES lacks mpr=n");
        copyFile(driverFolder() + "orvel-stub-mpr.dll", inFolder("MPR.DLL"));
    }
    setVersion(setup.win98);
    const DWORD password = DWORD(setup.password);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, DESKTOP, "ScreenSaveUsePassword");
    if (setup.password >= 0) {
        RegSetKeyValueA(HKEY_CURRENT_USER, DESKTOP, "ScreenSaveUsePassword", REG_DWORD, &password, sizeof password);
    }
    UINT scratch = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &scratch, 0);  // as with no saver running

    if (run.readOnlyGuard != INVALID_HANDLE_VALUE) CloseHandle(run.readOnlyGuard);
    run.readOnlyGuard = INVALID_HANDLE_VALUE;
    removeFile(windowsSettingsFile());
    if (GetFileAttributesA(userSettingsFolder().c_str()) & FILE_ATTRIBUTE_DIRECTORY) removeFile(userSettingsFile());
    removeFile(userSettingsFolder());
    if (setup.ini) writeFileBytes(windowsSettingsFile(), *setup.ini);
    if (setup.readOnly) makeReadOnly(run);
    if (setup.blocked) writeFileBytes(userSettingsFolder(), "in the way");
    if (setup.userIni) CreateDirectoryA(userSettingsFolder().c_str(), nullptr);
    if (setup.userIni) writeFileBytes(userSettingsFile(), *setup.userIni);

    if (setup.owners) {
        run.owner = makeTestWindow("Orvel owner window", 80, 80);
        run.other = makeTestWindow("Orvel other window", 460, 80);
        SetForegroundWindow(run.owner);
        waitUntil([&] { return GetForegroundWindow() == run.owner; }, 10000, "the test window to be in front");
        if (IsWindow(reinterpret_cast<HWND>(std::uintptr_t(1234)))) fail("window 1234 exists; the case needs none");
    }
}

void start(Run& run, std::string arguments) {
    if (const std::size_t at = arguments.find("$host"); at != std::string::npos) {
        run.host = makeTestWindow("Preview host", 100, 100);
        arguments.replace(at, 5, std::to_string(number(run.host)));
    }
    if (const std::size_t at = arguments.find("$other"); at != std::string::npos) {
        arguments.replace(at, 6, std::to_string(number(run.other)));
    }
    run.arguments = arguments;
    for (const char* name : {"password-log.txt", "mpr-log.txt", "unicode-log.txt"}) removeFile(inFolder(name));
    run.writes = watchSaverRunningWrites();
    run.window = nullptr;
    run.saver = startProgram(inFolder("Orvel.scr"), arguments, inFolder("saver-stderr.txt").c_str());
}

// True, or fails when the saver shows a box of its own: "ERROR" when it had no pixel
// format, "Orvel" when a setting was not saved.
bool noBox(const Run& run) {
    for (const char* title : {"ERROR", "Orvel"}) {
        if (findTopLevel(run.saver.id, DIALOG, title) != nullptr)
            fail("Orvel.scr %s showed a box \"%s\"", run.arguments.c_str(), title);
    }
    return true;
}

// --- The cases

using enum Verifier;
Setup win98(Verifier verifier, int password, const char* control = "") {
    return {.win98 = true, .verifier = verifier, .password = password, .control = control};
}
// Only bit 0 of 3 counts: the box starts checked.
const Setup NT{};  // the prefix's own version, no stand-ins, no settings files
const Setup LOW3{.ini = "; kept byte for byte\r\n[param]\r\nlow=3\r\n[other]\r\nx = y\r\n"};
const Setup READ_ONLY{.ini = "[param]\r\nlow=0\r\n", .readOnly = true};
const Setup USER_FILE{.ini = "[param]\r\nlow=0\r\n", .userIni = SAVED_LOW};
const Setup UNSAVED{.ini = "[param]\r\nlow=0\r\n", .readOnly = true, .blocked = true};
const Setup VERIFIER = win98(Present, 1);
const Setup NO_PASSWORD = win98(Present, 0);
const Setup NO_VERIFIER = win98(None, 1);
const Setup NO_ENTRY = win98(WithoutEntry, 1);
// The first check gets a close while it runs, answers wrong and leaves a key press
// behind; the second answers right.
const Setup WRONG_THEN_RIGHT = win98(Present, 1, "1 wrong close key\r\n2 right\r\n");
const Setup RIGHT = win98(Present, 1, "1 right");
const Setup FAULT = win98(Present, 1, "1 wrong fault");
const Setup NT_OWNERS{.owners = true};
const Setup OWNERS{.win98 = true, .verifier = Present, .mpr = true, .owners = true};
const Setup NO_MPR = win98(Present, -1);
const Setup NT_PASSWORD{.verifier = Present, .mpr = true, .password = 1};
const Setup WIDE_FAIL_RIGHT{.win98 = true, .verifier = Present, .password = 1, .control = "1 right", .wideCallsFail = true};
const Setup WIDE_FAIL_OWNERS{.win98 = true, .verifier = Present, .mpr = true, .owners = true, .wideCallsFail = true};

// clang-format off
const Row ROWS[] = {
//   name                     before            arguments    ready         input                  exit  after
    {"fullscreen",            NT,               "/s",        fullScreen,   {key},                 0,    {}},
    {"single-instance",       NT,               "/s",        front,        {secondSaver},         RUNS, {}},
    {"",                      {},               SAME,        nullptr,      {key},                 0,    {}},
    {"refusals",              NT,               "/p",        nullptr,      {},                    -1,   {}},
    {"",                      {},               "/x",        nullptr,      {},                    -1,   {}},
    {"",                      {},               "/?",        nullptr,      {},                    -1,   {}},
    {"preview",               NT,               "/p $host",  preview,      {previewInput},        RUNS, {}},
    {"",                      {},               SAME,        nullptr,      {destroyHost},         0,    {}},
    {"configure-ok",          NT,               "/c",        unchecked,    {toggle, ok},          0,    {savedLow}},
    {"configure-leaves-file", LOW3,             "/c",        checked,      {toggle, cancel},      0,    {fileKept}},
    {"",                      {},               "/c",        checked,      {toggle, escape},      0,    {fileKept}},
    {"",                      {},               "/c",        checked,      {toggle, closeButton}, 0,    {fileKept}},
    {"configure-read-only",   READ_ONLY,        "/c",        unchecked,    {toggle, ok},          0,    {savedForUser}},
    {"",                      {},               "/c",        checked,      {escape},              0,    {savedForUser}},
    {"configure-user-file",   USER_FILE,        "/c",        checked,      {toggle, ok},          0,    {offForUser}},
    {"configure-owner",       NT_OWNERS,        "/c:$other", ownedByOther, {escape},              0,    {fileKept}},
    {"configure-unsaved",     UNSAVED,          "/c",        unchecked,    {toggle, ok, message}, 0,    {nothingSaved}},
    {"profile-reader",        {},               nullptr,     nullptr,      {settingsReaders},     0,    {}},
    {"win98-version",         NT,               nullptr,     nullptr,      {versionProbe},        0,    {}},
    {"password-verify",       WRONG_THEN_RIGHT, "/s",        verifierOn,   {key},                 RUNS, {firstCheck}},
    {"",                      {},               SAME,        nullptr,      {keyAfterQuiet},       0,    {twoChecks}},
    {"password-none",         NO_PASSWORD,      "/s",        front,        {key},                 0,    {noneLoaded}},
    {"",                      NO_VERIFIER,      "/s",        front,        {key},                 0,    {noneLoaded}},
    {"",                      NO_ENTRY,         "/s",        verifierGone, {key},                 0,    {loadedOnce}},
    {"password-preview",      VERIFIER,         "/p $host",  preview,      {autoplay0},           0,    {noneLoaded}},
    // The close that the autoplay query posts goes through the verifier, or ends the saver.
    {"password-autoplay",     RIGHT,            "/s",        front,        {autoplay1},           0,    {verifierRan}},
    {"",                      NO_PASSWORD,      "/s",        front,        {autoplay0},           0,    {noneLoaded}},
    // The check starts a thread in the saver that faults; no debugger takes it (cases.sh).
    {"password-crash-guard",  FAULT,            "/s",        verifierOn,   {key},                 -1,   {faulted}},
    {"change-password",       OWNERS,           "/a 1234",   nullptr,      {},                    0,    {changeFront}},
    {"",                      {},               "/a $other", nullptr,      {},                    0,    {changeOther}},
    {"",                      NO_MPR,           "/a",        nullptr,      {},                    0,    {}},
    {"password-nt",           NT_PASSWORD,      "/a",        nullptr,      {},                    -1,   {noneLoaded}},
    {"",                      {},               "/a 1234",   nullptr,      {},                    -1,   {noneLoaded}},
    {"",                      {},               "/s",        front,        {key},                 0,    {noneLoaded}},
    // Every wide-character call Orvel.scr imports fails, as on the Windows 95 family.
    {"unicode-stubs",         WIDE_FAIL_RIGHT,  "/s",        verifierOn,   {key},                 0,    {verifierRan, wideCallsFailed}},
    {"",                      {},               "/p $host",  preview,      {destroyHost},         0,    {wideCallsFailed}},
    {"",                      {},               "/c",        unchecked,    {toggle, ok},          0,    {savedLow, wideCallsFailed}},
    {"",                      WIDE_FAIL_OWNERS, "/a $other", nullptr,      {},                    0,    {changeOther, wideCallsFailed}},
};
// clang-format on

void play(const Row& row, Run& run) {
    if (row.before) prepare(run, *row.before);
    if (row.arguments != nullptr && std::strcmp(row.arguments, SAME) != 0) start(run, row.arguments);
    if (row.ready != nullptr) row.ready(run);
    for (Step step : row.input) {
        if (step != nullptr) step(run);
    }
    if (row.arguments != nullptr && row.exit == RUNS) {
        if (hasExited(run.saver)) fail("Orvel.scr %s ended", run.arguments.c_str());
    } else if (row.arguments != nullptr) {
        const std::string what = "Orvel.scr " + run.arguments + " to end";
        waitUntil([&] { return noBox(run) && hasExited(run.saver); }, 20000, what.c_str());
        const long code = long(waitForExit(run.saver, what.c_str()));
        if (code != row.exit) fail("Orvel.scr %s ended with %ld, not %ld", run.arguments.c_str(), code, row.exit);
    }
    for (Step step : row.after) {
        if (step != nullptr) step(run);
    }
}

int main(int argc, char** argv) {
    const Row* first = nullptr;
    for (const Row& row : ROWS) {
        if (argc == 3 && std::strcmp(row.name, argv[1]) == 0) first = &row;
    }
    if (first == nullptr) {
        std::fprintf(stderr, "usage: orvel-wine-driver CASE ORVEL_SCR, with a CASE of the table in cases.cpp\n");
        return 2;
    }
    std::printf("== %s\n", argv[1]);
    int result = 0;
    Run run;
    run.scr = argv[2];
    try {
        int number = 1;
        for (const Row* row = first; row < std::end(ROWS) && (row == first || *row->name == '\0'); ++row, ++number) {
            note("row %d: %s", number, row->arguments != nullptr ? row->arguments : "(no Orvel.scr)");
            play(*row, run);
        }
        std::printf("PASS %s\n", argv[1]);
    } catch (const CaseFailure& failure) {
        std::printf("FAIL %s: %s\n", argv[1], failure.what());
        if (const auto said = readFileBytes(inFolder("saver-stderr.txt")); said && !said->empty())
            std::printf("Orvel.scr's last standard error:\n%s\n", said->c_str());
        result = 1;
    }
    terminateAll();
    std::fflush(stdout);
    return result;
}
