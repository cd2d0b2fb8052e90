#pragma once
// What the Wine suite's stand-in system libraries share: each keeps its control file and
// its log in the folder it was loaded from, and writes one line per event, starting with
// the tick count, so that the driver can order the events and time them. Each line is
// appended with a write of its own and the file closed again, so the driver can read the
// log while the saver still runs.
#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

namespace stub {

// The folder of module, with a trailing backslash.
inline std::string folderOf(HMODULE module) {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(module, path, sizeof path);
    std::string folder(path, length);
    const std::size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

// "tick=<GetTickCount()> " and the formatted text, as one line of the file.
inline void appendLine(const std::string& file, const char* format, va_list arguments) {
    char line[512];
    int used = std::snprintf(line, sizeof line, "tick=%lu ", GetTickCount());
    used += std::vsnprintf(line + used, sizeof line - used - 2, format, arguments);
    if (used > int(sizeof line) - 3) used = int(sizeof line) - 3;
    line[used++] = '\r';
    line[used++] = '\n';
    HANDLE log = CreateFileA(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(log, line, DWORD(used), &written, nullptr);
    CloseHandle(log);
}

// The system's saver-running state, as SPI_GETSCREENSAVERRUNNING reports it: 1 or 0, or
// -1 when the query fails.
inline int saverRunningState() {
    BOOL running = FALSE;
    if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0)) return -1;
    return running ? 1 : 0;
}

// A handle as the logs write it.
inline unsigned long long handleNumber(const void* handle) {
    return static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle));
}

}  // namespace stub
