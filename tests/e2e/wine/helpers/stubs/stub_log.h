#pragma once
// What the Wine suite's stand-in system libraries share: each keeps its control file and
// its log in the folder it was loaded from, and writes one line per event, starting with
// the tick count, so that the driver can order the events and time them. Each line is
// appended with a write of its own, so that the driver can read the log while the saver
// still runs. The log is opened once, at the first line (the load), and stays open: a
// file opened while a process ends after a fault can be given the descriptor number of
// one of its dying threads, which 32-bit Wine then writes a request of that thread into.
#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

namespace stub {

inline HMODULE self = nullptr;  // the library, set when it is loaded

// A file of that name in the library's folder.
inline std::string besideSelf(const char* name) {
    char path[MAX_PATH] = "";
    const std::string file(path, GetModuleFileNameA(self, path, sizeof path));
    return file.substr(0, file.find_last_of('\\') + 1) + name;
}

// "tick=<GetTickCount()> " and the formatted text, as a line of the log file.
__attribute__((format(printf, 2, 3))) inline void log(const char* file, const char* format, ...) {
    char line[512];
    int used = std::snprintf(line, sizeof line, "tick=%lu ", GetTickCount());
    va_list arguments;
    va_start(arguments, format);
    used += std::vsnprintf(line + used, sizeof line - used - 2, format, arguments);
    va_end(arguments);
    if (used > int(sizeof line) - 3) used = int(sizeof line) - 3;
    line[used++] = '\r';
    line[used++] = '\n';
    static HANDLE out = INVALID_HANDLE_VALUE;  // one log per library
    if (out == INVALID_HANDLE_VALUE) {
        out = CreateFileA(besideSelf(file).c_str(), FILE_APPEND_DATA,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out == INVALID_HANDLE_VALUE) return;
    }
    DWORD written = 0;
    WriteFile(out, line, DWORD(used), &written, nullptr);
}

// The system's saver-running state, as SPI_GETSCREENSAVERRUNNING reports it: 1 or 0, or
// -1 when the query fails.
inline int saverRunningState() {
    BOOL running = FALSE;
    if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0)) return -1;
    return running ? 1 : 0;
}

// A handle as the logs write it.
inline unsigned long long handleNumber(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }

}  // namespace stub
