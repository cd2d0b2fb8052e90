#include "saver/settings.h"

#include <cstdio>

#include "platform/private_profile.h"
#include "platform/system_services.h"

namespace {
constexpr char SETTINGS_FILE[] = "Orvelconfig.ini";
constexpr char SECTION[] = "param";
constexpr char KEY[] = "low";
}  // namespace

std::int32_t readLowSetting() { return platformGetPrivateProfileInt(SECTION, KEY, 0, SETTINGS_FILE); }

bool writeLowSetting(std::uint8_t state, WindowHandle owner) {
    const char* text = (state & 1) ? "1" : "0";
    if (platformWritePrivateProfileString(SECTION, KEY, text, SETTINGS_FILE)) return true;
    char message[600];
    std::snprintf(message, sizeof message, "The setting could not be saved.\n%s", platformProfileError());
    platformMessageBox(owner, message, "Orvel");
    return false;
}
