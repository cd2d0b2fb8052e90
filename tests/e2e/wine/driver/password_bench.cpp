#include "password_bench.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr char FOLDER[] = "C:\\orvel-password";
constexpr char DESKTOP_KEY[] = "Control Panel\\Desktop";
constexpr char PASSWORD_VALUE[] = "ScreenSaveUsePassword";

std::string inFolder(const char* name) { return std::string(FOLDER) + "\\" + name; }

// Every file of the folder goes, so that no log or library of an earlier case stays.
void emptyFolder() {
    CreateDirectoryA(FOLDER, nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(inFolder("*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) removeFile(inFolder(found.cFileName));
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void copyInto(const std::string& from, const char* name) {
    if (!CopyFileA(from.c_str(), inFolder(name).c_str(), FALSE)) {
        fail("cannot copy %s to %s (error %lu): build the linux preset's orvel_wine_driver target", from.c_str(),
             inFolder(name).c_str(), GetLastError());
    }
}

Log readLog(const char* name) {
    Log log;
    const std::optional<std::string> bytes = readFileBytes(inFolder(name));
    if (!bytes) return log;
    std::size_t at = 0;
    while (at < bytes->size()) {
        std::size_t end = bytes->find('\n', at);
        if (end == std::string::npos) end = bytes->size();
        std::string line = bytes->substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        LogLine parsed;
        std::size_t word = 0;
        while (word < line.size()) {
            std::size_t space = line.find(' ', word);
            if (space == std::string::npos) space = line.size();
            const std::string token = line.substr(word, space - word);
            word = space + 1;
            const std::size_t equals = token.find('=');
            if (equals == std::string::npos) {
                parsed.event = token;
            } else if (token.compare(0, equals, "tick") == 0) {
                parsed.tick = DWORD(std::strtoul(token.c_str() + equals + 1, nullptr, 10));
            } else {
                parsed.fields.emplace_back(token.substr(0, equals), token.substr(equals + 1));
            }
        }
        log.push_back(parsed);
    }
    return log;
}

}  // namespace

bool LogLine::has(const char* key) const {
    for (const auto& field : fields) {
        if (field.first == key) return true;
    }
    return false;
}

const std::string& LogLine::text(const char* key) const {
    for (const auto& field : fields) {
        if (field.first == key) return field.second;
    }
    fail("the log line \"%s\" has no %s", event.c_str(), key);
}

unsigned long long LogLine::number(const char* key) const { return std::strtoull(text(key).c_str(), nullptr, 0); }

std::vector<const LogLine*> linesOf(const Log& log, const char* event, int n) {
    std::vector<const LogLine*> lines;
    for (const LogLine& line : log) {
        if (line.event == event && (n == 0 || (line.has("n") && line.number("n") == static_cast<unsigned>(n)))) {
            lines.push_back(&line);
        }
    }
    return lines;
}

const LogLine& onlyLine(const Log& log, const char* event, int n) {
    const std::vector<const LogLine*> lines = linesOf(log, event, n);
    if (lines.size() != 1) {
        fail("the log has %d lines \"%s\"%s where one was due:\n%s", int(lines.size()), event,
             n != 0 ? (" of call " + std::to_string(n)).c_str() : "", logText(log).c_str());
    }
    return *lines.front();
}

std::string logText(const Log& log) {
    if (log.empty()) return "    (nothing)";
    std::string text;
    for (const LogLine& line : log) {
        text += "    tick=" + std::to_string(line.tick) + " " + line.event;
        for (const auto& field : line.fields) text += " " + field.first + "=" + field.second;
        text += "\n";
    }
    text.pop_back();
    return text;
}

ProgramVersion::ProgramVersion(const char* program, const char* version)
    : key_(std::string("Software\\Wine\\AppDefaults\\") + program) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        fail("cannot create HKCU\\%s", key_.c_str());
    }
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version), DWORD(lstrlenA(version) + 1));
    RegCloseKey(key);
}

ProgramVersion::~ProgramVersion() { RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str()); }

PasswordBench::PasswordBench(WindowsFamily family, VerifierLibrary verifier, ChangeLibrary change) {
    // Wine takes the MPR.DLL beside the saver over its own only when told to, and reads
    // the override at each process's start from the environment it inherits on the Linux
    // side, which the driver cannot change for its children: wine_suite.sh sets it.
    char overrides[1024] = "";
    GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    if (std::strstr(overrides, "mpr=n") == nullptr) {
        fail("WINEDLLOVERRIDES is \"%s\", without mpr=n: run the case through wine_suite.sh as ctest does",
             overrides);
    }

    emptyFolder();
    copyInto(testedSaverPath(), "Orvel.scr");
    const std::string libraries = driverFolder();
    if (verifier == VerifierLibrary::Present) copyInto(libraries + "orvel-stub-password.cpl", "PASSWORD.CPL");
    if (verifier == VerifierLibrary::WithoutEntry) {
        copyInto(libraries + "orvel-stub-password-no-entry.cpl", "PASSWORD.CPL");
    }
    if (change == ChangeLibrary::Present) copyInto(libraries + "orvel-stub-mpr.dll", "MPR.DLL");

    // A case that ended early may have left its setting behind.
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Orvel.scr");
    if (family == WindowsFamily::Win98) version_.emplace("Orvel.scr", "win98");

    // Off, as a system without a running saver has it: a case starts from there.
    UINT scratch = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &scratch, 0);
}

PasswordBench::~PasswordBench() {
    version_.reset();
    HKEY desktop = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, DESKTOP_KEY, 0, KEY_SET_VALUE, &desktop) == ERROR_SUCCESS) {
        RegDeleteValueA(desktop, PASSWORD_VALUE);
        RegCloseKey(desktop);
    }
}

void PasswordBench::requirePassword(DWORD value) {
    HKEY desktop = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, DESKTOP_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &desktop, nullptr) !=
        ERROR_SUCCESS) {
        fail("cannot open HKCU\\%s", DESKTOP_KEY);
    }
    RegSetValueExA(desktop, PASSWORD_VALUE, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(desktop);
}

void PasswordBench::instruct(const char* control) { writeFileBytes(inFolder("password-control.txt"), control); }

Saver PasswordBench::start(const std::string& arguments) { return startProgram(inFolder("Orvel.scr"), arguments); }

Log PasswordBench::passwordLog() const { return readLog("password-log.txt"); }

Log PasswordBench::changeLog() const { return readLog("mpr-log.txt"); }

void PasswordBench::forgetLogs() {
    removeFile(inFolder("password-log.txt"));
    removeFile(inFolder("mpr-log.txt"));
}

int saverRunningState() {
    const std::string reader = driverFolder() + "orvel-saver-running.exe";
    const DWORD state = waitForExit(startProgram(reader, ""), 20000, "the saver-running state to be read");
    if (state > 1) fail("%s could not read the saver-running state", reader.c_str());
    return int(state);
}

SaverRunningWrites::SaverRunningWrites() {
    constexpr char KEY[] = "Software\\Wine\\Temporary System Parameters\\Control Panel\\Desktop";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, KEY, 0, nullptr, REG_OPTION_VOLATILE, KEY_NOTIFY, nullptr, &key_,
                        nullptr) != ERROR_SUCCESS) {
        fail("cannot open HKCU\\%s, where Wine keeps the saver-running state", KEY);
    }
    event_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (RegNotifyChangeKeyValue(key_, FALSE, REG_NOTIFY_CHANGE_LAST_SET, event_, TRUE) != ERROR_SUCCESS) {
        fail("cannot watch HKCU\\%s", KEY);
    }
}

SaverRunningWrites::~SaverRunningWrites() {
    RegCloseKey(key_);
    CloseHandle(event_);
}

bool SaverRunningWrites::happened() const { return WaitForSingleObject(event_, 0) == WAIT_OBJECT_0; }
