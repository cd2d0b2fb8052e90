// Fuzzes the command-line functions with the input as one NUL-terminated command line
// (any NUL inside it ends the line early, as it would on Windows).
// - isolateArgumentText, walking bytes and walking a double-byte code page, stays inside
//   the line and stops on its end or on a byte above 0x20;
// - selectMode never crashes, and the platform family changes nothing but the change
//   password mode, which only the Windows 95 family runs;
// - parseWindowHandle matches the digits read in 64-bit arithmetic reduced mod 2^32.
// - the saver mode reads no window number.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/command_line.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_command_line: %s\n", what);
    std::abort();
}

#define CHECK(condition)                  \
    do {                                  \
        if (!(condition)) fail(#condition); \
    } while (false)

// Shift-JIS lead bytes take the following byte with them, unless that byte ends the line.
const char* nextShiftJisCharacter(const char* p) {
    const auto byte = static_cast<unsigned char>(*p);
    const bool lead = (byte >= 0x81 && byte <= 0x9f) || (byte >= 0xe0 && byte <= 0xfc);
    return lead && p[1] != '\0' ? p + 2 : p + 1;
}

std::uint32_t modelWindowHandle(const char* text) {
    std::uint64_t value = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
        value = (value * 10 + std::uint64_t(*p - '0')) % (std::uint64_t{1} << 32);
    }
    return std::uint32_t(value);
}

void checkArgumentText(const std::string& line, const char* (*nextCharacter)(const char*)) {
    const char* begin = line.c_str();
    const char* end = begin + std::strlen(begin);  // the terminating NUL
    const char* argument = isolateArgumentText(begin, nextCharacter);
    CHECK(argument >= begin && argument <= end);
    CHECK(*argument == '\0' || static_cast<unsigned char>(*argument) > 0x20);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);  // c_str() adds the NUL

    checkArgumentText(line, nullptr);
    checkArgumentText(line, nextShiftJisCharacter);

    const char* argument = isolateArgumentText(line.c_str());
    for (const char* text : {line.c_str(), argument}) {
        const ModeSelection nt = selectMode(text, false);
        const ModeSelection win9x = selectMode(text, true);
        CHECK(nt.mode != RunMode::ChangePassword);
        if (win9x.mode == RunMode::ChangePassword) {
            CHECK(nt.mode == RunMode::Refused);
        } else {
            CHECK(nt.mode == win9x.mode);
            CHECK(nt.window == win9x.window);
            CHECK(nt.findOwner == win9x.findOwner);
        }
        CHECK(nt.mode != RunMode::Saver || nt.window == 0);
    }

    // From the start and from the start of every run of digits, so that each digit is
    // read by a handful of calls at most.
    const char* start = line.c_str();
    for (const char* p = start; *p != '\0'; ++p) {
        if (p == start || p[-1] < '0' || p[-1] > '9') {
            CHECK(parseWindowHandle(p) == modelWindowHandle(p));
        }
    }
    return 0;
}
