// The settings file through GetPrivateProfileIntA and WritePrivateProfileStringA. The
// bare file name lives in the Windows directory, which a standard user on current Windows
// cannot write to, so a setting would be lost without a word. Hence a second place, the
// user's own %APPDATA%\Orvel folder:
// - reading takes the per-user file when it exists, else the Windows directory's;
// - writing goes to the per-user file when it exists, else to the Windows directory, and
//   when that fails, the per-user file is created instead;
// - only when both fail does the write fail, and platformProfileError says why.
// Where the Windows directory can be written, nothing differs from the bare name.
#include <windows.h>

#include <string>

#include "platform/private_profile.h"

namespace {

constexpr char USER_FOLDER_NAME[] = "Orvel";

std::string lastError;

// %APPDATA%\Orvel, or empty when the environment names no application-data folder.
std::string userFolder() {
    char appData[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("APPDATA", appData, sizeof appData);
    if (length == 0 || length >= sizeof appData) return {};
    return std::string(appData) + "\\" + USER_FOLDER_NAME;
}

std::string userFile(const char* fileName) {
    const std::string folder = userFolder();
    return folder.empty() ? folder : folder + "\\" + fileName;
}

bool isFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Where the bare name resolves: the Windows directory.
std::string windowsDirectoryFile(const char* fileName) {
    char directory[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(directory, sizeof directory);
    if (length == 0 || length >= sizeof directory) return fileName;
    return std::string(directory) + "\\" + fileName;
}

std::string describe(const std::string& path, DWORD error) {
    char text[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, sizeof text,
                   nullptr);
    std::string reason(text);
    while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' ')) {
        reason.pop_back();
    }
    if (reason.empty()) reason = "error " + std::to_string(error);
    return path + ": " + reason;
}

}  // namespace

std::int32_t platformGetPrivateProfileInt(const char* section, const char* key, std::int32_t defaultValue,
                                          const char* fileName) {
    const std::string user = userFile(fileName);
    const char* file = !user.empty() && isFile(user) ? user.c_str() : fileName;
    return std::int32_t(GetPrivateProfileIntA(section, key, defaultValue, file));
}

bool platformWritePrivateProfileString(const char* section, const char* key, const char* value,
                                       const char* fileName) {
    lastError.clear();
    const std::string user = userFile(fileName);
    if (!user.empty() && isFile(user)) {
        if (WritePrivateProfileStringA(section, key, value, user.c_str())) return true;
        lastError = describe(user, GetLastError());
        return false;
    }
    if (WritePrivateProfileStringA(section, key, value, fileName)) return true;
    const std::string systemWide = describe(windowsDirectoryFile(fileName), GetLastError());
    if (user.empty()) {
        lastError = systemWide + "\nThe environment names no APPDATA folder for a file of your own.";
        return false;
    }
    CreateDirectoryA(userFolder().c_str(), nullptr);
    if (WritePrivateProfileStringA(section, key, value, user.c_str())) return true;
    lastError = systemWide + "\n" + describe(user, GetLastError());
    return false;
}

const char* platformProfileError() { return lastError.c_str(); }
