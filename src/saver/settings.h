#pragma once
// The saver's one setting, low detail, in the settings file "Orvelconfig.ini": section
// "param", key "low", only bit 0 of the value counts.
#include <cstdint>

#include "platform/handles.h"

// The stored value of "low" (0 when the file, section or key is missing); only bit 0
// means anything.
std::int32_t readLowSetting();

// Stores state as "0" or "1". A write that fails leaves the old file as it was and tells
// the user, in a message owned by owner and on standard error; returns false then.
bool writeLowSetting(std::uint8_t state, WindowHandle owner);
