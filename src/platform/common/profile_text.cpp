// Private-profile text: one pass over the lines finds the section, the key and the place
// for a new key line; reading and writing both work from what that pass found, so they
// always agree on which line holds the key.
#include "platform/common/profile_text.h"

#include <cstddef>

namespace {

// Spaces, tabs, vertical tabs, form feeds and ^Z (an MS-DOS end-of-file mark) are blanks
// around names and values, as they are to Wine; Windows strips vertical tabs there too.
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; }

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view trimBlanks(std::string_view s) {
    std::size_t begin = 0;
    while (begin < s.size() && isBlank(s[begin])) {
        ++begin;
    }
    std::size_t end = s.size();
    while (end > begin && isBlank(s[end - 1])) {
        --end;
    }
    return s.substr(begin, end - begin);
}

// One line: [start, contentEnd) is its text, [contentEnd, next) its ending ("", "\n",
// "\r\n" or "\r"), and next is where the following line starts.
struct Line {
    std::size_t start;
    std::size_t contentEnd;
    std::size_t next;
};

// Windows ends a line at a lone CR as well as at LF and CRLF.
Line lineAt(std::string_view text, std::size_t start) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
        return {start, text.size(), text.size()};
    }
    const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    return {start, end, end + (crlf ? 2 : 1)};
}

// What a pass over the text found for one section and key.
struct Location {
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine{};              // when keyFound
    std::string_view value;      // when keyFound: the value, blanks trimmed
    Line lastLine{};             // when sectionFound: the last key line, else the header
    std::string_view lineEnding = "\n";  // what new lines end with: the first line's ending
};

Location locate(std::string_view text, std::string_view section, std::string_view key) {
    Location found;
    const Line first = lineAt(text, 0);
    if (first.contentEnd != first.next) {
        found.lineEnding = text.substr(first.contentEnd, first.next - first.contentEnd);
    }

    bool inSection = false;
    for (std::size_t start = 0; start < text.size();) {
        const Line line = lineAt(text, start);
        start = line.next;
        const std::string_view content = trimBlanks(text.substr(line.start, line.contentEnd - line.start));

        if (!content.empty() && content.front() == '[') {
            if (inSection) {
                break;  // the end of the first matching section: nothing after it counts
            }
            std::string_view name = content.substr(1);
            name = name.substr(0, name.find(']'));
            if (equalIgnoringCase(trimBlanks(name), section)) {
                inSection = true;
                found.sectionFound = true;
                found.lastLine = line;
            }
            continue;
        }
        if (!inSection || content.empty() || content.front() == ';') {
            continue;
        }
        const std::size_t equals = content.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        found.lastLine = line;
        if (equalIgnoringCase(trimBlanks(content.substr(0, equals)), key)) {
            found.keyFound = true;
            found.keyLine = line;
            found.value = trimBlanks(content.substr(equals + 1));
            break;  // the first matching key wins; where a new key would go no longer matters
        }
    }
    return found;
}

// The key's value as the string GetPrivateProfileStringA would give: up to its first NUL
// (the string's end there), without a pair of matching quotes around it.
std::string_view valueString(std::string_view value) {
    value = value.substr(0, value.find('\0'));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

// The digit c stands for, or 36 when it is none.
unsigned digitValue(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<unsigned>(c - '0');
    }
    if (c >= 'a' && c <= 'z') {
        return static_cast<unsigned>(c - 'a' + 10);
    }
    if (c >= 'A' && c <= 'Z') {
        return static_cast<unsigned>(c - 'A' + 10);
    }
    return 36;
}

// The number at the start of a non-empty value string, as Windows converts it (its
// RtlUnicodeStringToInteger with base 0): leading control characters and spaces skipped,
// a sign, a "0x", "0o" or "0b" prefix choosing the base, and digits to the first one that
// is not of that base.
std::int32_t parseProfileInt(std::string_view value) {
    std::size_t i = 0;
    while (i < value.size() && static_cast<unsigned char>(value[i]) <= ' ') {
        ++i;
    }
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (value.size() - i >= 2 && value[i] == '0') {
        const char prefix = value[i + 1];  // lower case only: "0X" is a 0 followed by junk
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10) {
            i += 2;
        }
    }
    std::uint32_t magnitude = 0;
    for (; i < value.size(); ++i) {
        const unsigned digit = digitValue(value[i]);
        if (digit >= base) {
            break;
        }
        magnitude = magnitude * base + digit;
    }
    if (negative) {
        magnitude = 0u - magnitude;
    }
    return static_cast<std::int32_t>(magnitude);  // modular since C++20
}

// The ending for a new line followed by rest: the file's own, except that a lone CR
// right before an LF would join it into one CRLF and take that LF's line with it.
std::string_view endingBefore(std::string_view rest, std::string_view fileEnding) {
    return fileEnding == "\r" && !rest.empty() && rest.front() == '\n' ? "\r\n" : fileEnding;
}

void appendKeyLine(std::string& out, std::string_view key, std::string_view value) {
    out.append(key);
    out.push_back('=');
    out.append(value);
}

}  // namespace

std::int32_t profileReadInt(std::string_view text, std::string_view section, std::string_view key,
                            std::int32_t defaultValue) {
    const Location found = locate(text, section, key);
    if (!found.keyFound) {
        return defaultValue;
    }
    // An empty string (an empty or blank value, or "") gives the default, as a missing key
    // does: Windows tells the two apart only by the string's length.
    const std::string_view value = valueString(found.value);
    return value.empty() ? defaultValue : parseProfileInt(value);
}

std::string profileWriteString(std::string_view text, std::string_view section, std::string_view key,
                               std::string_view value) {
    const Location found = locate(text, section, key);
    std::string out;
    out.reserve(text.size() + section.size() + key.size() + value.size() + 8);

    if (found.keyFound) {
        out.append(text.substr(0, found.keyLine.start));
        appendKeyLine(out, key, value);
        out.append(text.substr(found.keyLine.contentEnd));
        return out;
    }

    if (found.sectionFound) {
        // After the section's last key line (or its header), with its ending.
        const Line& after = found.lastLine;
        out.append(text.substr(0, after.next));
        if (after.contentEnd == after.next) {
            out.append(found.lineEnding);  // that line was the last and had no ending
        }
        appendKeyLine(out, key, value);
        const std::string_view rest = text.substr(after.next);
        out.append(endingBefore(rest, found.lineEnding));
        out.append(rest);
        return out;
    }

    out.append(text);
    if (!text.empty() && text.back() != '\n' && text.back() != '\r') {
        out.append(found.lineEnding);
    }
    out.push_back('[');
    out.append(section);
    out.push_back(']');
    out.append(found.lineEnding);
    appendKeyLine(out, key, value);
    out.append(found.lineEnding);
    return out;
}

bool profileNamesWritable(std::string_view section, std::string_view key, std::string_view value) {
    const auto hasLineBreak = [](std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; };
    const auto trimmedAndNonEmpty = [](std::string_view s) { return !s.empty() && trimBlanks(s).size() == s.size(); };
    return !hasLineBreak(section) && !hasLineBreak(key) && !hasLineBreak(value) && trimmedAndNonEmpty(section) &&
           trimmedAndNonEmpty(key) && section.find(']') == std::string_view::npos &&
           key.find('=') == std::string_view::npos && key.front() != ';' && key.front() != '[';
}
