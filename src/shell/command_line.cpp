#include "shell/command_line.h"

namespace {

const char* nextByte(const char* p) { return p + 1; }

// Bytes compared unsigned, as the command line is walked on Windows.
unsigned char byteAt(const char* p) { return static_cast<unsigned char>(*p); }

const char* skipSpaces(const char* p) {
    while (*p == ' ') ++p;
    return p;
}

}  // namespace

const char* isolateArgumentText(const char* commandLine, const char* (*nextCharacter)(const char*)) {
    if (nextCharacter == nullptr) nextCharacter = nextByte;
    const char* p = commandLine;
    if (*p == '"') {
        // A quoted name ends at the next double quote, which is stepped over too.
        p = nextCharacter(p);
        while (*p != '\0' && *p != '"') p = nextCharacter(p);
        if (*p == '"') ++p;
    } else if (byteAt(p) > 0x20) {
        while (*p != '\0' && byteAt(p) > 0x20) ++p;
    }
    while (*p != '\0' && byteAt(p) <= 0x20) ++p;
    return p;
}

std::uint32_t parseWindowHandle(const char* text) {
    std::uint32_t value = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10u + std::uint32_t(*p - '0');
    }
    return value;
}

ModeSelection selectMode(const char* argumentText, bool isWin9x) {
    const char* p = argumentText;
    for (;; ++p) {
        switch (static_cast<signed char>(*p)) {
            case ' ':
            case '-':
            case '/':
                continue;
            case '\0':
                return {RunMode::Configure, 0, p, false};
            case 'S':
            case 's':
                return {RunMode::Saver, 0, p + 1, false};
            case 'C':
            case 'c':
                // The owner's number must follow the letter directly, after a colon.
                if (p[1] == ':') return {RunMode::Configure, parseWindowHandle(p + 2), p + 2, true};
                return {RunMode::Configure, 0, p + 1, true};
            case 'P':
            case 'p':
            case 'L':
            case 'l':
                return {RunMode::Preview, parseWindowHandle(skipSpaces(p + 1)), skipSpaces(p + 1), false};
            case 'A':
            case 'a':
                if (!isWin9x) return {RunMode::Refused, 0, p, false};
                return {RunMode::ChangePassword, parseWindowHandle(skipSpaces(p + 1)), skipSpaces(p + 1), true};
            default:
                return {RunMode::Refused, 0, p, false};
        }
    }
}
