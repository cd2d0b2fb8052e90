// Fuzzes the private-profile text functions.
//
// Input: the section name up to the first LF, the key name up to the next LF, and the
// rest is the file's text. The value written is a decimal number taken from a hash of
// the input, so that it varies with every input.
//
// Every input is read and written with the names as they are, which must never crash.
// When the names can be written (profileNamesWritable), writing may touch one line of
// the text and no other: every byte before and after the part that changed is kept, and
// that part holds no line break of the input. Reading the output must give the value
// written. The rules of which line that is are held by the unit tests.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/common/profile_text.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_profile: %s\n", what);
    std::abort();
}

#define CHECK(condition)                  \
    do {                                  \
        if (!(condition)) fail(#condition); \
    } while (false)

std::uint32_t fnv1a(const std::uint8_t* data, std::size_t size) {
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
    return hash;
}

constexpr std::int32_t MISSING = 0x5eed;  // the default passed in; never a chosen value

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t firstLf = input.find('\n');
    const std::string_view section = input.substr(0, firstLf);
    std::string_view rest = firstLf == std::string_view::npos ? std::string_view() : input.substr(firstLf + 1);
    const std::size_t secondLf = rest.find('\n');
    const std::string_view key = rest.substr(0, secondLf);
    const std::string_view text = secondLf == std::string_view::npos ? std::string_view() : rest.substr(secondLf + 1);

    std::int32_t chosen = static_cast<std::int32_t>(fnv1a(data, size));
    if (chosen == MISSING) chosen = 0;
    const std::string value = std::to_string(chosen);

    profileReadInt(text, section, key, MISSING);
    const std::string written = profileWriteString(text, section, key, value);
    if (!profileNamesWritable(section, key, value)) return 0;

    // What changed: the input between the longest common prefix and suffix.
    std::size_t prefix = 0;
    while (prefix < text.size() && prefix < written.size() && text[prefix] == written[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < text.size() - prefix && suffix < written.size() - prefix &&
           text[text.size() - 1 - suffix] == written[written.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::string_view replaced = text.substr(prefix, text.size() - prefix - suffix);
    CHECK(replaced.find_first_of("\r\n") == std::string_view::npos);
    CHECK(profileReadInt(written, section, key, MISSING) == chosen);
    return 0;
}
