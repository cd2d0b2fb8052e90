// The program's own settings reader (profile_text.cpp, used where the system has no
// private-profile calls) against the system's GetPrivateProfileIntA, over settings files
// that are odd in every way a hand-edited file can be. Each file is read with two
// defaults: 0, the program's own, and 7, which shows where a reader falls back to it.
//
// The readers must agree, except on the files that carry a note: those differences are
// known and reported, and the note says who differs how. Each is a place where Wine is
// judged to read otherwise than Windows itself, and ours follows Windows. A noted file
// on which the readers come to agree fails too, so that its note goes.
#include <cstdio>
#include <string>
#include <string_view>

#include "harness.h"
#include "platform/common/profile_text.h"

namespace {

struct SettingsText {
    const char* what;
    std::string_view text;  // a view, so that NUL bytes count
    const char* knownDifference = nullptr;
};

constexpr char LONG_VALUE[] =
    "Wine is the odd one out: it reads only the first 29 characters of a value (its own source once flagged the "
    "result as possibly wrong); Windows documents no limit, and ours reads them all";

using namespace std::string_view_literals;

const SettingsText FILES[] = {
    {"CRLF lines", "[param]\r\nlow=1\r\n"sv},
    {"LF lines", "[param]\nlow=1\n"sv},
    {"CR-only lines", "[param]\rlow=1\r"sv},
    {"CR, then CRLF", "[param]\r\r\nlow=1\r\n"sv},
    {"a lone CR inside the value", "[param]\r\nlow=7\r8\r\n"sv},
    {"no line ending at the end", "[param]\r\nlow=1"sv},
    {"names in another case", "[PARAM]\r\nLOW=1\r\n"sv},
    {"blanks around names and value", "[ param ]\r\n  low  =  1  \r\n"sv},
    {"tabs around names and value", "\t[param]\t\r\n\tlow\t=\t1\t\r\n"sv},
    {"vertical tabs around names and value", "\v[\vparam\v]\v\r\n\vlow\v=\v\"1\"\v\r\n"sv},
    {"form feeds around names and value", "\f[\fparam\f]\f\r\n\flow\f=\f\"1\"\f\r\n"sv},
    {"^Z around names and value",
     "\x1a[\x1a"
     "param\x1a]\x1a\r\n\x1alow\x1a=\x1a\"1\"\x1a\r\n"sv},
    {"other control characters around the key", "[param]\r\n\x01low\x1b=1\r\nlow=2\r\n"sv},
    {"plus sign", "[param]\r\nlow=+1\r\n"sv},
    {"minus sign", "[param]\r\nlow=-1\r\n"sv},
    {"sign, then a blank", "[param]\r\nlow=- 1\r\n"sv},
    {"two signs", "[param]\r\nlow=--1\r\n"sv},
    {"2^32 + 1 wraps", "[param]\r\nlow=4294967297\r\n"sv},
    {"-(2^32 + 1) wraps", "[param]\r\nlow=-4294967297\r\n"sv},
    {"35 nines", "[param]\r\nlow=99999999999999999999999999999999999\r\n"sv, LONG_VALUE},
    {"1 after 30 zeros", "[param]\r\nlow=0000000000000000000000000000001\r\n"sv, LONG_VALUE},
    {"hexadecimal", "[param]\r\nlow=0x11\r\n"sv},
    {"hexadecimal, negative", "[param]\r\nlow=-0x1f\r\n"sv},
    {"hexadecimal with a capital X", "[param]\r\nlow=0X11\r\n"sv},
    {"hexadecimal, then junk", "[param]\r\nlow=0xAg\r\n"sv},
    {"octal", "[param]\r\nlow=0o17\r\n"sv},
    {"binary", "[param]\r\nlow=0b101\r\n"sv},
    {"leading zero, still decimal", "[param]\r\nlow=017\r\n"sv},
    {"double quotes", "[param]\r\nlow=\"1\"\r\n"sv},
    {"single quotes", "[param]\r\nlow='1'\r\n"sv},
    {"quotes around blanks and digits", "[param]\r\nlow= \" 12 \" \r\n"sv},
    {"empty quotes", "[param]\r\nlow=\"\"\r\n"sv},
    {"quotes that do not match", "[param]\r\nlow='1\"\r\n"sv},
    {"an opening quote only", "[param]\r\nlow=\"1\r\n"sv},
    {"digits, then junk", "[param]\r\nlow=1abc\r\n"sv},
    {"junk only", "[param]\r\nlow=abc\r\n"sv},
    {"two numbers", "[param]\r\nlow=1 2\r\n"sv},
    {"a second equals sign", "[param]\r\nlow==1\r\n"sv},
    {"a control character before the digits", "[param]\r\nlow=\x01\x02 5\r\n"sv},
    {"empty value", "[param]\r\nlow=\r\n"sv},
    {"blank value", "[param]\r\nlow=   \r\n"sv},
    {"key without equals sign", "[param]\r\nlow\r\n"sv},
    {"key twice", "[param]\r\nlow=1\r\nlow=0\r\n"sv},
    {"section twice, key in both", "[param]\r\nlow=0\r\n[param]\r\nlow=1\r\n"sv},
    {"section twice, key in the second", "[param]\r\nother=0\r\n[param]\r\nlow=1\r\n"sv},
    {"key before any section", "low=1\r\n[param]\r\n"sv},
    {"section without ']'", "[param\r\nlow=1\r\n"sv,
     "Wine is the odd one out: it ignores a header without ']', where Windows (and ours) takes the name to the "
     "end of the line"},
    {"a second ']' in the header", "[param]x]\r\nlow=1\r\n"sv,
     "Wine is the odd one out: it ends the name at the last ']', where Windows (and ours) ends it at the first"},
    {"junk after ']'", "[param]junk\r\nlow=1\r\n"sv},
    {"commented-out key first", "[param]\r\n;low=0\r\nlow=1\r\n"sv},
    {"comment after the value", "[param]\r\nlow=1 ; low detail\r\n"sv},
    {"other section only", "[other]\r\nlow=1\r\n"sv},
    {"UTF-8 byte-order mark", "\xEF\xBB\xBF[param]\r\nlow=1\r\n"sv,
     "Wine is the odd one out: it skips a UTF-8 byte-order mark, where Windows (and ours) reads it as part of the "
     "first line, which is then no header"},
    {"NUL byte after the digit", "[param]\r\nlow=1\0 2\r\n"sv},
    {"NUL byte before a closing quote", "[param]\r\nlow=\"1\0\"\r\n"sv},
    {"empty file", ""sv},
};

}  // namespace

void compareSettingsReaders() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    int unexpected = 0;
    int number = 0;
    for (const SettingsText& file : FILES) {
        // A fresh name per file: the system keeps the files it has read in a cache by name.
        const std::string path = std::string(temp) + "orvel-reader-" + std::to_string(++number) + ".ini";
        writeFileBytes(path, std::string(file.text));
        bool same = true;
        for (int defaultValue : {0, 7}) {
            const auto system = std::int32_t(GetPrivateProfileIntA("param", "low", defaultValue, path.c_str()));
            const std::int32_t ours = profileReadInt(file.text, "param", "low", defaultValue);
            if (system == ours) continue;
            same = false;
            std::printf("  %s, default %d: system %ld, ours %ld\n", file.what, defaultValue, long(system), long(ours));
        }
        removeFile(path);
        if (same != (file.knownDifference == nullptr)) {
            ++unexpected;
            std::printf("    UNEXPECTED: %s: %s\n", file.what,
                        same ? "the readers agree; drop the note" : "they differ");
        } else if (!same) {
            std::printf("    known: %s\n", file.knownDifference);
        }
    }
    const std::string missing = std::string(temp) + "orvel-reader-missing.ini";
    removeFile(missing);
    const auto system = std::int32_t(GetPrivateProfileIntA("param", "low", 7, missing.c_str()));
    if (system != 7) fail("without a file the system's reader gave %ld, not the default 7", long(system));
    if (unexpected > 0) fail("%d settings files read otherwise than the notes say", unexpected);
    note("%d settings files and none read as the notes say", number);
}
