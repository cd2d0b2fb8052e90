#include "shell/host_arguments.h"

#include <cstring>

namespace {

constexpr std::uint64_t MAX_WINDOW = 0xFFFFFFFFu;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The option's name without one or two leading dashes, or null when it has none.
const char* optionName(const char* argument) {
    if (argument[0] != '-') return nullptr;
    return argument[1] == '-' ? argument + 2 : argument + 1;
}

enum class Option { None, Root, WindowId, Window };

Option optionOf(const char* argument) {
    const char* name = optionName(argument);
    if (name == nullptr) return Option::None;
    if (std::strcmp(name, "root") == 0) return Option::Root;
    if (std::strcmp(name, "window-id") == 0) return Option::WindowId;
    if (std::strcmp(name, "window") == 0) return Option::Window;
    return Option::None;
}

const char* HOW = "give it in hexadecimal (0x...) or decimal, without a sign, at most 32 bits, not 0";

HostRequest refuse(std::string error) {
    HostRequest request;
    request.mode = HostMode::Refused;
    request.error = std::move(error);
    return request;
}

}  // namespace

bool parseWindowId(const char* text, std::uint32_t& window) {
    if (text == nullptr) return false;
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* p = hex ? text + 2 : text;
    if (*p == '\0') return false;
    std::uint64_t value = 0;
    for (; *p != '\0'; ++p) {
        const int digit = hex ? hexDigit(*p) : (*p >= '0' && *p <= '9' ? *p - '0' : -1);
        if (digit < 0) return false;
        value = value * (hex ? 16u : 10u) + std::uint64_t(digit);
        if (value > MAX_WINDOW) return false;
    }
    if (value == 0) return false;
    window = std::uint32_t(value);
    return true;
}

HostRequest parseHostArguments(int argc, const char* const* argv, const char* xscreensaverWindow) {
    HostRequest request;
    const char* chosen = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i] != nullptr ? argv[i] : "";
        const Option option = optionOf(argument);
        if (option == Option::None) {
            request.ignored.emplace_back(argument);
            continue;
        }
        if (chosen != nullptr) {
            return refuse(std::string(chosen) + " and " + argument + " cannot be given together");
        }
        chosen = argument;
        switch (option) {
            case Option::Root:
                request.mode = HostMode::RootWindow;
                if (xscreensaverWindow != nullptr && xscreensaverWindow[0] != '\0') {
                    if (!parseWindowId(xscreensaverWindow, request.window)) {
                        return refuse(std::string("XSCREENSAVER_WINDOW=\"") + xscreensaverWindow +
                                      "\" is not a window id: " + HOW);
                    }
                    request.mode = HostMode::GivenWindow;
                }
                break;
            case Option::WindowId:
                if (i + 1 >= argc || argv[i + 1] == nullptr) {
                    return refuse(std::string(argument) + " needs a window id: " + HOW);
                }
                ++i;
                if (!parseWindowId(argv[i], request.window)) {
                    return refuse(std::string(argument) + " \"" + argv[i] + "\" is not a window id: " + HOW);
                }
                request.mode = HostMode::GivenWindow;
                break;
            case Option::Window:
                request.mode = HostMode::OwnWindow;
                break;
            case Option::None:
                break;
        }
    }
    if (chosen == nullptr) request.ignored.clear();
    return request;
}
