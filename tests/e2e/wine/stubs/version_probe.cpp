// The Wine suite's version probe, built by the suite and never shipped. The driver copies
// it under the name Orvel.scr, so that Wine gives it the Windows version set for that
// program name, and reads back what GetVersionExA said: the exit code is the platform
// identifier (1 for the Windows 95 family, 2 for NT), 100 when the query fails, and
// version.txt next to the program holds the whole answer.
#include <windows.h>

#include <cstdio>

#include "stub_log.h"

int main() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return 100;
    char text[256];
    const int length = std::snprintf(text, sizeof text, "platform=%lu version=%lu.%lu build=%lu csd=\"%s\"\r\n",
                                     version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion,
                                     version.dwBuildNumber & 0xFFFF, version.szCSDVersion);
    const std::string path = stub::folderOf(nullptr) + "version.txt";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, text, DWORD(length), &written, nullptr);
        CloseHandle(file);
    }
    return int(version.dwPlatformId);
}
