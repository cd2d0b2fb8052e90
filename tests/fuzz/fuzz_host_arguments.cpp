// Fuzzes the options of hosts that hand the saver a window. The input's first line is
// the value of XSCREENSAVER_WINDOW (a first byte of 0x01 stands for "not set"), and the
// rest is the arguments, separated by NUL bytes.
// - parseWindowId agrees with a model made of std::from_chars: "0x" or "0X" and hex
//   digits, or decimal digits, nothing else, a value from 1 to 2^32 - 1; what it accepts
//   reads back the same from its own decimal and hexadecimal spellings;
// - parseHostArguments never crashes, leaves a command line without host options alone,
//   and gives a refusal a message and a given window a nonzero id.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "shell/host_arguments.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_host_arguments: %s\n", what);
    std::abort();
}

#define CHECK(condition)                    \
    do {                                    \
        if (!(condition)) fail(#condition); \
    } while (false)

bool modelWindowId(std::string_view text, std::uint32_t& value) {
    int base = 10;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return false;
    for (char c : text) {
        const bool digit = (c >= '0' && c <= '9') || (base == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
        if (!digit) return false;
    }
    std::uint64_t wide = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), wide, base);
    if (error != std::errc() || end != text.data() + text.size() || wide == 0 || wide > 0xFFFFFFFFu) return false;
    value = std::uint32_t(wide);
    return true;
}

bool isHostOption(const std::string& argument) {
    for (const char* name : {"-root", "--root", "-window-id", "--window-id", "-window", "--window"}) {
        if (argument == name) return true;
    }
    return false;
}

void checkWindowId(const std::string& text) {
    std::uint32_t parsed = 0;
    std::uint32_t modelled = 0;
    const bool accepted = parseWindowId(text.c_str(), parsed);
    // A NUL ends the C string the parser sees; the model sees the same text.
    CHECK(accepted == modelWindowId(std::string_view(text.c_str()), modelled));
    if (!accepted) return;
    CHECK(parsed == modelled);
    char spelled[32];
    for (const char* format : {"%lu", "0x%lx", "0X%lX"}) {
        std::snprintf(spelled, sizeof spelled, format, static_cast<unsigned long>(parsed));
        std::uint32_t again = 0;
        CHECK(parseWindowId(spelled, again) && again == parsed);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = input.find('\n');
    const std::string variable = input.substr(0, newline);
    const std::string rest = newline == std::string::npos ? std::string() : input.substr(newline + 1);

    checkWindowId(variable);
    checkWindowId(rest);

    std::vector<std::string> arguments;
    std::size_t start = 0;
    while (start <= rest.size() && !rest.empty()) {
        const std::size_t end = rest.find('\0', start);
        arguments.push_back(rest.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    std::vector<const char*> argv{"orvel"};
    bool anyHostOption = false;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
        anyHostOption = anyHostOption || isHostOption(argument);
    }
    const char* xscreensaverWindow = !variable.empty() && variable[0] == '\x01' ? nullptr : variable.c_str();
    const HostRequest request = parseHostArguments(int(argv.size()), argv.data(), xscreensaverWindow);

    if (!anyHostOption) {
        CHECK(request.mode == HostMode::None);
        CHECK(request.ignored.empty());
    }
    if (request.mode == HostMode::Refused) CHECK(!request.error.empty());
    if (request.mode != HostMode::Refused) CHECK(request.error.empty());
    if (request.mode == HostMode::GivenWindow) CHECK(request.window != 0);
    if (request.mode == HostMode::None) CHECK(!anyHostOption);
    CHECK(request.ignored.size() < argv.size());
    return 0;
}
