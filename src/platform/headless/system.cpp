// The headless platform's system services: a command line and module handle set by the
// caller, a scripted version answer, registry and library table, the screen-saver-running
// state, the crash guard, message boxes and the settings directory.
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/headless/headless.h"
#include "platform/headless/internal.h"
#include "platform/messages.h"
#include "platform/posix/settings_location.h"
#include "platform/system_services.h"

namespace {

constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_MORE_DATA = 234;
constexpr std::uint32_t VALUE_CAPACITY = 16;

struct RegistryValue {
    bool inUse;
    char path[64];
    char name[48];
    unsigned char data[VALUE_CAPACITY];
    std::uint32_t size;
};

struct Library {
    bool inUse;
    char name[32];
    HeadlessEntryPoint entries[HEADLESS_LIBRARY_ENTRIES];
    int entryCount;
    bool preloaded;
    int loads;  // loads not yet freed
};

const char* commandLine = "";
InstanceHandle moduleHandle = nullptr;
std::uint32_t platformIdentifier = 2;
bool versionFails = false;
RegistryValue registry[HEADLESS_REGISTRY_CAPACITY];
int registryOpens = 0;
int keysOpen = 0;
Library libraries[HEADLESS_LIBRARY_CAPACITY];
int libraryLoads = 0;
int librariesLoaded = 0;
bool screenSaverRunning = false;
int systemParameterCalls = 0;
void (*crashHandler)() = nullptr;
int messageBoxes = 0;
char lastMessageBox[256];
char settingsDirectory[512];

Library* findLibrary(const char* name) {
    for (Library& library : libraries) {
        if (library.inUse && strcasecmp(library.name, name) == 0) return &library;
    }
    return nullptr;
}

Library* libraryOf(ModuleHandle module) {
    for (Library& library : libraries) {
        if (library.inUse && module == &library) return &library;
    }
    return nullptr;
}

}  // namespace

void resetHeadlessSystem() {
    commandLine = "";
    moduleHandle = nullptr;
    platformIdentifier = 2;
    versionFails = false;
    for (RegistryValue& value : registry) value.inUse = false;
    registryOpens = 0;
    keysOpen = 0;
    for (Library& library : libraries) library.inUse = false;
    libraryLoads = 0;
    librariesLoaded = 0;
    screenSaverRunning = false;
    systemParameterCalls = 0;
    crashHandler = nullptr;
    messageBoxes = 0;
    lastMessageBox[0] = '\0';
    settingsDirectory[0] = '\0';
}

// --- Controls

void headlessSetCommandLine(const char* text) { commandLine = text != nullptr ? text : ""; }
void headlessSetModuleHandle(InstanceHandle instance) { moduleHandle = instance; }

void headlessSetPlatformId(std::uint32_t platformId) {
    platformIdentifier = platformId;
    versionFails = false;
}

void headlessFailVersionQuery() { versionFails = true; }

void headlessSetRegistryValue(const char* path, const char* name, const void* data, std::uint32_t size) {
    for (RegistryValue& value : registry) {
        if (!value.inUse) {
            value.inUse = true;
            std::snprintf(value.path, sizeof value.path, "%s", path);
            std::snprintf(value.name, sizeof value.name, "%s", name);
            value.size = size < VALUE_CAPACITY ? size : VALUE_CAPACITY;
            std::memcpy(value.data, data, value.size);
            return;
        }
    }
}

int headlessRegistryOpenCount() { return registryOpens; }
int headlessRegistryKeysOpen() { return keysOpen; }

void headlessAddLibrary(const char* name, const HeadlessEntryPoint* entries, int count, bool preloaded) {
    for (Library& library : libraries) {
        if (library.inUse) continue;
        library = Library{};
        library.inUse = true;
        std::snprintf(library.name, sizeof library.name, "%s", name);
        for (int i = 0; i < count && i < HEADLESS_LIBRARY_ENTRIES; ++i) library.entries[i] = entries[i];
        library.entryCount = count < HEADLESS_LIBRARY_ENTRIES ? count : HEADLESS_LIBRARY_ENTRIES;
        library.preloaded = preloaded;
        return;
    }
}

int headlessLibraryLoadCount() { return libraryLoads; }
int headlessLibrariesLoaded() { return librariesLoaded; }
bool headlessScreenSaverRunning() { return screenSaverRunning; }
int headlessSystemParameterCalls() { return systemParameterCalls; }

void headlessRaiseFault() {
    if (crashHandler != nullptr) {
        crashHandler();
        std::fprintf(stderr, "screen saver running: %d\n", screenSaverRunning ? 1 : 0);
        std::_Exit(-1);
    }
    std::abort();
}

int headlessMessageBoxCount() { return messageBoxes; }
const char* headlessLastMessageBoxText() { return lastMessageBox; }

void headlessSetSettingsDirectory(const char* directory) {
    std::snprintf(settingsDirectory, sizeof settingsDirectory, "%s", directory);
}

// --- Platform operations

std::string platformSettingsDirectory() { return settingsDirectory; }

const char* platformCommandLine() { return commandLine; }

const char* platformCharNext(const char* text) { return *text != '\0' ? text + 1 : text; }

InstanceHandle platformModuleHandle() { return moduleHandle; }

void platformExitProcess(std::int32_t exitCode) {
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

bool platformGetVersion(std::uint32_t& platformId) {
    if (versionFails) return false;
    platformId = platformIdentifier;
    return true;
}

long platformRegOpenCurrentUserKey(const char* path, RegistryKey& key) {
    ++registryOpens;
    for (RegistryValue& value : registry) {
        if (value.inUse && strcasecmp(value.path, path) == 0) {
            key = &value;
            ++keysOpen;
            return 0;
        }
    }
    return ERROR_FILE_NOT_FOUND;
}

long platformRegQueryValue(RegistryKey key, const char* name, void* buffer, std::uint32_t& size) {
    const RegistryValue* opened = static_cast<const RegistryValue*>(key);
    for (const RegistryValue& value : registry) {
        if (!value.inUse || strcasecmp(value.path, opened->path) != 0 || strcasecmp(value.name, name) != 0) continue;
        if (value.size > size) {
            size = value.size;
            return ERROR_MORE_DATA;
        }
        std::memcpy(buffer, value.data, value.size);
        size = value.size;
        return 0;
    }
    return ERROR_FILE_NOT_FOUND;
}

void platformRegCloseKey(RegistryKey) { --keysOpen; }

ModuleHandle platformLoadedModule(const char* name) {
    Library* library = findLibrary(name);
    return library != nullptr && (library->preloaded || library->loads > 0) ? library : nullptr;
}

ModuleHandle platformLoadLibrary(const char* name) {
    ++libraryLoads;
    Library* library = findLibrary(name);
    if (library == nullptr) return nullptr;
    ++library->loads;
    ++librariesLoaded;
    return library;
}

ProcAddress platformGetProcAddress(ModuleHandle module, const char* name) {
    const Library* library = libraryOf(module);
    if (library == nullptr) return nullptr;
    for (int i = 0; i < library->entryCount; ++i) {
        if (std::strcmp(library->entries[i].name, name) == 0) return library->entries[i].address;
    }
    return nullptr;
}

void platformFreeLibrary(ModuleHandle module) {
    Library* library = libraryOf(module);
    if (library == nullptr || library->loads == 0) return;
    --library->loads;
    --librariesLoaded;
}

bool platformSystemParametersInfo(std::uint32_t action, std::uint32_t parameter, std::uint32_t* scratch,
                                  std::uint32_t) {
    ++systemParameterCalls;
    if (action != SPI_SCREENSAVERRUNNING) return false;
    if (scratch != nullptr) *scratch = screenSaverRunning ? 1 : 0;
    screenSaverRunning = parameter != 0;
    return true;
}

void platformInstallCrashGuard(void (*handler)()) { crashHandler = handler; }

void platformMessageBox(WindowHandle, const char* text, const char* caption) {
    ++messageBoxes;
    std::snprintf(lastMessageBox, sizeof lastMessageBox, "%s", text);
    std::fprintf(stderr, "%s: %s\n", caption, text);
}
