// The command line: where the argument text starts, and which mode each switch selects.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "shell/command_line.h"

namespace {

TEST(ArgumentText, StepsOverTheProgramNameAndTheBlanksAfterIt) {
    const struct {
        const char* commandLine;
        const char* arguments;
    } cases[] = {
        {"orvel.scr /s", "/s"},
        {"\"C:\\Program Files\\Orvel.scr\" /p 123", "/p 123"},
        {"\"C:\\Program Files\\Orvel.scr\"/c:5", "/c:5"},
        {"\"unterminated /s", ""},
        {"orvel.scr\t\x01\x1f/s", "/s"},  // a tab ends the name too
        {"orvel.scr", ""},
        {" /s", "/s"},                 // no name at all: the blanks still go
        {"or\xe9vel.scr /s", "/s"},    // bytes above 0x7F belong to the name
        {"\"a\"\"b\" /s", "\"b\" /s"},  // only the first quoted part is the name
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(isolateArgumentText(c.commandLine), c.arguments) << c.commandLine;
    }
}

TEST(ArgumentText, WalksAQuotedNameCharacterByCharacter) {
    // A double-byte character whose second byte is a double quote does not end the name.
    const auto doubleByte = [](const char* p) { return p + ((static_cast<unsigned char>(*p) == 0x81 && p[1]) ? 2 : 1); };
    EXPECT_STREQ(isolateArgumentText("\"a\x81\"b\" /s", doubleByte), "/s");
    EXPECT_STREQ(isolateArgumentText("\"a\x81\"b\" /s"), "b\" /s");
}

TEST(WindowHandleNumber, ReadsLeadingDecimalDigitsAndWrapsIn32Bits) {
    const struct {
        const char* text;
        std::uint32_t value;
    } cases[] = {
        {"1234", 1234},      {"1234x", 1234},           {"", 0},
        {" 12", 0},          {"+12", 0},                {"-12", 0},
        {"0x10", 0},         {"4294967295", 4294967295u}, {"4294967296", 0},
        {"4294967297", 1},   {"99999999999", 1215752191u}, {"007", 7},
    };
    for (const auto& c : cases) EXPECT_EQ(parseWindowHandle(c.text), c.value) << c.text;
}

struct ModeCase {
    const char* text;
    bool isWin9x;
    RunMode mode;
    std::uint32_t window;
    bool findOwner;
};

TEST(ModeSelection, EverySwitchOfTheModeTable) {
    using M = RunMode;
    const ModeCase cases[] = {
        {"", false, M::Configure, 0, false}, {"-", false, M::Configure, 0, false},
        {" -/ ", false, M::Configure, 0, false}, {"/s", false, M::Saver, 0, false},
        {"-s", false, M::Saver, 0, false}, {"S", false, M::Saver, 0, false}, {"/screensaver", false, M::Saver, 0, false},
        {"/c", false, M::Configure, 0, true}, {"/c:1234", false, M::Configure, 1234, true},
        {"/C:77x", false, M::Configure, 77, true}, {"/c:", false, M::Configure, 0, true},
        {"/c 1234", false, M::Configure, 0, true},  // a space, not a colon
        {"/p 1234", false, M::Preview, 1234, false}, {"/p1234", false, M::Preview, 1234, false},
        {"/l 1234", false, M::Preview, 1234, false}, {"/p:1234", false, M::Preview, 0, false},
        {"/p", false, M::Preview, 0, false},
        {"/p\t1234", false, M::Preview, 0, false},  // only spaces are stepped over
        {"/a 1234", false, M::Refused, 0, false}, {"/a 1234", true, M::ChangePassword, 1234, true},
        {"A", true, M::ChangePassword, 0, true}, {"/s", true, M::Saver, 0, false},
        {"/x", false, M::Refused, 0, false}, {"\t/s", false, M::Refused, 0, false},
        {"\x80s", false, M::Refused, 0, false},
    };
    for (const ModeCase& c : cases) {
        const ModeSelection s = selectMode(c.text, c.isWin9x);
        EXPECT_EQ(std::tuple(int(s.mode), s.window, s.findOwner), std::tuple(int(c.mode), c.window, c.findOwner))
            << '"' << c.text << "\" isWin9x=" << c.isWin9x;
    }
}

TEST(ModeSelection, HandsTheModeTheTextItReadsItsNumberFrom) {
    EXPECT_STREQ(selectMode("/p   42 x", false).rest, "42 x");
    EXPECT_STREQ(selectMode("/a  7", true).rest, "7");
    EXPECT_STREQ(selectMode("/c:9", false).rest, "9");
}

}  // namespace
