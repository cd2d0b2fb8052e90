// Fuzzes the private-profile text functions against a small line-by-line model of the
// same rules.
//
// Input: the section name up to the first LF, the key name up to the next LF, and the
// rest is the file's text. The value written is a decimal number taken from a hash of
// the input, so that it varies with every input.
//
// Every input is read and written with the names as they are, which must never crash.
// When the names can be written (profileNamesWritable), the model says which line holds
// the key, or where a new key line or section goes, and the written text must be exactly
// the input with that one change: every other byte kept, and every other line still a
// line of its own. Reading the input must give the model's value (or the default when the
// key is missing or its value is empty), and reading the output must give the value
// written.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The model: the text as a list of lines, each classified on its own. A line ends at LF,
// at CRLF, or at a CR that no LF follows.
struct ModelLine {
    std::string_view content;  // without the ending
    std::string_view ending;   // "", "\n", "\r\n" or "\r"
};

std::vector<ModelLine> splitLines(std::string_view text) {
    std::vector<ModelLine> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        const std::size_t endingSize = text.substr(i, 2) == "\r\n" ? 2 : 1;
        lines.push_back({text.substr(start, i - start), text.substr(i, endingSize)});
        i += endingSize - 1;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back({text.substr(start), {}});
    return lines;
}

bool blank(char c) { return std::string_view(" \t\v\f\x1a").find(c) != std::string_view::npos; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

bool isHeader(std::string_view content, std::string_view* name) {
    const std::string_view t = trim(content);
    if (t.empty() || t.front() != '[') return false;
    const std::string_view inside = t.substr(1);
    *name = trim(inside.substr(0, inside.find(']')));
    return true;
}

bool isKey(std::string_view content, std::string_view* key, std::string_view* value) {
    const std::string_view t = trim(content);
    if (t.empty() || t.front() == ';' || t.front() == '[') return false;
    const std::size_t equals = t.find('=');
    if (equals == std::string_view::npos) return false;
    *key = trim(t.substr(0, equals));
    *value = t.substr(equals + 1);
    return true;
}

// The value as GetPrivateProfileIntA reads it, or nothing when that is the default: the
// string up to a NUL, a matching pair of quotes taken off, then a sign, a base prefix and
// digits, worked out in 64-bit arithmetic reduced mod 2^32.
std::optional<std::int32_t> modelValue(std::string_view value) {
    value = trim(value);
    if (const std::size_t nul = value.find('\0'); nul != std::string_view::npos) value = value.substr(0, nul);
    if (value.size() >= 2 && (value[0] == '\'' || value[0] == '"') && value.back() == value[0]) {
        value = value.substr(1, value.size() - 2);
    }
    if (value.empty()) return std::nullopt;
    while (!value.empty() && static_cast<unsigned char>(value.front()) <= 0x20) value.remove_prefix(1);
    bool negative = false;
    if (!value.empty() && (value.front() == '-' || value.front() == '+')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    std::uint64_t base = 10;
    if (value.starts_with("0x")) base = 16;
    if (value.starts_with("0o")) base = 8;
    if (value.starts_with("0b")) base = 2;
    if (base != 10) value.remove_prefix(2);
    constexpr std::string_view DIGITS = "0123456789abcdefghijklmnopqrstuvwxyz";
    constexpr std::uint64_t MOD = std::uint64_t{1} << 32;
    std::uint64_t n = 0;
    for (char c : value) {
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        const std::size_t digit = DIGITS.find(lower);
        if (digit == std::string_view::npos || digit >= base) break;
        n = (n * base + digit) % MOD;
    }
    if (negative) n = (MOD - n) % MOD;
    return n >= MOD / 2 ? std::int32_t(std::int64_t(n) - std::int64_t(MOD)) : std::int32_t(n);
}

std::string join(const std::vector<ModelLine>& lines, std::size_t begin, std::size_t end) {
    std::string out;
    for (std::size_t i = begin; i < end; ++i) {
        out.append(lines[i].content);
        out.append(lines[i].ending);
    }
    return out;
}

// The ending of a new line that rest follows: the file's own, but CRLF for a lone CR
// that an LF at the start of rest would otherwise join.
std::string endingBefore(std::string_view rest, std::string_view eol) {
    return eol == "\r" && !rest.empty() && rest[0] == '\n' ? "\r\n" : std::string(eol);
}

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

    const std::int32_t before = profileReadInt(text, section, key, MISSING);
    const std::string written = profileWriteString(text, section, key, value);
    if (!profileNamesWritable(section, key, value)) return 0;

    // The model's view of the input.
    const std::vector<ModelLine> lines = splitLines(text);
    CHECK(join(lines, 0, lines.size()) == text);
    const std::string_view eol = !lines.empty() && !lines[0].ending.empty() ? lines[0].ending : "\n";
    const std::string keyLine = std::string(key) + "=" + value;

    std::size_t sectionAt = lines.size();  // the first header of the section
    std::size_t keyAt = lines.size();      // the first key line of that name in it
    std::size_t lastAt = lines.size();     // its last key line, else its header
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view name, lineKey, lineValue;
        if (isHeader(lines[i].content, &name)) {
            if (sectionAt != lines.size()) break;
            if (sameName(name, section)) sectionAt = lastAt = i;
        } else if (sectionAt != lines.size() && isKey(lines[i].content, &lineKey, &lineValue)) {
            lastAt = i;
            if (sameName(lineKey, key)) {
                keyAt = i;
                break;
            }
        }
    }

    std::string expected;
    std::size_t linesAdded = 0;
    if (keyAt != lines.size()) {
        std::string_view lineKey, lineValue;
        isKey(lines[keyAt].content, &lineKey, &lineValue);
        CHECK(before == modelValue(lineValue).value_or(MISSING));
        expected = join(lines, 0, keyAt) + keyLine + std::string(lines[keyAt].ending) +
                   join(lines, keyAt + 1, lines.size());
    } else if (sectionAt != lines.size()) {
        CHECK(before == MISSING);
        const std::string rest = join(lines, lastAt + 1, lines.size());
        expected = join(lines, 0, lastAt + 1);
        if (lines[lastAt].ending.empty()) expected += eol;
        expected += keyLine + endingBefore(rest, eol) + rest;
        linesAdded = 1;
    } else {
        CHECK(before == MISSING);
        expected = std::string(text);
        if (!lines.empty() && lines.back().ending.empty()) expected += eol;
        expected += "[" + std::string(section) + "]" + std::string(eol) + keyLine + std::string(eol);
        linesAdded = 2;
    }
    CHECK(written == expected);
    CHECK(splitLines(written).size() == lines.size() + linesAdded);
    CHECK(profileReadInt(written, section, key, MISSING) == chosen);
    return 0;
}
