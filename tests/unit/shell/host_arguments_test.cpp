// The options of hosts that hand the saver a window, read before the Windows switches:
// strict window ids, -root with and without XSCREENSAVER_WINDOW, -window-id, -window, and
// command lines that are left to the Windows switches.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "shell/host_arguments.h"

namespace {

// Hexadecimal and decimal ids up to 32 bits; signs, blanks, junk, overflow and zero are
// refused (0 below) and leave the value as it was.
TEST(WindowId, TakesHexadecimalAndDecimalUpTo32BitsAndNothingElse) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"0x1", 1}, {"0X1A", 0x1A}, {"0x00400002", 0x400002}, {"0xffffffff", 0xFFFFFFFFu},
        {"0xFFFFFFFF", 0xFFFFFFFFu}, {"4194306", 4194306}, {"4294967295", 4294967295u}, {"007", 7},
        {"0x0000000000000001", 1}, {"", 0}, {"0x", 0}, {"0X", 0}, {"x12", 0}, {"+12", 0}, {"-12", 0},
        {" 12", 0}, {"12 ", 0}, {"12x", 0}, {"0x12g", 0}, {"0x-1", 0}, {"1e3", 0}, {"0x100000000", 0},
        {"4294967296", 0}, {"0", 0}, {"0x0", 0}, {"0b101", 0}, {"12\n", 0}, {"١٢", 0},
    };
    for (const auto& [text, expected] : cases) {
        std::uint32_t value = 77;
        EXPECT_EQ(parseWindowId(text, value), expected != 0) << '"' << text << '"';
        EXPECT_EQ(value, expected != 0 ? expected : 77u) << '"' << text << '"';
    }
    std::uint32_t value = 0;
    EXPECT_FALSE(parseWindowId(nullptr, value));
}

// What a command line (after the program name) and XSCREENSAVER_WINDOW ask for; a
// refused one says why.
TEST(HostArguments, EachCommandLine) {
    using M = HostMode;
    const struct {
        std::vector<const char*> arguments;
        const char* xscreensaverWindow;
        HostMode mode;
        std::uint32_t window = 0;
        std::string error = "";  // a part of the message
    } cases[] = {
        // No host option: left to the Windows switches, whatever the variable says.
        {{}, "0x42", M::None}, {{"/p", "12345"}, "0x42", M::None}, {{"-s"}, "0x42", M::None},
        {{"--"}, "0x42", M::None}, {{"--rooted"}, "0x42", M::None}, {{"-windows"}, "0x42", M::None},
        {{"--window-id=0x12"}, "0x42", M::None}, {{"/root"}, "0x42", M::None},
        // -root draws in xscreensaver's window, or in the root window without one.
        {{"-root"}, nullptr, M::RootWindow}, {{"--root"}, "", M::RootWindow},
        {{"-root"}, "0x2a00007", M::GivenWindow, 0x2a00007}, {{"--root"}, "44040199", M::GivenWindow, 44040199},
        {{"-root"}, "0x2a00007 ", M::Refused, 0, "XSCREENSAVER_WINDOW=\"0x2a00007 \""},
        // -window-id takes the next argument strictly, before the variable.
        {{"-window-id", "0x400002"}, "0x99", M::GivenWindow, 0x400002},
        {{"--window-id", "4194306"}, nullptr, M::GivenWindow, 4194306},
        {{"-window-id"}, nullptr, M::Refused, 0, "needs a window id"},
        {{"--window-id", "-5"}, nullptr, M::Refused, 0, "\"-5\" is not a window id"},
        {{"-window-id", "0x1FFFFFFFF"}, nullptr, M::Refused, 0, "\"0x1FFFFFFFF\" is not a window id"},
        {{"-window-id", "12abc"}, nullptr, M::Refused, 0, "\"12abc\" is not a window id"},
        {{"-window-id", ""}, nullptr, M::Refused, 0, "\"\" is not a window id"},
        {{"--window-id", "--root"}, nullptr, M::Refused, 0, "\"--root\" is not a window id"},
        // -window opens a window of the program's own.
        {{"-window"}, nullptr, M::OwnWindow}, {{"--window"}, "0x42", M::OwnWindow},
        // Two host options do not go together.
        {{"--root", "--window"}, nullptr, M::Refused, 0, "cannot be given together"},
        {{"--window", "-window-id", "0x5"}, nullptr, M::Refused, 0, "cannot be given together"},
        {{"-root", "-root"}, nullptr, M::Refused, 0, "cannot be given together"},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"orvel"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const HostRequest request = parseHostArguments(int(argv.size()), argv.data(), c.xscreensaverWindow);
        std::string shown;
        for (const char* a : c.arguments) shown += std::string(a) + " ";
        EXPECT_EQ(request.mode, c.mode) << shown;
        EXPECT_EQ(request.mode == M::GivenWindow ? request.window : 0, c.window) << shown;
        EXPECT_NE(request.error.find(c.error), std::string::npos) << shown << ": " << request.error;
        EXPECT_TRUE(request.ignored.empty()) << shown;
    }
    // xscreensaver's other options are passed over, and said to be.
    const char* argv[] = {"orvel", "-fps", "--root", "-install"};
    const HostRequest request = parseHostArguments(4, argv, nullptr);
    EXPECT_EQ(request.mode, M::RootWindow);
    EXPECT_EQ(request.ignored, (std::vector<std::string>{"-fps", "-install"}));
}

}  // namespace
