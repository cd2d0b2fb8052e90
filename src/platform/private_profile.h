#pragma once
// The settings file, through the calls Windows names GetPrivateProfileIntA and
// WritePrivateProfileStringA. Windows makes the real calls; the other platforms keep the
// file themselves (posix/profile_file.cpp), in the directory platformSettingsDirectory
// names.
#include <cstdint>

// The integer value of key in section of the settings file fileName (a bare file name),
// or defaultValue when the file, section or key is missing.
std::int32_t platformGetPrivateProfileInt(const char* section, const char* key, std::int32_t defaultValue,
                                          const char* fileName);

// Sets key=value in section, creating the file, section and key as needed. False when
// the file could not be written; the old file is then untouched and platformProfileError
// says why.
bool platformWritePrivateProfileString(const char* section, const char* key, const char* value,
                                       const char* fileName);

// Why the last failed write failed, in one line naming the file; empty after a write
// that succeeded.
const char* platformProfileError();
