// The options of hosts that hand the saver a window, read before the Windows switches:
// strict window ids, -root with and without XSCREENSAVER_WINDOW, -window-id, -window, and
// command lines that are left to the Windows switches.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "shell/host_arguments.h"

namespace {

TEST(WindowId, TakesHexadecimalAndDecimalUpTo32Bits) {
    const struct {
        const char* text;
        std::uint32_t value;
    } good[] = {
        {"0x1", 1},          {"0X1A", 0x1A},       {"0x00400002", 0x400002}, {"0xffffffff", 0xFFFFFFFFu},
        {"0xFFFFFFFF", 0xFFFFFFFFu}, {"4194306", 4194306}, {"4294967295", 4294967295u}, {"007", 7},
        {"0x0000000000000001", 1},
    };
    for (const auto& c : good) {
        std::uint32_t value = 0;
        EXPECT_TRUE(parseWindowId(c.text, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(WindowId, RefusesSignsBlanksJunkOverflowAndZero) {
    for (const char* text : {"", "0x", "0X", "x12", "+12", "-12", " 12", "12 ", "12x", "0x12g", "0x-1", "1e3",
                             "0x100000000", "4294967296", "99999999999999999999", "0", "0x0", "00", "0b101", "0o17",
                             "12\n", "١٢"}) {
        std::uint32_t value = 77;
        EXPECT_FALSE(parseWindowId(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 77u) << "left as it was for " << text;
    }
    std::uint32_t value = 0;
    EXPECT_FALSE(parseWindowId(nullptr, value));
}

HostRequest parse(std::initializer_list<const char*> arguments, const char* xscreensaverWindow = nullptr) {
    std::vector<const char*> argv{"orvel"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return parseHostArguments(int(argv.size()), argv.data(), xscreensaverWindow);
}

TEST(HostArguments, CommandLinesWithoutHostOptionsAreLeftToTheWindowsSwitches) {
    for (const auto& arguments : std::vector<std::vector<const char*>>{
             {}, {"/s"}, {"-s"}, {"/p", "12345"}, {"/c:77"}, {"--"}, {"-"}, {"--rooted"}, {"-windows"},
             {"--window-id=0x12"}, {"root"}, {"/root"}}) {
        std::vector<const char*> argv{"orvel"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        const HostRequest request = parseHostArguments(int(argv.size()), argv.data(), "0x42");
        EXPECT_EQ(request.mode, HostMode::None) << (arguments.empty() ? "" : arguments[0]);
        EXPECT_TRUE(request.ignored.empty());
    }
}

TEST(HostArguments, RootDrawsInXscreensaversWindowOrTheRootWindow) {
    for (const char* option : {"-root", "--root"}) {
        EXPECT_EQ(parse({option}).mode, HostMode::RootWindow) << option;
        EXPECT_EQ(parse({option}, "").mode, HostMode::RootWindow) << "an empty value counts as none";
        HostRequest request = parse({option}, "0x2a00007");
        EXPECT_EQ(request.mode, HostMode::GivenWindow);
        EXPECT_EQ(request.window, 0x2a00007u);
        request = parse({option}, "44040199");
        EXPECT_EQ(request.mode, HostMode::GivenWindow);
        EXPECT_EQ(request.window, 44040199u);
        request = parse({option}, "0x2a00007 ");
        EXPECT_EQ(request.mode, HostMode::Refused);
        EXPECT_NE(request.error.find("XSCREENSAVER_WINDOW=\"0x2a00007 \""), std::string::npos) << request.error;
    }
}

TEST(HostArguments, WindowIdTakesTheNextArgumentStrictly) {
    for (const char* option : {"-window-id", "--window-id"}) {
        HostRequest request = parse({option, "0x400002"}, "0x99");
        EXPECT_EQ(request.mode, HostMode::GivenWindow);
        EXPECT_EQ(request.window, 0x400002u) << "the option, not XSCREENSAVER_WINDOW";
        request = parse({option, "4194306"});
        EXPECT_EQ(request.window, 4194306u);
        request = parse({option});
        EXPECT_EQ(request.mode, HostMode::Refused);
        EXPECT_NE(request.error.find("needs a window id"), std::string::npos) << request.error;
        for (const char* bad : {"-5", "0x1FFFFFFFF", "12abc", "", "--root"}) {
            request = parse({option, bad});
            EXPECT_EQ(request.mode, HostMode::Refused) << bad;
            EXPECT_NE(request.error.find(std::string("\"") + bad + "\" is not a window id"), std::string::npos)
                << request.error;
        }
    }
}

TEST(HostArguments, WindowModeAndWhatGoesBesideTheOptions) {
    EXPECT_EQ(parse({"-window"}).mode, HostMode::OwnWindow);
    EXPECT_EQ(parse({"--window"}, "0x42").mode, HostMode::OwnWindow);
    // xscreensaver's other options are passed over, and said to be.
    HostRequest request = parse({"-fps", "--root", "-install"});
    EXPECT_EQ(request.mode, HostMode::RootWindow);
    EXPECT_EQ(request.ignored, (std::vector<std::string>{"-fps", "-install"}));
    // Two host options do not go together.
    for (const auto& pair : std::vector<std::vector<const char*>>{
             {"--root", "--window"}, {"--window", "-window-id", "0x5"}, {"-root", "-root"}}) {
        std::vector<const char*> argv{"orvel"};
        argv.insert(argv.end(), pair.begin(), pair.end());
        request = parseHostArguments(int(argv.size()), argv.data(), nullptr);
        EXPECT_EQ(request.mode, HostMode::Refused) << pair[0] << " " << pair[1];
        EXPECT_NE(request.error.find("cannot be given together"), std::string::npos) << request.error;
    }
}

}  // namespace
